#pragma once

// Asks the user for leave to go online and to send the usage data.

#include "modaldialog.h"

#include <string>

class ConnectConsentDialog : public ModalDialog
{
  public:
    // productName as shown in static texts (ampersands doubled); may be empty.
    explicit ConnectConsentDialog(const std::string &productName);

  protected:
    bool onInitDialog() override;
    bool onCommand(WORD id, WORD code) override;

  private:
    std::string m_productName;
};
