#include "hostprocess.h"

#include <cstddef>

namespace
{

// The host's table of member functions, slot by slot.
struct ProcessSlots {
    void *reserved0;
    int32_t(QDAU_THISCALL *getOperationMode)(ProcessInterface *self);
    const char *(QDAU_THISCALL *getUpdateUrl)(ProcessInterface *self);
    void(QDAU_THISCALL *getProgramInfo)(ProcessInterface *self, const char **versionName,
                                        const char **programPath);
    void(QDAU_THISCALL *getUploadFiles)(ProcessInterface *self, const char **fileToDelete,
                                        const char **archive);
    const char *(QDAU_THISCALL *getIniFilePath)(ProcessInterface *self);
    void *reserved6;
    void(QDAU_THISCALL *trace)(ProcessInterface *self, const char *tag, const char *text, int32_t level);
    void(QDAU_THISCALL *reportError)(ProcessInterface *self, const char *tag, const char *text, int32_t code);
    void(QDAU_THISCALL *updaterReady)(ProcessInterface *self, const char *path);
};

static_assert(sizeof(ProcessInterface) == sizeof(void *), "the host's object starts with its table pointer");
static_assert(offsetof(ProcessSlots, getOperationMode) == 1 * sizeof(void *), "slot 1");
static_assert(offsetof(ProcessSlots, getUpdateUrl) == 2 * sizeof(void *), "slot 2");
static_assert(offsetof(ProcessSlots, getProgramInfo) == 3 * sizeof(void *), "slot 3");
static_assert(offsetof(ProcessSlots, getUploadFiles) == 4 * sizeof(void *), "slot 4");
static_assert(offsetof(ProcessSlots, getIniFilePath) == 5 * sizeof(void *), "slot 5");
static_assert(offsetof(ProcessSlots, trace) == 7 * sizeof(void *), "slot 7");
static_assert(offsetof(ProcessSlots, reportError) == 8 * sizeof(void *), "slot 8");
static_assert(offsetof(ProcessSlots, updaterReady) == 9 * sizeof(void *), "slot 9");
#if defined(__i386__)
static_assert(sizeof(void *) == 4 && sizeof(int32_t) == 4, "the shipped 32-bit host ABI");
// The host's table as a 32-bit host builds it: ten 4-byte slots.
static_assert(sizeof(ProcessSlots) == 40, "ten slots");
static_assert(offsetof(ProcessSlots, getOperationMode) == 4 && offsetof(ProcessSlots, getUpdateUrl) == 8 &&
                  offsetof(ProcessSlots, getProgramInfo) == 12 &&
                  offsetof(ProcessSlots, getUploadFiles) == 16 &&
                  offsetof(ProcessSlots, getIniFilePath) == 20 && offsetof(ProcessSlots, trace) == 28 &&
                  offsetof(ProcessSlots, reportError) == 32 && offsetof(ProcessSlots, updaterReady) == 36,
              "the host's slots 1 to 9");
#else
static_assert(sizeof(void *) == 8, "x86_64 host ABI");
#endif

const ProcessSlots &slots(ProcessInterface *process)
{
    return **reinterpret_cast<ProcessSlots *const *>(process);
}

std::string text(const char *value)
{
    return value ? std::string(value) : std::string();
}

} // namespace

int32_t HostProcess::operationMode() const
{
    return slots(m_process).getOperationMode(m_process);
}

std::string HostProcess::updateUrl() const
{
    return text(slots(m_process).getUpdateUrl(m_process));
}

void HostProcess::programInfo(std::string &versionName, std::string &programPath) const
{
    const char *name = nullptr;
    const char *path = nullptr;
    slots(m_process).getProgramInfo(m_process, &name, &path);
    versionName = text(name);
    programPath = text(path);
}

void HostProcess::uploadFiles(std::string &fileToDelete, std::string &archive) const
{
    const char *first = nullptr;
    const char *second = nullptr;
    slots(m_process).getUploadFiles(m_process, &first, &second);
    fileToDelete = text(first);
    archive = text(second);
}

bool HostProcess::iniFilePath(std::string &path) const
{
    const char *value = slots(m_process).getIniFilePath(m_process);
    path = text(value);
    return value != nullptr && *value != '\0';
}

void HostProcess::trace(const char *tag, const std::string &text, int32_t level) const
{
    if (m_process)
        slots(m_process).trace(m_process, tag, text.c_str(), level);
}

void HostProcess::reportError(const char *tag, const std::string &text, int32_t code) const
{
    if (m_process)
        slots(m_process).reportError(m_process, tag, text.c_str(), code);
}

void HostProcess::updaterReady(const std::string &path) const
{
    if (m_process)
        slots(m_process).updaterReady(m_process, path.c_str());
}
