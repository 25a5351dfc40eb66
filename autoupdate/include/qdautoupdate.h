#pragma once

// QdAutoUpdate, the online updater: its one export and the process object
// that the host hands it. For hosts and for the library itself.

#include <stdint.h>

// The host's member functions use the 32-bit member calling convention: the
// object in ECX, the arguments on the stack, removed by the callee. On x86_64
// there is only the one convention.
#if defined(__i386__) || defined(_M_IX86)
#if defined(_MSC_VER)
#define QDAU_THISCALL __thiscall
#else
#define QDAU_THISCALL __attribute__((thiscall))
#endif
#else
#define QDAU_THISCALL
#endif

// Implemented by the host; the library keeps the pointer and never frees it.
// The slots are called in this table order; 0 and 6 are never called. It has
// no virtual destructor, whose place in the table differs between compilers.
class ProcessInterface
{
  public:
    virtual void QDAU_THISCALL reserved0() = 0;
    // 0 or 1: update check; 2: not available; 3: support-archive upload.
    virtual int32_t QDAU_THISCALL getOperationMode() = 0;
    // Base address of the update script; only the part before a blank is used.
    virtual const char *QDAU_THISCALL getUpdateUrl() = 0;
    virtual void QDAU_THISCALL getProgramInfo(const char **versionName, const char **programPath) = 0;
    virtual void QDAU_THISCALL getUploadFiles(const char **fileToDelete, const char **archive) = 0;
    // Path of the settings file; null for none.
    virtual const char *QDAU_THISCALL getIniFilePath() = 0;
    virtual void QDAU_THISCALL reserved6() = 0;
    virtual void QDAU_THISCALL trace(const char *tag, const char *text, int32_t level) = 0;
    virtual void QDAU_THISCALL reportError(const char *tag, const char *text, int32_t code) = 0;
    // The downloaded updater program; the host starts it, not the library.
    virtual void QDAU_THISCALL updaterReady(const char *path) = 0;

  protected:
    ~ProcessInterface() = default;
};

#ifdef QDAUTOUPDATE_BUILDING
#define QDAU_EXPORT __declspec(dllexport)
#else
#define QDAU_EXPORT __declspec(dllimport)
#endif

// Runs the operation the host selects in a modal window; 1 when an updater
// program was handed to the host through updaterReady, else 0.
extern "C" QDAU_EXPORT int32_t __cdecl DoAutoUpdate(ProcessInterface *process);
// The signature a host finds through GetProcAddress.
typedef int32_t(__cdecl *DoAutoUpdateFunction)(ProcessInterface *process);
