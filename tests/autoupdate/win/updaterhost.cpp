#include "updaterhost.h"

#include <wininet.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

const char kUpdateCaption[] = "Télécharger mise à jour";
const char kConsentCaption[] = "Connexion à Internet";
const char kInfoCaption[] = "Update Info";
const char kDataCaption[] = "Annonce des données à transférer";
const char kBoxCaption[] = "QdAutoUpdate";
const char kNoUpdate[] =
    "Aucune mise à jour récente n'a été trouvée, votre version de programme est mise à jour .";
const char kNoConnection[] =
    "Il n'a pas été possible d'établir une connexion avec le serveur. Peut-être votre "
    "ordinateur n'est-il pas connecté à Internet ? ";
const char kUpdateFound[] = "Une récente mise à jour du programme a été trouvée. ";
const char kSinkTag[] = "QdAutoUpdate process interface:";

UpdaterLibrary::UpdaterLibrary()
    : m_library(besideProgram("QdAutoUpdate.dll")),
      m_entry(m_library.get<DoAutoUpdateFunction>("DoAutoUpdate"))
{
}

UpdateDouble::UpdateDouble()
{
    std::string path = "Z:" LUMO_UPDATE_DOUBLE_PORTS;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    std::ifstream in(path);
    if (!in) {
        m_problem = "no ports file " + path +
                    ": the update-server double is not running (run the tests "
                    "through ctest, which starts it, or start build/native/tools/"
                    "updateserverdouble --state-dir yourself)";
        return;
    }
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const auto value = static_cast<uint16_t>(std::atoi(line.c_str() + equals + 1));
        if (key == "port")
            m_port = value;
        else if (key == "script")
            m_scriptPort = value;
        else if (key == "closed")
            m_closedPort = value;
        else if (key == "unanswered")
            m_unansweredPort = value;
    }
    if (m_port == 0 || m_scriptPort == 0 || m_closedPort == 0 || m_unansweredPort == 0)
        m_problem = "the ports file " + path + " names no port";
}

std::string UpdateDouble::url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string UpdateDouble::scriptUrl(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(m_scriptPort) + path;
}

std::string UpdateDouble::fetch(const std::string &path) const
{
    std::string body;
    HINTERNET session = InternetOpenA("lumo host test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session)
        return body;
    HINTERNET file = InternetOpenUrlA(session, url(path).c_str(), nullptr, 0,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (file) {
        char buffer[4096];
        DWORD read = 0;
        while (InternetReadFile(file, buffer, sizeof buffer, &read) && read > 0)
            body.append(buffer, read);
        InternetCloseHandle(file);
    }
    InternetCloseHandle(session);
    return body;
}

int UpdateDouble::connectsWaiting() const
{
    const std::string count = fetch("/connecting");
    return count.empty() ? -1 : std::atoi(count.c_str());
}

std::vector<std::vector<std::string>> UpdateDouble::requests(const std::string &id) const
{
    std::vector<std::vector<std::string>> requests;
    std::istringstream log(fetch("/log/" + id));
    std::vector<std::string> current;
    std::string line;
    while (std::getline(log, line)) {
        if (line.empty()) {
            if (!current.empty())
                requests.push_back(current);
            current.clear();
        } else {
            current.push_back(line);
        }
    }
    return requests;
}

std::string UpdateDouble::upload(const std::string &id) const
{
    return fetch("/uploaded/" + id);
}

std::string UpdateDouble::updaterBytes(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xff);
    if (length >= 2) {
        bytes[0] = 'M';
        bytes[1] = 'Z';
    }
    return bytes;
}

std::string headerOf(const std::vector<std::string> &request, const std::string &name)
{
    const std::string prefix = name + ": ";
    for (const std::string &line : request)
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return std::string();
}

void UpdaterTest::SetUp()
{
    // The library's requests to the loopback double must not go through a proxy.
    for (const char *name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"}) {
        SetEnvironmentVariableA(name, nullptr);
        _putenv((std::string(name) + "=").c_str());
    }
    ASSERT_TRUE(m_library.entry()) << "QdAutoUpdate.dll or its DoAutoUpdate export missing beside the test";
    ASSERT_TRUE(m_double.isRunning()) << m_double.problem();
    ASSERT_FALSE(m_scratch.path().empty());
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Unique across runs against the same double too.
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    m_id = std::string(info->test_suite_name()) + "." + info->name() + "." +
           std::to_string(GetCurrentProcessId()) + "." + std::to_string(now.QuadPart);
    for (char &c : m_id)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            c = '-';
    SetCurrentDirectoryA(m_scratch.path().c_str());
    m_process.programPath = scratch("host.exe");
    writeFile(m_process.programPath, "no version resource here");
    m_process.iniPath = scratch("host.ini");
    m_process.fileToDelete = scratch("usage.tmp");
    m_process.archive = scratch("crm.zip");
    writeFile(m_process.fileToDelete, "usage");
    writeFile(m_process.archive, std::string(1000, 'z'));
    writeSettings("to=upload");
}

void UpdaterTest::TearDown()
{
    m_driver.stop();
    // Out of the scratch folder, so that it can go.
    SetCurrentDirectoryA(programFolder().c_str());
}

void UpdaterTest::writeSettings(const std::string &redirectOptions, const std::string &moreWebLines)
{
    writeFile(m_process.iniPath,
              "[Web]\r\nCrmRedirect=" + redirectUrl(redirectOptions) + "\r\n" + moreWebLines);
}

std::string UpdaterTest::updateUrl(const std::string &options) const
{
    return m_double.scriptUrl("/update/" + m_id + "/" + options + "/u.php");
}

std::string UpdaterTest::redirectUrl(const std::string &options) const
{
    return m_double.url("/crm/" + m_id + "/" + options + "/redirects/crm/crm.php3");
}

int32_t UpdaterTest::run(DialogDriver &driver, ProcessInterface *process)
{
    driver.start();
    const int32_t result = m_library.entry()(process);
    driver.stop();
    EXPECT_FALSE(driver.rescued()) << "the driver had to close dialogs nobody answered";
    return result;
}

namespace
{

::testing::AssertionResult hasLine(const std::vector<RecordingProcess::Line> &lines, const char *what,
                                   const std::string &tag, const std::string &text, int32_t value)
{
    std::ostringstream all;
    for (const auto &line : lines) {
        if (line.tag == tag && line.text == text && line.value == value)
            return ::testing::AssertionSuccess();
        all << "\n  [" << line.tag << "] [" << line.text << "] " << line.value;
    }
    return ::testing::AssertionFailure()
           << "no " << what << " [" << tag << "] [" << text << "] " << value << "; got:" << all.str();
}

} // namespace

::testing::AssertionResult UpdaterTest::noErrors() const
{
    const auto errors = m_process.errors();
    if (errors.empty())
        return ::testing::AssertionSuccess();
    std::ostringstream all;
    for (const auto &line : errors)
        all << "\n  [" << line.tag << "] [" << line.text << "] " << line.value;
    return ::testing::AssertionFailure() << "errors reported:" << all.str();
}

::testing::AssertionResult UpdaterTest::reported(const std::string &tag, const std::string &text,
                                                 int32_t code) const
{
    return hasLine(m_process.errors(), "error", tag, text, code);
}

::testing::AssertionResult UpdaterTest::traced(const std::string &tag, const std::string &text,
                                               int32_t level) const
{
    return hasLine(m_process.traces(), "trace", tag, text, level);
}
