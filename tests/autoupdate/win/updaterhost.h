#pragma once

// What the updater's host tests share: the library loaded as a host loads it,
// a scratch folder, the update-server double, and one run of DoAutoUpdate
// with the dialog driver.

#include "dialogdriver.h"
#include "hostfiles.h"
#include "hostlibrary.h"
#include "hostmessages.h"
#include "recordingprocess.h"
#include "scratchfolder.h"
#include "winetodo.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// QdAutoUpdate.dll from beside the test program.
class UpdaterLibrary
{
  public:
    UpdaterLibrary();
    UpdaterLibrary(const UpdaterLibrary &) = delete;
    UpdaterLibrary &operator=(const UpdaterLibrary &) = delete;

    HMODULE module() const { return m_library.module(); }
    DoAutoUpdateFunction entry() const { return m_entry; }

  private:
    HostLibrary m_library;
    DoAutoUpdateFunction m_entry = nullptr;
};

// The update-server double started for this test run (see the CTest fixture):
// its ports come from the file it wrote.
class UpdateDouble
{
  public:
    UpdateDouble();
    bool isRunning() const { return m_port != 0; }
    const std::string &problem() const { return m_problem; }
    uint16_t port() const { return m_port; }
    uint16_t scriptPort() const { return m_scriptPort; }
    uint16_t closedPort() const { return m_closedPort; }
    // Connects to it neither complete nor fail.
    uint16_t unansweredPort() const { return m_unansweredPort; }
    // The connects waiting at the unanswered port; -1 when the double cannot tell.
    int connectsWaiting() const;

    std::string url(const std::string &path) const;
    std::string scriptUrl(const std::string &path) const;
    // GET on the double; empty when it fails.
    std::string fetch(const std::string &path) const;
    // The requests logged under an id, one "METHOD target" line and its
    // header lines per entry.
    std::vector<std::vector<std::string>> requests(const std::string &id) const;
    std::string upload(const std::string &id) const;
    // The bytes the double serves as the updater program.
    static std::string updaterBytes(size_t length);

  private:
    uint16_t m_port = 0;
    uint16_t m_scriptPort = 0;
    uint16_t m_closedPort = 0;
    uint16_t m_unansweredPort = 0;
    std::string m_problem;
};

// The value of a header line "Name: value" in one logged request; empty when missing.
std::string headerOf(const std::vector<std::string> &request, const std::string &name);

// One test: the library, the double, a scratch folder, a host object whose
// files live in the scratch folder, and a dialog driver.
class UpdaterTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // A unique name for this test's requests at the double.
    const std::string &id() const { return m_id; }
    std::string scratch(const std::string &name) const { return m_scratch.file(name); }
    // "[Web]" settings file with the redirect script of the double (and more lines).
    void writeSettings(const std::string &redirectOptions, const std::string &moreWebLines = std::string());
    std::string updateUrl(const std::string &options) const;
    std::string redirectUrl(const std::string &options) const;
    // Runs DoAutoUpdate on this thread while a driver answers; no dialog
    // may be left for the driver to close.
    int32_t run(DialogDriver &driver, ProcessInterface *process);
    int32_t run(DialogDriver &driver) { return run(driver, &m_process); }
    int32_t run() { return run(m_driver); }
    ::testing::AssertionResult noErrors() const;
    ::testing::AssertionResult reported(const std::string &tag, const std::string &text, int32_t code) const;
    ::testing::AssertionResult traced(const std::string &tag, const std::string &text, int32_t level) const;

    UpdaterLibrary m_library;
    UpdateDouble m_double;
    RecordingProcess m_process;
    DialogDriver m_driver;
    ScratchFolder m_scratch{"qdau"};
    std::string m_id;
};

// Texts of the library.
extern const char kUpdateCaption[];
extern const char kConsentCaption[];
extern const char kInfoCaption[];
extern const char kDataCaption[];
extern const char kBoxCaption[];
extern const char kNoUpdate[];
extern const char kNoConnection[];
extern const char kUpdateFound[];
extern const char kSinkTag[];
