// Operation modes 0 and 1: consent, the upload, the update script's queries,
// the offer, the download of QdUpdater.exe beside this program, and every
// way the download can fail. The tests share that one destination, so they
// do not run at once (CTest resource lock).
#include "updaterhost.h"

#include <atomic>

namespace
{

const char kDestinationName[] = "QdUpdater.exe";

class UpdateCheckTest : public UpdaterTest
{
  protected:
    void SetUp() override
    {
        UpdaterTest::SetUp();
        DeleteFileA(destination().c_str());
        m_process.mode = 1;
    }
    void TearDown() override
    {
        DeleteFileA(destination().c_str());
        UpdaterTest::TearDown();
    }

    static std::string destination() { return besideProgram(kDestinationName); }

    // The requests of the update script (the redirect and upload left out).
    std::vector<std::vector<std::string>> scriptRequests() const
    {
        std::vector<std::vector<std::string>> script;
        for (const auto &request : m_double.requests(id()))
            if (request[0].find(" /update/") != std::string::npos)
                script.push_back(request);
        return script;
    }

    std::string query(const std::string &options, const std::string &version,
                      const std::string &language) const
    {
        return "/update/" + id() + "/" + options + "/u.php?ProgVers=" + version +
               "&ProgVersName=1.0&LC=" + language;
    }

    void acceptAll()
    {
        m_driver.press(kConsentCaption, IDOK);
        m_driver.press(kInfoCaption, IDOK);
        m_driver.press(kBoxCaption, IDOK, kUpdateFound);
    }

    ::testing::AssertionResult failedWith(const char *text)
    {
        if (fileExists(destination()))
            return ::testing::AssertionFailure() << "the partial download was left behind";
        if (!m_process.updaters().empty())
            return ::testing::AssertionFailure() << "updaterReady was called";
        if (!m_driver.seen(kBoxCaption).empty())
            return ::testing::AssertionFailure() << "a message box was shown";
        if (!text)
            return noErrors();
        return reported(kSinkTag, text, -1);
    }
};

TEST_F(UpdateCheckTest, QueriesAndDownloadAsTheServerSawThem)
{
    m_process.updateUrl = updateUrl("x=1") + " junk";
    acceptAll();
    EXPECT_EQ(1, run());
    const auto script = scriptRequests();
    ASSERT_EQ(3u, script.size());
    const std::string base = query("x=1", "?.?.?.?", "F");
    EXPECT_EQ("GET " + base + "&getversion=1", script[0][0]);
    EXPECT_EQ("GET " + base + "&getfilesize=1", script[1][0]);
    EXPECT_EQ("GET " + base, script[2][0]);
    EXPECT_EQ("TanduHttpClient", headerOf(script[2], "User-Agent"));
    EXPECT_EQ("*/*", headerOf(script[2], "Accept"));
    EXPECT_EQ("QdAutoUpdate", headerOf(script[0], "User-Agent"));
    // Without a product name the offer starts with the blank before "Version".
    const auto offers = m_driver.seen(kInfoCaption);
    ASSERT_EQ(1u, offers.size());
    EXPECT_EQ(" Version 2.0 (2 KBytes)", offers[0].firstText(1006));
}

TEST_F(UpdateCheckTest, LanguageFromTheSettingsFile)
{
    writeSettings("to=upload", "LANGUAGE_ID=D\r\n");
    m_process.updateUrl = updateUrl("size=0;download=404");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    const auto script = scriptRequests();
    ASSERT_EQ(3u, script.size());
    EXPECT_EQ("GET " + query("size=0;download=404", "?.?.?.?", "D"), script[2][0]);
}

TEST_F(UpdateCheckTest, QueryValuesArePercentEncoded)
{
    m_process.versionName = "1.0 beta & co#2+";
    m_process.updateUrl = updateUrl("size=0;download=404");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    const auto script = scriptRequests();
    ASSERT_EQ(3u, script.size());
    EXPECT_EQ("GET /update/" + id() + "/size=0;download=404/u.php?ProgVers=?.?.?.?" +
                  "&ProgVersName=1.0%20beta%20%26%20co%232%2B&LC=F",
              script[2][0]);
}

TEST_F(UpdateCheckTest, SuccessfulUpdate)
{
    m_process.programPath = programPath();
    m_process.updateUrl = updateUrl("version=2.5");
    m_driver.press(kConsentCaption, IDOK);
    m_driver.press(kInfoCaption, IDOK);
    // The window's texts at the final message, once its last refresh is shown.
    SeenDialog atEnd;
    m_driver.on(kBoxCaption, [&](HWND box, const SeenDialog &) {
        HWND window = DialogDriver::findDialog(kUpdateCaption);
        atEnd.last = DialogDriver::readItems(window);
        if (atEnd.text(1001) != "Accompli.")
            return false;
        pressButton(box, IDOK);
        return true;
    });
    EXPECT_EQ(1, run());

    // Consent names the product; its ampersand is doubled to show as itself.
    const auto consent = m_driver.seen(kConsentCaption);
    ASSERT_EQ(1u, consent.size());
    EXPECT_EQ(
        "A présent, Foto && Co Studio cherche en ligne les récentes mises à jour. En sus, des données "
        "entrées pour le développement et l'amélioration de la stabilité et de la sécurité du Foto && Co "
        "Studio seront également transmises. ",
        consent[0].firstText(1007));
    const auto offers = m_driver.seen(kInfoCaption);
    ASSERT_EQ(1u, offers.size());
    EXPECT_EQ("Foto && Co Studio Version 2.5 (2 KBytes)", offers[0].firstText(1006));
    EXPECT_EQ("Télécharger la mise à jour", offers[0].firstText(IDOK));

    const auto script = scriptRequests();
    ASSERT_EQ(3u, script.size());
    EXPECT_EQ("GET " + query("version=2.5", "3.1.4.1", "F"), script[2][0]);

    // The window showed the transfer through to its end.
    EXPECT_EQ("2 KBytes / 2 KBytes", atEnd.text(1004));
    EXPECT_EQ("Télécharger fichier", atEnd.text(1002));

    const auto boxes = m_driver.seen(kBoxCaption);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_TRUE(boxes[0].answered);
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(2048), readFile(destination())));
    const auto ready = m_process.updaters();
    ASSERT_EQ(1u, ready.size());
    EXPECT_EQ(destination(), ready[0]);
    EXPECT_TRUE(noErrors());
    // The support archive went first; both of the host's files are gone.
    EXPECT_FALSE(m_double.upload(id()).empty());
    EXPECT_FALSE(fileExists(m_process.fileToDelete));
    EXPECT_FALSE(fileExists(m_process.archive));
}

TEST_F(UpdateCheckTest, Status202IsSuccess)
{
    m_process.updateUrl = updateUrl("download=202");
    acceptAll();
    EXPECT_EQ(1, run());
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(2048), readFile(destination())));
}

TEST_F(UpdateCheckTest, SizeZeroDownloadsAtOnceWithoutProgress)
{
    m_process.updateUrl = updateUrl("size=0");
    m_driver.press(kConsentCaption, IDOK);
    std::string sizeText = "unread";
    m_driver.on(kBoxCaption, [&](HWND box, const SeenDialog &seen) {
        if (!seen.shows(kUpdateFound))
            return false;
        HWND window = DialogDriver::findDialog(kUpdateCaption);
        SeenDialog update;
        update.last = DialogDriver::readItems(window);
        sizeText = update.text(1004);
        pressButton(box, IDOK);
        return true;
    });
    EXPECT_EQ(1, run());
    EXPECT_TRUE(m_driver.seen(kInfoCaption).empty());
    EXPECT_EQ("", sizeText);
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(2048), readFile(destination())));
}

TEST_F(UpdateCheckTest, CancelDuringTheDownload)
{
    m_process.updateUrl = updateUrl("download=trickle;size=1048576");
    m_driver.press(kConsentCaption, IDOK);
    m_driver.press(kInfoCaption, IDOK);
    bool openAfterCancel = false;
    std::string progressAtCancel;
    m_driver.on(kUpdateCaption, [&](HWND window, const SeenDialog &seen) {
        if (seen.text(1004).empty())
            return false;
        progressAtCancel = seen.text(1004);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        openAfterCancel = IsWindowVisible(window) != FALSE;
        return true;
    });
    EXPECT_EQ(0, run());
    EXPECT_TRUE(openAfterCancel) << "the window closed before the worker stopped";
    EXPECT_NE(std::string::npos, progressAtCancel.find(" KBytes / 1024 KBytes")) << progressAtCancel;
    // A cancel is silent.
    EXPECT_TRUE(failedWith(nullptr));
}

TEST_F(UpdateCheckTest, CancelWhileTheServerStallsEndsAtOnce)
{
    // Half the file, then nothing for 30 seconds.
    m_process.updateUrl = updateUrl("download=stall;stall=30");
    m_driver.press(kConsentCaption, IDOK);
    m_driver.press(kInfoCaption, IDOK);
    std::atomic<ULONGLONG> cancelledAt{0};
    m_driver.on(kUpdateCaption, [&](HWND window, const SeenDialog &seen) {
        if (seen.text(1004) != "1 KBytes / 2 KBytes")
            return false;
        cancelledAt = GetTickCount64();
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    EXPECT_EQ(0, run());
    ASSERT_NE(0u, cancelledAt.load()) << "the stall was never reached";
    EXPECT_LT(GetTickCount64() - cancelledAt, 3000u) << "the window waited for the stalled read";
    EXPECT_TRUE(failedWith(nullptr));
}

// A request that has no answer yet when the user cancels: the window closes
// within two seconds whatever the worker waits for, and nothing follows.
struct UnansweredCase {
    const char *name;
    // Update-script options; null: the update address is the double's
    // unanswered port, whose connects never complete.
    const char *options;
    // Not null: the support archive's redirect script is the update script
    // with these options.
    const char *redirectOptions;
    bool offer;            // shown (and accepted) before the wait
    size_t scriptRequests; // what reached the update script, the last one unanswered
    bool uploaded;         // the support archive went before the wait
};

const UnansweredCase kUnanswered[] = {
    {"SizeReply", "silent=size;stall=20", nullptr, false, 2, true},
    {"DownloadHeaders", "silent=download;stall=20", nullptr, true, 3, true},
    {"Connect", nullptr, nullptr, false, 0, true},
    {"UploadRedirect", "x=1", "silent=download;stall=20", false, 1, false},
};

void PrintTo(const UnansweredCase &c, std::ostream *out)
{
    *out << c.name;
}

class UpdateCheckUnanswered : public UpdateCheckTest, public ::testing::WithParamInterface<UnansweredCase>
{
};

TEST_P(UpdateCheckUnanswered, CancelClosesTheWindowAtOnce)
{
    const UnansweredCase &c = GetParam();
    m_process.updateUrl = c.options ? updateUrl(c.options)
                                    : "http://127.0.0.1:" + std::to_string(m_double.unansweredPort()) +
                                          "/update/" + id() + "/u.php";
    if (c.redirectOptions) {
        ASSERT_TRUE(
            writeFile(m_process.iniPath, "[Web]\r\nCrmRedirect=" + updateUrl(c.redirectOptions) + "\r\n"));
    }
    m_driver.press(kConsentCaption, IDOK);
    m_driver.press(kInfoCaption, IDOK);
    std::atomic<ULONGLONG> cancelledAt{0};
    m_driver.on(kUpdateCaption, [&](HWND window, const SeenDialog &) {
        const bool waiting =
            c.options ? scriptRequests().size() == c.scriptRequests : m_double.connectsWaiting() > 0;
        if (!waiting)
            return false;
        cancelledAt = GetTickCount64();
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    EXPECT_EQ(0, run());
    const ULONGLONG closedAt = GetTickCount64();
    ASSERT_NE(0u, cancelledAt.load()) << "the wait was never reached";
    EXPECT_LE(closedAt - cancelledAt, 2000u) << "the window waited for the server";
    EXPECT_EQ(c.offer ? 1u : 0u, m_driver.seen(kInfoCaption).size());
    EXPECT_EQ(c.scriptRequests, scriptRequests().size()) << "a request followed the cancel";
    EXPECT_EQ(c.uploaded, !m_double.upload(id()).empty());
    EXPECT_TRUE(failedWith(nullptr));
}

INSTANTIATE_TEST_SUITE_P(Waits, UpdateCheckUnanswered, ::testing::ValuesIn(kUnanswered),
                         [](const ::testing::TestParamInfo<UnansweredCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(UpdateCheckTest, DeclinedConsentSendsNothing)
{
    m_process.updateUrl = updateUrl("x=1");
    m_driver.press(kConsentCaption, IDCANCEL);
    EXPECT_EQ(0, run());
    EXPECT_TRUE(m_double.requests(id()).empty());
    EXPECT_FALSE(fileExists(m_process.fileToDelete));
    EXPECT_TRUE(fileExists(m_process.archive));
    EXPECT_TRUE(m_driver.seen(kInfoCaption).empty());
    EXPECT_TRUE(failedWith(nullptr));
}

// A run that ends without an update: what the double answers, the buttons
// pressed, and what the host and the double get.
struct EndCase {
    const char *name;
    const char *options; // null: the double's closed port
    int offerButton;     // 0: no offer is shown
    size_t scriptRequests;
    const char *failure; // null: the end is silent
};

const EndCase kEnds[] = {
    {"NotFoundMeansNoNewerVersion", "size=0;download=404", 0, 3, kNoUpdate},
    {"ClosedPortMeansNoConnection", nullptr, 0, 0, kNoConnection},
    {"TruncatedDownloadFails", "download=truncate", IDOK, 3, kNoUpdate},
    {"DeclinedOfferDownloadsNothing", "x=1", IDCANCEL, 2, nullptr},
    // Other error answers are saved into the destination without an error
    // message, and the failed download's file is deleted.
    {"Status500IsSavedThenDropped", "download=500", IDOK, 3, nullptr},
    {"Status204IsSavedThenDropped", "download=204", IDOK, 3, nullptr},
};

// The case's name stands for it in test names and messages.
void PrintTo(const EndCase &c, std::ostream *out)
{
    *out << c.name;
}

class UpdateCheckEnd : public UpdateCheckTest, public ::testing::WithParamInterface<EndCase>
{
};

TEST_P(UpdateCheckEnd, WithoutAnUpdate)
{
    const EndCase &c = GetParam();
    m_process.updateUrl = c.options ? updateUrl(c.options)
                                    : "http://127.0.0.1:" + std::to_string(m_double.closedPort()) + "/u.php";
    m_driver.press(kConsentCaption, IDOK);
    if (c.offerButton)
        m_driver.press(kInfoCaption, c.offerButton);
    EXPECT_EQ(0, run());
    EXPECT_EQ(c.offerButton ? 1u : 0u, m_driver.seen(kInfoCaption).size());
    EXPECT_EQ(c.scriptRequests, scriptRequests().size());
    EXPECT_TRUE(failedWith(c.failure));
}

INSTANTIATE_TEST_SUITE_P(Ends, UpdateCheckEnd, ::testing::ValuesIn(kEnds),
                         [](const ::testing::TestParamInfo<EndCase> &info) {
                             return std::string(info.param.name);
                         });

struct OfferCase {
    const char *size;
    const char *offer; // null: no offer, the download starts at once
};

TEST_F(UpdateCheckTest, OfferFollowsTheSizeReply)
{
    const OfferCase cases[] = {
        {"2048", " Version 2.0 (2 KBytes)"},
        {"1023", " Version 2.0 (0 KBytes)"},
        {"0", nullptr},
        {"", nullptr},
        {"-5", nullptr},
        {"abc", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        m_process.clearRecords();
        m_process.updateUrl = updateUrl(std::string("size=") + c.size + ";download=404");
        DialogDriver driver;
        driver.press(kConsentCaption, IDOK);
        driver.press(kInfoCaption, IDCANCEL);
        EXPECT_EQ(0, run(driver));
        const auto offers = driver.seen(kInfoCaption);
        if (c.offer) {
            ASSERT_EQ(1u, offers.size());
            EXPECT_EQ(c.offer, offers[0].firstText(1006));
            EXPECT_TRUE(noErrors());
        } else {
            EXPECT_TRUE(offers.empty());
            EXPECT_TRUE(reported(kSinkTag, kNoUpdate, -1));
        }
    }
}

TEST_F(UpdateCheckTest, AnsweringNoKeepsAnExistingFile)
{
    ASSERT_TRUE(writeFile(destination(), "the user's own file"));
    m_process.updateUrl = updateUrl("x=1");
    m_driver.press(kConsentCaption, IDOK);
    m_driver.press(kInfoCaption, IDOK);
    m_driver.press(kBoxCaption, IDNO, "sont déjà entrés. Réécrire ce fichier ?");
    EXPECT_EQ(0, run());
    const auto boxes = m_driver.seen(kBoxCaption);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_TRUE(boxes[0].shows(destination() + " sont déjà entrés. Réécrire ce fichier ? "));
    EXPECT_EQ("the user's own file", readFile(destination()));
    EXPECT_TRUE(reported(kSinkTag, kNoUpdate, -1));
    EXPECT_TRUE(m_process.updaters().empty());
}

TEST_F(UpdateCheckTest, AnsweringYesReplacesAnExistingFile)
{
    ASSERT_TRUE(writeFile(destination(), "an older updater"));
    m_process.updateUrl = updateUrl("x=1");
    acceptAll();
    m_driver.press(kBoxCaption, IDYES, "Réécrire ce fichier");
    EXPECT_EQ(1, run());
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(2048), readFile(destination())));
}

TEST_F(UpdateCheckTest, UsageDataShownFromCrmIni)
{
    writeFile(scratch("crm.ini"), "[Usage]\r\nstarts=3\r\n");
    m_process.updateUrl = updateUrl("x=1");
    std::string shown;
    bool dataClosed = false;
    bool dataAsked = false;
    // First the data button, then (once the data are closed) Annuler.
    m_driver.on(kConsentCaption, [&](HWND dialog, const SeenDialog &) {
        if (!dataAsked) {
            dataAsked = true;
            pressButton(dialog, 3);
            return false;
        }
        if (!dataClosed || IsWindowEnabled(dialog) == FALSE)
            return false;
        pressButton(dialog, IDCANCEL);
        return true;
    });
    m_driver.on(kDataCaption, [&](HWND dialog, const SeenDialog &seen) {
        shown = seen.text(1005);
        pressButton(dialog, IDOK);
        dataClosed = true;
        return true;
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ("[Usage]\n\r\nstarts=3\n\r\n\r\n", shown);
    EXPECT_EQ("Fermer", m_driver.seen(kDataCaption).at(0).firstText(IDOK));
}

} // namespace
