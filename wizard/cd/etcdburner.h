#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// One disc writer of the CD road, implemented by a back-end (a CD-writing
// library, or an image writer that only makes an ISO image) that registers
// itself in the process-wide registry. createImage and burnImage run in the
// burner thread and may emit the signals there; everything else is called in
// the GUI thread. The client itself ships no back-end.
class ETCDBurner : public QObject
{
    Q_OBJECT

  public:
    // Steps a burner reports; the same numbers index the burn page's step list.
    enum Action : unsigned int {
        ActionCollect = 1, // done by the screen, never by a burner
        ActionImage = 2,
        ActionCalibrate = 4,
        ActionWrite = 16,
        ActionCloseSession = 32,
        ActionFinalize = 64
    };

    explicit ETCDBurner(QObject *parent = nullptr);
    // A burner that goes away leaves the registry.
    ~ETCDBurner() override;

    // The registry keeps the burners in registration order and owns none of them.
    static void registerBurner(ETCDBurner *burner);
    // External names in registry order.
    static QStringList list();
    // By internal name first, then by external name; exact and case-sensitive.
    static ETCDBurner *burner(const QString &name);
    static ETCDBurner *burner(unsigned int index);

    // The lines back-ends add during a run (any thread); the CD final screen shows them.
    static void addToLog(const QString &line);
    static QString logText();
    static void clearLogForTests();

    // Called when a run is over, before the screen disconnects.
    virtual void release() = 0;
    virtual QString internalName() = 0;
    virtual QString externalName() = 0;
    virtual QString libraryName() = 0;
    virtual int maximumSpeed() = 0;
    virtual int currentSpeed() = 0;
    virtual void setSpeed(int speed) = 0;
    // Ascending; the base makes a list from the maximum speed.
    virtual QList<int> writeSpeeds();
    virtual bool bupSupported() = 0;
    virtual bool bupEnabled() = 0;
    virtual unsigned long bufferSize() = 0;
    virtual bool testSupported() = 0;
    virtual bool createImage(const QString &sourceFolder, const QString &imagePath) = 0;
    // False: createImage runs in the GUI thread.
    virtual bool createsImageInThread() = 0;
    // The image is the product: the customer places it and burns it elsewhere.
    virtual bool producesImageFile() = 0;
    virtual bool writesDisc() = 0;
    // The wizard is told where the image is, and it stays there.
    virtual bool keepsImage() = 0;
    virtual bool burnImage(const QString &imagePath, bool flag) = 0;
    virtual bool isReady() = 0;
    virtual bool isIdle() = 0;
    // Mask of the actions this burner reports.
    virtual unsigned int actions() = 0;
    // Called in the burner thread right after burnImage.
    virtual void afterBurn(int value) = 0;
    // Whether the wizard's Cancel stays enabled while the disc is written.
    virtual bool isCancellable() = 0;

    // What a back-end writes as volume name, application and publisher of the image.
    QString volumeName() const;
    QString applicationName() const;
    QString publisher() const;

    // Poll isReady (every 5 s) or isIdle (every 2 s); false when the time is up.
    // They block the calling thread.
    bool waitUntilReady(int seconds);
    bool waitUntilIdle(int seconds);

    void sendProgress(int percent);
    void sendBeginAction(unsigned int action);
    void sendEndAction(unsigned int action);

    // The burner's properties on the debug output.
    void dump();

  public slots:
    // Make a running createImage or burnImage return soon (called in the GUI thread).
    virtual void cancel() = 0;

  signals:
    void beginBurn();
    void endBurn();
    void beginAction(unsigned int action);
    // Percent of the running action.
    void progress(int percent);
    void endAction(unsigned int action);

  private:
    bool waitUntil(bool (ETCDBurner::*condition)(), int seconds, unsigned pauseSeconds);
};
