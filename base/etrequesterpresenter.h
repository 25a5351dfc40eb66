#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// One message box as the requester facade asks for it: what is shown and which answers are offered.
struct ETMessageBoxRequest {
    QString caption;
    QString text;
    Qt::TextFormat textFormat = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    QString objectName;
};

// Shows what the requester facade asks (GUI thread); replaced in tests to answer without a screen.
class ETRequesterPresenter
{
  public:
    virtual ~ETRequesterPresenter();

    // Returns the button the user pressed.
    virtual QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) = 0;
    // Each returns a null text (or an empty list) when the user cancels.
    virtual QString getExistingDirectory(const QString &startDir, bool dirOnly, const QString &caption,
                                         QWidget *parent) = 0;
    virtual QString getSaveFileName(const QString &startWith, const QString &filter, const QString &caption,
                                    QWidget *parent) = 0;
    virtual QStringList getOpenFileNames(const QString &startDir, const QString &filter,
                                         const QString &caption, QWidget *parent) = 0;
    virtual QString getText(const QString &caption, const QString &label, const QString &text,
                            QWidget *parent) = 0;
    virtual QString getItem(const QString &caption, const QString &label, const QStringList &items) = 0;
};
