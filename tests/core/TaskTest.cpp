#include "core/cmcBuff.h"
#include "core/cmcTask.h"
#include "core/cmcTick.h"
#include "tests/support/TestSupport.h"

#include <vector>

TEST(cmcTick, CountsDownAcrossTheWrapOfTheClock)
{
    qmtest::ManualTime time(0xFFFFFFFFu - 199u);
    cmcTick tick;
    EXPECT_EQ(tick.Remaining(), 0u);
    tick.Start(1000);
    time.Advance(500);
    EXPECT_EQ(tick.Remaining(), 500u);
    time.Advance(500);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsActive());
    time.Advance(0x7FFFFFFF); // far later, still expired
    EXPECT_EQ(tick.Remaining(), 0u);
    tick.Start(10);
    EXPECT_EQ(tick.Remaining(), 10u);
    tick.Start(0);
    EXPECT_EQ(tick.Remaining(), 0u);
}

TEST(cmcTask, ScheduleSetsThePeriodOrStops)
{
    qmtest::ManualTime time;
    auto* task = new cmcTask;
    int calls = 0;
    task->SetCallback([&](void*, cmcTask*) { ++calls; }, nullptr);
    EXPECT_TRUE(task->IsStopped());
    EXPECT_FALSE(task->Schedule(0)); // period 1 ms
    time.Advance(5);
    EXPECT_EQ(calls, 5);
    EXPECT_TRUE(task->Schedule(-5));
    EXPECT_EQ(task->Interval(), -5);
    time.Advance(50);
    EXPECT_EQ(calls, 5);
    task->Schedule(10);
    time.Advance(35);
    EXPECT_EQ(calls, 8);
    delete task;
    time.Advance(50);
}

TEST(cmcTask, CallbackGetsDataAndTaskAndMayCancelItself)
{
    qmtest::ManualTime time;
    cmcTask task;
    int data = 7;
    std::vector<int> seen;
    task.SetCallback(
        [&](void* d, cmcTask* t) {
            seen.push_back(*static_cast<int*>(d));
            EXPECT_EQ(t, &task);
            if (seen.size() == 2) t->Cancel();
        },
        &data);
    task.Schedule(10);
    time.Advance(100);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(task.IsStopped());
}

TEST(cmcTask, NoReentryFromANestedLoopAndDeletionWaitsForTheCallback)
{
    qmtest::ManualTime time;
    auto* task = new cmcTask;
    cmcTask other;
    int outer = 0, otherCalls = 0;
    bool returned = false;
    other.SetCallback([&](void*, cmcTask*) { ++otherCalls; }, nullptr);
    other.Schedule(10);
    task->SetCallback(
        [&](void*, cmcTask* t) {
            ++outer;
            t->DeleteLater();
            // A nested loop (a modal dialog) delivers timer events: the
            // task's own events do nothing, other tasks keep running.
            time.Advance(50);
            returned = true;
        },
        nullptr);
    task->Schedule(10);
    time.Advance(10);
    EXPECT_TRUE(returned);
    EXPECT_EQ(outer, 1);
    EXPECT_GE(otherCalls, 5);
    // The next timer event frees the task (the sanitizer build checks it).
    time.Advance(5);
    EXPECT_EQ(time.host.ActiveCount(), 1);
}

TEST(cmcTask, DisposeDeletesAtOnceOrAfterTheRunningCallback)
{
    qmtest::ManualTime time;
    auto* task = new cmcTask;
    task->Schedule(10);
    task->Dispose();
    EXPECT_EQ(time.host.ActiveCount(), 0);

    // An owner disposed from inside the task's own callback: the callback
    // returns normally, is not called again, and the task goes at the next
    // timer event (the sanitizer build checks that nothing is freed early).
    auto* self = new cmcTask;
    int calls = 0;
    self->SetCallback(
        [&](void*, cmcTask* t) {
            ++calls;
            t->Dispose();
            EXPECT_TRUE(t->IsDeletePending());
            time.Advance(5); // a nested loop meanwhile
        },
        nullptr);
    self->Schedule(10);
    time.Advance(10);
    EXPECT_EQ(calls, 1);
    time.Advance(20);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(time.host.ActiveCount(), 0);
}

TEST(cmcBuff, GrowsByAQuarterAndKeepsBytesOverShrinking)
{
    cmcBuff b;
    std::vector<int> caps;
    for (int i = 0; i < 9; ++i) {
        b.AppendByte(static_cast<uint8_t>(i));
        caps.push_back(b.Capacity());
    }
    EXPECT_EQ(caps, (std::vector<int>{1, 2, 3, 4, 6, 6, 8, 8, 11}));

    cmcBuff c;
    c.AssignBytes("0123456789", 10);
    c.SetLength(4);
    c.SetLength(10);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c.Data()), 10), "0123456789");
    c.SetLength(20); // beyond the capacity: the added bytes are the fill byte
    EXPECT_EQ(c.At(10), 0);
    EXPECT_EQ(c.At(9), '9');
    c.SetLength(-3);
    EXPECT_EQ(c.Length(), 0);
    c.AppendFill('x', -2);
    EXPECT_EQ(c.Length(), 0);
}

TEST(cmcBuff, PopFrontAppendAndCompaction)
{
    cmcBuff b;
    EXPECT_EQ(b.PopFront(), -1);
    EXPECT_EQ(b.Length(), 0);
    for (int i = 0; i < 10000; ++i) b.AppendByte(static_cast<uint8_t>(i));
    for (int i = 0; i < 9000; ++i) ASSERT_EQ(b.PopFront(), i & 0xFF);
    EXPECT_EQ(b.Length(), 1000);
    EXPECT_LE(b.Capacity(), 10000 - 4096);
    b.AppendBytes(b.Data(), 10); // from inside itself
    EXPECT_EQ(b.At(1000), 9000 & 0xFF);
    b.Compact();
    EXPECT_EQ(b.Capacity(), 1010);
    b.Clear();
    EXPECT_EQ(b.Capacity(), 1);
    b.AppendChar('A');
    b.FillAll('z');
    EXPECT_EQ(b.At(0), 'z');
    cmcBuff copy(b);
    copy.Append(copy);
    EXPECT_EQ(copy.Length(), 2);
}

TEST(cmcBuff, IndexOutsideTheBytesIsFatal)
{
    cmcBuff b;
    b.AppendByte(1);
    for (int i : {-1, 1, 100})
        EXPECT_EQ(qmtest::FatalMessage([&] { b.At(i); }), "Out of cmcBuff element !");
}
