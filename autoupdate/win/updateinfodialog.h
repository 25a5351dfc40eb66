#pragma once

// Offers the update the server named, with its version and size.

#include "modaldialog.h"

#include <string>

class UpdateInfoDialog : public ModalDialog
{
  public:
    explicit UpdateInfoDialog(const std::string &offer);

  protected:
    bool onInitDialog() override;

  private:
    std::string m_offer;
};
