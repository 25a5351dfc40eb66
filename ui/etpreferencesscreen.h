#pragma once

#include <QDialog>
#include <QString>

class ETPreferencesProxy;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The preferences dialog: one network page whose values go to the per-user settings (GUI thread).
class ETPreferencesScreen : public QDialog
{
    Q_OBJECT

  public:
    // The one dialog of the process, made on the first call; later parents are ignored.
    static ETPreferencesScreen *open(QWidget *parent = nullptr);

    // Every time the dialog appears (show() or exec()) its fields show the stored values.
    void setVisible(bool visible) override;
    // The network page in front, under the name the wizard's screens use.
    void showPage() { selectProxyScreen(); }

  public slots:
    virtual void save();
    virtual void browse();
    void selectProxyScreen();

  private:
    ETPreferencesScreen(QWidget *parent, const QString &name);

    void loadFields();

    // Room for further settings; this dialog builds none of them.
    QLineEdit *m_dataFolder = nullptr;
    QComboBox *m_startingDirectory = nullptr;
    QSpinBox *m_diashowInterval = nullptr;
    ETPreferencesProxy *m_proxy = nullptr;
    QTabWidget *m_tabs = nullptr;
};
