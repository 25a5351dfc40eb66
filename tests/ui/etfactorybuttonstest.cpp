#include "etfactorybuttons.h"
#include "etappearancefactory.h"
#include "eticonset.h"
#include "etpushbutton.h"
#include "etroundstyle.h"
#include "ettestsandbox.h"

#include <QFile>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

const QByteArray iconTypePng = "<appearance><icon_type>png</icon_type></appearance>";

::testing::AssertionResult isPictureButton(const QPushButton *button, const QSize &size, bool flat)
{
    const auto *picture = qobject_cast<const ETPushButton *>(button);
    if (!picture)
        return ::testing::AssertionFailure() << "a text button, text " << qPrintable(button->text());
    if (picture->sizeHint() != size)
        return ::testing::AssertionFailure()
               << "size " << picture->sizeHint().width() << "x" << picture->sizeHint().height();
    if (picture->isFlat() != flat)
        return ::testing::AssertionFailure() << "flat " << picture->isFlat();
    if (flat && picture->style() != ETRoundStyle::instance())
        return ::testing::AssertionFailure() << "flat without the round style";
    if (!picture->text().isEmpty())
        return ::testing::AssertionFailure() << "text " << qPrintable(picture->text());
    if (picture->sizePolicy().horizontalPolicy() != QSizePolicy::Fixed ||
        picture->sizePolicy().verticalPolicy() != QSizePolicy::Fixed)
        return ::testing::AssertionFailure() << "size policy not fixed";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(ETFactoryButtons, PictureButtonsAreFlatAndPictureSized)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), iconTypePng);
    resources.writePicture(QStringLiteral("icons/buttons/next.png"), {16, 16});
    resources.writePicture(QStringLiteral("icons/wizard/next.png"), {40, 20});
    ETAppearanceFactory::instance()->setFlatButtons(true);
    ETFactoryButtons buttons;
    QWidget parent;
    QPushButton *next = buttons.createButton(QStringLiteral("Weiter"), &parent, QStringLiteral("next"), true);
    EXPECT_TRUE(isPictureButton(next, {16, 16}, true));
    EXPECT_EQ(&parent, next->parent());
    EXPECT_EQ(QStringLiteral("next"), next->objectName());
    // A name with a slash is taken as it stands.
    QPushButton *wizardNext =
        buttons.createButton(QStringLiteral("Weiter"), &parent, QStringLiteral("wizard/next"), false);
    EXPECT_TRUE(isPictureButton(wizardNext, {40, 20}, true));
    // The word stays for screen readers, whatever the tool tip rule says.
    EXPECT_EQ(QStringLiteral("Weiter"), next->accessibleName());
    EXPECT_EQ(QStringLiteral("Weiter"), wizardNext->accessibleName());

    ETAppearanceFactory::instance()->setFlatButtons(false);
    EXPECT_TRUE(isPictureButton(buttons.createButton(QString(), &parent, QStringLiteral("next"), false),
                                {16, 16}, false));
}

TEST(ETFactoryButtons, TextButtonWithoutPicture)
{
    ETTestSandbox resources;
    ETFactoryButtons buttons;
    QWidget parent;
    QPushButton *search =
        buttons.createButton(QStringLiteral("Suchen"), &parent, QStringLiteral("searchButton"), true);
    EXPECT_EQ(nullptr, qobject_cast<ETPushButton *>(search));
    EXPECT_EQ(QStringLiteral("Suchen"), search->text());
    EXPECT_EQ(QStringLiteral("searchButton"), search->objectName());
    EXPECT_TRUE(search->toolTip().isEmpty());
}

TEST(ETFactoryButtons, ToolTipsByTheThreeToOneRule)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), iconTypePng);
    const struct {
        const char *name;
        QSize picture;
        const char *text;
        bool withToolTip;
        bool expected;
    } cases[] = {
        {"square", {16, 16}, "Entfernen", true, true},
        {"wide", {60, 16}, "Weiteres Format", true, false}, // 60 is not less than 48
        {"almost", {47, 16}, "Fast", true, true},
        {"unasked", {16, 16}, "Entfernen", false, false},
        {"blank", {16, 16}, "", true, false},
    };
    ETFactoryButtons buttons;
    QWidget parent;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        resources.writePicture(QStringLiteral("icons/buttons/") + name + QStringLiteral(".png"), c.picture);
        QPushButton *button = buttons.createButton(QString::fromUtf8(c.text), &parent, name, c.withToolTip);
        EXPECT_EQ(c.expected ? QString::fromUtf8(c.text) : QString(), button->toolTip());
    }
}

TEST(ETFactoryButtons, SkinCanSwitchToolTipsOff)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"),
                    "<appearance><icon_type>png</icon_type><buttons tooltips=\"no\"/></appearance>");
    resources.writePicture(QStringLiteral("icons/buttons/square.png"), {16, 16});
    ETFactoryButtons buttons;
    QWidget parent;
    EXPECT_TRUE(buttons.createButton(QStringLiteral("Entfernen"), &parent, QStringLiteral("square"), true)
                    ->toolTip()
                    .isEmpty());
}

TEST(ETFactoryButtons, OneIconLookupPerName)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"), iconTypePng);
    resources.writePicture(QStringLiteral("icons/buttons/trashcan.png"), {16, 16});
    ETFactoryButtons buttons;
    QWidget parent;
    ETIconSet *first = buttons.iconSetFor(QStringLiteral("trashcan"));
    ASSERT_TRUE(first);
    EXPECT_EQ(nullptr, buttons.iconSetFor(QStringLiteral("missing")));

    // The files change, the answers do not: neither name is looked up again.
    QFile::remove(resources.resource(QStringLiteral("icons/buttons/trashcan.png")));
    resources.writePicture(QStringLiteral("icons/buttons/missing.png"), {16, 16});
    EXPECT_EQ(first, buttons.iconSetFor(QStringLiteral("trashcan")));
    EXPECT_EQ(nullptr, buttons.iconSetFor(QStringLiteral("missing")));
    EXPECT_TRUE(isPictureButton(buttons.createButton(QString(), &parent, QStringLiteral("trashcan"), false),
                                {16, 16}, false));
    QPushButton *missing =
        buttons.createButton(QStringLiteral("Fehlt"), &parent, QStringLiteral("missing"), false);
    EXPECT_EQ(QStringLiteral("Fehlt"), missing->text());
    // loadIcon itself always looks.
    std::unique_ptr<ETIconSet> fresh(buttons.loadIcon(QStringLiteral("missing")));
    EXPECT_TRUE(fresh);
}
