#include "etuploadrun.h"

#include "etorderxmlbuilder.h"

#include <QDomDocument>

void ETUploadRun::declare(const QString &declarationDocument, const QString &directory)
{
    m_declaredFiles.clear();
    QHash<QString, QString> files;
    for (const ETOrderXMLBuilder::DeclaredFile &file : ETOrderXMLBuilder::declaredFiles(directory))
        files.insert(file.name, file.path);
    QDomDocument declaration;
    declaration.setContent(declarationDocument);
    for (QDomElement e = declaration.documentElement().firstChildElement(QStringLiteral("orderposition"));
         !e.isNull(); e = e.nextSiblingElement(QStringLiteral("orderposition"))) {
        const QString name = e.firstChildElement(QStringLiteral("filename")).text();
        m_declaredFiles.insert(name, files.value(name, name));
    }
    m_declared = true;
    m_lastPosition = -1;
    m_repeatCount = 0;
    m_lastPostResult = 0;
}

QString ETUploadRun::localFile(const QString &declaredName) const
{
    if (declaredName.isEmpty())
        return QString();
    if (m_declared)
        return m_declaredFiles.value(declaredName);
    for (const ETOrderXMLBuilder::DeclaredFile &file : ETOrderXMLBuilder::declaredFiles(QString()))
        if (file.name == declaredName)
            return file.path;
    return QString();
}

bool ETUploadRun::advanceTo(int position)
{
    if (position != m_lastPosition) {
        m_lastPosition = position;
        m_repeatCount = 0;
        return true;
    }
    return ++m_repeatCount <= 2;
}

void ETUploadRun::complete()
{
    m_lastPosition = -1;
    m_repeatCount = 0;
}

void ETUploadRun::setByteCounts(int total, int submitted)
{
    m_totalBytes = total;
    m_submittedBytes = submitted;
}
