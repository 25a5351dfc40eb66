#pragma once

// Fetches one address into one file over WinINet, with status texts,
// progress, cancel and error texts through a TransferSink. Used by one
// thread (the update worker).

#include "detachedcall.h"
#include "transfersink.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

class HttpDownloadClient
{
  public:
    HttpDownloadClient();
    virtual ~HttpDownloadClient();
    HttpDownloadClient(const HttpDownloadClient &) = delete;
    HttpDownloadClient &operator=(const HttpDownloadClient &) = delete;

    void setSink(TransferSink *sink) { m_sink = sink; }
    // A manual-reset event whose setting stops the download at once, even
    // while the connect, the server's headers or a read hang. Not owned.
    void setCancelEvent(HANDLE cancel) { m_calls.setCancelEvent(cancel); }
    // A size of 0 or less sets no progress range. Returns run()'s result, 0
    // when the address cannot be split.
    int download(const std::string &url, int32_t expectedTotal, const std::string &destination,
                 int32_t unused = 0);
    // 1 when the answer was received completely into the destination.
    virtual int run();
    // 1 when every byte was written.
    virtual int writeChunk(const char *data, DWORD length);

    int32_t lastStatus() const { return m_lastStatus; }
    uint32_t bytesWritten() const { return m_bytesWritten; }
    bool answerTransferred() const { return m_answerTransferred; }
    // True once this client created or rewrote the destination file: only
    // then may a failed download delete it.
    bool wroteDestination() const { return m_wroteDestination; }
    const char *destinationPath() const { return m_destinationPath; }
    // Tests switch off the question before overwriting.
    void setAskBeforeOverwrite(bool ask) { m_askBeforeOverwrite = ask; }
    void setTransferAnswerOnError(bool transfer) { m_transferAnswerOnError = transfer; }

  private:
    bool sendRequest();
    void closeRequest();
    bool checkStatus();
    bool readAnswer();
    bool openDestination();
    void status(UINT stringId);
    void statusText(const std::string &text);
    void error(UINT stringId);
    void errorText(const std::string &text);
    void closeHandles();
    bool cancelled();

    int m_transferAnswerOnError = 1;
    int m_askBeforeOverwrite = 1;
    char m_defaultTransferFile[MAX_PATH];
    char m_destinationPath[MAX_PATH];
    char m_userName[MAX_PATH];
    char m_password[MAX_PATH];
    int32_t m_lastStatus = 0;
    uint32_t m_bytesWritten = 0;
    int32_t m_expectedTotal = 0;
    uint32_t m_chunkSize = 1024;
    char m_scheme[MAX_PATH];
    char m_host[MAX_PATH];
    char m_urlPath[MAX_PATH];
    char m_extraInfo[MAX_PATH];
    TransferSink *m_sink = nullptr;
    // The calls that wait for the server: the send (connect and headers) and the reads.
    DetachedCall m_calls;
    HINTERNET m_internet = nullptr;
    HINTERNET m_connection = nullptr;
    HINTERNET m_request = nullptr;
    DWORD_PTR m_context = 0;
    HANDLE m_file = nullptr;
    int m_answerTransferred = 0;
    bool m_wroteDestination = false;
    URL_COMPONENTSA m_urlParts;
};
