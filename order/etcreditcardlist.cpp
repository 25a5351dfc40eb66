#include "etcreditcardlist.h"

#include "etfileutils.h"
#include "etlistsource.h"
#include "etsingleton.h"
#include "etxmlreader.h"

#include <QComboBox>
#include <QDomDocument>

ETCreditCardList *ETCreditCardList::instance()
{
    static ETSingleton<ETCreditCardList> list;
    return list.get([] {
        auto *created = new ETCreditCardList;
        created->readFile(resourcePath(QStringLiteral("creditcards.xml")));
        return created;
    });
}

bool ETCreditCardList::update(ETListSource *server, bool force)
{
    if (!isEmpty() && !force)
        return true;
    if (!server->fetchCreditCardList())
        return false;
    readFile(resourcePath(QStringLiteral("creditcards.xml")));
    return true;
}

void ETCreditCardList::readFile(const QString &path)
{
    QDomDocument document;
    ETXMLReader::readResourceFile(document, path);
    parse(document.documentElement());
}

void ETCreditCardList::parse(const QDomElement &root)
{
    QDomElement content = root;
    if (content.nodeName() != QLatin1String("content"))
        content = root.firstChildElement(QStringLiteral("content"));
    for (QDomElement e = content.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        m_cards.insert(e.firstChildElement(QStringLiteral("display_string")).text(),
                       e.firstChildElement(QStringLiteral("brand")).text());
    }
}

QString ETCreditCardList::brand(const QString &displayText) const
{
    const auto it = m_cards.constFind(displayText);
    return it == m_cards.constEnd() ? QStringLiteral("this ought to be VISA") : it.value();
}

QString ETCreditCardList::displayString(const QString &brand) const
{
    for (auto it = m_cards.constBegin(); it != m_cards.constEnd(); ++it) {
        if (it.value() == brand)
            return it.key();
    }
    return brand;
}

void ETCreditCardList::fillComboBox(QComboBox *combo) const
{
    combo->clear();
    combo->addItems(displayTexts());
}
