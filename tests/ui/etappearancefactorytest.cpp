#include "etappearancefactory.h"
#include "etrequestercontroller.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "messagecapture.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

const QByteArray skin =
    "<appearance><designID>7</designID>"
    "<groups><g area=\"headline\" color=\"#112233\"/>"
    "<g area=\"text\" color=\"#445566\"/>"
    "<g area=\"dialogPanel\" color=\"#010203\"/>"
    "<g area=\"dialogButtons\" color=\"#040506\"/>"
    "<g area=\"dialogButtonsText\" color=\"#070809\"/>"
    "<g area=\"dialogText\" color=\"#0a0b0c\"/></groups>"
    "<widgetstyles>"
    "<s name=\"orderline\" setPaletteBackgroundColor=\"#00ff00\"/>"
    "<s name=\"wizard\" mainFrameColor=\"#abcdef\"/>"
    "<s name=\"flatYes\" setFlat=\"yes\"/>"
    "<s name=\"flatTrue\" setFlat=\"true\"/>"
    "<s name=\"panel\" setPaletteBackgroundColor=\"#334455\" setPaletteForegroundColor=\"white\"/>"
    "<s name=\"ghost\"/>"
    "<s setFlat=\"yes\"/>"
    "</widgetstyles></appearance>";

::testing::AssertionResult hasEntries(const QList<ColorMapEntry> &actual,
                                      const QList<QPair<QString, int>> &expected)
{
    QList<QPair<QString, int>> entries;
    for (const ColorMapEntry &entry : actual)
        entries.append({entry.widgetName, entry.kind});
    if (entries == expected)
        return ::testing::AssertionSuccess();
    auto text = [](const QList<QPair<QString, int>> &list) {
        QStringList parts;
        for (const auto &entry : list)
            parts << QStringLiteral("%1/%2").arg(entry.first).arg(entry.second);
        return parts.join(QLatin1Char(' ')).toStdString();
    };
    return ::testing::AssertionFailure()
           << "expected [" << text(expected) << "], got [" << text(entries) << "]";
}

} // namespace

TEST(ETAppearanceFactory, ReadsBothColourMapsWithWarnings)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    resources.write(QStringLiteral("widgetmap.txt"),
                    "# comment\r\n"
                    "\r\n"
                    "   title setPaletteForegroundColor:headline and more\r\n"
                    "no mapping here\r\n"
                    "title setPaletteForegroundColour : headline\r\n"
                    "frame mainFrameColor : headline\n");
    resources.write(QStringLiteral("widgetmap_7.txt"), "logo setBaseColor : headline\n"
                                                       "body setPaletteBackgroundColor : text\n");
    MessageCapture capture;
    const ETAppearanceFactory *factory = ETAppearanceFactory::instance();

    EXPECT_EQ(QStringList({QStringLiteral("invalid color configuration mapping line 4"),
                           QStringLiteral("unknown color type \"setPaletteForegroundColour\" at line 5")}),
              capture.lines(QtWarningMsg));
    EXPECT_EQ(QStringList({QStringLiteral("headline"), QStringLiteral("text")}), factory->colorMap().keys());
    EXPECT_TRUE(hasEntries(
        factory->colorMap().value(QStringLiteral("headline")),
        {{QStringLiteral("title"), 1}, {QStringLiteral("frame"), 3}, {QStringLiteral("logo"), 2}}));
    EXPECT_TRUE(hasEntries(factory->colorMap().value(QStringLiteral("text")), {{QStringLiteral("body"), 0}}));
}

TEST(ETAppearanceFactory, MissingColourMapsAreWarnings)
{
    ETTestSandbox resources;
    MessageCapture capture;
    ETAppearanceFactory::instance();
    EXPECT_EQ(QStringList({QStringLiteral("cannot open color configuration mapping widgetmap.txt"),
                           QStringLiteral("cannot open color configuration mapping widgetmap_0.txt")}),
              capture.lines(QtWarningMsg));
}

TEST(ETAppearanceFactory, ColourMapColoursNamedDescendants)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    resources.write(QStringLiteral("widgetmap.txt"), "title setPaletteForegroundColor : headline\n"
                                                     "title setPaletteBackgroundColor : text\n"
                                                     "frame mainFrameColor : headline\n"
                                                     "absent setPaletteBackgroundColor : headline\n");
    QWidget window;
    auto *inner = new QWidget(&window);
    auto *title = new QLabel(inner);
    title->setObjectName(QStringLiteral("title"));
    auto *frame = new QWidget(&window);
    frame->setObjectName(QStringLiteral("frame"));
    const QPalette before = frame->palette();

    MessageCapture capture;
    ETAppearanceFactory::instance()->applyColorMap(&window);

    EXPECT_EQ(QColor(0x11, 0x22, 0x33), title->palette().color(QPalette::WindowText));
    EXPECT_EQ(QColor(0x44, 0x55, 0x66), title->palette().color(QPalette::Window));
    EXPECT_TRUE(title->autoFillBackground());
    EXPECT_EQ(before, frame->palette());
    EXPECT_TRUE(capture.lines(QtDebugMsg).contains(QStringLiteral("Warnung: Widget nicht gefunden: absent")));
}

TEST(ETAppearanceFactory, WidgetStylesApplyByName)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    QWidget window;
    auto *flatYes = new QPushButton(&window);
    flatYes->setObjectName(QStringLiteral("flatYes"));
    auto *flatTrue = new QPushButton(&window);
    flatTrue->setObjectName(QStringLiteral("flatTrue"));
    flatTrue->setFlat(true);
    auto *panel = new QLabel(&window);
    panel->setObjectName(QStringLiteral("panel"));
    auto *orderline = new QWidget(&window);
    orderline->setObjectName(QStringLiteral("orderline"));
    const QPalette orderlineBefore = orderline->palette();

    MessageCapture capture;
    ETAppearanceFactory *factory = ETAppearanceFactory::instance();
    factory->applyWidgetStyles(&window);

    EXPECT_TRUE(flatYes->isFlat());
    EXPECT_FALSE(flatTrue->isFlat()); // only "yes" makes a button flat
    EXPECT_EQ(QColor(0x33, 0x44, 0x55), panel->palette().color(QPalette::Window));
    EXPECT_EQ(QColor(Qt::white), panel->palette().color(QPalette::WindowText));
    // The order-line style is kept for the order lines, not applied here.
    EXPECT_EQ(orderlineBefore, orderline->palette());
    EXPECT_EQ(QStringList({QStringLiteral("Fehler in Config: Widget 'ghost' nicht gefunden."),
                           QStringLiteral("Fehler in Config: Kein Widgetname angegeben")}),
              capture.lines(QtWarningMsg).filter(QStringLiteral("Fehler in Config")));

    QWidget line;
    factory->applyDefault(&line);
    EXPECT_EQ(QColor(0, 255, 0), line.palette().color(QPalette::Window));
    EXPECT_EQ(QStringLiteral("#00ff00"), factory->backgroundColor(QStringLiteral("orderline")));
    EXPECT_EQ(QString(), factory->backgroundColor(QStringLiteral("nothing")));
}

TEST(ETAppearanceFactory, BackgroundPictureWithoutExtensionIsJpeg)
{
    ETTestSandbox resources;
    resources.writePicture(QStringLiteral("pictures/back.jpg"), {8, 6}, Qt::red);
    QFile::rename(resources.resource(QStringLiteral("pictures/back.jpg")),
                  resources.resource(QStringLiteral("pictures/back")));
    QWidget widget;
    widget.setObjectName(QStringLiteral("head"));
    MessageCapture capture;
    ETAppearanceFactory *factory = ETAppearanceFactory::instance();
    factory->setBackgroundPixmap(&widget, QStringLiteral("pictures/back"));
    factory->setBackgroundPixmap(&widget, QStringLiteral("pictures/missing.png"));

    const QBrush brush = widget.palette().brush(QPalette::Window);
    EXPECT_EQ(QSize(8, 6), brush.texture().size());
    EXPECT_TRUE(widget.autoFillBackground());
    EXPECT_TRUE(capture.lines(QtDebugMsg)
                    .contains(QStringLiteral("Hintergrundbild von head gesetzt: pictures/back")));
    EXPECT_TRUE(
        capture.lines(QtWarningMsg)
            .contains(QStringLiteral("Konnte Hintergrundbild von head nicht laden: pictures/missing.png")));
}

TEST(ETAppearanceFactory, DialogColours)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    ETAppearanceFactory *factory = ETAppearanceFactory::instance();
    QWidget dialog;
    factory->applyDialogColors(&dialog);
    EXPECT_EQ(QColor(1, 2, 3), dialog.palette().color(QPalette::Window));
    EXPECT_EQ(QColor(10, 11, 12), dialog.palette().color(QPalette::WindowText));
    EXPECT_EQ(QColor(4, 5, 6), dialog.palette().color(QPalette::Disabled, QPalette::Button));
    EXPECT_EQ(QColor(7, 8, 9), dialog.palette().color(QPalette::ButtonText));

    MessageCapture capture;
    factory->applyDialogColors(nullptr);
    EXPECT_TRUE(capture.lines(QtDebugMsg).contains(QStringLiteral("initializing QDialog palette")));
    EXPECT_EQ(QColor(1, 2, 3), QApplication::palette("QFileDialog").color(QPalette::Window));
    EXPECT_EQ(QColor(4, 5, 6), QApplication::palette("QInputDialog").color(QPalette::Button));
}

TEST(ETAppearanceFactory, IsTheSkinOfTheRequestersRealDialogs)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    ETAppearanceFactory::instance();
    QColor boxPanel;
    QColor boxButtons;
    whenShown<QMessageBox>([&](QMessageBox *box) {
        boxPanel = box->palette().color(QPalette::Window);
        boxButtons = box->palette().color(QPalette::Button);
        box->close();
    });
    ETRequesterController::instance()->noImagesFound();
    EXPECT_EQ(QColor(1, 2, 3), boxPanel);
    EXPECT_EQ(QColor(4, 5, 6), boxButtons);
}

TEST(ETAppearanceFactory, WizardGetsFrameColourAndPictureButtons)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), skin);
    resources.writePicture(QStringLiteral("icons/wizard/buttons/next.jpg"), {90, 30});
    QDialog wizard;
    auto *next = new QPushButton(QStringLiteral("Weiter"), &wizard);
    next->setObjectName(QStringLiteral("next"));
    auto *back = new QPushButton(QStringLiteral("Zurück"), &wizard);
    back->setObjectName(QStringLiteral("back"));
    // A page's own button of the same name is not the wizard's.
    auto *page = new QWidget(&wizard);
    auto *pageNext = new QPushButton(QStringLiteral("next"), page);
    pageNext->setObjectName(QStringLiteral("next"));
    ETAppearanceFactory::instance()->styleWizard(&wizard);

    EXPECT_EQ(QColor(0xab, 0xcd, 0xef), wizard.palette().color(QPalette::Window));
    EXPECT_TRUE(next->isFlat());
    EXPECT_TRUE(next->text().isEmpty());
    EXPECT_EQ(QStringLiteral("Weiter"), next->accessibleName());
    EXPECT_EQ(QSize(90, 30), next->minimumSize());
    EXPECT_EQ(QSize(90, 30), next->maximumSize());
    EXPECT_EQ(QStringLiteral("next"), pageNext->text());
    // No picture for the back button: it keeps its text and look.
    EXPECT_EQ(QStringLiteral("Zurück"), back->text());
    EXPECT_FALSE(back->isFlat());
}
