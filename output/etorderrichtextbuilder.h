#pragma once

#include "etorderoutputbuilder.h"

// The order as rich text: the summary shown before sending and the
// confirmation shown, printed or saved after it (GUI thread).
class ETOrderRichTextBuilder : public ETOrderOutputBuilder
{
    Q_OBJECT

  public:
    explicit ETOrderRichTextBuilder(QObject *parent = nullptr);

    QString buildPayment() override;
    QString buildCustomer() override;
    QString buildProducts() override;
    // Also keeps the transfer price for buildAmounts.
    QString buildDelivery() override;
    QString buildFooter() override;

    virtual QString buildOrderHeader();
    virtual QString buildHeader();
    virtual QString buildTableStart(const QString &title);
    virtual QString buildProductRows();
    virtual QString buildTableEnd();
    virtual QString buildThanks();
    // Needs buildDelivery on this object first.
    virtual QString buildAmounts();
    virtual QString buildOrderDate();
    virtual QString buildOrderNumber();
    virtual QString buildPriceRow(const QString &label, int cents);

  private:
    int m_transferPrice = 0;
};
