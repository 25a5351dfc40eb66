#include "scratchfolder.h"

#include "hostfiles.h"

#include <windows.h>

ScratchFolder::ScratchFolder(const std::string &prefix)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (unsigned attempt = 0; attempt < 1000 && m_path.empty(); ++attempt) {
        const std::string folder = std::string(temp) + prefix + "-" + std::to_string(GetCurrentProcessId()) +
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
    return writeFile(file(name), content);
}
