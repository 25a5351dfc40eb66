#pragma once

#include "etcurrency.h"
#include "etxmlconfig.h"

#include <QMap>

// The table of known currencies from "currencies.xml" and the dealer's currency. Singleton.
class ETCurrencyConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETCurrencyConfig *instance();

    explicit ETCurrencyConfig(const QString &fileName = QStringLiteral("currencies.xml"),
                              QObject *parent = nullptr);

    // The dealer's currency; an unknown code ends the program.
    const ETCurrency *currency();
    // A price shown to the customer in the dealer's currency (no symbol); the
    // first one ends the program when the dealer's currency is unknown.
    QString formatPrice(int cents);
    const ETCurrency *find(const QString &isoCode) const;
    int count() const { return int(m_currencies.size()); }

  private:
    QMap<QString, ETCurrency> m_currencies;
    const ETCurrency *m_current = nullptr;
};
