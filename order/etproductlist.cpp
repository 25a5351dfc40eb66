#include "etproductlist.h"

#include "etcurrency.h"
#include "etfileutils.h"
#include "etlistsource.h"
#include "etsingleton.h"
#include "etxmlreader.h"

#include <QDebug>
#include <QDomDocument>
#include <QRegularExpression>

ETProductList *ETProductList::instance()
{
    static ETSingleton<ETProductList> list;
    return list.get([] {
        auto *created = new ETProductList;
        created->readFile(resourcePath(QStringLiteral("productlist.xml")));
        return created;
    });
}

ETProductList::ETProductList(QObject *parent) : QObject(parent) {}

int ETProductList::parsePrice(const QString &text)
{
    return parseMoney(text);
}

bool ETProductList::updateFromServer(ETListSource *server)
{
    if (!server->fetchProductList())
        return false;
    readFile(resourcePath(QStringLiteral("productlist.xml")));
    return true;
}

void ETProductList::readFile(const QString &path)
{
    QDomDocument document;
    ETXMLReader::readResourceFile(document, path);
    parse(document.documentElement());
}

void ETProductList::parse(const QDomElement &root)
{
    static const QRegularExpression codePattern(QStringLiteral("^[FOC][CM]$"));
    QDomElement content = root;
    if (content.nodeName() != QLatin1String("content"))
        content = root.firstChildElement(QStringLiteral("content"));
    for (QDomElement entry = content.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        const QString code = entry.attribute(QStringLiteral("transfer_type"));
        if (!codePattern.match(code).hasMatch())
            continue;
        const auto text = [&entry](const char *name) {
            return entry.firstChildElement(QString::fromLatin1(name)).text();
        };
        const QString identifier = text("artid");
        const QString name = text("name");
        const int price = parsePrice(text("price"));
        const int tier = text("discount_level").toInt(nullptr, 10);
        const int width = text("width").toInt();
        const int height = text("height").toInt();
        int dotsPerMm = text("dots_per_mm").toInt();
        if (dotsPerMm == 0)
            dotsPerMm = 10;

        ETProduct *product = findProduct(name);
        if (!product) {
            m_products.append(ETProduct(identifier, price, name, width, height, dotsPerMm,
                                        text("special_productid"), text("special_size"),
                                        text("special_type")));
            product = &m_products.last();
        }
        product->setPrice(tier, code, price, identifier);
    }
    m_names.clear();
    for (const ETProduct &product : m_products)
        m_names << product.name();
}

ETProduct *ETProductList::findProduct(const QString &name)
{
    for (ETProduct &product : m_products) {
        if (product.name() == name)
            return &product;
    }
    return nullptr;
}

const ETProduct *ETProductList::product(const QString &name) const
{
    for (const ETProduct &product : m_products) {
        if (product.name() == name)
            return &product;
    }
    return nullptr;
}

int ETProductList::price(const QString &name, int tier) const
{
    const ETProduct *p = product(name);
    return p ? p->price(tier) : 0;
}

QString ETProductList::transferId(const QString &name, int tier) const
{
    const ETProduct *p = product(name);
    return p ? p->transferId(tier) : QString();
}

int ETProductList::quality(const QString &name, ETImage *image) const
{
    const ETProduct *p = product(name);
    return p ? p->quality(image) : 0;
}

QString ETProductList::specialProductId(const QString &name) const
{
    const ETProduct *p = product(name);
    return p ? p->specialProductId() : QString();
}

QString ETProductList::specialSize(const QString &name) const
{
    const ETProduct *p = product(name);
    return p ? p->specialSize() : QString();
}

QString ETProductList::specialType(const QString &name) const
{
    const ETProduct *p = product(name);
    return p ? p->specialType() : QString();
}

QString ETProductList::productName(const QString &name) const
{
    const ETProduct *p = product(name);
    return p ? p->name() : QString();
}

QString ETProductList::firstProductName() const
{
    return m_names.isEmpty() ? QString() : m_names.first();
}

void ETProductList::dumpAll() const
{
    for (const ETProduct &product : m_products)
        product.dump();
}

void ETProductList::checkAll() const
{
    qDebug().noquote() << QStringLiteral("Prüfung der Produktpreise");
    qDebug().noquote() << QStringLiteral("-------------------------");
    for (const ETProduct &product : m_products)
        product.check();
}
