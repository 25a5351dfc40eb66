#pragma once

class QApplication;

// The one application object of a test program: widgets, pixmaps and queued
// signals need it. Made on the first call, headless unless the environment
// names a platform, with the per-user settings in a folder of the process's
// own; it lives until the process ends, like the client's.
class ETTestApplication
{
  public:
    static QApplication *instance();
};
