#include "etquitsignals.h"

#include "ettestapplication.h"
#include "ettestwait.h"

#include <QList>

#include <csignal>

#include <gtest/gtest.h>

namespace
{

bool handledByDefault(int signal)
{
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

TEST(ETQuitSignals, LogOutShutdownAndCtrlCAskToQuitInTheEventLoop)
{
    ETTestApplication::instance();
    const struct {
        const char *name;
        int signal;
    } cases[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
    {
        ETQuitSignals quitSignals;
        ASSERT_TRUE(quitSignals.isActive());
        QList<int> asked;
        QObject::connect(&quitSignals, &ETQuitSignals::quitRequested,
                         [&asked](int signal) { asked << signal; });
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            asked.clear();
            ASSERT_EQ(0, std::raise(c.signal)) << "the process goes on";
            EXPECT_TRUE(asked.isEmpty()) << "nothing but a note in the handler";
            ASSERT_TRUE(waitFor([&asked] { return !asked.isEmpty(); }));
            EXPECT_EQ(QList<int>{c.signal}, asked);
        }
        // Two at once: both are heard.
        asked.clear();
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        ASSERT_TRUE(waitFor([&asked] { return asked.size() == 2; }));
        EXPECT_EQ((QList<int>{SIGTERM, SIGHUP}), asked);

        ETQuitSignals second;
        EXPECT_FALSE(second.isActive()) << "one object at a time";
    }
    for (const auto &c : cases)
        EXPECT_TRUE(handledByDefault(c.signal)) << c.name << " ends the process again";
}

} // namespace
