#pragma once

#include <QDomElement>
#include <QMap>
#include <QStringList>

class ETListSource;
class QComboBox;

// Credit-card brands (display text to brand key) from "creditcards.xml". Singleton, GUI thread.
class ETCreditCardList
{
  public:
    static ETCreditCardList *instance();

    ETCreditCardList() = default;
    virtual ~ETCreditCardList() = default;
    ETCreditCardList(const ETCreditCardList &) = delete;
    ETCreditCardList &operator=(const ETCreditCardList &) = delete;

    // A filled list and no force: true at once, nothing asked. Otherwise the
    // server's list is fetched into "creditcards.xml" and its brands are added
    // (entries missing from it stay); the request's result, its failure kept by the source.
    bool update(ETListSource *server, bool force);

    // Adds the file's brands to the list (entries missing from the file stay).
    void readFile(const QString &path);
    void parse(const QDomElement &root);

    bool isEmpty() const { return m_cards.isEmpty(); }
    QStringList displayTexts() const { return m_cards.keys(); }
    QString brand(const QString &displayText) const;
    QString displayString(const QString &brand) const;
    void fillComboBox(QComboBox *combo) const;

  private:
    QMap<QString, QString> m_cards;
};
