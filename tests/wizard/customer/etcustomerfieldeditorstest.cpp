#include "etcreditcardlist.h"
#include "etcustomer.h"
#include "etcustomerconfig.h"
#include "etcustomerwidgethandler.h"
#include "etlineedit.h"
#include "etorder.h"
#include "etvaliduntiledit.h"
#include "wizardfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

namespace
{

// A form page with the editors of the customer fields, as the screens build it.
class ETCustomerFieldEditorsTest : public WizardFixture
{
  protected:
    ETCustomerFieldEditorsTest() : m_grid(new QGridLayout(&m_page)) {}

    // The dealer's must fields; the record reads them when it is made.
    void setMustFields(const QStringList &keys)
    {
        QByteArray xml = "<customerConfig><customer>";
        for (const QString &key : keys)
            xml += "<mustfield>" + key.toUtf8() + "</mustfield>";
        xml += "</customer><countries primaryCountry=\"DE\"/></customerConfig>";
        writeResource(QStringLiteral("customer.xml"), xml);
        ETCustomerConfig::instance()->load();
        m_customer = std::make_unique<ETCustomer>();
    }

    ETCustomer *customer()
    {
        if (!m_customer)
            m_customer = std::make_unique<ETCustomer>();
        return m_customer.get();
    }

    // The field's row, as the forms add it.
    QWidget *add(const QString &key)
    {
        customer()->addField(&m_page, key, nullptr, m_grid, m_row++, 0, false, true);
        return m_page.findChild<QWidget *>(key + QLatin1String("Edit"));
    }
    template <typename Editor> Editor *editor(const QString &key)
    {
        return m_page.findChild<Editor *>(key + QLatin1String("Edit"));
    }
    std::unique_ptr<ETCustomerWidgetHandler> handler(const QString &key)
    {
        return ETCustomer::createHandler(customer(), &m_page, key);
    }

    QWidget m_page;
    QGridLayout *m_grid;
    int m_row = 0;
    std::unique_ptr<ETCustomer> m_customer;
};

struct LineEditCase {
    const char *name;
    const char *key;
    bool must;
    const char *text;
    const char *repetition; // "passwordCheckEdit", when there is one
    bool passes;
};

// Must fields, the password against its repetition, and the patterns matched whole.
TEST_F(ETCustomerFieldEditorsTest, LineEditCheck)
{
    const LineEditCase cases[] = {
        {"empty must field", "email", true, "", nullptr, false},
        {"empty field, not a must field", "email", false, "", nullptr, true},
        {"filled must field", "email", true, "a@b.de", nullptr, true},
        {"blank counts as text", "lastname", true, " ", nullptr, true},
        {"password differs from repetition", "password", true, "abc", "abd", false},
        {"password equals repetition", "password", true, "abc", "abc", true},
        {"both empty", "password", true, "", "", false},
        {"not a must field: repetition not compared", "password", false, "abc", "abd", true},
        {"bank code of 7 digits", "bankleitzahl", false, "1234567", nullptr, false},
        {"bank code of 8 digits", "bankleitzahl", false, "12345678", nullptr, true},
        {"bank code empty fails even when not a must field", "bankleitzahl", false, "", nullptr, false},
        {"bank code with a letter", "bankleitzahl", false, "1234567a", nullptr, false},
        {"account of 5 digits", "account", false, "12345", nullptr, false},
        {"account of 6 digits", "account", false, "123456", nullptr, true},
        {"account of 10 digits", "account", false, "1234567890", nullptr, true},
        {"account of 11 digits", "account", false, "12345678901", nullptr, false},
        {"card number of 15 digits", "cardnumber", false, "123456789012345", nullptr, false},
        {"card number of 16 digits", "cardnumber", false, "1234567890123456", nullptr, true},
        {"card number with a blank", "cardnumber", false, "1234 67890123456", nullptr, false},
        {"validation code of 2 digits", "cardvalidationcode", false, "12", nullptr, false},
        {"validation code of 3 digits", "cardvalidationcode", false, "123", nullptr, true},
        {"validation code of 4 digits", "cardvalidationcode", false, "1234", nullptr, false},
    };
    for (const LineEditCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString key = QLatin1String(c.key);
        setMustFields(c.must ? QStringList{key} : QStringList{});
        QWidget page;
        auto *grid = new QGridLayout(&page);
        customer()->addField(&page, key, nullptr, grid, 0, 0, false, true);
        auto *edit = page.findChild<QLineEdit *>(key + QLatin1String("Edit"));
        ASSERT_NE(nullptr, edit);
        edit->setText(QLatin1String(c.text));
        if (c.repetition) {
            customer()->addField(&page, QStringLiteral("passwordCheck"), nullptr, grid, 1, 0, false, true);
            page.findChild<QLineEdit *>(QStringLiteral("passwordCheckEdit"))
                ->setText(QLatin1String(c.repetition));
        }
        EXPECT_EQ(c.passes, ETCustomer::createHandler(customer(), &page, key)->check());
        EXPECT_EQ(c.passes, customer()->checkAll(&page));
    }
}

TEST_F(ETCustomerFieldEditorsTest, LineEditLookByKey)
{
    const struct {
        const char *key;
        int digits;
        bool hidden;
    } cases[] = {{"email", 20, false},       {"password", 20, true},          {"passwordCheck", 20, true},
                 {"bankleitzahl", 8, false}, {"bankname", 27, false},         {"account", 10, false},
                 {"cardnumber", 16, false},  {"cardvalidationcode", 3, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        auto *edit = qobject_cast<ETLineEdit *>(add(QLatin1String(c.key)));
        ASSERT_NE(nullptr, edit);
        EXPECT_EQ(c.hidden ? QLineEdit::Password : QLineEdit::Normal, edit->echoMode());
        EXPECT_EQ(40, edit->maxLength());
        ETLineEdit reference;
        reference.setWidthInDigits(c.digits);
        EXPECT_EQ(reference.maximumWidth(), edit->maximumWidth());
        edit->setText(QString(50, QLatin1Char('1')));
        EXPECT_EQ(40, edit->text().size()) << "a line edit never takes more than 40 characters";
    }
}

// Characters that cannot lead to a match are refused while typing.
TEST_F(ETCustomerFieldEditorsTest, PatternRefusesWhileTyping)
{
    auto *edit = qobject_cast<QLineEdit *>(add(QStringLiteral("bankleitzahl")));
    ASSERT_NE(nullptr, edit);
    QTest::keyClicks(edit, QStringLiteral("12a34 56789"));
    EXPECT_EQ(QStringLiteral("12345678"), edit->text());
}

// A field holds one line of text a request can carry, however the text comes
// in: a line break or tab becomes a blank, but line breaks that end it go;
// control characters and the rest XML cannot carry are dropped.
TEST_F(ETCustomerFieldEditorsTest, LineEditTakesOnlyTextARequestCanCarry)
{
    auto *street = qobject_cast<QLineEdit *>(add(QStringLiteral("street")));
    ASSERT_NE(nullptr, street);
    const QChar lone[] = {QChar(0xdc00)};
    const struct {
        const char *name;
        QString text;
        QString taken;
    } cases[] = {
        {"vertical tab of a word processor", QStringLiteral("Haupt\vstr. 1"), QStringLiteral("Haupt str. 1")},
        {"line breaks and tab", QStringLiteral("a\r\nb\nc\rd\te\ff"), QStringLiteral("a b c d e f")},
        {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("ab")},
        {"escape and DEL", QStringLiteral("\x1b[1mX\x7f"), QStringLiteral("[1mX")},
        {"C1 controls",
         QStringLiteral("a") + QChar(0x80) + QChar(0x85) + QChar(0x9f) + QStringLiteral("b") + QChar(0xa0),
         QStringLiteral("ab") + QChar(0xa0)},
        {"carriage return at the end", QStringLiteral("10115\r"), QStringLiteral("10115")},
        {"line breaks at the end", QStringLiteral("10115\r\n\n\v"), QStringLiteral("10115")},
        {"a line break alone", QStringLiteral("\r\n"), QString()},
        {"tab at the end", QStringLiteral("10115\t"), QStringLiteral("10115 ")},
        {"U+FFFE, U+FFFF, lone surrogate",
         QStringLiteral("Köln") + QChar(0xfffe) + QChar(0xffff) + QString(lone, 1) + QStringLiteral(" €"),
         QStringLiteral("Köln €")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        customer()->setValue(QStringLiteral("street"), c.text);
        customer()->showAll(&m_page);
        EXPECT_EQ(c.taken, street->text()) << "shown from the record";

        street->clear();
        QGuiApplication::clipboard()->setText(c.text);
        street->paste();
        EXPECT_EQ(c.taken, street->text()) << "pasted";

        street->clear();
        QInputMethodEvent composed;
        composed.setCommitString(c.text);
        QApplication::sendEvent(street, &composed);
        EXPECT_EQ(c.taken, street->text()) << "from an input method";

        customer()->writeBackAll(&m_page);
        EXPECT_EQ(c.taken, customer()->value(QStringLiteral("street")));
    }

    // A pattern field takes what is left when it fits.
    auto *number = qobject_cast<QLineEdit *>(add(QStringLiteral("cardnumber")));
    QGuiApplication::clipboard()->setText(QStringLiteral("4111") + QChar(0) + QStringLiteral("111111111111"));
    number->paste();
    EXPECT_EQ(QStringLiteral("4111111111111111"), number->text());
    EXPECT_TRUE(handler(QStringLiteral("cardnumber"))->check());
}

// A line edit made with the wizard as receiver runs its integrity check on every change.
TEST_F(ETCustomerFieldEditorsTest, TextChangesRunTheWizardsCheck)
{
    ETOrderWizard *w = emptyWizard();
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    customer()->addField(page, QStringLiteral("lastname"), w, grid, 0, 0, false, true);
    w->addPage(page, QStringLiteral("form"));
    showWizard();
    w->setNextEnabled(page, false);
    page->findChild<QLineEdit *>(QStringLiteral("lastnameEdit"))->setText(QStringLiteral("x"));
    EXPECT_TRUE(w->nextEnabled(page)) << "the page has no screen, so the check passes";
}

TEST_F(ETCustomerFieldEditorsTest, ComboBoxShowsAndTakesBack)
{
    auto *salutation = qobject_cast<QComboBox *>(add(QStringLiteral("salutation")));
    auto *country = qobject_cast<QComboBox *>(add(QStringLiteral("country")));
    ASSERT_NE(nullptr, salutation);
    ASSERT_NE(nullptr, country);
    EXPECT_FALSE(salutation->isEditable());
    EXPECT_EQ(ETCustomer::salutations(),
              QStringList({salutation->itemText(0), salutation->itemText(1), salutation->itemText(2)}));
    EXPECT_EQ(0, salutation->currentIndex()) << "no preselection: the first entry";
    EXPECT_EQ(QStringLiteral("Deutschland"), country->currentText()) << "the primary country";

    // An empty stored value keeps the entry of creation, so the field counts as changed.
    EXPECT_FALSE(handler(QStringLiteral("salutation"))->isUnchanged());
    customer()->writeBackAll(&m_page);
    EXPECT_EQ(QStringLiteral("Herr"), customer()->value(QStringLiteral("salutation")));
    EXPECT_EQ(QStringLiteral("Deutschland"), customer()->value(QStringLiteral("country")));

    const struct {
        const char *stored;
        const char *shown;
    } cases[] = {{"frau", "Frau"}, {"Dr", "Dr."}, {"", "Dr."}, {"Baron", "Dr."}, {"h", "Herr"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        customer()->setValue(QStringLiteral("salutation"), QLatin1String(c.stored));
        customer()->showAll(&m_page);
        EXPECT_EQ(QLatin1String(c.shown), salutation->currentText());
    }
    // A country the list lacks is shown as it is, as one entry of its own at the end.
    const int listed = country->count();
    for (const char *unlisted : {"AT", "Atlantis"}) {
        SCOPED_TRACE(unlisted);
        customer()->setValue(QStringLiteral("country"), QLatin1String(unlisted));
        customer()->showAll(&m_page);
        EXPECT_EQ(QLatin1String(unlisted), country->currentText()) << "no country begins with it";
        EXPECT_EQ(listed + 1, country->count());
        EXPECT_EQ(listed, country->currentIndex());
        EXPECT_TRUE(handler(QStringLiteral("country"))->isUnchanged());
    }
    customer()->setValue(QStringLiteral("country"), QStringLiteral("schw"));
    customer()->showAll(&m_page);
    EXPECT_EQ(QStringLiteral("Schweiz"), country->currentText());
    EXPECT_EQ(listed, country->count()) << "the entry of the unlisted country went";
    EXPECT_TRUE(handler(QStringLiteral("country"))->check());
    customer()->setValue(QStringLiteral("country"), QStringLiteral("Atlantis"));
    customer()->showAll(&m_page);
    customer()->setValue(QStringLiteral("country"), QString());
    customer()->showAll(&m_page);
    EXPECT_EQ(QStringLiteral("Deutschland"), country->currentText()) << "an empty country: the primary one";
    EXPECT_EQ(listed, country->count());
}

// The card type is stored as the brand and shown as its display text.
TEST_F(ETCustomerFieldEditorsTest, CardTypeBrandAndDisplayText)
{
    auto *box = qobject_cast<QComboBox *>(add(QStringLiteral("cardtype")));
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0, box->count()) << "the credit-card screen fills the box";
    ETCreditCardList::instance()->fillComboBox(box);
    customer()->setValue(QStringLiteral("cardtype"), QStringLiteral("MASTERCARD"));
    customer()->showAll(&m_page);
    EXPECT_EQ(QStringLiteral("Mastercard"), box->currentText());
    EXPECT_TRUE(customer()->allUnchanged(&m_page));
    box->setCurrentText(QStringLiteral("American Express"));
    customer()->writeBackAll(&m_page);
    EXPECT_EQ(QStringLiteral("AMEX"), customer()->value(QStringLiteral("cardtype")));
    box->addItem(QStringLiteral("Diners"));
    box->setCurrentIndex(box->count() - 1);
    customer()->writeBackAll(&m_page);
    EXPECT_EQ(QStringLiteral("this ought to be VISA"), customer()->value(QStringLiteral("cardtype")));
}

TEST_F(ETCustomerFieldEditorsTest, MonthYearTexts)
{
    const struct {
        const char *text;
        int month, year;
        const char *shown;
    } cases[] = {{"5/7", 5, 2007, "05/07"},   {"12/2009", 12, 2009, "12/09"}, {"01/00", 1, 2000, "01/00"},
                 {"13/5", 12, 2005, "12/05"}, {"0/99", 1, 2099, "01/99"},     {"ab/cd", 1, 2000, "01/00"},
                 {"7", 7, 1900, "07/00"},     {"03/1850", 3, 1900, "03/00"}};
    ETValidUntilEdit edit(nullptr, QStringLiteral("validuntilEdit"), 0, 0, false);
    EXPECT_EQ(1, edit.month());
    EXPECT_EQ(1900, edit.year());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        edit.setText(QLatin1String(c.text));
        EXPECT_EQ(c.month, edit.month());
        EXPECT_EQ(c.year, edit.year());
        EXPECT_EQ(QLatin1String(c.shown), edit.text());
    }
    ETValidUntilEdit given(nullptr, QStringLiteral("given"), 9, 2030, false);
    EXPECT_EQ(QStringLiteral("09/30"), given.text());
}

TEST_F(ETCustomerFieldEditorsTest, MonthYearRangeFromToday)
{
    EXPECT_EQ(QDate(2024, 5, 17), ETValidUntilEdit::today()) << "the test's clock";
    const int thisYear = ETValidUntilEdit::today().year();
    ETValidUntilEdit edit(nullptr, QStringLiteral("validuntilEdit"), 0, 0, true);
    EXPECT_EQ(thisYear, edit.yearBox()->minimum());
    EXPECT_EQ(thisYear + 10, edit.yearBox()->maximum());
    EXPECT_EQ(thisYear, edit.year());
    edit.setText(QStringLiteral("04/20"));
    EXPECT_EQ(thisYear, edit.year()) << "an earlier year is shown as the current one";
    EXPECT_EQ(QSizePolicy::Fixed, edit.sizePolicy().horizontalPolicy());
    EXPECT_FALSE(edit.monthBox()->accessibleName().isEmpty());
    EXPECT_FALSE(edit.yearBox()->accessibleName().isEmpty());
}

TEST_F(ETCustomerFieldEditorsTest, ValidUntilFieldCheckAndWriteBack)
{
    auto *edit = qobject_cast<ETValidUntilEdit *>(add(QStringLiteral("validuntil")));
    ASSERT_NE(nullptr, edit);
    const int thisYear = ETValidUntilEdit::today().year();
    EXPECT_TRUE(handler(QStringLiteral("validuntil"))->check());

    // An empty stored validity shows month 1 of this year, which counts as a change.
    customer()->showAll(&m_page);
    EXPECT_FALSE(customer()->allUnchanged(&m_page));
    customer()->writeBackAll(&m_page);
    EXPECT_EQ(QStringLiteral("01/%1").arg(thisYear % 100, 2, 10, QLatin1Char('0')),
              customer()->value(QStringLiteral("validuntil")));
    const QString later = QStringLiteral("11/%1").arg((thisYear + 2) % 100, 2, 10, QLatin1Char('0'));
    customer()->setValue(QStringLiteral("validuntil"), later);
    customer()->showAll(&m_page);
    EXPECT_EQ(later, edit->text());
    EXPECT_TRUE(customer()->allUnchanged(&m_page));

    // A year before 2001 fails; only an editor with the wide range can hold one.
    delete edit;
    auto *old = new ETValidUntilEdit(&m_page, QStringLiteral("validuntilEdit"), 12, 2000, false);
    EXPECT_FALSE(handler(QStringLiteral("validuntil"))->check());
    old->setText(QStringLiteral("12/2001"));
    EXPECT_TRUE(handler(QStringLiteral("validuntil"))->check());
    old->monthBox()->setRange(0, 13);
    for (int month : {0, 13}) {
        SCOPED_TRACE(month);
        old->monthBox()->setValue(month);
        EXPECT_FALSE(handler(QStringLiteral("validuntil"))->check());
    }
}

// A handler keeps no pointer: it finds its editor by name whenever it acts.
TEST_F(ETCustomerFieldEditorsTest, MissingEditorIsNoError)
{
    std::unique_ptr<ETCustomerWidgetHandler> missing = handler(QStringLiteral("street"));
    EXPECT_EQ(nullptr, missing->widget());
    customer()->setValue(QStringLiteral("street"), QStringLiteral("Hauptstr. 1"));
    missing->show();
    missing->writeBack();
    EXPECT_EQ(QStringLiteral("Hauptstr. 1"), customer()->value(QStringLiteral("street")));
    EXPECT_TRUE(missing->check());
    EXPECT_TRUE(missing->isUnchanged());

    // Editors nested below the page are found too.
    auto *box = new QWidget(&m_page);
    auto *grid = new QGridLayout(box);
    customer()->addField(box, QStringLiteral("street"), nullptr, grid, 0, 0, false, false);
    EXPECT_NE(nullptr, missing->widget());
    missing->show();
    EXPECT_EQ(QStringLiteral("Hauptstr. 1"), editor<QLineEdit>(QStringLiteral("street"))->text());
}

// The handler of the two-argument form serves the order's customer.
TEST_F(ETCustomerFieldEditorsTest, HandlerForServesTheOrdersCustomer)
{
    add(QStringLiteral("city"));
    editor<QLineEdit>(QStringLiteral("city"))->setText(QStringLiteral("Köln"));
    ETCustomer::handlerFor(&m_page, QStringLiteral("city"))->writeBack();
    EXPECT_EQ(QStringLiteral("Köln"), ETOrder::instance()->customer()->value(QStringLiteral("city")));
    EXPECT_TRUE(customer()->value(QStringLiteral("city")).isEmpty());
}

} // namespace
