#pragma once

#include "etthread.h"

#include <QString>

class ETCDBurner;

// Runs one long job of a burner away from the GUI: making the ISO image of
// the order folder, or burning it. The burn screen makes one per job, starts
// it, waits with ETThread::waitForFinish and reads the success flag.
class ETCDBurnerThread : public ETThread
{
  public:
    // The burner is not owned.
    explicit ETCDBurnerThread(ETCDBurner *burner, QObject *parent = nullptr);

    // Sets the cancel flag and tells the burner (GUI thread).
    void cancel() override;
    virtual void setBurnJob(const QString &imagePath, bool flag);
    virtual void setImageJob(const QString &sourceFolder, const QString &imagePath);

  protected:
    void run() override;

  private:
    enum Mode { ImageJob = 0, BurnJob = 1, NoJob = -1 };

    ETCDBurner *m_burner;
    bool m_flag = false;
    QString m_sourceFolder;
    QString m_imagePath;
    int m_mode = NoJob;
};
