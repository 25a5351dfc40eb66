#include "updateinfodialog.h"

#include "autoupdateresource.h"

UpdateInfoDialog::UpdateInfoDialog(const std::string &offer) : ModalDialog(IDD_UPDATE_INFO), m_offer(offer) {}

bool UpdateInfoDialog::onInitDialog()
{
    if (!m_offer.empty())
        setItemText(IDC_OFFER, m_offer);
    return true;
}
