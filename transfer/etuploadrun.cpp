#include "etuploadrun.h"

#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderxmlbuilder.h"

#include <QDir>
#include <QDomDocument>

void ETUploadRun::declare(const QString &declarationDocument, const QString &directory)
{
    m_declaredFiles.clear();
    m_posts.clear();
    QHash<QString, QString> files;
    for (const ETOrderXMLBuilder::DeclaredFile &file : ETOrderXMLBuilder::declaredFiles(directory))
        files.insert(file.name, file.path);
    QDomDocument declaration;
    declaration.setContent(declarationDocument);
    for (QDomElement e = declaration.documentElement().firstChildElement(QStringLiteral("orderposition"));
         !e.isNull(); e = e.nextSiblingElement(QStringLiteral("orderposition"))) {
        const QString name = e.firstChildElement(QStringLiteral("filename")).text();
        DeclaredFile file;
        file.path = files.value(name, name);
        file.size = e.firstChildElement(QStringLiteral("filesize")).text().toLongLong();
        file.crc = e.firstChildElement(QStringLiteral("crc")).text().toInt();
        m_declaredFiles.insert(name, file);
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
        return m_declaredFiles.value(declaredName).path;
    for (const ETOrderXMLBuilder::DeclaredFile &file : ETOrderXMLBuilder::declaredFiles(QString()))
        if (file.name == declaredName)
            return file.path;
    return QString();
}

ETPostedFile::State ETUploadRun::openDeclaredFile(const QString &declaredName, ETPostedFile &file) const
{
    const auto declared = m_declaredFiles.constFind(declaredName);
    if (!m_declared || declared == m_declaredFiles.constEnd())
        return file.open(localFile(declaredName));
    return file.open(declared->path, declared->size, declared->crc);
}

QString ETUploadRun::pictureName(const QString &path)
{
    for (ETOrderItem *item : *ETOrder::instance()->orderItems())
        if (item->image()->uploadSource() == path)
            return item->image()->customerPath();
    return QDir::toNativeSeparators(path);
}

bool ETUploadRun::countPost(const QString &path)
{
    return ++m_posts[path] <= maxPostsPerFile;
}

bool ETUploadRun::advanceTo(int position)
{
    if (position != m_lastPosition) {
        m_lastPosition = position;
        m_repeatCount = 0;
        return true;
    }
    return ++m_repeatCount <= maxRepeatsOfAPosition;
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
