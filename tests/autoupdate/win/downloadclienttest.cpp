// The download client on its own, against the double, with a recording sink.
#include "frametest.h"

#include "httpdownloadclient.h"

namespace
{

const char kConnecting[] = "status Connecter au serveur... ";
const char kSending[] = "status Envoi de requête en cours... ";
const char kTransferring[] = "status Transférer fichier...";
const char kDone[] = "status Accompli.";

class DownloadClientTest : public FrameTest
{
  protected:
    std::string target() const { return scratch("download.bin"); }
    std::string address(const std::string &options) const { return updateUrl(options) + "?ProgVers=1"; }

    ::testing::AssertionResult eventsAre(const std::vector<std::string> &expected) const
    {
        if (m_sink.events == expected)
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "events:";
        for (const auto &event : m_sink.events)
            failure << "\n  [" << event << "]";
        failure << "\nexpected:";
        for (const auto &event : expected)
            failure << "\n  [" << event << "]";
        return failure;
    }

    RecordingSink m_sink;
};

TEST_F(DownloadClientTest, StatusesAndProgressOfAWholeDownload)
{
    HttpDownloadClient client;
    client.setSink(&m_sink);
    EXPECT_EQ(1, client.download(address("length=3000"), 3000, target()));
    EXPECT_TRUE(eventsAre({kConnecting, kSending, kTransferring, "begin Télécharger fichier 0..3000",
                           "progress 1024", "progress 2048", "progress 3000", kDone}));
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(3000), readFile(target())));
    EXPECT_EQ(200, client.lastStatus());
    EXPECT_EQ(3000u, client.bytesWritten());
    EXPECT_TRUE(client.wroteDestination());
    // The port named in the address was the one used.
    ASSERT_EQ(1u, m_double.requests(id()).size());
    EXPECT_EQ("127.0.0.1:" + std::to_string(m_double.scriptPort()),
              headerOf(m_double.requests(id())[0], "Host"));
}

TEST_F(DownloadClientTest, NoSizeMeansNoProgress)
{
    for (const int32_t size : {0, -5}) {
        SCOPED_TRACE(size);
        m_sink.events.clear();
        DeleteFileA(target().c_str());
        HttpDownloadClient client;
        client.setSink(&m_sink);
        EXPECT_EQ(1, client.download(address("length=1500"), size, target()));
        EXPECT_TRUE(eventsAre({kConnecting, kSending, kTransferring, kDone}));
        EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(1500), readFile(target())));
    }
}

struct StatusCase {
    const char *options;
    int result;
    int32_t status;
    std::vector<std::string> events;
    bool fileWritten;
    const char *content;
};

TEST_F(DownloadClientTest, ServerStatuses)
{
    const std::string noUpdate =
        "error Aucune mise à jour récente n'a été trouvée, votre version de programme est mise à jour .";
    const StatusCase cases[] = {
        {"download=202;length=10", 1, 202, {kConnecting, kSending, kTransferring, kDone}, true, nullptr},
        {"download=204",
         0,
         204,
         {kConnecting, kSending, "status Transfering server answer ....", "status Done."},
         true,
         ""},
        {"download=404", 0, 404, {kConnecting, kSending, noUpdate}, false, nullptr},
        {"download=500",
         0,
         500,
         {kConnecting, kSending, "status Transfering server answer ....", "status Done."},
         true,
         "<html><body>Internal error of the update script</body></html>"},
        {"download=truncate", 0, 200, {kConnecting, kSending, kTransferring, noUpdate}, true, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options);
        m_sink.events.clear();
        DeleteFileA(target().c_str());
        HttpDownloadClient client;
        client.setSink(&m_sink);
        EXPECT_EQ(c.result, client.download(address(c.options), 0, target()));
        EXPECT_EQ(c.status, client.lastStatus());
        EXPECT_TRUE(eventsAre(c.events));
        EXPECT_EQ(c.fileWritten, fileExists(target()));
        EXPECT_EQ(c.fileWritten, client.wroteDestination());
        if (c.content) {
            EXPECT_EQ(c.content, readFile(target()));
        }
    }
}

TEST_F(DownloadClientTest, AddressesThatCannotBeFetched)
{
    HttpDownloadClient unsplit;
    unsplit.setSink(&m_sink);
    EXPECT_EQ(0, unsplit.download("not an address", 0, target()));
    EXPECT_TRUE(eventsAre({}));

    HttpDownloadClient noPath;
    noPath.setSink(&m_sink);
    EXPECT_EQ(0, noPath.download("http://127.0.0.1:" + std::to_string(m_double.scriptPort()), 0, target()));
    EXPECT_TRUE(eventsAre(
        {"error Aucune mise à jour récente n'a été trouvée, votre version de programme est mise à jour ."}));

    m_sink.events.clear();
    HttpDownloadClient refused;
    refused.setSink(&m_sink);
    EXPECT_EQ(0, refused.download("http://127.0.0.1:" + std::to_string(m_double.closedPort()) + "/u.php", 0,
                                  target()));
    EXPECT_TRUE(
        eventsAre({kConnecting, kSending,
                   "error Il n'a pas été possible d'établir une connexion avec le serveur. Peut-être votre "
                   "ordinateur n'est-il pas connecté à Internet ? "}));
    EXPECT_FALSE(fileExists(target()));
}

TEST_F(DownloadClientTest, CancelStopsSilently)
{
    m_sink.cancelAfterProgress = 2;
    HttpDownloadClient client;
    client.setSink(&m_sink);
    EXPECT_EQ(0, client.download(address("download=trickle"), 1024 * 1024, target()));
    EXPECT_TRUE(eventsAre({kConnecting, kSending, kTransferring, "begin Télécharger fichier 0..1048576",
                           "progress 1024", "progress 2048"}));
    EXPECT_TRUE(client.wroteDestination());
}

TEST_F(DownloadClientTest, OverwritesWithoutAskingWhenTold)
{
    ASSERT_TRUE(writeFile(target(), "older content that is longer than the download"));
    HttpDownloadClient client;
    client.setAskBeforeOverwrite(false);
    EXPECT_EQ(1, client.download(address("length=10"), 0, target()));
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(10), readFile(target())));
}

TEST_F(DownloadClientTest, DefaultDestinationName)
{
    HttpDownloadClient client;
    EXPECT_STREQ("TanduHttpTransferFile.dat", client.destinationPath());
    EXPECT_EQ(1, client.download(address("length=10"), 0, std::string()));
    EXPECT_TRUE(sameBytes(UpdateDouble::updaterBytes(10), readFile(scratch("TanduHttpTransferFile.dat"))));
}

} // namespace
