#include "etdialogpresenter.h"

#include "etdialogskin.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPointer>

namespace
{

ETDialogSkin *s_skin = nullptr;

// Boxes get the skin's dialog colours; with no widget, every file and input dialog does.
void applyDialogColors(QWidget *widget)
{
    if (s_skin)
        s_skin->applyDialogColors(widget);
}

// Non-native, so the object names and the skin's palette reach the dialog.
void prepareFileDialog(QFileDialog &dialog, const char *name)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowModality(Qt::ApplicationModal);
}

// A start name may be a folder or a file inside one.
void startAt(QFileDialog &dialog, const QString &start)
{
    if (start.isEmpty())
        return;
    const QFileInfo info(start);
    if (info.isDir()) {
        dialog.setDirectory(start);
    } else {
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
}

// The first chosen name, empty when the dialog was cancelled.
QString firstChosen(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace

void ETDialogPresenter::setSkin(ETDialogSkin *skin)
{
    s_skin = skin;
}

QMessageBox::StandardButton ETDialogPresenter::messageBox(const ETMessageBoxRequest &request)
{
    QPointer<QMessageBox> box =
        new QMessageBox(request.icon, request.caption, request.text, QMessageBox::NoButton);
    box->setObjectName(request.objectName);
    box->setTextFormat(request.textFormat);
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    for (QMessageBox::StandardButton button : request.buttons)
        box->addButton(button);
    if (request.defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(request.defaultButton);
    if (request.escapeButton != QMessageBox::NoButton)
        box->setEscapeButton(request.escapeButton);
    applyDialogColors(box);

    QMessageBox::StandardButton pressed = QMessageBox::NoButton;
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [&pressed, box](QAbstractButton *button) { pressed = box->standardButton(button); });
    box->exec();
    if (pressed == QMessageBox::NoButton)
        pressed = request.escapeButton;
    return pressed;
}

QString ETDialogPresenter::getExistingDirectory(const QString &startDir, bool dirOnly, const QString &caption,
                                                QWidget *parent)
{
    applyDialogColors(nullptr);
    QFileDialog dialog(parent, caption, startDir);
    prepareFileDialog(dialog, "reqctrl_ged");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, dirOnly);
    return firstChosen(dialog);
}

QString ETDialogPresenter::getSaveFileName(const QString &startWith, const QString &filter,
                                           const QString &caption, QWidget *parent)
{
    applyDialogColors(nullptr);
    QFileDialog dialog(parent, caption);
    prepareFileDialog(dialog, "reqctrl_gsfn");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!filter.isEmpty())
        dialog.setNameFilter(filter);
    startAt(dialog, startWith);
    return firstChosen(dialog);
}

QStringList ETDialogPresenter::getOpenFileNames(const QString &startDir, const QString &filter,
                                                const QString &caption, QWidget *parent)
{
    applyDialogColors(nullptr);
    QFileDialog dialog(parent, caption);
    prepareFileDialog(dialog, "reqctrl_gofn");
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (!filter.isEmpty())
        dialog.setNameFilter(filter);
    startAt(dialog, startDir);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    return dialog.selectedFiles();
}

QString ETDialogPresenter::getText(const QString &caption, const QString &label, const QString &text,
                                   QWidget *parent)
{
    applyDialogColors(nullptr);
    bool ok = false;
    const QString entered = QInputDialog::getText(parent, caption, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return QString();
    // An accepted empty entry is an answer, not a cancel.
    return entered.isNull() ? QString(QLatin1String("")) : entered;
}

QString ETDialogPresenter::getItem(const QString &caption, const QString &label, const QStringList &items)
{
    applyDialogColors(nullptr);
    bool ok = false;
    const QString item = QInputDialog::getItem(nullptr, caption, label, items, 0, false, &ok);
    return ok ? item : QString();
}
