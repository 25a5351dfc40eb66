#include "etcdornetcombobox.h"
#include "ettestapplication.h"
#include "qtprinters.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace
{

TEST(ETCDOrNetComboBox, ReadableTextOfEachSubmitMethod)
{
    ETTestApplication::instance();
    ETCDOrNetComboBox box(false, nullptr, QStringLiteral("methods"));
    EXPECT_EQ(QStringLiteral("methods"), box.objectName());
    EXPECT_EQ(0, box.count());
    EXPECT_FALSE(box.isEditable());
    EXPECT_TRUE(ETCDOrNetComboBox(true).isEditable());
    const struct {
        int method;
        const char *text;
    } cases[] = {
        {0, "Bilder via Internet übertragen"},
        {1, "Bilder auf CD brennen"},
        {2, "Bilder auf Festplatte zwischenlagern"},
        {5, ""},
        {-1, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.method);
        EXPECT_EQ(QString::fromUtf8(c.text), box.readableText(SubmitMethod(c.method)));
    }
}

TEST(ETCDOrNetComboBox, SetThisItemChoosesTheEntryAndReportsIt)
{
    ETTestApplication::instance();
    ETCDOrNetComboBox box(false);
    box.addItems({QStringLiteral("Internet"), QStringLiteral("CD"), QStringLiteral("CD-ROM")});
    QSignalSpy activated(&box, &QComboBox::activated);
    const struct {
        const char *text;
        int reported;
        int current;
    } cases[] = {
        {"cd", 1, 1}, // letter case ignored, exact otherwise
        {"INTERNET", 0, 0},
        {"CD-R", -1, 0}, // no prefix match: the current entry stays
        {"", -1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        activated.clear();
        box.setThisItem(QString::fromUtf8(c.text));
        ASSERT_EQ(1, activated.size());
        EXPECT_EQ(c.reported, activated.first().first().toInt());
        EXPECT_EQ(c.current, box.currentIndex());
    }
}

} // namespace
