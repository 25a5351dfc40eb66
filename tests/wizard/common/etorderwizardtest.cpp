#include "etappearanceconfig.h"
#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etlineedit.h"
#include "etnetworking.h"
#include "etorder.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QtMath>

namespace
{

// Whether the label shows the whole of its text: laid out as the label lays it
// out (wrapped to its width when it wraps), the text needs no more room than
// the label has.
::testing::AssertionResult showsWholeText(const QLabel *label)
{
    QTextDocument text;
    text.setDocumentMargin(0);
    text.setDefaultFont(label->font());
    text.setHtml(label->text());
    const int margin = label->margin();
    const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    if (label->wordWrap())
        text.setTextWidth(room.width());
    const QSize needed(qCeil(text.idealWidth()), qCeil(text.size().height()));
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the text needs " << needed.width() << "x" << needed.height()
                                         << " pixels, the label has " << room.width() << "x" << room.height();
}

// A wizard of stand-in screens named a, b, c, ...
class ETOrderWizardTest : public WizardFixture
{
  protected:
    QList<StandInScreen *> screens(int count)
    {
        ETOrderWizard *w = emptyWizard();
        QList<StandInScreen *> added;
        for (int i = 0; i < count; ++i) {
            auto *screen = new StandInScreen(QString(QChar(u'a' + i)), w);
            w->addScreen(screen, true);
            added << screen;
        }
        return added;
    }
};

TEST_F(ETOrderWizardTest, AScreenThatRefusesToShowKeepsThePreviousPageButItsStepRuns)
{
    const QList<StandInScreen *> s = screens(3);
    s[1]->showAnswer = false;
    showWizard();
    ASSERT_TRUE(waitForPage(QStringLiteral("a")));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("a"), currentPage());
    EXPECT_EQ(1, s[1]->shows);
    EXPECT_EQ(1, s[1]->runs);
    EXPECT_EQ(0, s[2]->shows);
}

TEST_F(ETOrderWizardTest, NextAndBackPassOverPagesThatAreNotAppropriate)
{
    const QList<StandInScreen *> s = screens(5);
    s[1]->appropriateAnswer = false;
    s[3]->appropriateAnswer = false;
    showWizard();
    const struct {
        bool forward;
        const char *page;
    } steps[] = {{true, "c"}, {true, "e"}, {false, "c"}, {false, "a"}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.page);
        ASSERT_TRUE(step.forward ? pressNext() : pressBack());
        EXPECT_EQ(QString::fromLatin1(step.page), currentPage());
    }
    EXPECT_EQ(0, s[1]->shows + s[3]->shows);
    // Leaving asks the screen being left.
    EXPECT_EQ(1, s[0]->nexts);
    EXPECT_EQ(1, s[2]->nexts);
    EXPECT_EQ(1, s[4]->backs);
    EXPECT_EQ(1, s[2]->backs);
}

TEST_F(ETOrderWizardTest, BackFollowsTheRulesNotTheWayTaken)
{
    const QList<StandInScreen *> s = screens(4);
    s[0]->runAnswer = true;
    s[0]->runTarget = QStringLiteral("d");
    showWizard();
    ASSERT_TRUE(waitForPage(QStringLiteral("d")));
    EXPECT_EQ(0, s[1]->shows + s[2]->shows);
    s[0]->runAnswer = false;
    ASSERT_TRUE(pressBack());
    EXPECT_EQ(QStringLiteral("c"), currentPage());
}

TEST_F(ETOrderWizardTest, AnAutomaticStepMovesOnAsIfNextWasPressed)
{
    const QList<StandInScreen *> s = screens(3);
    showWizard();
    s[1]->runAnswer = true;
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("c"), currentPage());
    EXPECT_EQ(1, s[1]->nexts);

    // When the screen's own Next refuses, the step leaves the wizard where it is.
    s[1]->nextAnswer = false;
    ASSERT_TRUE(pressBack());
    EXPECT_EQ(QStringLiteral("b"), currentPage());
    EXPECT_EQ(2, s[1]->runs);
    EXPECT_EQ(2, s[1]->nexts);
}

TEST_F(ETOrderWizardTest, AnAutomaticStepJumpsToTheScreenItNames)
{
    const QList<StandInScreen *> s = screens(5);
    showWizard();
    s[1]->runAnswer = true;
    s[1]->runTarget = QStringLiteral("e");
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("e"), currentPage());
    EXPECT_EQ(0, s[1]->nexts) << "a jump does not ask the screen's Next";
    EXPECT_EQ(0, s[2]->shows + s[3]->shows);
}

TEST_F(ETOrderWizardTest, AJumpToAnUnknownScreenLeavesOnlyCancel)
{
    const QList<StandInScreen *> s = screens(3);
    showWizard();
    s[1]->runAnswer = true;
    s[1]->runTarget = QStringLiteral("nowhere");
    s[1]->checkAnswer = false;
    MessageCapture messages;
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("b"), currentPage());
    EXPECT_TRUE(messages.has(QStringLiteral("ETOrderWizard::autoRun() myNextScreen=nowhere not found")))
        << messages.all().toStdString();
    EXPECT_TRUE(wizard()->cancelButton()->isEnabled());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(ETOrderWizardTest, AFinalScreenEndsTheRoadWithFinishAlone)
{
    const QList<StandInScreen *> s = screens(5);
    s[2]->setFinal(true);
    showWizard();
    EXPECT_FALSE(wizard()->finishButton()->isEnabled());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(pressNext());
    ASSERT_EQ(QStringLiteral("c"), currentPage());
    EXPECT_EQ((QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}), pageNames());
    for (QPushButton *button : {wizard()->backButton(), wizard()->nextButton(), wizard()->cancelButton()}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->isVisible());
        EXPECT_FALSE(button->isEnabled());
    }
    EXPECT_TRUE(wizard()->finishButton()->isVisible());
    EXPECT_TRUE(wizard()->finishButton()->isEnabled());
    // The dropped pages are the wizard's still, but out of reach.
    EXPECT_EQ(s[3], wizard()->screenByName(QStringLiteral("d")));
    EXPECT_EQ(0, s[3]->shows);
}

TEST_F(ETOrderWizardTest, FinishAndCancelEndTheProgramsEventLoop)
{
    const struct {
        const char *name;
        bool final;
    } cases[] = {{"Finish on a final page", true}, {"Cancel on the first page", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<StandInScreen *> s = screens(2);
        s[1]->setFinal(c.final);
        ETOrder::instance()->setPaymentType(PaymentBill);
        showWizard();
        if (c.final) {
            ASSERT_TRUE(pressNext());
        }
        EXPECT_TRUE(endsEventLoop([this, c] { EXPECT_TRUE(c.final ? pressFinish() : pressCancel()); }));
        EXPECT_FALSE(wizard()->isVisible());
        EXPECT_EQ(PaymentUnknown, ETOrder::instance()->paymentType());
        EXPECT_EQ(c.final ? 0 : 1, s[0]->cancels);
    }
}

TEST_F(ETOrderWizardTest, CancelOnTheFirstPageWithoutSessionSendsNothing)
{
    screens(2);
    showWizard();
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressCancel()); }));
    EXPECT_TRUE(requestNames().isEmpty()) << requestNames().join(QLatin1Char(' ')).toStdString();
}

TEST_F(ETOrderWizardTest, CancelAfterASessionEndsItWithModeAbort)
{
    screens(3);
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    server().clearRequests();
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressCancel()); }));
    const QList<ETOrderServerRequest> requests = server().requests();
    ASSERT_EQ(1, requests.size()) << requestNames().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QStringLiteral("endsession_request"), requests.first().name);
    EXPECT_EQ(QStringLiteral("abort"),
              requests.first().xml.documentElement().attribute(QStringLiteral("mode")));
    EXPECT_TRUE(ETConfig::instance()->sessionID().isEmpty());
}

TEST_F(ETOrderWizardTest, AfterACancelTheCustomersNextStepTalksToTheServerAgain)
{
    const QList<StandInScreen *> s = screens(2);
    showWizard();
    // The last step was cancelled (its progress dialog's Abbrechen, say).
    ETNetworking::instance()->abort();
    bool opened = false;
    s[0]->onNext = [&opened] { opened = ETNetworking::instance()->startSession(); };
    ASSERT_TRUE(pressNext());
    EXPECT_TRUE(opened) << ETNetworking::instance()->errorCode();
    EXPECT_TRUE(requestNames().contains(QStringLiteral("session_request")));
}

TEST_F(ETOrderWizardTest, ACancelFromInsideTheScreensCancelIsNotRunTwice)
{
    const QList<StandInScreen *> s = screens(2);
    showWizard();
    s[0]->onCancel = [this] { wizard()->reject(); };
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressCancel()); }));
    EXPECT_EQ(1, s[0]->cancels);
}

TEST_F(ETOrderWizardTest, SizeFollowsTheSkinsFontSize)
{
    const struct {
        int points;
        QSize size;
    } cases[] = {{9, {650, 500}}, {12, {866, 666}}, {10, {722, 555}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.points);
        writeResource(QStringLiteral("appearance.xml"),
                      "<appearance><fontsize>" + QByteArray::number(c.points) + "</fontsize></appearance>");
        screens(1);
        showWizard();
        EXPECT_EQ(c.size, wizard()->size());
        EXPECT_EQ(c.size, wizard()->minimumSize());
        EXPECT_EQ(c.size, wizard()->maximumSize());
        EXPECT_FALSE(wizard()->isSizeGripEnabled());
    }
}

TEST_F(ETOrderWizardTest, HidingOnTheLastPageAsksNextOnceAndReturnsToTheFirstPage)
{
    const QList<StandInScreen *> s = screens(2);
    showWizard();
    ASSERT_TRUE(pressNext());
    wizard()->hide();
    EXPECT_EQ(1, s[1]->nexts);
    EXPECT_EQ(QStringLiteral("a"), currentPage());
    EXPECT_EQ(2, s[0]->shows);
}

TEST_F(ETOrderWizardTest, ShowingAgainBringsBackTheButtonsAFinalScreenHid)
{
    const QList<StandInScreen *> s = screens(2);
    s[1]->setFinal(true);
    showWizard();
    ASSERT_TRUE(pressNext());
    wizard()->hide();
    wizard()->show();
    EXPECT_EQ(QStringLiteral("a"), currentPage());
    for (QPushButton *button : {wizard()->backButton(), wizard()->nextButton(), wizard()->cancelButton()})
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    EXPECT_TRUE(wizard()->cancelButton()->isEnabled());
}

TEST_F(ETOrderWizardTest, ShowingChoosesTheDefaultPaymentType)
{
    writeResource(QStringLiteral("payment.xml"), "<paymentConfig><payments><method upload=\"net\">"
                                                 "<payment>bill</payment><payment>debit</payment>"
                                                 "</method></payments></paymentConfig>");
    screens(1);
    showWizard();
    EXPECT_EQ(PaymentBill, ETOrder::instance()->paymentType());
}

TEST_F(ETOrderWizardTest, APageWithoutScreenIsPassedOver)
{
    const QList<StandInScreen *> s = screens(1);
    auto *loose = new QWidget;
    loose->setObjectName(QStringLiteral("loose"));
    wizard()->addPage(loose, QStringLiteral("Lose"));
    wizard()->addScreen(new StandInScreen(QStringLiteral("b"), wizard()), true);
    showWizard();
    MessageCapture messages;
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("b"), currentPage());
    EXPECT_TRUE(
        messages.has(QStringLiteral("ETOrderWizard::appropriate()  widget \"loose\" has no screen!?")))
        << messages.all().toStdString();
}

TEST_F(ETOrderWizardTest, LookupByNameFindsTheScreenAddedLast)
{
    ETOrderWizard *w = emptyWizard();
    auto *first = new StandInScreen(QStringLiteral("addressScreen"), w);
    auto *second = new StandInScreen(QStringLiteral("addressScreen"), w);
    w->addScreen(first, true);
    w->addScreen(second, true);
    EXPECT_EQ(second, w->screenByName(QStringLiteral("addressScreen")));
    EXPECT_EQ(first, w->screenForPage(first->page()));
    EXPECT_EQ(nullptr, w->screenForPage(nullptr));
    EXPECT_EQ(nullptr, w->screenByName(QStringLiteral("none")));
}

TEST_F(ETOrderWizardTest, NextFollowsTheScreensCheckAndTheFormsEdits)
{
    const QList<StandInScreen *> s = screens(2);
    s[0]->checkAnswer = false;
    ETLineEdit edit(s[0]->page(), QStringLiteral("emailEdit"), wizard());
    showWizard();
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    s[0]->checkAnswer = true;
    edit.setText(QStringLiteral("kunde@example.org"));
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
}

TEST_F(ETOrderWizardTest, PagesComeWithTheirBackRuleAndNeverHelp)
{
    ETOrderWizard *w = emptyWizard();
    auto *a = new StandInScreen(QStringLiteral("a"), w);
    auto *b = new StandInScreen(QStringLiteral("b"), w);
    w->addScreen(a, true);
    w->addScreen(b, false);
    EXPECT_TRUE(w->backEnabled(a->page()));
    EXPECT_FALSE(w->backEnabled(b->page()));
    for (StandInScreen *screen : {a, b}) {
        EXPECT_FALSE(w->helpEnabled(screen->page()));
        EXPECT_FALSE(w->nextEnabled(screen->page()));
        EXPECT_EQ(screen->title(), w->title(screen->page()));
    }
    showWizard();
    ASSERT_TRUE(pressNext());
    EXPECT_FALSE(w->backButton()->isEnabled());
    EXPECT_FALSE(w->helpButton()->isEnabled());
}

TEST_F(ETOrderWizardTest, TitleRowShowsThePagesTitleAndTheLogo)
{
    const struct {
        const char *name;
        bool logo;
    } cases[] = {{"without picture", false}, {"with picture", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeResource(QStringLiteral("appearance.xml"),
                      "<appearance><icon_type>png</icon_type></appearance>");
        if (c.logo) {
            QDir().mkpath(environment().resources() + QStringLiteral("/icons"));
            QImage picture(120, 60, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            ASSERT_TRUE(picture.save(environment().resources() + QStringLiteral("/icons/wizardlogo.png")));
        }
        const QList<StandInScreen *> s = screens(2);
        showWizard();
        ASSERT_TRUE(pressNext());
        EXPECT_EQ(s[1]->title(), wizard()->titleLabel()->text());
        EXPECT_EQ(5, wizard()->titleLabel()->margin());
        EXPECT_EQ(80, wizard()->logoLabel()->minimumHeight());
        if (c.logo)
            EXPECT_EQ(QSize(120, 60), wizard()->logoLabel()->pixmap().size());
        else
            EXPECT_EQ(QStringLiteral("Logo"), wizard()->logoLabel()->text());
    }
}

// The sample dealer's wizard at its size: every title of every road, the CD
// road's last page with both of its own, shows whole beside the logo, and the
// pages keep the room they need.
TEST_F(ETOrderWizardTest, EveryTitleShowsWholeBesideTheLogo)
{
    writeResource(QStringLiteral("icons/wizardlogo.png"),
                  ETTestSandbox::shippedResource(QStringLiteral("icons/wizardlogo.png")));
    buildWizard();
    // The skin's font, which the program gives the whole application.
    wizard()->setFont(
        QFont(ETAppearanceConfig::instance()->fontFamily(), ETAppearanceConfig::instance()->fontSize()));
    showWizard();
    ASSERT_EQ(QSize(650, 500), wizard()->size());
    ASSERT_FALSE(wizard()->logoLabel()->pixmap().isNull());

    QStringList titles;
    for (int i = 0; i < wizard()->pageCount(); ++i)
        titles << wizard()->title(wizard()->page(i));
    ETWizardScreen *cdFinal = wizard()->screenByName(QStringLiteral("finalCDscreen"));
    ASSERT_NE(nullptr, cdFinal);
    for (const QString &image : {QString(), QStringLiteral("/home/kunde/lumo.iso")}) {
        wizard()->setImageFileName(image);
        cdFinal->atShow();
        titles << wizard()->title(cdFinal->page());
    }
    ASSERT_GT(titles.size(), 17) << "every road's pages";

    const QStackedWidget *pages = wizard()->findChild<QStackedWidget *>();
    ASSERT_NE(nullptr, pages);
    QWidget *shown = wizard()->currentPage();
    for (const QString &title : std::as_const(titles)) {
        SCOPED_TRACE(title.toStdString());
        wizard()->setTitle(shown, title);
        wizard()->layout()->activate();
        ASSERT_EQ(title, wizard()->titleLabel()->text());
        EXPECT_TRUE(showsWholeText(wizard()->titleLabel()));
        EXPECT_GE(pages->height(), pages->minimumSizeHint().height());
    }
}

// The controls a person types into or chooses with, which no label may cover.
bool isEditor(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget);
}

// Every label of the page (the must-field stars too) is clear of every editor, with room between
// them; a line edit of a spin or combo box is part of its box.
::testing::AssertionResult labelsClearOfEditors(QWidget *page)
{
    QStringList overlaps;
    const auto rectOf = [page](const QWidget *widget) {
        return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size());
    };
    const QList<QWidget *> widgets = page->findChildren<QWidget *>();
    for (const QWidget *label : widgets) {
        if (!qobject_cast<const QLabel *>(label) || !label->isVisibleTo(page))
            continue;
        const QRect around = rectOf(label).adjusted(-1, -1, 1, 1);
        for (const QWidget *editor : widgets) {
            if (!isEditor(editor) || !editor->isVisibleTo(page) || isEditor(editor->parentWidget()))
                continue;
            if (around.intersects(rectOf(editor)))
                overlaps << QStringLiteral("\"%1\" %2 touches %3 %4")
                                .arg(static_cast<const QLabel *>(label)->text(), label->objectName(),
                                     QString::fromLatin1(editor->metaObject()->className()),
                                     editor->objectName());
        }
    }
    if (QLayout *layout = page->layout(); layout && (layout->minimumSize().width() > page->width() ||
                                                     layout->minimumSize().height() > page->height()))
        overlaps << QStringLiteral("the layout needs %1x%2 of %3x%4")
                        .arg(layout->minimumSize().width())
                        .arg(layout->minimumSize().height())
                        .arg(page->width())
                        .arg(page->height());
    if (overlaps.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << overlaps.join(QStringLiteral("; ")).toStdString();
}

// The sample dealer's wizard at its size, with the skin's font: on every page of every road each
// field, its label and its must-field star have their own room.
TEST_F(ETOrderWizardTest, EveryPageKeepsLabelsAndStarsClearOfTheFields)
{
    for (int country : {0, 7}) {
        SCOPED_TRACE(country);
        if (country == 7) {
            writeResource(QStringLiteral("default.xml"),
                          ETTestSandbox::shippedResource(QStringLiteral("default.xml"))
                              .replace("<country>0</country>", "<country>7</country>"));
            ETApplicationConfig::instance()->load();
            ASSERT_EQ(7, ETApplicationConfig::instance()->country());
        }
        buildWizard();
        wizard()->setFont(
            QFont(ETAppearanceConfig::instance()->fontFamily(), ETAppearanceConfig::instance()->fontSize()));
        showWizard();
        ASSERT_EQ(QSize(650, 500), wizard()->size());
        auto *pages = wizard()->findChild<QStackedWidget *>();
        ASSERT_NE(nullptr, pages);
        ASSERT_GT(wizard()->pageCount(), 15);
        for (int i = 0; i < wizard()->pageCount(); ++i) {
            QWidget *page = wizard()->page(i);
            SCOPED_TRACE(page->objectName().toStdString());
            pages->setCurrentWidget(page);
            QCoreApplication::processEvents();
            if (page->layout())
                page->layout()->activate();
            EXPECT_TRUE(labelsClearOfEditors(page));
        }
        wizard()->hide();
    }
}

// Return goes on to the next page wherever the wizard left the keyboard, also
// on a page whose first control is a button of its own (as the road page's
// network settings); it presses no button of a page, and nothing while Next
// is off.
TEST_F(ETOrderWizardTest, ReturnPressesNextAndNoButtonOfThePage)
{
    const QList<StandInScreen *> s = screens(4);
    auto *field = new QLineEdit(s[0]->page());
    int pressed = 0;
    for (StandInScreen *screen : {s[1], s[2]}) {
        auto *button = new QPushButton(QStringLiteral("Netzwerkeinstellungen"), screen->page());
        QObject::connect(button, &QPushButton::clicked, [&pressed] { ++pressed; });
    }
    s[2]->checkAnswer = false;
    field->setFocus();
    showWizard();
    const auto pressReturn = [this] {
        QWidget *keyboard = wizard()->focusWidget();
        QTest::keyClick(keyboard ? keyboard : wizard(), Qt::Key_Return);
    };
    pressReturn();
    EXPECT_EQ(QStringLiteral("b"), currentPage());
    pressReturn();
    EXPECT_EQ(QStringLiteral("c"), currentPage());
    pressReturn();
    EXPECT_EQ(QStringLiteral("c"), currentPage()) << "Next is off";
    EXPECT_EQ(0, pressed);
    EXPECT_TRUE(wizard()->nextButton()->isDefault());
}

// Arriving on a page, what is typed at once lands in its first empty field; a page without one keeps
// the keyboard on its first field, never on a button of its own.
TEST_F(ETOrderWizardTest, ArrivingPutsTheKeyboardIntoTheFirstEmptyField)
{
    const QList<StandInScreen *> s = screens(4);
    const auto edit = [](StandInScreen *screen, const char *name, const QString &text) {
        auto *field = new QLineEdit(text, screen->page());
        field->setObjectName(QLatin1String(name));
        return field;
    };
    edit(s[0], "filled", QStringLiteral("Max"));
    edit(s[0], "firstEmpty", QString());
    edit(s[0], "secondEmpty", QString());
    edit(s[1], "readOnly", QString())->setReadOnly(true);
    edit(s[1], "disabled", QString())->setEnabled(false);
    edit(s[1], "hidden", QString())->hide();
    auto *box = new QComboBox(s[1]->page());
    box->setObjectName(QStringLiteral("box"));
    edit(s[1], "empty", QString());
    auto *button = new QPushButton(QStringLiteral("Netzwerkeinstellungen"), s[2]->page());
    button->setObjectName(QStringLiteral("button"));
    edit(s[2], "first", QStringLiteral("x"));
    edit(s[2], "second", QStringLiteral("y"));
    new QPushButton(QStringLiteral("Drucken"), s[3]->page());
    showWizard();
    const QStringList expected = {QStringLiteral("firstEmpty"), QStringLiteral("empty"),
                                  QStringLiteral("first"), QStringLiteral("d")};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            ASSERT_TRUE(pressNext());
        }
        ASSERT_NE(nullptr, wizard()->focusWidget());
        EXPECT_EQ(expected.at(i), wizard()->focusWidget()->objectName());
    }
}

// On the last page, where Next is off and Finish on (the confirmation), Return presses Finish.
TEST_F(ETOrderWizardTest, ReturnOnTheLastPageFinishes)
{
    const QList<StandInScreen *> s = screens(2);
    s[1]->setFinal(true);
    showWizard();
    EXPECT_TRUE(wizard()->nextButton()->isDefault());
    ASSERT_TRUE(pressNext());
    ASSERT_EQ(QStringLiteral("b"), currentPage());
    EXPECT_TRUE(wizard()->finishButton()->isDefault());
    EXPECT_FALSE(wizard()->nextButton()->isDefault());
    QWidget *keyboard = wizard()->focusWidget();
    QTest::keyClick(keyboard ? keyboard : wizard(), Qt::Key_Return);
    EXPECT_EQ(QDialog::Accepted, wizard()->result());
    EXPECT_FALSE(wizard()->isVisible());
}

TEST_F(ETOrderWizardTest, TheSkinsTitleLookGoesToTitleAndLogo)
{
    writeResource(QStringLiteral("appearance.xml"),
                  "<appearance><widgetstyles><s name=\"wizardtitle\" setPaletteBackgroundColor=\"#102030\" "
                  "setPaletteForegroundColor=\"#f0e0d0\"/></widgetstyles></appearance>");
    ETOrderWizard *w = emptyWizard();
    for (QLabel *label : {w->titleLabel(), w->logoLabel()}) {
        EXPECT_EQ(QColor(0x10, 0x20, 0x30), label->palette().color(label->backgroundRole()));
        EXPECT_EQ(QColor(0xf0, 0xe0, 0xd0), label->palette().color(label->foregroundRole()));
    }
    // A title bar without the window system's buttons, not modal.
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(w->isModal());
}

TEST_F(ETOrderWizardTest, RoadFlags)
{
    ETOrderWizard *w = emptyWizard();
    w->setNetOrder(true);
    w->setCustomerPath(true);
    w->setPasswordForgotten(true);
    EXPECT_TRUE(w->customerPath());
    EXPECT_TRUE(w->passwordForgotten());
    w->setNetOrder(false);
    EXPECT_FALSE(w->customerPath());
    EXPECT_FALSE(w->passwordForgotten());
    w->setNetOrder(true);
    EXPECT_FALSE(w->customerPath()) << "leaving the internet road forgets the narrower flags";
    w->setNewCustomer(true);
    EXPECT_TRUE(w->newCustomer()) << "not tied to the internet road";
    w->setBurner(QStringLiteral("Brenner"), 8);
    EXPECT_EQ(QStringLiteral("Brenner"), w->burnerName());
    EXPECT_EQ(8, w->burnerSpeed());
}

TEST_F(ETOrderWizardTest, ListsStayFreshForAnHour)
{
    ETOrderWizard *w = emptyWizard();
    EXPECT_FALSE(w->listsFresh());
    w->setListsStamp(true);
    const struct {
        int seconds; // since the last step
        bool fresh;
    } steps[] = {{0, true}, {3599, true}, {1, false}, {-3601, false}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.seconds);
        advanceClock(step.seconds);
        EXPECT_EQ(step.fresh, w->listsFresh());
    }
    w->setListsStamp(true);
    EXPECT_TRUE(w->listsFresh());
    w->setListsStamp(false);
    EXPECT_FALSE(w->listsFresh());
}

} // namespace
