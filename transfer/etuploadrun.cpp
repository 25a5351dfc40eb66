#include "etuploadrun.h"

#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"

#include <QDomDocument>

void ETUploadRun::declare(const QString &declarationDocument)
{
    m_declaredFiles.clear();
    QDomDocument declaration;
    declaration.setContent(declarationDocument);
    for (QDomElement e = declaration.documentElement().firstChildElement(QStringLiteral("orderposition"));
         !e.isNull(); e = e.nextSiblingElement(QStringLiteral("orderposition")))
        m_declaredFiles << e.firstChildElement(QStringLiteral("filename")).text();
    m_declared = true;
    m_lastPosition = -1;
    m_repeatCount = 0;
    m_lastPostResult = 0;
}

bool ETUploadRun::isDeclaredFile(const QString &path) const
{
    if (path.isEmpty())
        return false;
    if (m_declared)
        return m_declaredFiles.contains(path);
    for (ETOrderItem *item : *ETOrder::instance()->orderItems())
        if (item->amount() > 0 && item->image()->uploadSource() == path)
            return true;
    return false;
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
