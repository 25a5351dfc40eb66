#include "frametest.h"

#include "updaterapp.h"

int RecordingSink::setStatusText(const char *text)
{
    events.push_back("status " + utf8FromAnsi(text));
    return 0;
}

int RecordingSink::beginTransfer(const char *caption, int32_t low, int32_t high)
{
    events.push_back("begin " + utf8FromAnsi(caption) + " " + std::to_string(low) + ".." +
                     std::to_string(high));
    return 0;
}

int RecordingSink::setProgress(int32_t position)
{
    ++m_progressCalls;
    events.push_back("progress " + std::to_string(position));
    return 0;
}

int RecordingSink::disableProgress()
{
    events.push_back("disable");
    return 0;
}

int RecordingSink::isPaused()
{
    return 0;
}

int RecordingSink::shouldContinue()
{
    return cancelAfterProgress < 0 || m_progressCalls < cancelAfterProgress ? 1 : 0;
}

int RecordingSink::reportError(const char *text)
{
    events.push_back("error " + utf8FromAnsi(text));
    return 0;
}

int RecordingSink::reserved(int32_t, int32_t, int32_t)
{
    return 0;
}

void FrameTest::SetUp()
{
    UpdaterTest::SetUp();
    m_resources =
        LoadLibraryExA(besideProgram("QdAutoUpdate.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(m_resources);
    UpdaterApp::instance().setModule(m_resources);
    UpdaterApp::instance().setProcess(&m_process);
}

void FrameTest::TearDown()
{
    UpdaterApp::instance().setProcess(nullptr);
    UpdaterApp::instance().setModule(nullptr);
    if (m_resources)
        FreeLibrary(m_resources);
    UpdaterTest::TearDown();
}
