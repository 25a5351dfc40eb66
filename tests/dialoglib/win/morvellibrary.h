#pragma once
// The morvel DLL built beside this test program, loaded with LoadLibrary as a
// host loads it, and the helpers the host tests share.

#include "morvel.h"
#include "vellum.h"

#include <gtest/gtest.h>

#include <string>

// Looks up one export by name: MORVEL_FN(library, GetString) has the
// export's own type.
#define MORVEL_FN(library, name) (library).get<decltype(&::name)>(#name)

class MorvelLibrary
{
  public:
    MorvelLibrary();
    ~MorvelLibrary();
    MorvelLibrary(const MorvelLibrary &) = delete;
    MorvelLibrary &operator=(const MorvelLibrary &) = delete;

    bool load();
    void unload();
    HMODULE module() const { return m_module; }

    template <typename F> F get(const char *name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(m_module, name)));
    }

  private:
    HMODULE m_module = nullptr;
};

// A test with morvel loaded that fails when a test leaves vellum blocks behind.
class MorvelTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    MorvelLibrary m_morvel;
    LONG m_blocksAtStart = 0;
};

// Path of a file beside this test program.
std::string besideProgram(const char *name);

// A scratch folder of its own, deleted with everything in it.
class ScratchFolder
{
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "\\" + name; }
    bool write(const std::string &name, const std::string &content) const;

  private:
    std::string m_path;
};

// Deletes a folder and what it holds, read-only files included.
void removeTree(const std::string &folder);

bool runningUnderWine();

// Marker for a Windows behaviour Wine lacks: passes under Wine while the
// check fails and fails once Wine behaves, so the marker gets dropped then.
::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference);

// Bytes of a block as text, for comparisons that show both sides.
std::string bytesOf(const void *block, size_t size);

// Dispatches messages until done() holds or the time is up; false on time-out.
template <typename Done> bool pumpUntil(Done done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

// Dispatches what is queued now.
void pumpPending();
