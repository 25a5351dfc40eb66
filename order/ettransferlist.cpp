#include "ettransferlist.h"

#include "etcurrency.h"
#include "etfileutils.h"
#include "etlistsource.h"
#include "etorder.h"
#include "etsingleton.h"
#include "ettransferconfig.h"
#include "etxmlreader.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QDebug>
#include <QDomDocument>

namespace
{

// A level present with 0 must differ from a level that is not set, and must never be reached.
constexpr int kUnreachable = 2000000000;

} // namespace

ETTransferList *ETTransferList::instance()
{
    static ETSingleton<ETTransferList> list;
    return list.get([] {
        auto *created = new ETTransferList;
        created->readFile(resourcePath(QStringLiteral("transferlist.xml")));
        return created;
    });
}

ETTransferList::ETTransferList() = default;

bool ETTransferList::reload(ETListSource *server)
{
    if (!server->fetchTransferList())
        return false;
    readFile(resourcePath(QStringLiteral("transferlist.xml")));
    return true;
}

void ETTransferList::readFile(const QString &path)
{
    QDomDocument document;
    if (!ETXMLReader::readResourceFile(document, path))
        return;
    parse(document.documentElement());
}

void ETTransferList::parse(const QDomElement &root)
{
    QDomElement content = root;
    if (content.nodeName() != QLatin1String("content"))
        content = root.firstChildElement(QStringLiteral("content"));
    for (QDomElement e = content.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("threshold") || tag == QLatin1String("homog_min")) {
            const int level = e.attribute(QStringLiteral("level"), QStringLiteral("1")).toInt(nullptr, 10);
            if (level < 0 || level > 99)
                continue;
            int value =
                tag == QLatin1String("threshold") ? parseMoney(e.text()) : e.text().toInt(nullptr, 10);
            if (value == 0)
                value = kUnreachable;
            (tag == QLatin1String("threshold") ? m_threshold : m_homogMin)[size_t(level)] = value;
        } else if (tag == QLatin1String("transfer")) {
            const QString type = e.attribute(QStringLiteral("type"));
            const int level = e.attribute(QStringLiteral("discount")).toInt(nullptr, 10);
            m_prices.setTransferId(type, level, e.firstChildElement(QStringLiteral("id")).text());
            m_prices.setPrice(type, level, parseMoney(e.firstChildElement(QStringLiteral("price")).text()));
        }
    }
}

int ETTransferList::scan(const Table &table, int value)
{
    int result = 0;
    for (int level = 1; level <= 99; ++level) {
        const int v = table[size_t(level)];
        if (v == 0 || v > value)
            break;
        result = level;
    }
    return result;
}

bool ETTransferList::rising(const Table &table)
{
    int previous = 0;
    bool gap = false;
    for (int level = 1; level <= 99; ++level) {
        const int v = table[size_t(level)];
        if (v == 0) {
            gap = true;
            continue;
        }
        if (gap || v <= previous)
            return false;
        previous = v;
    }
    return true;
}

int ETTransferList::discountLevel(int prints) const
{
    return scan(m_homogMin, prints);
}

int ETTransferList::transferLevel(int cents) const
{
    return scan(m_threshold, cents);
}

int ETTransferList::threshold(int level) const
{
    return level >= 0 && level <= 99 ? m_threshold[size_t(level)] : 0;
}

int ETTransferList::homogMin(int level) const
{
    return level >= 0 && level <= 99 ? m_homogMin[size_t(level)] : 0;
}

int ETTransferList::maxTransferLevel() const
{
    return scan(m_threshold, 10000);
}

int ETTransferList::maxDiscountLevel() const
{
    int result = 0;
    for (int level = 1; level <= 99 && m_homogMin[size_t(level)] != 0; ++level)
        result = level;
    return result;
}

bool ETTransferList::thresholdsValid() const
{
    return rising(m_threshold);
}

bool ETTransferList::homogMinValid() const
{
    return rising(m_homogMin);
}

bool ETTransferList::checkTransferTiers(int submitMethod, int paymentType) const
{
    return m_prices.checkTiers(submitMethod, paymentType, maxTransferLevel());
}

void ETTransferList::report() const
{
    qDebug("==================");
    qDebug("Price Model Report");
    qDebug("==================");
    qDebug().noquote() << QString::asprintf("%d Transferlevels. Konsistenzcheck: ", maxTransferLevel()) +
                              (thresholdsValid() ? QStringLiteral("ok") : QStringLiteral("Fail"));
    qDebug().noquote() << QString::asprintf("%d Discountlevels. Konsistenzcheck: ", maxDiscountLevel()) +
                              (homogMinValid() ? QStringLiteral("ok") : QStringLiteral("Fail"));
    qDebug().noquote() << QStringLiteral("Prüfung der Transferpreise:");
    ETTransferConfig *rules = ETTransferConfig::instance();
    for (int submitMethod = SubmitNet; submitMethod <= SubmitHardDisk; ++submitMethod) {
        for (int paymentType = PaymentOutlet; paymentType <= PaymentBill; ++paymentType) {
            if (!rules->isAllowed(submitMethod, paymentType))
                continue;
            qDebug().noquote() << QStringLiteral("Untersuche ") + rules->text2(submitMethod) +
                                      QLatin1Char(' ') + rules->text(paymentType) + QLatin1Char(' ') +
                                      (checkTransferTiers(submitMethod, paymentType)
                                           ? QStringLiteral("ok")
                                           : QStringLiteral("fail"));
        }
    }
}
