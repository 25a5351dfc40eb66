#include "connectconsentdialog.h"

#include "autoupdateresource.h"
#include "transferdatadialog.h"
#include "updaterapp.h"
#include "updatetext.h"

ConnectConsentDialog::ConnectConsentDialog(const std::string &productName)
    : ModalDialog(IDD_CONNECT_CONSENT), m_productName(productName)
{
}

bool ConnectConsentDialog::onInitDialog()
{
    if (!m_productName.empty())
        setItemText(IDC_CONSENT_TEXT,
                    autoupdate::replaceAll(UpdaterApp::instance().loadString(IDS_CONSENT_NAMED), "[ProgName]",
                                           m_productName));
    return true;
}

bool ConnectConsentDialog::onCommand(WORD id, WORD code)
{
    if (id != IDC_SHOW_DATA || code != BN_CLICKED)
        return false;
    TransferDataDialog data;
    data.doModal(window());
    return true;
}
