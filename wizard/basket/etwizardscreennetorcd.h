#pragma once

#include "etwizardscreen.h"

class QLabel;

// The page that chooses how the order leaves the client. This client offers
// the internet only: the page shows the number of pictures and prints, the
// order's price and the transfer prices for delivery by mail and pickup at a
// store, opens the network settings, refreshes the prices from the server, and
// Next puts the order on the internet road (GUI thread).
class ETWizardScreenNetOrCD : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenNetOrCD(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool atShow() override;
    bool atNext() override;

    // Price in cents into the label; a negative price is one the tables cannot give.
    virtual void setPriceLabel(int cents, QLabel *label);

  public slots:
    void showNetworkOptions();
    void updatePrices();

  private:
    void showPrices();

    QLabel *m_totalPrice;
    QLabel *m_mailPrice = nullptr;
    QLabel *m_pickupPrice = nullptr;
    QLabel *m_pictureCount;
};
