#include "aboutupdaterdialog.h"

#include "autoupdateresource.h"

AboutUpdaterDialog::AboutUpdaterDialog() : ModalDialog(IDD_ABOUT_UPDATER) {}
