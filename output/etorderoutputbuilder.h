#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

// Base of the order outputs: six section texts that build() joins into one
// text. Made for one text and deleted again (GUI thread).
class ETOrderOutputBuilder : public QObject
{
    Q_OBJECT

  public:
    explicit ETOrderOutputBuilder(QObject *parent = nullptr);

    virtual QString buildMain();
    virtual QString buildPayment();
    virtual QString buildCustomer() = 0;
    virtual QString buildProducts() = 0;
    virtual QString buildDelivery();
    virtual QString buildFooter();
    // The sections in the order main, customer, payment, products, delivery,
    // footer.
    virtual QString build();

    // Tests fix the time the outputs are dated with; an invalid time gives
    // the real clock back.
    static void setCurrentDateTimeForTests(const QDateTime &fixed);

  protected:
    static QDateTime currentDateTime();
};
