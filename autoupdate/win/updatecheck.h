#pragma once

// Operation modes 0 and 1: asks for leave to go online, then the update
// worker uploads the support archive, asks the update script for a newer
// version, offers it and downloads the updater program beside the host.

#include <windows.h>

#include <string>

class UpdateDialog;

class UpdateCheck
{
  public:
    // On the window's thread: the consent dialog, then the worker.
    static void runUpdateMode(UpdateDialog &dialog);
    // The worker: its argument is the UpdateDialog.
    static void checkForUpdate(void *dialog);
    // The whole reply of one GET, lines joined; empty on any failure. Ends
    // at once when cancel (a manual-reset event; may be null) is set.
    static std::string queryServerText(const std::string &url, HANDLE cancel = nullptr);
};
