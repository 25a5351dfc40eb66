#include "etcdburner.h"
#include "etcdburnerthread.h"
#include "ettestwait.h"
#include "fakeburner.h"
#include "messagecapture.h"
#include "wizardfixture.h"

#include <QList>

#include <memory>

namespace
{

class ETCDBurnerTest : public WizardFixture
{
  protected:
    ETCDBurnerTest() { ETCDBurner::clearLogForTests(); }
    ~ETCDBurnerTest() override { ETCDBurner::clearLogForTests(); }

    // Registered for the test's life.
    FakeBurner &add(const QString &internalName, const QString &externalName)
    {
        FakeBurner::Script script;
        script.internalName = internalName;
        script.externalName = externalName;
        m_burners.push_back(std::make_unique<FakeBurner>(script));
        ETCDBurner::registerBurner(m_burners.back().get());
        return *m_burners.back();
    }

  private:
    std::vector<std::unique_ptr<FakeBurner>> m_burners;
};

TEST_F(ETCDBurnerTest, EmptyRegistryListsNothingAndSaysSo)
{
    MessageCapture capture;
    EXPECT_TRUE(ETCDBurner::list().isEmpty());
    EXPECT_TRUE(hasLine(capture, QStringLiteral("ETCDBurner::list() returning 0 entries")));
    EXPECT_EQ(nullptr, ETCDBurner::burner(0u));
    EXPECT_EQ(nullptr, ETCDBurner::burner(QStringLiteral("fake0")));
}

// Lookups in a registry of three: by index, by internal name before external name.
TEST_F(ETCDBurnerTest, RegistryLookups)
{
    FakeBurner &plextor = add(QStringLiteral("drive0"), QStringLiteral("x"));
    FakeBurner &image = add(QStringLiteral("x"), QStringLiteral("Image Writer"));
    FakeBurner &third = add(QStringLiteral("drive2"), QStringLiteral("Drive Two"));
    EXPECT_EQ((QStringList{QStringLiteral("x"), QStringLiteral("Image Writer"), QStringLiteral("Drive Two")}),
              ETCDBurner::list());

    const struct {
        const char *name;
        ETCDBurner *expected;
    } byName[] = {
        {"x", &image}, // internal name wins over an earlier external one
        {"drive0", &plextor}, {"Drive Two", &third}, {"drive two", nullptr}, // case counts
        {"", nullptr},
    };
    for (const auto &c : byName) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ETCDBurner::burner(QString::fromUtf8(c.name)));
    }
    const struct {
        unsigned int index;
        ETCDBurner *expected;
    } byIndex[] = {{0, &plextor}, {1, &image}, {2, &third}, {3, nullptr}, {unsigned(-1), nullptr}};
    for (const auto &c : byIndex) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(c.expected, ETCDBurner::burner(c.index));
    }
}

TEST_F(ETCDBurnerTest, NameLookupSaysWhichNameMatched)
{
    add(QStringLiteral("drive0"), QStringLiteral("Drive Zero"));
    MessageCapture capture;
    ETCDBurner::burner(QStringLiteral("Drive Zero"));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("ETCDBurner::burner(Drive Zero)")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("    external name Drive Zero matches")));
}

TEST_F(ETCDBurnerTest, ABurnerThatGoesAwayLeavesTheRegistry)
{
    {
        FakeBurner gone;
        ETCDBurner::registerBurner(&gone);
        EXPECT_EQ(1, ETCDBurner::list().size());
    }
    EXPECT_TRUE(ETCDBurner::list().isEmpty());
    EXPECT_EQ(nullptr, ETCDBurner::burner(0u));
}

// The base list of write speeds for back-ends that know only their maximum.
TEST_F(ETCDBurnerTest, BaseWriteSpeedsFollowTheMaximum)
{
    const struct {
        int maximum;
        QList<int> speeds;
    } cases[] = {
        {0, {}},
        {1, {1}},
        {2, {1, 2}},
        {3, {1, 2, 3}},
        {4, {1, 2, 4}},
        {8, {1, 2, 4, 8}},
        {24, {1, 2, 4, 8, 12, 16, 20, 24}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.maximum);
        FakeBurner::Script script;
        script.maximumSpeed = c.maximum;
        FakeBurner burner(script);
        EXPECT_EQ(c.speeds, burner.writeSpeeds());
    }
}

TEST_F(ETCDBurnerTest, LogLinesAreJoinedForTheFinalScreen)
{
    EXPECT_EQ(QString(), ETCDBurner::logText());
    ETCDBurner::addToLog(QStringLiteral("Lizenz: Test"));
    EXPECT_EQ(QStringLiteral("Lizenz: Test"), ETCDBurner::logText());
    ETCDBurner::addToLog(QStringLiteral("Brenner: Fake"));
    EXPECT_EQ(QStringLiteral("Lizenz: Test<br>Brenner: Fake"), ETCDBurner::logText());
}

// Polling waits: at once when ready, else in pauses of 5 s (ready) or 2 s (idle).
TEST_F(ETCDBurnerTest, WaitsPollInTheirPauses)
{
    const struct {
        const char *what;
        bool idle;
        int readyAtPoll;
        int seconds;
        bool result;
        int slept;
    } cases[] = {
        {"ready at once", false, 1, 60, true, 0},
        {"ready at the third poll", false, 3, 60, true, 10000},
        {"idle at the third poll", true, 3, 60, true, 4000},
        {"never ready within 0 s", false, 1000000, 0, false, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeBurner::Script script;
        script.readyAtPoll = c.readyAtPoll;
        FakeBurner burner(script);
        const int before = sleptMilliseconds();
        EXPECT_EQ(c.result, c.idle ? burner.waitUntilIdle(c.seconds) : burner.waitUntilReady(c.seconds));
        if (c.slept >= 0) {
            EXPECT_EQ(c.slept, sleptMilliseconds() - before);
        }
    }
}

TEST_F(ETCDBurnerTest, CdTextsComeFromTheDealerSettings)
{
    FakeBurner burner;
    EXPECT_EQ(QStringLiteral("Order CD"), burner.volumeName());
    EXPECT_EQ(QStringLiteral("Lumo Offline Client"), burner.applicationName());
    EXPECT_EQ(QStringLiteral("Lumo Digital"), burner.publisher());
}

TEST_F(ETCDBurnerTest, DumpWritesOneLinePerProperty)
{
    FakeBurner burner;
    MessageCapture capture;
    burner.dump();
    EXPECT_EQ(
        (QStringList{QStringLiteral("internal name: fake0"), QStringLiteral("external name: Fake Writer 24x"),
                     QStringLiteral("maximum speed: 24"), QStringLiteral("current speed: 10"),
                     QStringLiteral("test supported: no"), QStringLiteral("BUP supported: yes"),
                     QStringLiteral("BUP enabled: no"), QStringLiteral("buffer size: 2048")}),
        capture.lines());
}

// Each job of the thread, and what the thread calls on the burner in which thread.
TEST_F(ETCDBurnerTest, ThreadRunsItsJobAwayFromTheGui)
{
    const struct {
        const char *what;
        int job; // 0 image, 1 burn, -1 none
        bool burnerResult;
        bool finished;
        QStringList calls;
    } cases[] = {
        {"image made", 0, true, true, {QStringLiteral("createImage")}},
        {"image failed", 0, false, false, {QStringLiteral("createImage")}},
        {"burned", 1, true, true, {QStringLiteral("burnImage"), QStringLiteral("afterBurn")}},
        {"burn failed still tidies up",
         1,
         false,
         false,
         {QStringLiteral("burnImage"), QStringLiteral("afterBurn")}},
        {"no job", -1, true, false, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString image = environment().scratch() + QStringLiteral("/t.iso");
        FakeBurner::Script script;
        script.imageResult = c.burnerResult;
        script.burnResult = c.burnerResult;
        FakeBurner burner(script);
        ETCDBurnerThread thread(&burner);
        if (c.job == 0)
            thread.setImageJob(environment().scratch(), image);
        else if (c.job == 1)
            thread.setBurnJob(image, false);
        thread.start();
        ASSERT_TRUE(thread.waitForFinish());
        EXPECT_EQ(c.finished, thread.hasFinished());
        EXPECT_EQ(c.calls, burner.callNames());
        for (const FakeBurner::Call &call : burner.calls())
            EXPECT_FALSE(call.inGuiThread) << call.what.toStdString();
        if (c.job == 1) {
            EXPECT_EQ((QStringList{image, QStringLiteral("false")}), burner.calls().at(0).arguments);
            EXPECT_EQ(QStringList{QStringLiteral("120")}, burner.calls().at(1).arguments);
        }
    }
}

TEST_F(ETCDBurnerTest, CancellingTheThreadCancelsTheBurner)
{
    FakeBurner::Script script;
    script.holdImage = true;
    FakeBurner burner(script);
    ETCDBurnerThread thread(&burner);
    thread.setImageJob(environment().scratch(), environment().scratch() + QStringLiteral("/t.iso"));
    MessageCapture capture;
    thread.start();
    ASSERT_TRUE(waitFor([&] { return burner.imageStarted(); }));
    thread.cancel();
    ASSERT_TRUE(thread.waitForFinish());
    EXPECT_TRUE(thread.isCancelled());
    EXPECT_FALSE(thread.hasFinished());
    EXPECT_EQ((QStringList{QStringLiteral("createImage"), QStringLiteral("cancel")}), burner.callNames());
    EXPECT_TRUE(burner.calls().at(1).inGuiThread);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("### ETCDBurnerThread::cancel() ###")));
}

} // namespace
