#pragma once

#include "etrequesterpresenter.h"

class ETDialogSkin;

// The requester facade's presenter in the running client: real, application-modal Qt dialogs (GUI thread).
class ETDialogPresenter : public ETRequesterPresenter
{
  public:
    // The skin that colours every dialog (not owned); none leaves Qt's colours.
    static void setSkin(ETDialogSkin *skin);

    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override;
    QString getExistingDirectory(const QString &startDir, bool dirOnly, const QString &caption,
                                 QWidget *parent) override;
    QString getSaveFileName(const QString &startWith, const QString &filter, const QString &caption,
                            QWidget *parent) override;
    QStringList getOpenFileNames(const QString &startDir, const QString &filter, const QString &caption,
                                 QWidget *parent) override;
    QString getText(const QString &caption, const QString &label, const QString &text,
                    QWidget *parent) override;
    QString getItem(const QString &caption, const QString &label, const QStringList &items) override;
};
