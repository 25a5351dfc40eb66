// The helpers the tests stand on: the sandbox gives back what it took, the
// waits end on their condition or fail after their bound, and the name check
// finds every control a screen reader could not name.
#include "accessiblenames.h"
#include "etfileutils.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "qtprinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

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

TEST(UnnamedControls, FindsEveryControlWithoutAName)
{
    ETTestSandbox sandbox;
    QWidget page;
    auto *layout = new QVBoxLayout(&page);
    auto named = [&](QWidget *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        layout->addWidget(widget);
        return widget;
    };
    // Named by their text, a buddy or their accessible name.
    named(new QPushButton(QStringLiteral("Weiter")), "textButton");
    named(new QCheckBox(QStringLiteral("&Speichern")), "box");
    auto *label = new QLabel(QStringLiteral("PLZ"));
    layout->addWidget(label);
    label->setBuddy(named(new QLineEdit, "buddyEdit"));
    named(new QSpinBox, "spin")->setAccessibleName(QStringLiteral("Monat"));
    named(new QComboBox, "combo")->setAccessibleName(QStringLiteral("Land"));
    named(new QTextEdit, "view")->setAccessibleName(QStringLiteral("AGB"));
    // Not named: a picture button, a bare field and box, a name with markup, a hidden field.
    named(new QPushButton, "pictureButton");
    named(new QLineEdit, "bareEdit");
    named(new QComboBox, "bareCombo");
    named(new QPushButton, "markup")->setAccessibleName(QStringLiteral("<qt>Ich</qt>"));
    named(new QLineEdit, "hidden")->hide();
    // A view's frame is its own; a widget in its viewport counts.
    auto *table = static_cast<QTableWidget *>(named(new QTableWidget(1, 1), "table"));
    table->setAccessibleName(QStringLiteral("Warenkorb"));
    table->setCellWidget(0, 0, new QPushButton);
    table->cellWidget(0, 0)->setObjectName(QStringLiteral("cellButton"));

    EXPECT_EQ(
        QStringList({QStringLiteral("QPushButton \"pictureButton\""),
                     QStringLiteral("QLineEdit \"bareEdit\""), QStringLiteral("QComboBox \"bareCombo\""),
                     QStringLiteral("QPushButton \"markup\" named <qt>Ich</qt>"),
                     QStringLiteral("QLineEdit \"hidden\""), QStringLiteral("QPushButton \"cellButton\"")}),
        unnamedControls(&page));
}

} // namespace
