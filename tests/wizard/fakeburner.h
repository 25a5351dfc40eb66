#pragma once

#include "etcdburner.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// What a FakeBurner answers and does.
struct FakeBurnerScript {
    QString internalName = QStringLiteral("fake0");
    QString externalName = QStringLiteral("Fake Writer 24x");
    QString libraryName = QStringLiteral("fakelib 1.0");
    int maximumSpeed = 24;
    int currentSpeed = 10;
    // Unless useBaseSpeeds: the speeds offered.
    bool useBaseSpeeds = true;
    QList<int> speeds;
    bool imageResult = true;
    bool burnResult = true;
    bool imageInThread = true;
    bool producesImageFile = false;
    bool writesDisc = true;
    bool keepsImage = false;
    bool cancellable = true;
    unsigned int actions = ETCDBurner::ActionImage | ETCDBurner::ActionWrite | ETCDBurner::ActionCloseSession;
    // Ready or idle from this poll on (1: the first).
    int readyAtPoll = 1;
    // createImage / burnImage wait until cancel() or proceed() (at most 5 s).
    bool holdImage = false;
    bool holdBurn = false;
};

// A burner of the tests. It answers from its script, records every call it
// gets (with the thread), takes a snapshot of the order folder while it makes
// the image, writes a small image file and reports its steps and progress
// from the thread it runs in, as a real back-end would.
class FakeBurner : public ETCDBurner
{
  public:
    using Script = FakeBurnerScript;

    struct Call {
        QString what; // "createImage", "burnImage", "afterBurn", "setSpeed", "cancel", "release"
        QStringList arguments;
        bool inGuiThread = false;
    };

    explicit FakeBurner(const Script &script = Script());
    ~FakeBurner() override;

    Script script;

    QList<Call> calls() const;
    // Names of the calls in order.
    QStringList callNames() const;
    // The order folder while the image was made: file name -> content (sorted by name).
    QMap<QString, QByteArray> snapshot() const;
    // Called inside createImage, in the thread that runs it.
    std::function<void()> duringImage;
    // Called inside release (GUI thread).
    std::function<void()> duringRelease;
    // Threads that emitted the signals; true for the GUI thread.
    QList<bool> emittedInGuiThread() const;

    bool imageStarted() const { return m_imageStarted; }
    bool burnStarted() const { return m_burnStarted; }
    // Lets a held createImage or burnImage go on.
    void proceed();

    void release() override;
    QString internalName() override { return script.internalName; }
    QString externalName() override { return script.externalName; }
    QString libraryName() override { return script.libraryName; }
    int maximumSpeed() override { return script.maximumSpeed; }
    int currentSpeed() override { return m_speed; }
    void setSpeed(int speed) override;
    QList<int> writeSpeeds() override;
    bool bupSupported() override { return true; }
    bool bupEnabled() override { return false; }
    unsigned long bufferSize() override { return 2048; }
    bool testSupported() override { return false; }
    bool createImage(const QString &sourceFolder, const QString &imagePath) override;
    bool createsImageInThread() override { return script.imageInThread; }
    bool producesImageFile() override { return script.producesImageFile; }
    bool writesDisc() override { return script.writesDisc; }
    bool keepsImage() override { return script.keepsImage; }
    bool burnImage(const QString &imagePath, bool flag) override;
    bool isReady() override;
    bool isIdle() override;
    unsigned int actions() override { return script.actions; }
    void afterBurn(int value) override;
    bool isCancellable() override { return script.cancellable; }
    void cancel() override;

  private:
    void record(const QString &what, const QStringList &arguments = QStringList());
    void emitted();
    // Waits for cancel() or proceed(); true when cancelled.
    bool hold();

    mutable QMutex m_mutex;
    QList<Call> m_calls;
    QMap<QString, QByteArray> m_snapshot;
    QList<bool> m_emitted;
    std::atomic<int> m_speed;
    std::atomic<int> m_polls{0};
    std::atomic<bool> m_imageStarted{false};
    std::atomic<bool> m_burnStarted{false};
    std::mutex m_holdMutex;
    std::condition_variable m_holdChanged;
    bool m_cancelled = false;
    bool m_proceed = false;
    QThread *m_guiThread;
};
