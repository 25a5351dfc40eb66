#pragma once

// The about box behind the update window's system menu item.

#include "modaldialog.h"

class AboutUpdaterDialog : public ModalDialog
{
  public:
    AboutUpdaterDialog();
};
