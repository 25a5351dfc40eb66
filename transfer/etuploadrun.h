#pragma once

#include "etpostedfile.h"

#include <QHash>
#include <QString>

// Where the upload of one order stands: the files its declaration named, the
// byte counts the server reported and the position it last asked for, with
// how often it asked for it again. Owned by the request layer; used by the
// upload thread only.
class ETUploadRun
{
  public:
    // The stall rule: the server may ask for the same position this often
    // again in a row; one more time and the upload has stalled.
    static constexpr int maxRepeatsOfAPosition = 2;
    // A file is posted at most this often in one attempt: as often as the
    // stall rule lets the server ask for one position in a row.
    static constexpr int maxPostsPerFile = 1 + maxRepeatsOfAPosition;

    // A new order: only the files named in its declaration may be sent, and an
    // earlier order's stalled position says nothing about this one. The
    // directory is the one the declaration was built with.
    void declare(const QString &declarationDocument, const QString &directory = QString());
    // The file to send for a name the server gives, which is the name the
    // declaration gave the file; empty when no declared file has that name.
    // Without a declaration in this run (it was sent in an earlier attempt) the
    // order's own pictures count as declared.
    QString localFile(const QString &declaredName) const;

    // Opens the file to post for a declared name, a regular file only, to be
    // checked against what the declaration said of it (size at once, the
    // checksum on the bytes as they are posted). A file declared outside this
    // run is taken as it is. The file's state: Reading when it may be posted.
    ETPostedFile::State openDeclaredFile(const QString &declaredName, ETPostedFile &file) const;
    // The picture of the order that is sent from this file, as the customer knows it.
    static QString pictureName(const QString &path);

    // Counts a post of the file; false once it was posted maxPostsPerFile
    // times in this attempt (the server keeps asking for it).
    bool countPost(const QString &path);
    // A failed attempt ends: a Retry may post every file again.
    void endAttempt() { m_posts.clear(); }

    // Takes the position the server asks for next; false once it has asked
    // for the same position more than maxRepeatsOfAPosition times again in a
    // row (the upload stalled).
    bool advanceTo(int position);
    // Every picture arrived: the next upload starts from no position.
    void complete();

    void setByteCounts(int total, int submitted);
    int totalBytes() const { return m_totalBytes; }
    int submittedBytes() const { return m_submittedBytes; }
    // The bytes sent so far while a picture of the given progress is being posted.
    int bytesSent(int currentPicture) const { return m_submittedBytes + currentPicture; }

    // The transfer library's result of the last picture post.
    void setLastPostResult(int result) { m_lastPostResult = result; }
    int lastPostResult() const { return m_lastPostResult; }

  private:
    struct DeclaredFile {
        QString path; // the file sent under the declared name
        qint64 size = 0;
        int crc = 0;
    };
    QHash<QString, DeclaredFile> m_declaredFiles; // by declared name
    QHash<QString, int> m_posts;
    bool m_declared = false;
    int m_lastPosition = -1;
    int m_repeatCount = 0;
    int m_lastPostResult = 0;
    int m_totalBytes = 1;
    int m_submittedBytes = 1;
};
