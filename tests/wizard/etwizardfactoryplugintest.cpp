#include "etwizardfactoryplugin.h"
#include "qtprinters.h"

#include <QApplication>
#include <QWidget>

#include <memory>

#include <gtest/gtest.h>

namespace {

TEST(ETWizardFactoryPlugin, OrderWizardIsANamedCaptionedTopLevelWindow)
{
    static int argc = 1;
    static char name[] = "etwizardfactoryplugintest";
    static char *argv[] = {name, nullptr};
    QApplication app(argc, argv);

    ETWizardFactoryPlugin factory;
    std::unique_ptr<QWidget> first(factory.createOrderWizard());
    std::unique_ptr<QWidget> second(factory.createOrderWizard());
    ASSERT_NE(nullptr, first);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(nullptr, first->parentWidget());
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(QStringLiteral("PluginOrderWizard"), first->objectName());
    EXPECT_EQ(QStringLiteral("Assistent für die Bestellung von Abzügen"), first->windowTitle());
}

} // namespace
