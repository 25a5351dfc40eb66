// Every control of the wizard, as the client builds and skins it, has a name a
// screen reader reads: on every page, also those no test run reaches, while
// the skin's picture buttons still show nothing but their picture.
#include "accessiblenames.h"
#include "basketfixture.h"
#include "eticonset.h"
#include "etorderline.h"
#include "etordertable.h"
#include "etorderwizard.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "etwizardscreen.h"
#include "etwizardscreencopy.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace
{

enum class Lines { Plain, Client };

class AccessibleNamesTest : public BasketFixture
{
  protected:
    // The sample skin's pictures, and a picture for every other button the
    // screens ask the skin for: each of them becomes a picture button.
    void skinEveryButton()
    {
        const QString shipped = QStringLiteral(LUMO_RESOURCES_DIR "/icons");
        QDirIterator files(shipped, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            QFile in(file);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
            writeResource(QStringLiteral("icons/") + QDir(shipped).relativeFilePath(file), in.readAll());
        }
        for (const char *name : {"buttons/searchButton", "buttons/printbon", "wizard/buttons/preferences_net",
                                 "wizard/buttons/updateprices"})
            environment().sandbox().writePicture(QStringLiteral("icons/%1.png").arg(QLatin1String(name)),
                                                 QSize(24, 24));
    }

    // The page's screen name, for the failure message.
    QString pageName(int index) const
    {
        QWidget *page = wizard()->page(index);
        ETWizardScreen *screen = wizard()->screenForPage(page);
        return QStringLiteral("%1 %2").arg(index).arg(screen ? screen->name() : page->objectName());
    }

    // Whether a child below node has that name and role: a screen reader can get there.
    static ::testing::AssertionResult reachable(QAccessibleInterface *node, const QString &name,
                                                QAccessible::Role role)
    {
        QStringList seen;
        QList<QAccessibleInterface *> todo{node};
        while (!todo.isEmpty()) {
            QAccessibleInterface *next = todo.takeFirst();
            for (int i = 0; i < next->childCount(); ++i) {
                QAccessibleInterface *child = next->child(i);
                if (!child)
                    continue;
                if (child->role() == role && child->text(QAccessible::Name) == name)
                    return ::testing::AssertionSuccess();
                seen << child->text(QAccessible::Name);
                todo << child;
            }
        }
        return ::testing::AssertionFailure()
               << name.toStdString() << " not among: " << seen.join(QStringLiteral(", ")).toStdString();
    }

    // Buttons that carry a skin picture but show a word beside it.
    static QStringList picturesWithWords(QWidget *top)
    {
        QStringList words;
        for (QAbstractButton *button : top->findChildren<QAbstractButton *>()) {
            if (!ETIconSet::of(button).isNull() && !button->text().isEmpty())
                words << QStringLiteral("%1 shows %2").arg(button->objectName(), button->text());
        }
        return words;
    }
};

// Both baskets: the wizard factory's plain lines and the client's labelled ones.
class EveryPageTest : public AccessibleNamesTest, public ::testing::WithParamInterface<Lines>
{
};

TEST_P(EveryPageTest, EveryControlOfEveryPageHasAName)
{
    skinEveryButton();
    if (GetParam() == Lines::Client)
        useClientOrderLines();
    // As the program starts: the wizard is shown, then the pictures of the list files arrive.
    buildWizard();
    showWizard();
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg"), QSize(40, 60)}});
    ETOrderTable *table = orderTable();
    ASSERT_TRUE(waitFor([&] { return table->rowCount() == 2 && table->lineAt(1); }));

    ASSERT_GT(wizard()->pageCount(), 15) << "every road's pages";
    for (int i = 0; i < wizard()->pageCount(); ++i) {
        SCOPED_TRACE(pageName(i).toStdString());
        EXPECT_EQ(QStringList(), unnamedControls(wizard()->page(i)));
        EXPECT_EQ(QStringList(), picturesWithWords(wizard()->page(i)));
    }

    // The wizard's own buttons: the skin shows pictures, a screen reader reads the word.
    const struct {
        QPushButton *button;
        const char *name;
        bool picture;
    } buttons[] = {
        {wizard()->helpButton(), "Hilfe", false},      {wizard()->backButton(), "Zurück", true},
        {wizard()->nextButton(), "Weiter", true},      {wizard()->finishButton(), "Fertig", true},
        {wizard()->cancelButton(), "Abbrechen", true},
    };
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.name);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(b.button);
        ASSERT_NE(nullptr, accessible);
        EXPECT_EQ(QString::fromUtf8(b.name), accessible->text(QAccessible::Name));
        EXPECT_EQ(b.picture, b.button->text().isEmpty()) << b.button->text().toStdString();
    }
    EXPECT_EQ(QStringList(), unnamedControls(wizard()));

    // Each basket line names its picture and product, so a person tells them apart.
    QStringList lines;
    QStringList thumbnails;
    for (int row = 0; row < 2; ++row) {
        const ETOrderLine *line = table->lineAt(row);
        lines << line->accessibleName();
        thumbnails << line->thumbnailLabel()->accessibleName();
        EXPECT_FALSE(ETIconSet::of(line->removeButton()).isNull()) << "the skin's trash can";
    }
    lines.sort();
    thumbnails.sort();
    EXPECT_EQ(QStringList({QStringLiteral("P1.jpg, 10x15"), QStringLiteral("P2.jpg, 10x15")}), lines);
    EXPECT_EQ(QStringList({QStringLiteral("P1.jpg"), QStringLiteral("P2.jpg")}), thumbnails);

    // A screen reader reaches the lines' controls through the basket: a list of groups.
    QAccessibleInterface *basket = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(nullptr, basket);
    EXPECT_EQ(QAccessible::List, basket->role());
    // The lines, then the scroll bar (the sample skin frames its lines and keeps the bar on).
    ASSERT_EQ(3, basket->childCount());
    EXPECT_EQ(QAccessible::ScrollBar, basket->child(2)->role());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface *line = basket->child(i);
        ASSERT_NE(nullptr, line);
        EXPECT_EQ(table->lineAt(i), line->object());
        EXPECT_EQ(QAccessible::Grouping, line->role());
        EXPECT_EQ(table->lineAt(i)->accessibleName(), line->text(QAccessible::Name));
        EXPECT_EQ(basket, line->parent());
        EXPECT_EQ(i, basket->indexOfChild(line));
        EXPECT_TRUE(reachable(line, QStringLiteral("Anzahl"), QAccessible::EditableText));
        EXPECT_TRUE(reachable(line, QStringLiteral("Weiteres Format"), QAccessible::Button));
        EXPECT_TRUE(
            reachable(line, QStringLiteral("Dieses Bild aus der Bestellung entfernen"), QAccessible::Button));
        EXPECT_TRUE(reachable(line, QStringLiteral("10x15"), QAccessible::ComboBox)) << "the format";
    }
    // A line on its way out leaves the list at once.
    table->lineAt(0)->removeButton()->click();
    EXPECT_EQ(2, basket->childCount());
    EXPECT_EQ(table->lineAt(0), basket->child(0)->object());
}

INSTANTIATE_TEST_SUITE_P(BothBaskets, EveryPageTest, ::testing::Values(Lines::Plain, Lines::Client),
                         [](const ::testing::TestParamInfo<Lines> &info) {
                             return info.param == Lines::Client ? "ClientLines" : "PlainLines";
                         });

// The copy page belongs to no road of this client's factory; its controls are named all the same.
TEST_F(AccessibleNamesTest, ThePageOutsideTheRoadsHasNamesToo)
{
    emptyWizard();
    auto *copy = new ETWizardScreenCopy(QStringLiteral("copyScreen"), nullptr, wizard());
    wizard()->addScreen(copy, false);
    EXPECT_EQ(QStringList(), unnamedControls(copy->page()));
}

} // namespace
