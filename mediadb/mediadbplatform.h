#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the media database engine needs of the operating system.
class MediaDbPlatform
{
  public:
    struct Entry {
        std::string name;
        bool folder = false;
        bool hidden = false;
        bool system = false;
    };

    virtual ~MediaDbPlatform() = default;

    // Full path of the library's own file; empty when it cannot be read.
    virtual std::string modulePath() = 0;
    virtual char separator() const = 0;
    // Reads the volume information of the drive that holds folder; on failure
    // root names the drive and error the system's error code.
    virtual bool volumeInformation(const std::string &folder, std::string &root, uint32_t &error) = 0;
    // Entries of one folder ("." and ".." left out); false when it cannot be read.
    virtual bool listFolder(const std::string &folder, std::vector<Entry> &entries) = 0;
    // The system folder a scan skips with the hidden-entries flag; may be empty.
    virtual std::string windowsFolder() = 0;
    // Synchronous window message to a client window.
    virtual void sendMessage(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void setWindowText(void *window, const std::string &text) = 0;
    virtual void messageBox(const std::string &text, const std::string &caption) = 0;
    virtual void debugOutput(const std::string &text) = 0;
    virtual void sleepMs(unsigned milliseconds) = 0;
    // Today's UTC date in the system's long date format; empty on failure.
    virtual std::string longDate() = 0;
};
