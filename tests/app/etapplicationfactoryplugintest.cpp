#include "etapplicationfactoryplugin.h"
#include "etappearancefactory.h"
#include "etapplicationfactoryabstract.h"
#include "etimage.h"
#include "etorderitem.h"
#include "etorderlinedefault.h"
#include "etorderlineqix.h"
#include "etordertable.h"
#include "etorderwizard.h"
#include "ettestapplication.h"
#include "ettestsandbox.h"
#include "etwizardfactoryplugin.h"
#include "qtprinters.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>
#include <memory>

namespace
{

void makeApplication()
{
    ETTestApplication::instance();
    ETApplicationFactoryPlugin::install();
}

TEST(ETApplicationFactoryPlugin, OneFactoryOneMainWidget)
{
    makeApplication();
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    ASSERT_NE(nullptr, factory);
    EXPECT_EQ(factory, ETApplicationFactoryAbstract::instance());
    EXPECT_NE(nullptr, qobject_cast<ETApplicationFactoryPlugin *>(factory));
    EXPECT_EQ(QStringLiteral("The one and only factory"), factory->objectName());
    EXPECT_EQ(qApp, factory->parent());
    EXPECT_NE(nullptr, qobject_cast<ETWizardFactoryPlugin *>(factory->wizardFactory()));

    QWidget *widget = factory->mainWidget();
    ASSERT_NE(nullptr, widget);
    EXPECT_EQ(widget, factory->mainWidget());
    EXPECT_EQ(widget, factory->startWidget());
    EXPECT_EQ(QStringLiteral("PluginOrderWizard"), widget->objectName());
}

TEST(ETApplicationFactoryPlugin, StartShowsTheMainWidget)
{
    makeApplication();
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    factory->start();
    EXPECT_TRUE(factory->mainWidget()->isVisible());
    EXPECT_TRUE(factory->mainWidget()->isWindow());
}

} // namespace

namespace
{

TEST(ETApplicationFactoryPlugin, SkinFlagsOfThePlugInFactory)
{
    makeApplication();
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    ASSERT_NE(nullptr, factory->appearanceFactory());
    EXPECT_EQ(ETAppearanceFactory::instance(), factory->appearanceFactory());
    EXPECT_TRUE(factory->appearanceFactory()->flatButtons());
    EXPECT_FALSE(factory->appearanceFactory()->showPixelSize());
    EXPECT_FALSE(factory->appearanceFactory()->menuColor().isValid());
    EXPECT_EQ(Qt::SolidPattern, factory->appearanceFactory()->menuBrush().style());
    EXPECT_NE(nullptr, factory->factoryButtons());
    // Qt 3's grey, with dark writing on white fields.
    EXPECT_EQ(QColor(190, 190, 190), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(QColor(Qt::black), QApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(QColor(Qt::black), QApplication::palette().color(QPalette::Text));
    EXPECT_EQ(QColor(Qt::white), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(9, QApplication::font().pointSize());

    QWidget parent;
    QWidget *plain = factory->createWidget(&parent, QStringLiteral("w1"));
    EXPECT_EQ(&parent, plain->parent());
    EXPECT_EQ(QStringLiteral("w1"), plain->objectName());
    EXPECT_EQ(QStringLiteral("w2"), factory->createWidget2(&parent, QStringLiteral("w2"))->objectName());
}

TEST(ETApplicationFactoryPlugin, TheBasketGetsTheClientsOrderLine)
{
    makeApplication();
    ETTestSandbox sandbox;
    for (const char *name : {"default.xml", "productlist.xml", "currencies.xml", "appearance.xml"})
        sandbox.copyShipped(QLatin1String(name));
    ETOrderItem item(ETImage::create(sandbox.paint(QStringLiteral("P1.jpg"), 40, 30)),
                     QStringLiteral("10x15"), 2);
    ETOrderTable table(nullptr, QStringLiteral("order_table"));
    table.setRowCount(2);
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();

    ETOrderLine *client = factory->createOrderLine(&item, 0, 0, &table, QStringLiteral("client"));
    EXPECT_NE(nullptr, qobject_cast<ETOrderLineQIX *>(client));
    EXPECT_EQ(client, table.cellWidget(0, 0));
    EXPECT_EQ(QStringLiteral("client"), client->objectName());
    EXPECT_EQ(&item, client->item());

    // The base factory leaves the choice to the wizard's factory: the plain line.
    ETOrderLine *plain = factory->ETApplicationFactoryAbstract::createOrderLine(&item, 1, 0, &table);
    EXPECT_NE(nullptr, qobject_cast<ETOrderLineDefault *>(plain));
    EXPECT_EQ(plain, table.cellWidget(1, 0));
}

TEST(ETApplicationFactoryPlugin, ProgressDialog)
{
    makeApplication();
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    std::unique_ptr<QProgressDialog> dialog(
        factory->createProgressDialog(QStringLiteral("Bilder werden kopiert"), 10));
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(QStringLiteral("anyProgressDialog"), dialog->objectName());
    EXPECT_EQ(QStringLiteral("Bitte warten"), dialog->windowTitle());
    EXPECT_EQ(QStringLiteral("Bilder werden kopiert"), dialog->labelText());
    EXPECT_EQ(QSize(300, 100), dialog->minimumSize());
    EXPECT_EQ(QSize(300, 100), dialog->maximumSize());
    EXPECT_EQ(QSize(300, 100), dialog->size());
    EXPECT_EQ(0, dialog->value());
    EXPECT_EQ(0, dialog->minimum());
    EXPECT_EQ(10, dialog->maximum());
    EXPECT_EQ(factory->mainWidget(), dialog->parentWidget());
    const QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
    ASSERT_EQ(1, buttons.size());
    EXPECT_EQ(QStringLiteral("Abbrechen"), buttons.first()->text());
}

using ETApplicationFactoryPluginDeathTest = ::testing::Test;

TEST(ETApplicationFactoryPluginDeathTest, SetFrameStyleEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    makeApplication();
    EXPECT_EXIT(
        ETApplicationFactoryAbstract::instance()->setFrameStyle(), ::testing::ExitedWithCode(1),
        "Die Methode ETApplicationFactoryAbstract::setFrameStyle muß überladen werden \\(oder darf nicht "
        "benutzt werden\\)!");
}

} // namespace

namespace
{

TEST(ETApplicationFactoryPlugin, StartStylesTheWizardWithTheSkin)
{
    makeApplication();
    ETTestSandbox resources;
    resources.write(QStringLiteral("appearance.xml"),
                    "<appearance><icon_type>png</icon_type>"
                    "<groups><g area=\"background\" color=\"#123456\"/></groups>"
                    "</appearance>");
    resources.write(QStringLiteral("widgetmap.txt"),
                    "netOrCDscreen setPaletteBackgroundColor : background\n");
    resources.writePicture(QStringLiteral("icons/wizard/buttons/next.png"), {80, 24});
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    factory->start();

    auto *wizard = qobject_cast<ETOrderWizard *>(factory->mainWidget());
    ASSERT_NE(nullptr, wizard);
    EXPECT_TRUE(wizard->isVisible());
    auto *page = wizard->findChild<QWidget *>(QStringLiteral("netOrCDscreen"));
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(QColor(0x12, 0x34, 0x56), page->palette().color(QPalette::Window));
    QPushButton *next = wizard->nextButton();
    EXPECT_TRUE(next->isFlat());
    EXPECT_TRUE(next->text().isEmpty());
    EXPECT_EQ(QSize(80, 24), next->maximumSize());
}

} // namespace
