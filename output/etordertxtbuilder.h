#pragma once

#include "etorderoutputbuilder.h"

#include <QByteArray>

class ETOrderItem;

// The order file "order.txt" that goes with an order handed in on CD or
// kept on disk: INI-like sections for the lab (GUI thread).
class ETOrderTxtBuilder : public ETOrderOutputBuilder
{
    Q_OBJECT

  public:
    explicit ETOrderTxtBuilder(QObject *parent = nullptr);

    QString buildMain() override;
    QString buildPayment() override;
    QString buildCustomer() override;
    QString buildProducts() override;
    QString buildDelivery() override;
    QString buildFooter() override;

    // The section of one order line; empty for a line with amount 0.
    virtual QString buildOneProduct(ETOrderItem *item);

    // tag=value of the customer's key, or nothing when that value is empty.
    QString optionalLine(const QString &key, const QString &tag) const;

    // The bytes the lab's Windows systems read: CR LF line ends and
    // Windows-1252, whatever the machine's locale.
    static QByteArray fileContent(const QString &text);
    // Builds the text and writes it to fileName (the text also goes to the
    // debug channel). False when the file could not be written completely.
    bool writeFile(const QString &fileName);
};
