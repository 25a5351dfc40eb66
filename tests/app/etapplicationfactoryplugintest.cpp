#include "etapplicationfactoryabstract.h"
#include "etapplicationfactoryplugin.h"
#include "etwizardfactoryplugin.h"
#include "qtprinters.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

void makeApplication()
{
    static int argc = 1;
    static char name[] = "etapplicationfactoryplugintest";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
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
