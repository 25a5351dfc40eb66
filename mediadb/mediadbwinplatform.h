#pragma once

#include "mediadbplatform.h"

// Platform of the engine inside the Windows library: the real Win32 calls.
// module is the library's HMODULE, stored by its entry point.
class MediaDbWinPlatform : public MediaDbPlatform
{
  public:
    explicit MediaDbWinPlatform(void *module = nullptr);

    void setModule(void *module) { m_module = module; }

    std::string modulePath() override;
    char separator() const override;
    bool volumeInformation(const std::string &folder, std::string &root, uint32_t &error) override;
    bool listFolder(const std::string &folder, std::vector<Entry> &entries) override;
    std::string windowsFolder() override;
    void sendMessage(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void setWindowText(void *window, const std::string &text) override;
    void messageBox(const std::string &text, const std::string &caption) override;
    void debugOutput(const std::string &text) override;
    void sleepMs(unsigned milliseconds) override;
    std::string longDate() override;

  private:
    void *m_module;
};
