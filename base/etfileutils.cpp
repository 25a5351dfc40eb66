#include "etfileutils.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>

namespace
{

QString &resourceDir()
{
    static QString dir = QStringLiteral("Resources");
    return dir;
}

std::atomic<SleepHook> sleepHook{nullptr};

constexpr qint64 copyBlockSize = 16384;

QStringList subFolders(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot,
                                               QDir::Name | QDir::IgnoreCase);
    names.removeAll(QStringLiteral("CVS"));
    return names;
}

QStringList matchingFiles(const QString &folder, const QString &filter)
{
    QDir dir(folder, filter, QDir::Name | QDir::IgnoreCase, QDir::Files);
    return dir.entryList();
}

} // namespace

void setResourceDir(const QString &folder)
{
    resourceDir() = folder;
}

QString resourcePath(const QString &name)
{
    return resourceDir() + QLatin1Char('/') + name;
}

void sleepSeconds(unsigned seconds)
{
    sleepMilliseconds(seconds * 1000);
}

void sleepMilliseconds(unsigned milliseconds)
{
    if (SleepHook hook = sleepHook.load()) {
        hook(milliseconds);
        return;
    }
    QThread::msleep(milliseconds);
}

void sleepSecondsWithEvents(unsigned seconds)
{
    if (SleepHook hook = sleepHook.load()) {
        hook(seconds * 1000);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(seconds), &loop, &QEventLoop::quit);
    loop.exec();
}

void setSleepHookForTests(SleepHook hook)
{
    sleepHook.store(hook);
}

bool ensureInternetConnection()
{
    return false;
}

QString absoluteFilePath(const QString &folder, const QString &name)
{
    return QDir(folder).absoluteFilePath(name);
}

QString absoluteFilePath(const QDir &folder, const QString &name)
{
    return folder.absoluteFilePath(name);
}

bool copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    auto buffer = std::make_unique<char[]>(copyBlockSize);
    bool ok = true;
    for (;;) {
        const qint64 got = in.read(buffer.get(), copyBlockSize);
        if (got == 0)
            break;
        if (got < 0 || out.write(buffer.get(), got) != got) {
            ok = false;
            break;
        }
    }
    // Buffered data may only fail to reach the disk on close.
    if (!out.flush())
        ok = false;
    out.close();
    return ok && out.error() == QFileDevice::NoError;
}

bool copyFileInDirs(const QDir &sourceDir, const QString &sourceName, const QDir &targetDir,
                    const QString &targetName, bool overwrite)
{
    Q_UNUSED(overwrite)
    return copyFile(sourceDir.filePath(sourceName), targetDir.filePath(targetName));
}

int prepareDirectoryTree(const QString &source, const QString &target, const QString &filter)
{
    if (!QFileInfo(source).isDir())
        return 0;
    QDir().mkdir(target);
    int count = matchingFiles(source, filter).size();
    for (const QString &name : subFolders(source))
        count +=
            prepareDirectoryTree(source + QLatin1Char('/') + name, target + QLatin1Char('/') + name, filter);
    return count;
}

namespace
{

// False only when the user cancelled; a file that could not be copied sets
// failed and the walk goes on.
bool copyFilesIn(const QString &source, const QString &target, const QString &filter,
                 QProgressDialog *progress, bool &failed)
{
    if (!QFileInfo(source).isDir())
        return true;
    const QDir sourceDir(source);
    const QDir targetDir(target);
    for (const QString &name : matchingFiles(source, filter)) {
        if (!copyFileInDirs(sourceDir, name, targetDir, name, true))
            failed = true;
        if (progress) {
            progress->setValue(qMax(progress->value(), progress->minimum()) + 1);
            QApplication::processEvents();
            if (progress->wasCanceled())
                return false;
        }
    }
    for (const QString &name : subFolders(source)) {
        if (!copyFilesIn(source + QLatin1Char('/') + name, target + QLatin1Char('/') + name, filter, progress,
                         failed))
            return false;
    }
    return true;
}

} // namespace

bool copyDirectoryFiles(const QString &source, const QString &target, const QString &filter,
                        QProgressDialog *progress)
{
    bool failed = false;
    const bool completed = copyFilesIn(source, target, filter, progress, failed);
    return completed && !failed;
}

bool copyDirectoryTree(const QString &source, const QString &target, const QString &filter,
                       QProgressDialog *progress)
{
    const int count = prepareDirectoryTree(source, target, filter);
    if (progress)
        progress->setMaximum(count);
    return copyDirectoryFiles(source, target, filter, progress);
}

QString fromUtf16(const char16_t *text)
{
    if (!text)
        return QString();
    return QString::fromUtf16(text);
}

char16_t *toUtf16(const QString &text)
{
    if (text.isNull())
        return nullptr;
    const qsizetype length = text.size();
    auto *copy = new char16_t[length + 1];
    std::memcpy(copy, text.utf16(), length * sizeof(char16_t));
    copy[length] = 0;
    return copy;
}

bool writeFileAtomically(const QString &fileName, const QByteArray &data)
{
    // Unbuffered, so that a short write shows here and not only in a final
    // flush whose failure the commit would not notice.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool isReadableRegularFile(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly);
}

bool readRegularFile(const QString &fileName, QByteArray &data, qint64 maxBytes)
{
    data.clear();
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return false;
    data = file.readAll();
    // The file may have grown or failed while it was read.
    if (file.error() != QFileDevice::NoError || data.size() > maxBytes) {
        data.clear();
        return false;
    }
    return true;
}
