#pragma once

#include <QDir>
#include <QString>

class QProgressDialog;

// The resource folder ("Resources" until -R changes it) and the helpers for
// waiting and copying files that the rest of the client shares.

// Set once by main before any other thread exists; read-only afterwards.
void setResourceDir(const QString &folder);
// Resource folder + "/" + name, joined as given (no normalisation).
QString resourcePath(const QString &name);

// Block the calling thread (GUI or worker).
void sleepSeconds(unsigned seconds);
void sleepMilliseconds(unsigned milliseconds);
// A pause of the GUI thread that does not freeze it: its events go on meanwhile.
void sleepSecondsWithEvents(unsigned seconds);

// Tests replace the real sleep (both kinds) so that waiting code runs at once; nullptr
// restores it. Set it before any thread sleeps.
using SleepHook = void (*)(unsigned milliseconds);
void setSleepHookForTests(SleepHook hook);

// True when a connection has just been made and a retry is worthwhile. There
// is nothing to dial on this platform, so it is always false.
bool ensureInternetConnection();

QString absoluteFilePath(const QString &folder, const QString &name);
QString absoluteFilePath(const QDir &folder, const QString &name);

// Copies one file in blocks; false on any open, read or write failure (a
// partly written target is left in place).
bool copyFile(const QString &source, const QString &target);

// Writes data all or nothing: the old file stays when anything fails.
bool writeFileAtomically(const QString &fileName, const QByteArray &data);
// Reads a regular file whole; false for anything else (a pipe or a device
// could hold the reader for ever), when it cannot be read or is longer than
// maxBytes.
bool readRegularFile(const QString &fileName, QByteArray &data, qint64 maxBytes);
// A file that exists, is a regular file and can be opened for reading.
bool isReadableRegularFile(const QString &fileName);
// The overwrite flag has no effect: the target is always rewritten.
bool copyFileInDirs(const QDir &sourceDir, const QString &sourceName, const QDir &targetDir,
                    const QString &targetName, bool overwrite);

// Copies the files matching the wildcard filter of a folder tree ("CVS"
// folders left out). False when the progress dialog was cancelled or any file
// could not be copied; the other files are copied all the same. Must run in
// the GUI thread when a progress dialog is given.
bool copyDirectoryTree(const QString &source, const QString &target, const QString &filter,
                       QProgressDialog *progress);
// The two passes of copyDirectoryTree: create the target folders and count
// the files, then copy them.
int prepareDirectoryTree(const QString &source, const QString &target, const QString &filter);
bool copyDirectoryFiles(const QString &source, const QString &target, const QString &filter,
                        QProgressDialog *progress);

// Zero-terminated UTF-16 text. toUtf16 returns a new[] buffer the caller
// frees with delete[], or nullptr for a null text.
QString fromUtf16(const char16_t *text);
char16_t *toUtf16(const QString &text);
