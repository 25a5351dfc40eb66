#include "wizardfixture.h"

#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "etapplicationfactoryabstract.h"
#include "etconfig.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderlineqix.h"
#include "ettestwait.h"
#include "ettransferconfig.h"
#include "etvaliduntiledit.h"
#include "etwizardfactoryplugin.h"
#include "etwizardscreen.h"
#include "etxmlbuilder.h"
#include "paymenttype.h"

#include <QApplication>
#include <QDir>
#include <QDomElement>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <atomic>

namespace
{

std::atomic<int> s_slept{0};
ETOrderWizard *s_mainWindow = nullptr;
bool s_clientOrderLines = false;

// The application factory of the tests: its main window is the wizard under test.
class WizardTestApplicationFactory : public ETApplicationFactoryAbstract
{
  public:
    WizardTestApplicationFactory() : ETApplicationFactoryAbstract(nullptr, new ETWizardFactoryPlugin)
    {
        // As the client's own factory has them.
        appearanceFactory()->setShowPixelSize(false);
        appearanceFactory()->setFlatButtons(true);
    }

    QWidget *mainWidget() override { return s_mainWindow; }

    ETOrderLine *createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                 const QString &name) override
    {
        if (s_clientOrderLines)
            return new ETOrderLineQIX(item, row, column, table, name);
        return ETApplicationFactoryAbstract::createOrderLine(item, row, column, table, name);
    }
};

} // namespace

WizardFixture::WizardFixture() : m_now(QDate(2024, 5, 17), QTime(10, 0), Qt::UTC)
{
    for (const char *name : {"payment.xml", "currencies.xml", "productlist.xml", "transferlist.xml",
                             "customer.xml", "countrylist.xml", "creditcards.xml", "appearance.xml"})
        writeResource(QLatin1String(name), ETTestSandbox::shippedResource(QLatin1String(name)));

    ETApplicationFactoryAbstract::setMaker(
        []() -> ETApplicationFactoryAbstract * { return new WizardTestApplicationFactory; });
    ETApplicationFactoryAbstract::instance();

    setSleepHookForTests([](unsigned milliseconds) { s_slept += int(milliseconds); });
    s_slept = 0;
    ETOrderWizard::setClockForTests([this] { return m_now; });
    ETValidUntilEdit::setClockForTests([this] { return m_now.date(); });
    ETConfig::instance()->setSessionID(QString(), QString(), true);
    ETOrder::instance()->setPaymentType(PaymentUnknown);
}

WizardFixture::~WizardFixture()
{
    // One process may run several tests: the next one starts without stamp.
    if (m_wizard)
        m_wizard->setListsStamp(false);
    m_wizard.reset();
    s_mainWindow = nullptr;
    s_clientOrderLines = false;
    ETConfig::instance()->setSessionID(QString(), QString(), true);
    ETOrderWizard::setClockForTests({});
    ETValidUntilEdit::setClockForTests({});
    setSleepHookForTests(nullptr);
}

void WizardFixture::writeResource(const QString &name, const QByteArray &content)
{
    QFile file(m_environment.resources() + QLatin1Char('/') + name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    file.write(content);
    file.close();
    if (name == QLatin1String("payment.xml"))
        ETTransferConfig::instance()->load();
    else if (name == QLatin1String("appearance.xml"))
        ETAppearanceConfig::instance()->load();
}

QString WizardFixture::addPicture(const QString &name, int width, int height, const QString &product,
                                  int amount)
{
    // Stripes and blocks, so that a picture shrinks as a photo does.
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int i = 0; i < 40; ++i)
        painter.fillRect((i * 37) % width, (i * 53) % height, width / 5 + 1, height / 7 + 1,
                         QColor::fromHsv((i * 29) % 360, 200, 100 + i * 3));
    painter.end();
    const QString path = m_environment.scratch() + QLatin1Char('/') + name;
    if (!image.save(path, nullptr, 95))
        return QString();
    ETOrder *order = ETOrder::instance();
    const int position = int(order->orderItems()->size());
    return order->addImage(ETImage::create(path), product, amount, position) ? path : QString();
}

ETOrderWizard *WizardFixture::buildWizard()
{
    auto *factory =
        static_cast<ETWizardFactoryPlugin *>(ETApplicationFactoryAbstract::instance()->wizardFactory());
    m_wizard.reset(factory->createOrderWizard(nullptr));
    s_mainWindow = m_wizard.get();
    return m_wizard.get();
}

void WizardFixture::useClientOrderLines()
{
    s_clientOrderLines = true;
}

ETOrderWizard *WizardFixture::emptyWizard()
{
    auto *factory =
        static_cast<ETWizardFactoryPlugin *>(ETApplicationFactoryAbstract::instance()->wizardFactory());
    m_wizard = std::make_unique<ETOrderWizard>(factory, nullptr, QStringLiteral("TestOrderWizard"));
    s_mainWindow = m_wizard.get();
    return m_wizard.get();
}

void WizardFixture::showWizard()
{
    ETAppearanceFactory::instance()->styleMainWindow(m_wizard.get());
    m_wizard->show();
}

QString WizardFixture::currentPage() const
{
    QWidget *page = m_wizard ? m_wizard->currentPage() : nullptr;
    if (!page)
        return QString();
    ETWizardScreen *screen = m_wizard->screenForPage(page);
    return screen ? screen->name() : page->objectName();
}

QStringList WizardFixture::pageNames() const
{
    QStringList names;
    for (int i = 0; i < m_wizard->pageCount(); ++i) {
        ETWizardScreen *screen = m_wizard->screenForPage(m_wizard->page(i));
        names << (screen ? screen->name() : m_wizard->page(i)->objectName());
    }
    return names;
}

::testing::AssertionResult WizardFixture::press(QPushButton *button, const char *name)
{
    if (!button->isVisible())
        return ::testing::AssertionFailure() << name << " is hidden on page " << currentPage().toStdString();
    if (!button->isEnabled())
        return ::testing::AssertionFailure()
               << name << " is disabled on page " << currentPage().toStdString();
    button->click();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WizardFixture::pressNext()
{
    return press(m_wizard->nextButton(), "Next");
}

::testing::AssertionResult WizardFixture::pressBack()
{
    return press(m_wizard->backButton(), "Back");
}

::testing::AssertionResult WizardFixture::pressFinish()
{
    return press(m_wizard->finishButton(), "Finish");
}

::testing::AssertionResult WizardFixture::pressCancel()
{
    return press(m_wizard->cancelButton(), "Cancel");
}

::testing::AssertionResult WizardFixture::waitForPage(const QString &name, int timeoutMs)
{
    if (waitFor([&] { return currentPage() == name; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "page " << name.toStdString() << " not shown within " << timeoutMs
                                         << " ms; the current page is " << currentPage().toStdString();
}

::testing::AssertionResult WizardFixture::endsEventLoop(const std::function<void()> &action, int timeoutMs)
{
    const QMetaObject::Connection quit =
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    QTimer::singleShot(0, qApp, action);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    timeout.start(timeoutMs);
    const int status = QApplication::exec();
    QObject::disconnect(quit);
    if (status == 99)
        return ::testing::AssertionFailure() << "the event loop still ran after " << timeoutMs << " ms";
    if (status != 0)
        return ::testing::AssertionFailure() << "the event loop ended with status " << status;
    return ::testing::AssertionSuccess();
}

QStringList WizardFixture::requestNames() const
{
    QStringList names;
    for (const ETOrderServerRequest &request : m_environment.server().requests())
        names << request.name;
    return names;
}

QStringList WizardFixture::requestSequence() const
{
    QStringList names;
    for (const ETOrderServerRequest &r : m_environment.server().requests())
        names << r.summary();
    return names;
}

WizardFixture::InterruptedStep WizardFixture::interruptWhenRequested(const QString &request,
                                                                     const std::function<void()> &step,
                                                                     const std::function<void()> &interrupt)
{
    InterruptedStep result;
    QElapsedTimer sinceInterrupt;
    QTimer poll;
    const qsizetype before = server().requests(request).size();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (server().requests(request).size() > before) {
            poll.stop();
            result.interrupted = true;
            sinceInterrupt.start();
            interrupt();
        }
    });
    poll.start(5);
    const EventLoopWatch watch;
    step();
    result.longestFreezeMs = watch.longestGapMs();
    if (result.interrupted)
        result.endedAfterMs = sinceInterrupt.elapsed();
    return result;
}

::testing::AssertionResult WizardFixture::endedPromptly(const InterruptedStep &step, qint64 withinMs)
{
    // Half a second without events is a frozen window to the customer.
    const qint64 frozen = 400;
    if (!step.interrupted)
        return ::testing::AssertionFailure() << "the request never came, nor the interruption";
    if (step.endedAfterMs >= withinMs)
        return ::testing::AssertionFailure() << "the step ended " << step.endedAfterMs
                                             << " ms after the interruption, not within " << withinMs;
    if (step.longestFreezeMs >= frozen)
        return ::testing::AssertionFailure() << "the window froze for " << step.longestFreezeMs << " ms";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WizardFixture::everyPictureArrived() const
{
    QList<ETImage *> sent;
    for (ETOrderItem *item : *ETOrder::instance()->orderItems())
        if (item->isOrdered() && !sent.contains(item->image()))
            sent << item->image();
    const QList<ETOrderServerPicture> pictures = m_environment.server().pictures();
    if (pictures.size() != sent.size())
        return ::testing::AssertionFailure()
               << pictures.size() << " pictures arrived, " << sent.size() << " were ordered";
    for (int i = 0; i < sent.size(); ++i) {
        const ETOrderServerPicture &arrived = pictures[i];
        if (!arrived.sizeMatches || !arrived.crcMatches)
            return ::testing::AssertionFailure() << "picture " << i << " is not what its declaration said";
        // The server knows a file by its declared name: the path as XML can carry it.
        // An optimised copy, under a name of its own beside the picture, is gone once
        // the order is confirmed: it arrived as a whole picture. Any other file that
        // went in the picture's place is still there.
        const QString own = ETXMLBuilder::carriableText(sent[i]->path());
        if (arrived.fileName != own && arrived.fileName.startsWith(own) &&
            arrived.fileName.endsWith(QStringLiteral(".opti.jpg")) && !QFileInfo::exists(arrived.fileName)) {
            if (QImage::fromData(arrived.data, "JPEG").isNull() || !arrived.data.endsWith("\xff\xd9"))
                return ::testing::AssertionFailure() << "picture " << i << " arrived as no whole JPEG";
            continue;
        }
        QFile file(sent[i]->path());
        if (arrived.fileName != ETXMLBuilder::carriableText(file.fileName()) ||
            !file.open(QIODevice::ReadOnly) || file.readAll() != arrived.data)
            return ::testing::AssertionFailure()
                   << "picture " << i << " differs from " << file.fileName().toStdString();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WizardFixture::shownOnlyForPayment(ETWizardScreen *screen, int type) const
{
    const int other = type == PaymentBill ? PaymentDebit : PaymentBill;
    const struct {
        bool customer, cd;
        int type;
        bool appropriate;
    } cases[] = {{true, false, type, true},
                 {false, true, type, true},
                 {false, false, type, false},
                 {true, false, other, false},
                 {false, true, other, false}};
    for (const auto &c : cases) {
        m_wizard->setCustomerPath(c.customer);
        m_wizard->setCDOrder(c.cd);
        ETOrder::instance()->setPaymentType(c.type);
        if (screen->appropriate() != c.appropriate)
            return ::testing::AssertionFailure()
                   << "customer road " << c.customer << ", CD road " << c.cd << ", payment type " << c.type
                   << ": shown " << !c.appropriate;
    }
    return ::testing::AssertionSuccess();
}

int WizardFixture::sleptMilliseconds()
{
    return s_slept;
}
