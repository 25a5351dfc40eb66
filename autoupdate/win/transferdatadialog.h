#pragma once

// Shows the usage data to be sent: the file "crm.ini" of the current folder.

#include "modaldialog.h"

class TransferDataDialog : public ModalDialog
{
  public:
    TransferDataDialog();

  protected:
    bool onInitDialog() override;
};
