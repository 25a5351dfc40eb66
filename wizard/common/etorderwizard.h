#pragma once

#include "etwizard.h"

#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class ETWizardFactory;
class ETWizardScreen;
class QLabel;

// The client's main window: the wizard that holds the pages of every road and
// lets each page's screen decide whether it is shown, whether Next is enabled,
// whether the customer may leave and whether an automatic step runs. It also
// keeps the state of one order session that the screens share (GUI thread).
class ETOrderWizard : public ETWizard
{
    Q_OBJECT

  public:
    // The factory gives the buttons their texts; it may be null.
    explicit ETOrderWizard(ETWizardFactory *factory, QWidget *parent = nullptr,
                           const QString &name = QString());
    ~ETOrderWizard() override;

    // Showing starts the session on the first page at the skin's size.
    void setVisible(bool visible) override;
    // Pages come without Help.
    void addPage(QWidget *page, const QString &title) override;
    // A page without a screen is never appropriate.
    bool appropriate(QWidget *page) const override;

    // The wizard owns the screen from now on; its page is added with Next
    // disabled and Back as given.
    virtual void addScreen(ETWizardScreen *screen, bool backEnabled);
    // Where the current screen's automatic step goes instead of Next.
    virtual void setNextScreen(const QString &name) { m_nextScreen = name; }

    virtual void setCDOrder(bool on) { m_cdOrder = on; }
    virtual bool cdOrder() { return m_cdOrder; }
    virtual void setImageFileName(const QString &name) { m_imageFileName = name; }
    virtual QString imageFileName() { return m_imageFileName; }
    virtual void setBurner(const QString &name, int speed);
    virtual int burnerSpeed() { return m_burnerSpeed; }
    virtual QString burnerName() { return m_burnerName; }
    virtual void setUploadOption(bool on) { m_uploadOption = on; }
    virtual bool uploadOption() { return m_uploadOption; }
    // Off also leaves the customer path and the forgotten password.
    virtual void setNetOrder(bool on);
    virtual bool netOrder() { return m_netOrder; }
    virtual void setCustomerPath(bool on) { m_customerPath = on; }
    // Net order and customer path.
    virtual bool customerPath() { return m_netOrder && m_customerPath; }
    virtual void setPasswordForgotten(bool on) { m_passwordForgotten = on; }
    // Net order and forgotten password.
    virtual bool passwordForgotten() { return m_netOrder && m_passwordForgotten; }
    virtual void setEmail(const QString &email) { m_email = email; }
    virtual QString email() { return m_email; }
    virtual void setNewCustomer(bool on) { m_newCustomer = on; }
    virtual bool newCustomer() { return m_newCustomer; }
    // The product list and transfer prices of this process were refreshed
    // within the hour.
    virtual bool listsFresh();
    // True stamps now, false clears the stamp.
    virtual void setListsStamp(bool on);
    virtual void setLocalOrder(bool on) { m_localOrder = on; }
    virtual bool localOrder() { return m_localOrder; }
    // No payment type chosen.
    virtual void resetPaymentType();

    ETWizardScreen *screenForPage(QWidget *page) const;
    // The screen added last under that name.
    ETWizardScreen *screenByName(const QString &name) const;

    QLabel *titleLabel() const { return m_titleLabel; }
    QLabel *logoLabel() const { return m_logoLabel; }

    // For tests: the clock of the list-refresh stamp; an empty function restores the real one.
    static void setClockForTests(std::function<QDateTime()> clock);

  public slots:
    void reject() override;
    void accept() override;
    void next() override;
    void back() override;
    virtual void checkIntegrity(const QString &text);
    // Next follows the current screen's check.
    virtual void checkIntegrity();
    // Asks the screen's atShow; a final screen becomes the last page; then
    // the screen's automatic step may move on by itself.
    void showPage(QWidget *page) override;

  protected:
    void hideEvent(QHideEvent *event) override;
    void layOutTitleRow(QHBoxLayout *layout, const QString &title) override;

  private:
    // Runs a call of a screen's (atNext, atBack, atShow, run) as one step.
    template <typename Call> bool step(Call call);
    void prepareShow();
    void makeLastPage(QWidget *page);

    QPixmap m_logo;
    QLabel *m_logoLabel;
    QLabel *m_titleLabel;
    std::vector<std::unique_ptr<ETWizardScreen>> m_screens;
    QHash<QWidget *, ETWizardScreen *> m_screensByPage;
    QHash<QString, ETWizardScreen *> m_screensByName;
    QString m_nextScreen;
    QString m_email;
    QString m_imageFileName;
    QString m_burnerName;
    int m_burnerSpeed = 0;
    bool m_uploadOption = false;
    bool m_netOrder = false;
    bool m_customerPath = false;
    bool m_passwordForgotten = false;
    bool m_newCustomer = false;
    bool m_cdOrder = false;
    bool m_localOrder = false;
    bool m_rejecting = false;
};
