// Operation mode 3: the support archive posted as a multipart form to the
// upload server the redirect script names, as the double received it.
#include "updaterhost.h"

namespace
{

const int32_t kUnspecifiedFailure = static_cast<int32_t>(0x80004005);

class UploadTest : public UpdaterTest
{
  protected:
    void SetUp() override
    {
        UpdaterTest::SetUp();
        m_process.mode = 3;
    }

    std::string redirectTrace() const
    {
        return "Redirect found and parsed: server=127.0.0.1:" + std::to_string(m_double.scriptPort()) +
               ", URL=/upload/" + id();
    }

    std::string settingsTrace(const std::string &redirect) const
    {
        return "Section=Web Key=CrmRedirect result=" + redirect +
               " default=http://www.tandu-software.example/redirects/crm/crm.php3 Flags= eIniFileOnly";
    }
};

struct BodyCase {
    size_t archiveSize;
    const char *contentLength;
};

TEST_F(UploadTest, MultipartBodyByteForByte)
{
    const BodyCase cases[] = {{1000, "1220"}, {0, "217"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.archiveSize);
        m_process.clearRecords();
        std::string archive(c.archiveSize, '\0');
        for (size_t i = 0; i < archive.size(); ++i)
            archive[i] = static_cast<char>(i * 31 + 1);
        ASSERT_TRUE(writeFile(m_process.archive, archive));
        ASSERT_TRUE(writeFile(m_process.fileToDelete, "usage"));
        DialogDriver driver;
        driver.press(kConsentCaption, IDOK);
        EXPECT_EQ(0, run(driver));

        const std::string raw = m_double.upload(id());
        const size_t headEnd = raw.find("\r\n\r\n");
        ASSERT_NE(std::string::npos, headEnd) << raw;
        const std::string head = raw.substr(0, headEnd + 2);
        EXPECT_EQ(0u, head.find("POST /upload/" + id() + " HTTP/1.1\r\n")) << head;
        EXPECT_NE(std::string::npos, head.find("\r\nContent-Type: multipart/form-data; "
                                               "boundary=---------------------------119281817426312\r\n"))
            << head;
        EXPECT_NE(std::string::npos,
                  head.find(std::string("\r\nContent-Length: ") + c.contentLength + "\r\n"))
            << head;
        const std::string expected = "-----------------------------119281817426312\n"
                                     "Content-Disposition: form-data; name=\"File\"; filename=\"crm.zip\"\n"
                                     "Content-Type: application/octet-stream\n"
                                     "Content-Length: " +
                                     std::to_string(c.archiveSize) + "\n\n\n" + archive +
                                     "\n\n-----------------------------119281817426312--\n";
        EXPECT_EQ(expected, raw.substr(headEnd + 4));
        EXPECT_EQ(std::to_string(expected.size()), c.contentLength);

        EXPECT_FALSE(fileExists(m_process.fileToDelete));
        EXPECT_FALSE(fileExists(m_process.archive));
        EXPECT_TRUE(traced("CRM Redirect", redirectTrace(), 4));
        EXPECT_TRUE(traced("LookUpValue", settingsTrace(redirectUrl("to=upload")), 3));
        EXPECT_TRUE(noErrors());
        EXPECT_EQ(1u, driver.seen(kUpdateCaption).size());
    }
}

TEST_F(UploadTest, MissingArchiveSendsNothingAndSaysNothing)
{
    m_process.archive = scratch("missing.zip");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    EXPECT_EQ("", m_double.upload(id()));
    EXPECT_FALSE(fileExists(m_process.fileToDelete));
    EXPECT_TRUE(noErrors());
    EXPECT_TRUE(traced("CRM Redirect", redirectTrace(), 4));
}

TEST_F(UploadTest, UnreachableRedirectScript)
{
    const std::string redirect =
        "http://127.0.0.1:" + std::to_string(m_double.closedPort()) + "/redirects/crm/crm.php3";
    writeFile(m_process.iniPath, "[Web]\r\nCrmRedirect=" + redirect + "\r\n");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    EXPECT_TRUE(reported("CRM Upload", "Unable to redirect path", kUnspecifiedFailure));
    EXPECT_TRUE(traced("LookUpValue", settingsTrace(redirect), 3));
    EXPECT_TRUE(fileExists(m_process.archive));
    EXPECT_FALSE(fileExists(m_process.fileToDelete));
}

TEST_F(UploadTest, RedirectWithoutAnAddress)
{
    writeSettings("to=none");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    EXPECT_TRUE(reported("CRM Upload", "Unable to get Http Connection", kUnspecifiedFailure));
    EXPECT_TRUE(m_process.traces().size() == 1u) << "only the settings lookup is traced";
    EXPECT_TRUE(fileExists(m_process.archive));
}

TEST_F(UploadTest, UploadServerRefusesTheConnection)
{
    writeSettings("to=closed");
    m_driver.press(kConsentCaption, IDOK);
    EXPECT_EQ(0, run());
    EXPECT_TRUE(noErrors());
    bool sendFailed = false;
    for (const auto &line : m_process.traces())
        sendFailed =
            sendFailed || (line.tag == "CRM Upload" && line.value == 4 && line.text.rfind("Error: ", 0) == 0);
    EXPECT_TRUE(sendFailed);
    // Nothing was sent: the host keeps its archive for the next time.
    EXPECT_TRUE(fileExists(m_process.archive));
}

TEST_F(UploadTest, DeclinedUploadDeletesOnlyTheFirstFile)
{
    m_driver.press(kConsentCaption, IDCANCEL);
    EXPECT_EQ(0, run());
    EXPECT_TRUE(m_double.requests(id()).empty());
    EXPECT_FALSE(fileExists(m_process.fileToDelete));
    EXPECT_TRUE(fileExists(m_process.archive));
    EXPECT_TRUE(m_process.traces().empty());
}

} // namespace
