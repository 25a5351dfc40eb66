#pragma once

// Posts the host's support archive to the upload server that the redirect
// script names. Runs on the calling thread; reports to the host only. Given a
// cancel event (manual reset), its requests end at once when it is set, and
// a cancelled upload reports nothing.

#include <windows.h>

#include <string>

class UpdateDialog;

class CrmUpload
{
  public:
    // Deletes the first file the host names and uploads the second; 1.
    static int startUpload(HANDLE cancel = nullptr);
    // 1 when the whole request was sent and ended.
    static int uploadCrm(const std::string &archive, bool deleteAfter, HANDLE cancel = nullptr);
    // Operation mode 3, on the window's thread.
    static void runUploadMode(UpdateDialog &dialog);
    // The host's data is not to be sent: its first file goes.
    static void dropHostData();
};
