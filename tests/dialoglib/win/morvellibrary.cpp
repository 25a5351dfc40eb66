#include "morvellibrary.h"

#include <cstdio>
#include <sstream>

namespace
{

std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

} // namespace

std::string besideProgram(const char *name)
{
    return programFolder() + "\\" + name;
}

MorvelLibrary::MorvelLibrary()
{
    load();
}

MorvelLibrary::~MorvelLibrary()
{
    unload();
}

bool MorvelLibrary::load()
{
    if (!m_module)
        m_module = LoadLibraryA(besideProgram("morvel.dll").c_str());
    return m_module != nullptr;
}

void MorvelLibrary::unload()
{
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
}

void MorvelTest::SetUp()
{
    ASSERT_NE(nullptr, m_morvel.module()) << "morvel.dll does not load: error " << GetLastError();
    m_blocksAtStart = VellumLiveBlocks();
}

void MorvelTest::TearDown()
{
    EXPECT_EQ(m_blocksAtStart, VellumLiveBlocks()) << "vellum blocks left behind";
}

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (unsigned attempt = 0; attempt < 1000 && m_path.empty(); ++attempt) {
        const std::string folder = std::string(temp) + "morvel-" + std::to_string(GetCurrentProcessId()) +
                                   "-" + std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            m_path = folder;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!m_path.empty())
        removeTree(m_path);
}

bool ScratchFolder::write(const std::string &name, const std::string &content) const
{
    FILE *f = fopen(file(name).c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(content.data(), 1, content.size(), f) == content.size();
    return fclose(f) == 0 && ok;
}

void removeTree(const std::string &folder)
{
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = folder + "\\" + name;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                    removeTree(path);
                } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveDirectoryA(path.c_str());
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    RemoveDirectoryA(folder.c_str());
}

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference)
{
    if (!runningUnderWine())
        return windowsBehaviour ? ::testing::AssertionSuccess()
                                : ::testing::AssertionFailure() << "Windows behaviour expected";
    if (windowsBehaviour)
        return ::testing::AssertionFailure()
               << "Wine behaves like Windows now; drop the todoWine marker: " << wineDifference;
    return ::testing::AssertionSuccess() << "todo_wine: " << wineDifference;
}

std::string bytesOf(const void *block, size_t size)
{
    std::ostringstream out;
    const auto *bytes = static_cast<const unsigned char *>(block);
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        if (c >= 32 && c < 127 && c != '\\')
            out << c;
        else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out << escaped;
        }
    }
    return out.str();
}

void pumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
