#pragma once

// The update window: runs the operation the host selects and shows the
// transfer of the update worker. The window lives on the host's thread; the
// worker reaches it only through its TransferSink and posted messages.

#include "modaldialog.h"
#include "transfersink.h"
#include "workerthread.h"

#include <atomic>
#include <mutex>
#include <string>

class UpdateDialog : public ModalDialog, public TransferSink
{
  public:
    enum PrivateMessage : UINT {
        StartOperation = WM_USER + 1,
        EndOperation = WM_USER + 2,
        RefreshTexts = WM_USER + 3,
    };

    UpdateDialog();
    ~UpdateDialog() override;

    // Fixed once the window is initialised; the worker reads them.
    const std::string &productName() const { return m_productName; }
    const std::string &versionName() const { return m_versionName; }
    const std::string &programPath() const { return m_programPath; }
    WorkerThread &worker() { return m_worker; }
    // Set when the user asks to cancel (manual reset); lives as long as the window object.
    HANDLE cancelEvent() const { return m_cancelEvent; }
    // Asks the window to end the running operation and close.
    void postEndOperation(bool alsoClose);

    int setStatusText(const char *text) override;
    int beginTransfer(const char *caption, int32_t low, int32_t high) override;
    int setProgress(int32_t position) override;
    int disableProgress() override;
    int isPaused() override;
    int shouldContinue() override;
    int reportError(const char *text) override;
    int reserved(int32_t, int32_t, int32_t) override;

  protected:
    bool onInitDialog() override;
    void onCancel() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) override;

  private:
    LRESULT onStartOperation(WPARAM, LPARAM);
    LRESULT onEndOperation(WPARAM, LPARAM);
    LRESULT onRefreshTexts(WPARAM, LPARAM);
    LRESULT onSysCommand(WPARAM, LPARAM);
    LRESULT onPaint(WPARAM, LPARAM);
    LRESULT onQueryDragIcon(WPARAM, LPARAM);

    std::string m_productName;
    std::string m_versionName;
    std::string m_programPath;
    HWND m_progress = nullptr;
    // Texts of the status line, the transfer caption and the size, written by
    // the worker and shown by the window's thread.
    std::mutex m_textMutex;
    std::string m_status;
    std::string m_transferCaption;
    std::string m_size;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    std::atomic<bool> m_cancelRequested{false};
    HANDLE m_cancelEvent = nullptr;
    std::atomic<bool> m_running{false};
    WorkerThread m_worker;
};
