#include "transferdatadialog.h"

#include "autoupdateresource.h"
#include "updatetext.h"

TransferDataDialog::TransferDataDialog() : ModalDialog(IDD_TRANSFER_DATA) {}

bool TransferDataDialog::onInitDialog()
{
    setItemText(IDC_DATA, autoupdate::readTransferNotice("crm.ini"));
    return true;
}
