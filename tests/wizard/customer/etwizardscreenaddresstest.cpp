#include "etwizardscreenaddress.h"
#include "customerroadfixture.h"
#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcustomer.h"
#include "etnetworkingerror.h"
#include "etnetworkingtimes.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QPushButton>

namespace
{

class ETWizardScreenAddressTest : public CustomerRoadFixture
{
  protected:
    bool nextEnabled() { return wizard()->nextButton()->isEnabled(); }
    ETCustomer *customer() { return ETOrder::instance()->customer(); }

    // The CD road's address screen: the one with the box to save the data.
    ETWizardScreenAddress *cdAddress()
    {
        for (int i = 0; i < wizard()->pageCount(); ++i)
            if (auto *screen =
                    qobject_cast<ETWizardScreenAddress *>(wizard()->screenForPage(wizard()->page(i))))
                if (screen->saveData())
                    return screen;
        return nullptr;
    }
    ::testing::AssertionResult showOnCDRoad()
    {
        buildWizard();
        showWizard();
        wizard()->setCDOrder(true);
        ETWizardScreenAddress *screen = cdAddress();
        if (!screen)
            return ::testing::AssertionFailure() << "no CD address screen";
        wizard()->showPage(screen->page());
        if (wizard()->currentPage() != screen->page())
            return ::testing::AssertionFailure() << "the CD address page was not shown";
        return ::testing::AssertionSuccess();
    }

    // Next leaves the page without sending an address change.
    ::testing::AssertionResult leavesWithoutSending()
    {
        server().clearRequests();
        if (::testing::AssertionResult pressed = pressNext(); !pressed)
            return pressed;
        if (currentPage() == QLatin1String("addressScreen"))
            return ::testing::AssertionFailure() << "the page stayed";
        if (requestNames().contains(QStringLiteral("userchange_request")))
            return ::testing::AssertionFailure() << "sent " << requestNames().join(u' ').toStdString();
        return ::testing::AssertionSuccess();
    }
};

// The address comes from the server on arrival; leaving it unchanged sends nothing back.
TEST_F(ETWizardScreenAddressTest, FetchedOnArrivalAndNotSentBackUnchanged)
{
    ASSERT_TRUE(logInToAddress());
    EXPECT_EQ(QStringLiteral("userinfo_request"), requestNames().last());
    const struct {
        const char *field;
        const char *shown;
    } fields[] = {{"firstnameEdit", "Ada"}, {"lastnameEdit", "Lovelace"}, {"streetEdit", "Hauptstr. 1"},
                  {"zipEdit", "50667"},     {"cityEdit", "Köln"},         {"phoneEdit", "0221 123"}};
    for (const auto &f : fields) {
        SCOPED_TRACE(f.field);
        EXPECT_EQ(QString::fromUtf8(f.shown), edit(QLatin1String(f.field))->text());
    }
    EXPECT_EQ(QStringLiteral("Frau"), child<QComboBox>(QStringLiteral("salutationEdit"))->currentText());
    EXPECT_EQ(QStringLiteral("Deutschland"), child<QComboBox>(QStringLiteral("countryEdit"))->currentText());
    EXPECT_TRUE(nextEnabled());
    EXPECT_EQ(nullptr, child<QCheckBox>(QStringLiteral("saveData")));
    ASSERT_NE(nullptr, child<QCheckBox>(QStringLiteral("changeLoginDataCheck")));
    EXPECT_TRUE(leavesWithoutSending());
}

TEST_F(ETWizardScreenAddressTest, ChangedAddressIsSentBack)
{
    ASSERT_TRUE(logInToAddress());
    ASSERT_TRUE(type(QStringLiteral("streetEdit"), QStringLiteral("Domplatz 3")));
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("addressScreen"), currentPage());
    ASSERT_EQ(QStringLiteral("userchange_request"), requestNames().value(0));
    const ETOrderServerRequest sent = lastRequest(QStringLiteral("userchange_request"));
    EXPECT_EQ(QStringLiteral("Domplatz 3"), sent.text(QStringLiteral("street")));
    EXPECT_EQ(QStringLiteral("Lovelace"), sent.text(QStringLiteral("lastname")));
    EXPECT_EQ(QStringLiteral("Domplatz 3"), server().customer(email()).value(QStringLiteral("street")));
    EXPECT_EQ(QStringLiteral("Domplatz 3"), customer()->value(QStringLiteral("street")));
    EXPECT_TRUE(ETConfig::instance()->readEntry(QStringLiteral("customer_data/street")).isEmpty())
        << "the internet road keeps the address on the server only";
}

// A server of protocol 1.5 that sends the address in UTF-8 and says so: the
// page shows it as sent, finds the country, and leaving it untouched sends
// nothing back.
TEST_F(ETWizardScreenAddressTest, AnAddressInTheEncodingItDeclaresIsShownAsSent)
{
    QMap<QString, QString> fields = address();
    fields[QStringLiteral("lastname")] = QStringLiteral("Müller");
    fields[QStringLiteral("country")] = QStringLiteral("Österreich");
    QString content;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        content += QStringLiteral("<%1>%2</%1>").arg(it.key(), it.value());
    server().addFault(fault(QStringLiteral("userinfo_request"))
                          .raw(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<userinfo><head>"
                                              "<errorcode>0</errorcode><errortext/></head><content>") +
                               content + QStringLiteral("</content></userinfo>")));
    ASSERT_TRUE(logInToAddress());
    EXPECT_EQ(QStringLiteral("Müller"), edit(QStringLiteral("lastnameEdit"))->text());
    EXPECT_EQ(QStringLiteral("Österreich"), child<QComboBox>(QStringLiteral("countryEdit"))->currentText());
    EXPECT_TRUE(leavesWithoutSending());
}

// A country the list lacks is shown as the server has it, as an entry of its
// own; it is no change of the customer's: it is not sent while he changes
// nothing, and it goes back as the server had it when he changes another field.
TEST_F(ETWizardScreenAddressTest, OnlyWhatTheCustomerChangedGoesToTheServer)
{
    QMap<QString, QString> stored = address();
    stored[QStringLiteral("country")] = QStringLiteral("Atlantis");
    server().addCustomer(email(), password(), QStringLiteral("Name des Hundes?"), QStringLiteral("Rex"),
                         stored);
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_EQ(QStringLiteral("Atlantis"), child<QComboBox>(QStringLiteral("countryEdit"))->currentText());
    ASSERT_TRUE(leavesWithoutSending());
    EXPECT_EQ(QStringLiteral("Atlantis"), customer()->value(QStringLiteral("country")));

    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    ASSERT_TRUE(type(QStringLiteral("lastnameEdit"), QStringLiteral("Byron")));
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_NE(QStringLiteral("addressScreen"), currentPage());
    const ETOrderServerRequest sent = lastRequest(QStringLiteral("userchange_request"));
    EXPECT_EQ(QStringLiteral("Byron"), sent.text(QStringLiteral("lastname")));
    EXPECT_EQ(QStringLiteral("Atlantis"), sent.text(QStringLiteral("country")));
    EXPECT_EQ(QStringLiteral("Atlantis"), server().customer(email()).value(QStringLiteral("country")));
}

// Whatever country the customer picks goes to the server with its ISO code;
// the one the list lacks, picked again, goes as the server has it.
TEST_F(ETWizardScreenAddressTest, ThePickedCountryIsSentWithItsCode)
{
    const struct {
        const char *name;
        QStringList picks;
        const char *country;
        const char *iso;
    } cases[] = {
        {"the primary country", {QStringLiteral("Deutschland")}, "Deutschland", "DE"},
        {"another", {QStringLiteral("Schweiz")}, "Schweiz", "CH"},
        {"another, then the primary",
         {QStringLiteral("Schweiz"), QStringLiteral("Deutschland")},
         "Deutschland",
         "DE"},
        {"another, then the one shown",
         {QStringLiteral("Schweiz"), QStringLiteral("Atlantis")},
         "Atlantis",
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QMap<QString, QString> stored = address();
        stored[QStringLiteral("country")] = QStringLiteral("Atlantis");
        server().addCustomer(email(), password(), QStringLiteral("Name des Hundes?"), QStringLiteral("Rex"),
                             stored);
        ASSERT_TRUE(startOnLogin());
        ASSERT_TRUE(typeLogin(email(), password()));
        ASSERT_TRUE(pressNext());
        ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
        auto *box = child<QComboBox>(QStringLiteral("countryEdit"));
        ASSERT_NE(nullptr, box);
        for (const QString &pick : c.picks) {
            const int index = box->findText(pick);
            ASSERT_GE(index, 0) << pick.toStdString();
            box->setCurrentIndex(index);
        }
        // So that something goes in every case.
        ASSERT_TRUE(type(QStringLiteral("lastnameEdit"), QStringLiteral("Byron")));
        server().clearRequests();
        ASSERT_TRUE(pressNext());
        ASSERT_NE(QStringLiteral("addressScreen"), currentPage());
        const ETOrderServerRequest sent = lastRequest(QStringLiteral("userchange_request"));
        EXPECT_EQ(QLatin1String(c.country), sent.text(QStringLiteral("country")));
        EXPECT_EQ(QLatin1String(c.iso), sent.text(QStringLiteral("iso_country")));
        EXPECT_EQ(QLatin1String(c.country), customer()->value(QStringLiteral("country")));
    }
}

struct ArrivalCase {
    const char *name;
    QMessageBox::StandardButton answer;
    const char *page;
    int requests;
};

// A failed fetch on arrival offers Retry like every other request.
TEST_F(ETWizardScreenAddressTest, FailedFetchOnArrivalOffersRetry)
{
    const ArrivalCase cases[] = {{"retry", QMessageBox::Retry, "addressScreen", 2},
                                 {"cancel", QMessageBox::Cancel, "NetworkLoginScreen", 1}};
    for (const ArrivalCase &c : cases) {
        SCOPED_TRACE(c.name);
        addKnownCustomer();
        ASSERT_TRUE(startOnLogin());
        ASSERT_TRUE(typeLogin(email(), password()));
        server().clearRequests();
        presenter().clear();
        server().addFault(fault(QStringLiteral("userinfo_request")).status(503));
        presenter().answerBox(c.answer);
        ASSERT_TRUE(pressNext());
        EXPECT_EQ(QLatin1String(c.page), currentPage());
        EXPECT_EQ(c.requests, requestNames().count(QStringLiteral("userinfo_request")));
        ASSERT_EQ(1, presenter().requests().size());
        EXPECT_EQ((QList<QMessageBox::StandardButton>{QMessageBox::Retry, QMessageBox::Cancel}),
                  presenter().last().box.buttons);
        EXPECT_TRUE(lastBoxShows(ETNetworkingError::fromHttpStatus(503)));
    }
}

// The address is fetched from a slow server without freezing the window;
// the wizard's Abbrechen ends the fetch at once and the session quickly,
// though the server is slow to end it as well.
TEST_F(ETWizardScreenAddressTest, ASlowFetchKeepsTheWindowAliveAndAbbrechenClosesTheWizard)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    for (const char *request : {"userinfo_request", "endsession_request"})
        server().addFault(fault(QLatin1String(request)).rate(1));
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("userinfo_request"), [this] { EXPECT_TRUE(pressNext()); },
        [this] { EXPECT_TRUE(pressCancel()); });
    EXPECT_TRUE(endedPromptly(step, 2000)) << "the session end waits a second at most here";
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(QDialog::Rejected, wizard()->result());
    EXPECT_TRUE(presenter().requests().isEmpty()) << "a cancel is no error";
    EXPECT_EQ((QStringList{QStringLiteral("login_request"), QStringLiteral("userinfo_request"),
                           QStringLiteral("endsession_request:abort")}),
              requestSequence().mid(requestSequence().indexOf(QStringLiteral("login_request"))));
}

TEST_F(ETWizardScreenAddressTest, FailedChangeOffersRetryWithTheSameRecord)
{
    ASSERT_TRUE(logInToAddress());
    ASSERT_TRUE(type(QStringLiteral("cityEdit"), QStringLiteral("Bonn")));
    server().addFault(fault(QStringLiteral("userchange_request")).status(503).times(2));
    presenter().answerBox(QMessageBox::Retry);
    presenter().answerBox(QMessageBox::Cancel);
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("addressScreen"), currentPage());
    EXPECT_EQ(2, requestNames().count(QStringLiteral("userchange_request")));
    EXPECT_EQ(QStringLiteral("Bonn"), customer()->value(QStringLiteral("city")))
        << "the record holds the edit";
    const QList<ETOrderServerRequest> sent = server().requests(QStringLiteral("userchange_request"));
    EXPECT_EQ(sent.first().body, sent.last().body);

    // The record already holds the edit, but the server has not got it:
    // the next Next sends it although no field differs from the record.
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("addressScreen"), currentPage());
    EXPECT_EQ(QStringList{QStringLiteral("userchange_request")}, requestNames().mid(0, 1));
    EXPECT_EQ(QStringLiteral("Bonn"), server().customer(email()).value(QStringLiteral("city")));
}

TEST_F(ETWizardScreenAddressTest, EmptyMustFieldKeepsNextDisabled)
{
    ASSERT_TRUE(logInToAddress());
    for (const char *field : {"firstnameEdit", "lastnameEdit", "streetEdit", "zipEdit", "cityEdit"}) {
        SCOPED_TRACE(field);
        const QString before = edit(QLatin1String(field))->text();
        ASSERT_TRUE(type(QLatin1String(field), QString()));
        EXPECT_FALSE(nextEnabled());
        ASSERT_TRUE(type(QLatin1String(field), before));
        EXPECT_TRUE(nextEnabled());
    }
    ASSERT_TRUE(type(QStringLiteral("company_nameEdit"), QString()));
    EXPECT_TRUE(nextEnabled()) << "not a must field";
}

// The CD road reads the address from the disk and keeps it there when asked to.
TEST_F(ETWizardScreenAddressTest, CDRoadLoadsAndSavesOnDisk)
{
    ETCustomer stored;
    stored.setValue(QStringLiteral("firstname"), QStringLiteral("Ada"));
    stored.setValue(QStringLiteral("lastname"), QStringLiteral("Lovelace"));
    stored.setValue(QStringLiteral("street"), QStringLiteral("Hauptstr. 1"));
    stored.setValue(QStringLiteral("zip"), QStringLiteral("50667"));
    stored.setValue(QStringLiteral("city"), QStringLiteral("Köln"));
    stored.setValue(QStringLiteral("salutation"), QStringLiteral("Frau"));
    stored.setValue(QStringLiteral("country"), QStringLiteral("Deutschland"));
    stored.save();
    ASSERT_TRUE(showOnCDRoad());
    EXPECT_TRUE(requestNames().isEmpty());
    EXPECT_EQ(QStringLiteral("Lovelace"), edit(QStringLiteral("lastnameEdit"))->text());
    QCheckBox *save = cdAddress()->saveData();
    EXPECT_TRUE(save->isChecked()) << "a saved address ticks the box";
    EXPECT_EQ(nullptr, cdAddress()->changeLoginData());
    EXPECT_TRUE(nextEnabled());

    // Unchanged: nothing is written, even with the box ticked.
    ETConfig::instance()->writeEntry(QStringLiteral("customer_data/street"), QStringLiteral("marker"));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("marker"),
              ETConfig::instance()->readEntry(QStringLiteral("customer_data/street")));

    wizard()->showPage(cdAddress()->page());
    ASSERT_TRUE(type(QStringLiteral("streetEdit"), QStringLiteral("Domplatz 3")));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("Domplatz 3"),
              ETConfig::instance()->readEntry(QStringLiteral("customer_data/street")));
    EXPECT_TRUE(requestNames().isEmpty()) << "the CD road talks to no server";

    wizard()->showPage(cdAddress()->page());
    save->setChecked(false);
    ASSERT_TRUE(type(QStringLiteral("streetEdit"), QStringLiteral("Rathausplatz 9")));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("Rathausplatz 9"), customer()->value(QStringLiteral("street")));
    EXPECT_EQ(QStringLiteral("Domplatz 3"),
              ETConfig::instance()->readEntry(QStringLiteral("customer_data/street")));
}

TEST_F(ETWizardScreenAddressTest, LocalOrderStartsEmpty)
{
    customer()->setValue(QStringLiteral("lastname"), QStringLiteral("Lovelace"));
    buildWizard();
    showWizard();
    wizard()->setLocalOrder(true);
    wizard()->showPage(cdAddress()->page());
    EXPECT_TRUE(edit(QStringLiteral("lastnameEdit"))->text().isEmpty());
    EXPECT_TRUE(customer()->value(QStringLiteral("lastname")).isEmpty());
    EXPECT_FALSE(nextEnabled());
    EXPECT_FALSE(cdAddress()->saveData()->isChecked());
}

// Arriving, what the customer types lands in the first empty field: the company of the double's
// customer, who has none, or the first name of an empty address.
TEST_F(ETWizardScreenAddressTest, TheKeyboardIsInTheFirstEmptyFieldOnArrival)
{
    ASSERT_TRUE(logInToAddress());
    ASSERT_TRUE(edit(QStringLiteral("company_nameEdit"))->text().isEmpty());
    ASSERT_FALSE(edit(QStringLiteral("lastnameEdit"))->text().isEmpty());
    EXPECT_EQ(edit(QStringLiteral("company_nameEdit")), wizard()->focusWidget());
}

TEST_F(ETWizardScreenAddressTest, TheKeyboardIsInTheFirstNameOfAnEmptyAddress)
{
    buildWizard();
    showWizard();
    wizard()->setLocalOrder(true);
    wizard()->showPage(cdAddress()->page());
    ASSERT_NE(nullptr, edit(QStringLiteral("firstnameEdit")));
    EXPECT_EQ(edit(QStringLiteral("firstnameEdit")), wizard()->focusWidget());
}

TEST_F(ETWizardScreenAddressTest, FieldPlacesByCountry)
{
    const struct {
        int country;
        QList<QPair<const char *, QPair<int, int>>> cells;
    } cases[] = {
        {0,
         {{"zipEdit", {6, 2}},
          {"cityEdit", {6, 5}},
          {"countryEdit", {7, 2}},
          {"city_partEdit", {-1, -1}},
          {"state_provinceEdit", {-1, -1}}}},
        {7,
         {{"city_partEdit", {5, 5}},
          {"cityEdit", {6, 2}},
          {"zipEdit", {6, 5}},
          {"state_provinceEdit", {7, 2}},
          {"countryEdit", {7, 5}}}},
    };
    QFile dealer(environment().resources() + QStringLiteral("/default.xml"));
    ASSERT_TRUE(dealer.open(QIODevice::ReadOnly));
    const QByteArray original = dealer.readAll();
    dealer.close();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.country);
        QByteArray xml = original;
        xml.replace("</applicationConfig>",
                    "<country>" + QByteArray::number(c.country) + "</country></applicationConfig>");
        writeResource(QStringLiteral("default.xml"), xml);
        ETApplicationConfig::instance()->load();
        buildWizard();
        QWidget *page = cdAddress()->page();
        auto *grid = qobject_cast<QGridLayout *>(page->layout());
        ASSERT_NE(nullptr, grid);
        for (const auto &cell : c.cells) {
            SCOPED_TRACE(cell.first);
            QWidget *widget = page->findChild<QWidget *>(QLatin1String(cell.first));
            QPair<int, int> at(-1, -1);
            if (widget) {
                int rowSpan, columnSpan;
                grid->getItemPosition(grid->indexOf(widget), &at.first, &at.second, &rowSpan, &columnSpan);
            }
            EXPECT_EQ(cell.second, at);
        }
        EXPECT_EQ(QStringList(), unnamedControls(page));
    }
}

} // namespace
