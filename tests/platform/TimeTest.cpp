#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

using plat::ManualClock;
using plat::ManualTimerHost;

TEST(Clock, ElapsedIsCorrectAcrossTheWrap)
{
    EXPECT_EQ(plat::TickElapsed(0xFFFFFF38u, 0x0000012Cu), 500u);
    EXPECT_EQ(plat::TickElapsed(5, 5), 0u);
}

TEST(Clock, ManualClockReplacesTheSystemClockAndSleepMovesIt)
{
    ManualClock clock(0xFFFFFFF0u);
    {
        plat::ScopedClock guard(clock);
        EXPECT_EQ(plat::GetTickCount(), 0xFFFFFFF0u);
        plat::Sleep(0x20);
        EXPECT_EQ(plat::GetTickCount(), 0x10u);
    }
    // The system clock is back: it moves by itself.
    uint32_t a = plat::GetTickCount();
    plat::Sleep(20);
    EXPECT_GE(plat::TickElapsed(a, plat::GetTickCount()), 15u);
}

TEST(ManualTimers, FireInOrderOfDueTimeAtTheirOwnMoment)
{
    qmtest::ManualTime time(1000);
    std::vector<std::pair<char, uint32_t>> log;
    auto a = plat::Timers().CreateTimer([&] { log.push_back({'a', plat::GetTickCount()}); });
    auto b = plat::Timers().CreateTimer([&] { log.push_back({'b', plat::GetTickCount()}); });
    a->Start(30);
    b->Start(20);
    time.Advance(65);
    std::vector<std::pair<char, uint32_t>> want = {{'b', 1020}, {'a', 1030}, {'b', 1040}, {'a', 1060}, {'b', 1060}};
    EXPECT_EQ(log, want);
    EXPECT_EQ(plat::GetTickCount(), 1065u);
}

TEST(ManualTimers, StopRestartAndDestroyFromInsideTheFireFunction)
{
    qmtest::ManualTime time;
    int fired = 0;
    std::unique_ptr<plat::Timer> t;
    t = time.host.CreateTimer([&] {
        if (++fired == 3) t.reset();
    });
    t->Start(0); // at least 1 ms
    time.Advance(10);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(time.host.ActiveCount(), 0);

    auto s = time.host.CreateTimer([&] { ++fired; });
    s->Start(5);
    time.Advance(4);
    s->Start(5); // restarts the period
    time.Advance(4);
    EXPECT_EQ(fired, 3);
    s->Stop();
    time.Advance(100);
    EXPECT_EQ(fired, 3);
}

TEST(QtTimers, FireFromTheEventLoopAndSurviveDeletionInsideTheirSignal)
{
    int fired = 0;
    std::unique_ptr<plat::Timer> t;
    t = plat::Timers().CreateTimer([&] {
        if (++fired == 2) t.reset();
    });
    t->Start(1);
    QElapsedTimer clock;
    clock.start();
    while (t && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(t, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Fatal, TheTestHandlerThrowsWithTheMessage)
{
    EXPECT_EQ(qmtest::FatalMessage([] { plat::Fatal("Out of range."); }), "Out of range.");
    plat::SetProgramFileName("/usr/local/bin/QM7148H");
    EXPECT_EQ(plat::ProgramFileName(), "QM7148H");
}
