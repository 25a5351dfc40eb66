#pragma once

#include "etxmlconfig.h"

#include <QStringList>

// The dealer's customer-form rules from "customer.xml" (must fields, preselected country). Singleton.
class ETCustomerConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETCustomerConfig *instance();

    explicit ETCustomerConfig(const QString &fileName = QStringLiteral("customer.xml"),
                              QObject *parent = nullptr);

    QStringList mustFields() const;
    // ISO code of the country to preselect; null when not given.
    QString primaryCountry() const;
};
