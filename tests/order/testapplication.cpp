#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

// Pixmaps, widgets and queued signals need an application object; made once per test program.
class ApplicationEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        // Never the user's own settings, even before a test points them elsewhere.
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "lumo_order_tests";
        static char *argv[] = {name, nullptr};
        s_application = new QApplication(argc, argv);
    }

  private:
    QTemporaryDir m_home;
    // Alive until the process ends, like the client's own application object.
    static inline QApplication *s_application = nullptr;
};

const ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
