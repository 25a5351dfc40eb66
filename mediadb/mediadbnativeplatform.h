#pragma once

#include "mediadbplatform.h"

#include <functional>

// Platform of the engine on POSIX systems (tests, Linux): files through the
// C library, window messages and boxes to optional handlers.
class MediaDbNativePlatform : public MediaDbPlatform
{
  public:
    using MessageHandler =
        std::function<void(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam)>;

    // moduleFolder: folder taken as the library's own; empty means the
    // folder of the running program.
    explicit MediaDbNativePlatform(std::string moduleFolder = std::string());

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

    void setMessageHandler(MessageHandler handler) { m_messageHandler = std::move(handler); }

  private:
    std::string m_moduleFolder;
    MessageHandler m_messageHandler;
};
