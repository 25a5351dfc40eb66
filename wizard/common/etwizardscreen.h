#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class ETOrderWizard;
class QProgressDialog;
class QWidget;

// Base of every screen of the order wizard: the logic of one page. It makes
// the page, tells the wizard whether the page is shown, whether Next may be
// pressed and what happens on arrival and departure, and carries what the
// screens that talk to the order server share: the progress dialog, the
// session with its list refresh and the offer to retry (GUI thread).
class ETWizardScreen : public QObject
{
    Q_OBJECT

  public:
    ETWizardScreen(const QString &name, ETOrderWizard *wizard);
    ~ETWizardScreen() override;

    // Whether Next is enabled.
    virtual bool check();
    // Whether the customer may leave forwards, or backwards.
    virtual bool atNext();
    virtual bool atBack();
    // Whether the page may be shown; false keeps the previous page.
    virtual bool atShow();
    // Whether the page is on the customer's road; false passes over it.
    virtual bool appropriate();
    // The automatic step right after showing; true moves the wizard on.
    virtual bool run();

    // The skin's "wizard" look goes to the page.
    void setPage(QWidget *page);
    QWidget *page() const { return m_page; }
    // Read by the wizard when the screen is added.
    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }
    QString name() const { return m_name; }
    ETOrderWizard *wizard() const { return m_wizard; }
    // A final screen ends a road: only Finish remains.
    bool isFinal() const { return m_final; }
    void setFinal(bool final) { m_final = final; }

    // Opens the modal "Kommunikation mit dem Server ..." dialog, or resets the
    // open one to that many steps; progress 0.
    void openProgress(int steps);
    void closeProgress();
    QProgressDialog *progressDialog() const;
    // After a failed request (ok false): shows the request layer's error with
    // the progress dialog out of the way; true when the customer chose Retry.
    bool askRetry(bool ok, int ignored = 0);
    // Opens a session and, unless they were refreshed within the hour or
    // forceRefresh, refreshes the product list and the transfer prices.
    // Needs an open progress dialog of at least 4 steps.
    bool openSession(bool forceRefresh);

    // Asked after cancel(): whether the cancel still closes the wizard. False
    // once the step has done what a cancel cannot take back; the step then
    // goes on as if nothing had been pressed.
    virtual bool closesOnCancel();

  public slots:
    // The wizard is cancelled while this page is current.
    virtual void cancel();
    // Nothing without an open progress dialog.
    virtual void setProgress(int step);

  private:
    void setProgressLabel(const QString &text);

    QString m_name;
    QString m_title;
    QPointer<QWidget> m_page;
    ETOrderWizard *m_wizard;
    // Its parent is the main window, which may go first.
    QPointer<QProgressDialog> m_progress;
    bool m_final = false;
};
