#include "etcheckboxstack.h"
#include "accessiblenames.h"
#include "etstepcheckbox.h"
#include "ettestwait.h"
#include "wizardfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <memory>

namespace
{

using ETCheckBoxStackTest = WizardFixture;

QStringList boxTexts(const ETCheckBoxStack &stack)
{
    QStringList texts;
    for (const QCheckBox *box : stack.findChildren<QCheckBox *>())
        texts << box->text();
    return texts;
}

// Which steps a mask shows, lowest bit first; step 1 always.
TEST_F(ETCheckBoxStackTest, MaskChoosesTheSteps)
{
    const struct {
        unsigned int mask;
        QStringList texts;
    } cases[] = {
        {0, {QStringLiteral("Daten zusammenstellen")}},
        {2 | 16 | 32,
         {QStringLiteral("Daten zusammenstellen"), QStringLiteral("Image erzeugen"),
          QStringLiteral("Daten auf CD schreiben"), QStringLiteral("Session schliessen")}},
        {1 | 2 | 4 | 16 | 32 | 64,
         {QStringLiteral("Daten zusammenstellen"), QStringLiteral("Image erzeugen"),
          QStringLiteral("Laser kalibrieren"), QStringLiteral("Daten auf CD schreiben"),
          QStringLiteral("Session schliessen"), QStringLiteral("CD finalisieren")}},
        {8, {QStringLiteral("Daten zusammenstellen"), QString()}}, // no label for 8
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mask);
        ETCheckBoxStack stack(nullptr, QStringLiteral("checkBoxStack"));
        stack.setActions(c.mask);
        EXPECT_EQ(c.texts, boxTexts(stack));
        for (const QCheckBox *box : stack.findChildren<QCheckBox *>())
            EXPECT_FALSE(box->isChecked());
        // The box without label still has a name for screen readers.
        EXPECT_EQ(QStringList(), unnamedControls(&stack));
    }
    ETCheckBoxStack stack(nullptr, QStringLiteral("checkBoxStack"));
    stack.setActions(8);
    EXPECT_EQ(QStringLiteral("Schritt 8"), stack.box(8)->accessibleName());
}

TEST_F(ETCheckBoxStackTest, StepsGetTheFocusWhenTheyBeginAndTheTickWhenTheyEnd)
{
    ETCheckBoxStack stack(nullptr, QStringLiteral("checkBoxStack"));
    stack.setActions(2 | 16);
    stack.show();
    stack.activateWindow();
    ASSERT_TRUE(waitFor([&] { return stack.isActiveWindow(); }));

    stack.beginAction(2);
    EXPECT_TRUE(waitFor([&] { return stack.box(2)->hasFocus(); }));
    stack.endAction(2);
    EXPECT_TRUE(stack.box(2)->isChecked());
    EXPECT_FALSE(stack.box(16)->isChecked());

    // Steps without a box change nothing.
    stack.beginAction(4);
    stack.endAction(64);
    stack.endAction(8);
    EXPECT_TRUE(stack.box(2)->hasFocus());
    EXPECT_FALSE(stack.box(1)->isChecked());
    EXPECT_FALSE(stack.box(16)->isChecked());
}

// The customer can neither tick nor untick a step: not with the mouse, the
// keyboard or a click from elsewhere.
TEST_F(ETCheckBoxStackTest, TheCustomerCannotTickAStep)
{
    ETCheckBoxStack stack(nullptr, QStringLiteral("checkBoxStack"));
    stack.setActions(2);
    stack.show();
    stack.endAction(2);
    for (unsigned int step : {1u, 2u}) {
        SCOPED_TRACE(step);
        ETStepCheckBox *box = stack.box(step);
        const bool before = box->isChecked();
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(before, box->isChecked());
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_EQ(before, box->isChecked());
        box->click();
        EXPECT_EQ(before, box->isChecked());
        box->toggle();
        EXPECT_EQ(!before, box->isChecked()) << "the program itself still may";
        box->setChecked(before);
    }
}

} // namespace
