#include "etstartup.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderline.h"
#include "etordertable.h"
#include "etorderwizard.h"
#include "etprocessstate.h"
#include "ettestapplication.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <csignal>
#include <vector>

#include <gtest/gtest.h>

namespace
{

const QString buildResources = QStringLiteral(LUMO_BINARY_DIR "/Resources");
const QString germanCaption = QStringLiteral("Assistent für die Bestellung von Abzügen");
const QString dutchCaption = QStringLiteral("Assistent voor het bestellen van afdrukken");

// A null-terminated argument vector that outlives the calls using it.
class Arguments
{
  public:
    explicit Arguments(const QStringList &arguments)
    {
        for (const QString &argument : arguments)
            m_storage.push_back(argument.toLocal8Bit());
        for (QByteArray &argument : m_storage)
            m_pointers.push_back(argument.data());
        m_pointers.push_back(nullptr);
        m_count = int(m_storage.size());
    }
    int &count() { return m_count; }
    char **vector() { return m_pointers.data(); }

  private:
    std::vector<QByteArray> m_storage;
    std::vector<char *> m_pointers;
    int m_count = 0;
};

void makeApplication()
{
    ETTestApplication::instance();
}

::testing::AssertionResult copy(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).path());
    if (!QFile::copy(from, to))
        return ::testing::AssertionFailure()
               << "cannot copy " << qPrintable(from) << " to " << qPrintable(to);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult writeDefaultXml(const QString &folder, const QByteArray &content)
{
    QFile file(folder + QStringLiteral("/default.xml"));
    if (!file.open(QIODevice::WriteOnly))
        return ::testing::AssertionFailure() << "cannot write " << qPrintable(file.fileName());
    file.write(content);
    return ::testing::AssertionSuccess();
}

TEST(OptionValue, GluedNextOrNothing)
{
    struct Case {
        QStringList arguments;
        int index;
        const char *value; // nullptr: none
        int indexAfter;
    } cases[] = {
        {{QStringLiteral("lumo"), QStringLiteral("-Lde")}, 1, "de", 1},
        {{QStringLiteral("lumo"), QStringLiteral("-L"), QStringLiteral("DE")}, 1, "DE", 2},
        {{QStringLiteral("lumo"), QStringLiteral("-Rfoo"), QStringLiteral("x")}, 1, "foo", 1},
        {{QStringLiteral("lumo"), QStringLiteral("-R")}, 1, nullptr, 2},
        {{QStringLiteral("lumo"), QStringLiteral("-Lxyz")}, 1, "xyz", 1},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.arguments.join(QLatin1Char(' '))));
        Arguments arguments(c.arguments);
        int index = c.index;
        const char *value = optionValue(index, arguments.count(), arguments.vector());
        if (c.value)
            EXPECT_STREQ(c.value, value);
        else
            EXPECT_EQ(nullptr, value);
        EXPECT_EQ(c.indexAfter, index);
    }
}

TEST(ScanOptions, OptionsAtTheFrontThenListFiles)
{
    struct Case {
        QStringList arguments;
        QString language;
        QString resourcePath;
        QStringList listFiles;
    } cases[] = {
        {{QStringLiteral("-Lde"), QStringLiteral("a.txt")},
         QStringLiteral("de"),
         QStringLiteral("Resources/x"),
         {QStringLiteral("a.txt")}},
        {{QStringLiteral("-L"), QStringLiteral("DE"), QStringLiteral("a.txt")},
         QStringLiteral("de"),
         QStringLiteral("Resources/x"),
         {QStringLiteral("a.txt")}},
        {{QStringLiteral("a.txt"), QStringLiteral("-Lde")},
         QString(),
         QStringLiteral("Resources/x"),
         {QStringLiteral("a.txt"), QStringLiteral("-Lde")}},
        {{QStringLiteral("-R")}, QString(), QStringLiteral("Resources/x"), {}},
        {{QStringLiteral("-Rfoo"), QStringLiteral("-LNl"), QStringLiteral("b"), QStringLiteral("c")},
         QStringLiteral("nl"),
         QStringLiteral("foo/x"),
         {QStringLiteral("b"), QStringLiteral("c")}},
        {{QStringLiteral("-R"), QStringLiteral("/res"), QStringLiteral("-L")},
         QString(),
         QStringLiteral("/res/x"),
         {}},
        {{}, QString(), QStringLiteral("Resources/x"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.arguments.join(QLatin1Char(' '))));
        setResourceDir(QStringLiteral("Resources"));
        Arguments arguments(QStringList{QStringLiteral("lumo")} + c.arguments);
        QString language;
        EXPECT_EQ(c.listFiles, scanOptions(arguments.count(), arguments.vector(), language));
        EXPECT_EQ(c.language, language);
        EXPECT_EQ(c.resourcePath, resourcePath(QStringLiteral("x")));
    }
}

TEST(ScanOptionsDeathTest, UnknownOptionEndsWithZero)
{
    for (const char *option : {"-X", "-S", "-P", "-K", "-N", "-"}) {
        SCOPED_TRACE(option);
        Arguments arguments({QStringLiteral("lumo"), QString::fromLatin1(option), QStringLiteral("x")});
        QString language;
        EXPECT_EXIT(scanOptions(arguments.count(), arguments.vector(), language),
                    ::testing::ExitedWithCode(0),
                    std::string("unknown option: ") + option + "\n: lumo \\[-L lang\\]");
    }
}

class TranslatorTest : public ::testing::Test
{
  protected:
    // The translators one test installs would translate for the next one.
    ~TranslatorTest() override { qDeleteAll(qApp->findChildren<QTranslator *>()); }
    QString path(const QString &name) const { return m_sandbox.resource(name); }
    ETTestSandbox m_sandbox;
};

TEST_F(TranslatorTest, DealerFileFirstThenTheDefaultOne)
{
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(), "<r><keyaccount>x1</keyaccount></r>"));
    ASSERT_TRUE(copy(buildResources + QStringLiteral("/international/demo_nl.qm"),
                     path(QStringLiteral("international/lumo_nl.qm"))));
    MessageCapture messages;
    loadTranslators(QStringLiteral("nl"));
    EXPECT_EQ((QStringList{QStringLiteral("langfile=") + path(QStringLiteral("international/x1_nl.qm")),
                           QStringLiteral("loading default language file")}),
              messages.lines());
    EXPECT_EQ(dutchCaption, QCoreApplication::translate("ETWizardFactoryPlugin", qPrintable(germanCaption)));
}

TEST_F(TranslatorTest, DealerFileFoundNeedsNoDefault)
{
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(), "<r><keyaccount>x1</keyaccount></r>"));
    ASSERT_TRUE(copy(buildResources + QStringLiteral("/international/demo_nl.qm"),
                     path(QStringLiteral("international/x1_nl.qm"))));
    MessageCapture messages;
    loadTranslators(QStringLiteral("nl"));
    EXPECT_EQ(QStringList{QStringLiteral("langfile=") + path(QStringLiteral("international/x1_nl.qm"))},
              messages.lines());
}

TEST_F(TranslatorTest, NoFileWarnsAndTranslatesNothing)
{
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(), "<r><keyaccount>x1</keyaccount></r>"));
    MessageCapture messages;
    loadTranslators(QStringLiteral("fr"));
    EXPECT_EQ(QStringList{QStringLiteral("no language file found")}, messages.lines(QtWarningMsg));
    EXPECT_EQ(germanCaption, QCoreApplication::translate("ETWizardFactoryPlugin", qPrintable(germanCaption)));
}

TEST_F(TranslatorTest, NoLanguageTakesTheDealersQtLanguage)
{
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(),
                                "<r><keyaccount>x1</keyaccount><qtlanguage>nl</qtlanguage></r>"));
    ASSERT_TRUE(copy(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_nl.qm"),
                     path(QStringLiteral("international/qt_nl.qm"))));
    MessageCapture messages;
    loadTranslators(QString());
    EXPECT_EQ(QStringLiteral("langfile=") + path(QStringLiteral("international/x1_nl.qm")),
              messages.lines().value(0));
    EXPECT_EQ(QStringLiteral("Annuleren"), QCoreApplication::translate("QPlatformTheme", "Cancel"));
}

// Without a file of the dealer's, Qt's own texts (the buttons of every box)
// come from the system's Qt translations in the dealer's language.
TEST_F(TranslatorTest, QtsOwnTextsFromTheSystemWhenTheDealerHasNone)
{
    makeApplication();
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(),
                                "<r><keyaccount>x1</keyaccount><qtlanguage>de</qtlanguage></r>"));
    ASSERT_TRUE(
        QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
        << "tools/deps.sh installs Qt's translations";
    loadTranslators(QString());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Ignore);
    const struct {
        QMessageBox::StandardButton button;
        const char *text;
    } buttons[] = {{QMessageBox::Retry, "Wiederholen"},
                   {QMessageBox::Cancel, "Abbrechen"},
                   {QMessageBox::Ignore, "Ignorieren"}};
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.text);
        ASSERT_NE(nullptr, box.button(b.button));
        EXPECT_EQ(QLatin1String(b.text), box.button(b.button)->text().remove(QLatin1Char('&')));
    }
}

TEST_F(TranslatorTest, NoLanguageAtAllLeavesTheNamesOpen)
{
    ASSERT_TRUE(writeDefaultXml(m_sandbox.resources(), "<r><keyaccount>x1</keyaccount></r>"));
    MessageCapture messages;
    loadTranslators(QString());
    EXPECT_EQ(QStringLiteral("langfile=") + path(QStringLiteral("international/x1_.qm")),
              messages.lines().value(0));
}

struct WindowSeen {
    bool found = false;
    bool visible = false;
    QString title;
    QSize size;
    QString page;          // the current page's name
    QStringList buttons;   // names of the visible buttons below the pages
    QStringList rows;      // the basket's pictures, top to bottom
    QStringList lineKinds; // the class of each basket line
    bool logo = false;     // the dealer's picture in the title row
};

// Closes the main window once the event loop runs, as a user would; gives
// up after ten seconds instead of hanging.
void closeMainWindowSoon(WindowSeen &seen)
{
    QTimer::singleShot(0, [&seen] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("PluginOrderWizard"))
                continue;
            seen.found = true;
            seen.visible = widget->isVisible();
            seen.title = widget->windowTitle();
            seen.size = widget->size();
            if (auto *wizard = qobject_cast<ETOrderWizard *>(widget)) {
                seen.page = wizard->currentPage()->objectName();
                seen.logo = !wizard->logoLabel()->pixmap().isNull();
                for (QPushButton *button : {wizard->helpButton(), wizard->backButton(), wizard->nextButton(),
                                            wizard->finishButton(), wizard->cancelButton()})
                    if (button->isVisible())
                        seen.buttons << button->accessibleName();
                if (auto *table = qobject_cast<ETOrderTable *>(wizard->currentPage())) {
                    for (int row = 0; row < table->rowCount(); ++row) {
                        const ETOrderLine *line = table->lineAt(row);
                        seen.rows << line->item()->image()->metaData()->fileName();
                        seen.lineKinds << QString::fromLatin1(line->metaObject()->className());
                    }
                }
            }
            widget->close();
        }
    });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
}

// startClient sets the resource folder, installs translators and makes the
// client's singletons: each test starts without those of the one before.
// At quit the order lets go of its items, which the basket's lines still
// show; they are freed after the lines.
class StartClient : public ::testing::Test
{
  protected:
    StartClient()
    {
        makeApplication();
        forget();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &m_quitSeen,
                         [this] { m_letGo += *ETOrder::instance()->orderItems(); });
    }
    ~StartClient() override
    {
        forget();
        qDeleteAll(m_letGo);
    }
    static void forget()
    {
        qDeleteAll(qApp->findChildren<QTranslator *>());
        ETProcessState::resetForTests();
        setResourceDir(QStringLiteral("Resources"));
    }

    QObject m_quitSeen;
    QList<ETOrderItem *> m_letGo;
};

TEST_F(StartClient, SampleResourcesShowTheBasketAndQuitWithZeroWhenClosed)
{
    QTemporaryDir pictures;
    ASSERT_TRUE(pictures.isValid());
    QStringList listFiles;
    for (const char *name : {"P1", "P2", "P3"}) {
        const QString picture = pictures.filePath(QLatin1String(name) + QStringLiteral(".jpg"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(picture));
        QFile list(pictures.filePath(QLatin1String(name) + QStringLiteral(".txt")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(picture.toLocal8Bit() + '\n');
        listFiles << list.fileName();
    }
    Arguments arguments(QStringList({QStringLiteral("lumo"), QStringLiteral("-R"), buildResources}) +
                        listFiles);
    WindowSeen seen;
    closeMainWindowSoon(seen);
    MessageCapture messages;
    EXPECT_EQ(0, startClient(arguments.count(), arguments.vector()));
    // The sample skin names only widgets the program has, and the sample
    // dealer's language file is there: the start reports no fault.
    QStringList faults = messages.lines(QtWarningMsg) + messages.lines(QtCriticalMsg);
    faults += messages.lines().filter(
        QRegularExpression(QStringLiteral("^(Warnung|Fehler)|nicht gefunden|no language file")));
    EXPECT_EQ(QStringList(), faults);
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.visible);
    EXPECT_TRUE(seen.logo);
    EXPECT_EQ(germanCaption, seen.title);
    EXPECT_EQ(QSize(650, 500), seen.size);
    EXPECT_EQ(QStringLiteral("order_table"), seen.page);
    EXPECT_EQ((QStringList{QStringLiteral("Hilfe"), QStringLiteral("Zurück"), QStringLiteral("Weiter"),
                           QStringLiteral("Fertig"), QStringLiteral("Abbrechen")}),
              seen.buttons);
    // Each picture the order loads goes on top.
    EXPECT_EQ(QStringList({QStringLiteral("P3.jpg"), QStringLiteral("P2.jpg"), QStringLiteral("P1.jpg")}),
              seen.rows);
    EXPECT_EQ(QStringList(3, QStringLiteral("ETOrderLineQIX")), seen.lineKinds);
}

// A log-out (SIGTERM), Ctrl+C (SIGINT) or a closed terminal (SIGHUP) while a
// copy is recorded: the program ends as by the wizard's Cancel, with status 0,
// and takes its copy, never the customer's file of the copy's name.
TEST_F(StartClient, AQuitSignalEndsTheProgramAsCancelDoesAndTakesItsCopies)
{
    const struct {
        const char *name;
        int signal;
    } cases[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        forget();
        QTemporaryDir pictures;
        ASSERT_TRUE(pictures.isValid());
        const QString picture = pictures.filePath(QStringLiteral("P1.png"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(picture));
        QFile own(picture + QStringLiteral(".opti.jpg"));
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("the customer's");
        own.close();
        QFile list(pictures.filePath(QStringLiteral("P1.txt")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(picture.toLocal8Bit() + '\n');
        list.close();

        QString copy;
        bool cancelled = false;
        // Timers of this round only.
        QObject round;
        QTimer::singleShot(0, &round, [&] {
            ETImage *ordered = ETOrder::instance()->orderItems()->value(0)->image();
            if (ordered && ordered->storeOptimizedCopy(ETImage::encodeJpeg(image)))
                copy = ordered->optimizedCopyPath();
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *wizard = qobject_cast<ETOrderWizard *>(widget))
                    QObject::connect(wizard, &QDialog::rejected, [&cancelled] { cancelled = true; });
            std::raise(c.signal);
        });
        QTimer::singleShot(10000, &round, [] { QCoreApplication::exit(99); });
        Arguments arguments({QStringLiteral("lumo"), QStringLiteral("-R"), buildResources, list.fileName()});
        MessageCapture messages;
        EXPECT_EQ(0, startClient(arguments.count(), arguments.vector()));
        EXPECT_TRUE(messages.lines().contains(QStringLiteral("quit on signal %1").arg(c.signal)));
        EXPECT_TRUE(cancelled) << "the wizard's Cancel ran";
        ASSERT_EQ(picture + QStringLiteral("~2.opti.jpg"), copy);
        EXPECT_FALSE(QFileInfo::exists(copy));
        ASSERT_TRUE(own.open(QIODevice::ReadOnly));
        EXPECT_EQ(QByteArray("the customer's"), own.readAll());
        own.close();
    }
}

TEST_F(StartClient, ResourceFolderAndLanguageFromTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Cancelling asks the per-user settings, which need the dealer and program names.
    ASSERT_TRUE(writeDefaultXml(dir.path(), "<r><keyaccount>x1</keyaccount>"
                                            "<keyaccountname>LumoTest</keyaccountname>"
                                            "<programname>lumotest</programname>"
                                            "<qtlanguage>de</qtlanguage></r>"));
    ASSERT_TRUE(copy(buildResources + QStringLiteral("/international/demo_nl.qm"),
                     dir.filePath(QStringLiteral("international/lumo_nl.qm"))));
    Arguments arguments({QStringLiteral("lumo"), QStringLiteral("-R"), dir.path(), QStringLiteral("-Lnl"),
                         QStringLiteral("pictures.txt")});
    WindowSeen seen;
    closeMainWindowSoon(seen);
    MessageCapture messages;
    EXPECT_EQ(0, startClient(arguments.count(), arguments.vector()));
    // The skin of this bare resource folder adds lines of its own.
    const QStringList translatorLines = messages.lines().filter(QRegularExpression(
        QStringLiteral("^(langfile=|loading default language file|no language file found)")));
    EXPECT_EQ(
        (QStringList{QStringLiteral("langfile=") + dir.filePath(QStringLiteral("international/x1_nl.qm")),
                     QStringLiteral("loading default language file")}),
        translatorLines);
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(dutchCaption, seen.title);
}

TEST_F(StartClient, LoneResourceOptionKeepsTheDefaultFolder)
{
    // "Resources" below the working folder, with the names that cancelling needs.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Resources")));
    ASSERT_TRUE(writeDefaultXml(dir.filePath(QStringLiteral("Resources")),
                                "<r><keyaccount>x1</keyaccount><keyaccountname>LumoTest</keyaccountname>"
                                "<programname>lumotest</programname></r>"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Arguments arguments({QStringLiteral("lumo"), QStringLiteral("-R")});
    WindowSeen seen;
    closeMainWindowSoon(seen);
    EXPECT_EQ(0, startClient(arguments.count(), arguments.vector()));
    QDir::setCurrent(previous);
    EXPECT_EQ(QStringLiteral("Resources/default.xml"), resourcePath(QStringLiteral("default.xml")));
    EXPECT_TRUE(seen.visible);
}

} // namespace
