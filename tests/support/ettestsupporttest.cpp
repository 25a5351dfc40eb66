// The helpers the tests stand on: the sandbox gives back what it took, and the
// waits end on their condition or fail after their bound.
#include "etfileutils.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "qtprinters.h"

#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

TEST(ETTestSandbox, TakesTheResourceFolderSettingsAndTempAndGivesThemBack)
{
    setResourceDir(QStringLiteral("before"));
    qputenv("TEMP", "/tmp/before");
    {
        ETTestSandbox sandbox;
        EXPECT_EQ(sandbox.resource(QStringLiteral("default.xml")),
                  resourcePath(QStringLiteral("default.xml")));
        EXPECT_EQ(sandbox.settings(), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
        EXPECT_EQ(sandbox.temp(), QString::fromLocal8Bit(qgetenv("TEMP")));
    }
    EXPECT_EQ(QStringLiteral("before/default.xml"), resourcePath(QStringLiteral("default.xml")));
    EXPECT_EQ(QByteArray("/tmp/before"), qgetenv("TEMP"));
}

TEST(ETTestSandbox, WritesCopiesAndPaints)
{
    ETTestSandbox sandbox;
    QFile written(sandbox.write(QStringLiteral("sub/a.txt"), "eins"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("eins"), written.readAll());
    EXPECT_EQ(ETTestSandbox::shippedResource(QStringLiteral("payment.xml")).size(),
              QFile(sandbox.copyShipped(QStringLiteral("payment.xml"))).size());
    const QImage picture(sandbox.paint(QStringLiteral("bild.png"), 40, 20, Qt::green));
    EXPECT_EQ(QColor(Qt::white), picture.pixelColor(0, 0));
    EXPECT_EQ(QColor(Qt::green), picture.pixelColor(20, 10));
    const QImage icon(sandbox.writePicture(QStringLiteral("icons/x.png"), {6, 4}, Qt::red));
    EXPECT_EQ(QSize(6, 4), icon.size());
    EXPECT_EQ(QColor(Qt::red), icon.pixelColor(0, 0));
}

TEST(ETTestWait, SignalEmittedInTheLoopEndsTheWait)
{
    ETTestSandbox sandbox;
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(10);
    EXPECT_TRUE(waitForSignal(&timer, &QTimer::timeout, 5000));
}

TEST(ETTestWait, MissingSignalOrConditionFailsAfterTheBound)
{
    ETTestSandbox sandbox;
    QTimer idle;
    const ::testing::AssertionResult signal = waitForSignal(&idle, &QTimer::timeout, 20);
    EXPECT_FALSE(signal);
    EXPECT_STREQ("no signal within 20 ms", signal.message());
    const ::testing::AssertionResult condition = waitFor([] { return false; }, 20);
    EXPECT_FALSE(condition);
    EXPECT_STREQ("condition not met within 20 ms", condition.message());
}

TEST(ETTestWait, ModalDialogIsAnsweredWhenShown)
{
    ETTestSandbox sandbox;
    whenShown<QMessageBox>([](QMessageBox *box) { box->done(QMessageBox::Yes); });
    QMessageBox box(QMessageBox::Question, QStringLiteral("Frage"), QStringLiteral("Ja?"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(QMessageBox::Yes, box.exec());
}

} // namespace
