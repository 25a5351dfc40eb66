#include "etorderwizard.h"

#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "etconfig.h"
#include "etimageloader.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etwizardfactory.h"
#include "etwizardscreen.h"
#include "paymenttype.h"

#include <QApplication>
#include <QDebug>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>

#include <memory>

namespace
{

// Process-wide, like the lists it stands for.
QDateTime s_listsStamp;
std::function<QDateTime()> s_clock;

QDateTime now()
{
    return s_clock ? s_clock() : QDateTime::currentDateTimeUtc();
}

} // namespace

ETOrderWizard::ETOrderWizard(ETWizardFactory *factory, QWidget *parent, const QString &name)
    : ETWizard(parent), m_logoLabel(new QLabel(QStringLiteral("Logo"), this)),
      m_titleLabel(new QLabel(QStringLiteral("Titel"), this))
{
    setObjectName(name);
    setModal(false);
    // A title bar without the window system's buttons: the wizard is left by Cancel or Finish.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (factory)
        factory->setButtonTexts(this);

    if (const std::unique_ptr<QPixmap> logo(ETImageLoader::loadPixmap(QStringLiteral("wizardlogo"))); logo) {
        m_logo = *logo;
        m_logoLabel->setPixmap(m_logo);
    }
    m_titleLabel->setMargin(5);
    // A long instruction wraps within the row instead of running out of it.
    m_titleLabel->setWordWrap(true);
    const QDomElement titleStyle =
        ETAppearanceFactory::instance()->findElement(QStringLiteral("wizardtitle"));
    if (!titleStyle.isNull()) {
        ETAppearanceFactory::instance()->applyElement(m_titleLabel, titleStyle);
        ETAppearanceFactory::instance()->applyElement(m_logoLabel, titleStyle);
    }
    m_logoLabel->setMinimumHeight(80);
}

ETOrderWizard::~ETOrderWizard()
{
    m_screensByName.clear();
    m_screensByPage.clear();
    m_screens.clear();
}

void ETOrderWizard::setClockForTests(std::function<QDateTime()> clock)
{
    s_clock = std::move(clock);
}

void ETOrderWizard::setVisible(bool visible)
{
    if (visible && !isVisible())
        prepareShow();
    ETWizard::setVisible(visible);
}

void ETOrderWizard::prepareShow()
{
    // A final screen of the last session may have hidden them.
    for (QPushButton *button : {cancelButton(), nextButton(), backButton()})
        button->show();
    cancelButton()->setEnabled(true);

    const float scale = ETAppearanceConfig::instance()->fontSize() / 9.0f;
    setFixedSize(int(scale * 650), int(scale * 500));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSizeGripEnabled(false);

    if (pageCount() > 0)
        showPage(page(0));
    checkIntegrity();
    ETOrder::instance()->selectDefaultPaymentType();
}

void ETOrderWizard::hideEvent(QHideEvent *event)
{
    // Minimising is no end of the session.
    if (!event->spontaneous() && pageCount() > 0) {
        if (currentPage() && currentPage() == page(pageCount() - 1))
            next();
        showPage(page(0));
    }
    ETWizard::hideEvent(event);
}

void ETOrderWizard::addPage(QWidget *page, const QString &title)
{
    ETWizard::addPage(page, title);
    setHelpEnabled(page, false);
}

void ETOrderWizard::addScreen(ETWizardScreen *screen, bool backEnabled)
{
    if (!screen)
        return;
    m_screens.emplace_back(screen);
    m_screensByName.insert(screen->name(), screen);
    QWidget *page = screen->page();
    if (!page) {
        qWarning().noquote() << QStringLiteral("ETOrderWizard::addScreen() screen ") + screen->name() +
                                    QStringLiteral(" has no page");
        return;
    }
    m_screensByPage.insert(page, screen);
    addPage(page, screen->title());
    setHelpEnabled(page, false);
    setBackEnabled(page, backEnabled);
    setNextEnabled(page, false);
}

ETWizardScreen *ETOrderWizard::screenForPage(QWidget *page) const
{
    return page ? m_screensByPage.value(page) : nullptr;
}

ETWizardScreen *ETOrderWizard::screenByName(const QString &name) const
{
    return m_screensByName.value(name);
}

void ETOrderWizard::setBurner(const QString &name, int speed)
{
    m_burnerName = name;
    m_burnerSpeed = speed;
}

void ETOrderWizard::setNetOrder(bool on)
{
    m_netOrder = on;
    if (!on) {
        m_customerPath = false;
        m_passwordForgotten = false;
    }
}

bool ETOrderWizard::listsFresh()
{
    if (!s_listsStamp.isValid())
        return false;
    // A clock set back makes the stamp stale, not fresh for ever.
    const qint64 age = s_listsStamp.secsTo(now());
    return age >= 0 && age < 3600;
}

void ETOrderWizard::setListsStamp(bool on)
{
    s_listsStamp = on ? now() : QDateTime();
}

void ETOrderWizard::resetPaymentType()
{
    ETOrder::instance()->setPaymentType(PaymentUnknown);
}

bool ETOrderWizard::appropriate(QWidget *page) const
{
    if (ETWizardScreen *screen = screenForPage(page))
        return screen->appropriate();
    qWarning().noquote() << QStringLiteral("ETOrderWizard::appropriate()  widget \"") +
                                (page ? page->objectName() : QString()) +
                                QStringLiteral("\" has no screen!?");
    return false;
}

void ETOrderWizard::checkIntegrity(const QString &)
{
    checkIntegrity();
}

void ETOrderWizard::checkIntegrity()
{
    QWidget *page = currentPage();
    if (!page)
        return;
    ETWizardScreen *screen = screenForPage(page);
    setNextEnabled(page, screen ? screen->check() : true);
}

template <typename Call> bool ETOrderWizard::step(Call call)
{
    const ETNetworking::Step step;
    return call();
}

void ETOrderWizard::next()
{
    // A screen's step, or a search on the page, waits for the server in an
    // event loop: a second press must not start another one meanwhile.
    if (!ETNetworking::instance()->mayStartRequest())
        return;
    bool ok = true;
    if (ETWizardScreen *screen = screenForPage(currentPage())) {
        ok = step([screen] { return screen->atNext(); });
        qDebug().noquote() << QStringLiteral("ETOrderWizard::next() screen=") + screen->name() +
                                  QStringLiteral(" result=") +
                                  (ok ? QStringLiteral("true") : QStringLiteral("false"));
    }
    if (ok)
        ETWizard::next();
}

void ETOrderWizard::back()
{
    if (!ETNetworking::instance()->mayStartRequest())
        return;
    ETWizardScreen *screen = screenForPage(currentPage());
    if (!screen || step([screen] { return screen->atBack(); }))
        ETWizard::back();
}

void ETOrderWizard::makeLastPage(QWidget *page)
{
    for (int i = pageCount() - 1; i > indexOf(page); --i)
        removePage(this->page(i));
    setFinishEnabled(page, true);
}

void ETOrderWizard::showPage(QWidget *page)
{
    ETWizardScreen *screen = screenForPage(page);
    bool ok = true;
    if (screen) {
        ok = step([screen] { return screen->atShow(); });
        if (ok && screen->isFinal())
            makeLastPage(page);
    }
    if (ok) {
        ETWizard::showPage(page);
        if (screen && screen->isFinal()) {
            setNextEnabled(page, false);
            setBackEnabled(page, false);
            cancelButton()->setEnabled(false);
            for (QPushButton *button : {nextButton(), backButton(), cancelButton()})
                button->hide();
        }
    }

    bool ran = false;
    if (screen) {
        m_nextScreen.clear();
        ran = step([screen] { return screen->run(); });
    }
    if (!ran) {
        checkIntegrity();
        return;
    }
    if (m_nextScreen.isEmpty()) {
        next();
        return;
    }
    if (ETWizardScreen *target = screenByName(m_nextScreen)) {
        showPage(target->page());
        return;
    }
    qWarning().noquote() << QStringLiteral("ETOrderWizard::autoRun() myNextScreen=") + m_nextScreen +
                                QStringLiteral(" not found");
    cancelButton()->setEnabled(true);
}

void ETOrderWizard::accept()
{
    resetPaymentType();
    ETWizard::accept();
}

void ETOrderWizard::reject()
{
    // A screen's cancel may come back here (the send screen stops its upload
    // through the same path).
    if (m_rejecting)
        return;
    const QScopedValueRollback<bool> guard(m_rejecting, true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (ETWizardScreen *screen = screenForPage(currentPage())) {
        qDebug().noquote() << QStringLiteral("### cancelling screen ") + screen->name() +
                                  QStringLiteral(" ###");
        screen->cancel();
        // What the step did cannot be taken back (an order placed): it goes on.
        if (!screen->closesOnCancel()) {
            QApplication::restoreOverrideCursor();
            return;
        }
    }
    // A request of the current step may still wait for the server: it ends
    // now, and the step sends nothing more. The session end still goes, briefly.
    ETNetworking::instance()->abort();
    if (!ETConfig::instance()->sessionID().isEmpty())
        ETNetworking::instance()->endSessionAfterCancel();
    QApplication::restoreOverrideCursor();
    resetPaymentType();
    ETWizard::reject();
}

void ETOrderWizard::layOutTitleRow(QHBoxLayout *layout, const QString &title)
{
    layout->setSpacing(0);
    m_titleLabel->setText(title);
    layout->addWidget(m_titleLabel, 1);
    layout->addWidget(m_logoLabel, 0);
}
