#include "etpostedfile.h"

#include "crc16.h"
#include "pipeinplace.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

int checksum(const QByteArray &data)
{
    CRC16 crc;
    crc.update(data.constData(), 0, data.size());
    return crc.value();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(data.size(), file.write(data));
}

// What a post takes from the file, piece by piece: the bytes handed over
// and the state it ends in.
struct Posted {
    QByteArray bytes;
    ETPostedFile::State state = ETPostedFile::Closed;
};

Posted post(ETPostedFile &file, qint64 piece, const std::function<void(int)> &afterPiece = {})
{
    Posted posted;
    std::vector<char> buffer(size_t(piece), '\0');
    for (int i = 0;; ++i) {
        const qint64 got = file.read(buffer.data(), piece);
        if (got <= 0)
            break;
        posted.bytes.append(buffer.data(), got);
        if (afterPiece)
            afterPiece(i);
    }
    posted.state = file.state();
    return posted;
}

class ETPostedFileTest : public ::testing::Test
{
  protected:
    ETPostedFileTest() : path(folder.path() + QStringLiteral("/bild.jpg")), declared(3000, 'a')
    {
        for (int i = 0; i < declared.size(); ++i)
            declared[i] = char(i * 7);
        writeFile(path, declared);
    }

    QTemporaryDir folder;
    QString path;
    QByteArray declared;
};

TEST_F(ETPostedFileTest, TheDeclaredFileGoesWhole)
{
    ETPostedFile file;
    ASSERT_EQ(ETPostedFile::Reading, file.open(path, declared.size(), checksum(declared)));
    EXPECT_EQ(declared.size(), file.size());
    const Posted posted = post(file, 1000);
    EXPECT_EQ(ETPostedFile::Complete, posted.state);
    EXPECT_TRUE(posted.bytes == declared);
    // A post sent again starts from the first byte.
    ASSERT_TRUE(file.rewind());
    EXPECT_TRUE(post(file, 700).bytes == declared);
}

TEST_F(ETPostedFileTest, AChangedFileNeverHandsOverItsLastPiece)
{
    struct Case {
        const char *name;
        std::function<void()> change; // after the file was opened and before its first piece
        std::function<void(int)> duringPost;
        ETPostedFile::State state;
        qint64 handedOver; // bytes
    } cases[] = {
        {"edited in place to the same size",
         [&] {
             QByteArray edited = declared;
             edited[1500] = char(edited[1500] + 1);
             writeFile(path, edited);
         },
         {},
         ETPostedFile::Changed,
         2000},
        {"edited in place while it is posted",
         {},
         [&](int piece) {
             if (piece != 0)
                 return;
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(2500);
             file.write("x");
         },
         ETPostedFile::Changed,
         2000},
        {"grown", [&] { writeFile(path, declared + "mehr"); }, {}, ETPostedFile::Changed, 2000},
        {"shrunk", [&] { writeFile(path, declared.left(2500)); }, {}, ETPostedFile::Changed, 2000},
        {"emptied", [&] { writeFile(path, QByteArray()); }, {}, ETPostedFile::Changed, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, declared);
        ETPostedFile file;
        ASSERT_EQ(ETPostedFile::Reading, file.open(path, declared.size(), checksum(declared)));
        if (c.change)
            c.change();
        const Posted posted = post(file, 1000, c.duringPost);
        EXPECT_EQ(c.state, posted.state);
        EXPECT_EQ(c.handedOver, posted.bytes.size()) << "the last piece never goes";
        EXPECT_FALSE(file.rewind()) << "nor does it go again";
    }
}

TEST_F(ETPostedFileTest, WhatCannotBePostedIsToldAtOnce)
{
    ETPostedFile file;
    EXPECT_EQ(ETPostedFile::Changed, file.open(path, declared.size() + 1, checksum(declared)));
    EXPECT_EQ(-1, file.read(nullptr, 10));
    EXPECT_EQ(ETPostedFile::Unreadable, file.open(folder.path() + QStringLiteral("/weg.jpg")));
    EXPECT_EQ(ETPostedFile::Unreadable, file.open(folder.path()));
    EXPECT_EQ(ETPostedFile::Unreadable, file.open(QString()));
    // A pipe might never end: it is not even opened.
    PipeInPlace pipe(folder.path() + QStringLiteral("/pipe.jpg"));
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(ETPostedFile::Unreadable, file.open(folder.path() + QStringLiteral("/pipe.jpg")));
    EXPECT_EQ(0, pipe.readers());
}

TEST_F(ETPostedFileTest, WithoutADeclarationTheFileGoesAsItIs)
{
    ETPostedFile file;
    ASSERT_EQ(ETPostedFile::Reading, file.open(path));
    const Posted posted = post(file, 4096);
    EXPECT_EQ(ETPostedFile::Complete, posted.state);
    EXPECT_TRUE(posted.bytes == declared);
}

} // namespace
