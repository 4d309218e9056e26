#include "core/CellNames.h"
#include "core/cmcEvMan.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A subscriber that logs "name:type" for every event it gets and then runs
// its action.
struct Sub {
    std::string name;
    Log* log;
    std::function<void(const dst_Event*)> action;

    void OnEvent(const dst_Event* event)
    {
        log->push_back(name + ":" + std::to_string(event->type));
        if (action) action(event);
    }
    EventHandler Handler() { return MemberEventHandler<&Sub::OnEvent>(this); }
};

class EvMan : public ::testing::Test {
protected:
    qmtest::ManualTime time;
    cmcEvManHolder holder;
    cmcEvMan& ev = holder.Manager();
    Log log;
};

std::vector<int> Values(const cmcEvAns* first)
{
    std::vector<int> values;
    for (const cmcEvAns* a = first; a; a = a->next) values.push_back(a->value);
    return values;
}

} // namespace

TEST_F(EvMan, NewestSubscriberFirstAndEachClosureOnce)
{
    Sub a{"A", &log, nullptr}, b{"B", &log, nullptr}, other{"O", &log, nullptr};
    const dst_Event* seen = nullptr;
    int marker = 0;
    b.action = [&](const dst_Event* e) {
        seen = e;
        EXPECT_EQ(e->mode, dst_Event::Sent);
        EXPECT_EQ(e->p1, -3);
        EXPECT_EQ(e->p2, reinterpret_cast<intptr_t>(&marker));
        EXPECT_EQ(e->Text(), e->type == 4 ? "status" : "");
        EXPECT_EQ(e->dataLength, e->type == 4 ? 7 : 0);
    };
    EXPECT_EQ(g_EvMan, &ev);
    g_EvMan->Subscribe(a.Handler());
    g_EvMan->Subscribe(b.Handler());
    g_EvMan->Subscribe(EventHandler{}); // empty: ignored
    g_EvMan->Send(1, -3, reinterpret_cast<intptr_t>(&marker));
    EXPECT_EQ(log, (Log{"B:1", "A:1"}));
    EXPECT_NE(seen, nullptr);

    // The same closure again moves to the front and still gets each event once;
    // the same method on another object is another closure.
    log.clear();
    ev.Subscribe(a.Handler());
    ev.Subscribe(&evman_detail::CallMember<&Sub::OnEvent, Sub>, &other);
    ev.SendText(4, -3, reinterpret_cast<intptr_t>(&marker), "status");
    EXPECT_EQ(log, (Log{"O:4", "A:4", "B:4"}));

    log.clear();
    ev.Unsubscribe(a.Handler());
    ev.Unsubscribe(other.Handler());
    ev.Unsubscribe(a.Handler()); // not subscribed any more: nothing happens
    ev.Send(1, -3, reinterpret_cast<intptr_t>(&marker));
    EXPECT_EQ(log, (Log{"B:1"}));
}

TEST_F(EvMan, HandlersSendSubscribeAndUnsubscribeDuringADelivery)
{
    Sub a{"A", &log, nullptr}, b{"B", &log, nullptr}, c{"C", &log, nullptr}, d{"D", &log, nullptr};
    c.action = [&](const dst_Event* e) {
        if (e->type != 1) return;
        ev.Send(2, 0, 0);           // delivered in full before the outer one goes on
        ev.Unsubscribe(a.Handler()); // not reached yet: no longer called
        ev.Subscribe(d.Handler());   // added during the walk: not called for this event
    };
    ev.Subscribe(a.Handler());
    ev.Subscribe(b.Handler());
    ev.Subscribe(c.Handler());
    ev.Send(1, 0, 0);
    EXPECT_EQ(log, (Log{"C:1", "C:2", "B:2", "A:2", "B:1"}));
    log.clear();
    ev.Send(3, 0, 0);
    EXPECT_EQ(log, (Log{"D:3", "C:3", "B:3"}));
}

TEST_F(EvMan, PostedEventsArriveInOrderAtTheNextPump)
{
    Sub a{"A", &log, nullptr};
    std::vector<int> modes;
    std::string text;
    dst_CellRef ref{2, CL_Mch_FreqR, 17};
    dst_CellRef got{};
    a.action = [&](const dst_Event* e) {
        modes.push_back(e->mode);
        if (e->type == 10) ev.Post(20, 0, 0); // waits for the next pump
        if (e->type == 11) text = e->Text();
        if (e->type == 19) {
            ASSERT_NE(e->DataAs<dst_CellRef>(), nullptr);
            got = *e->DataAs<dst_CellRef>();
            EXPECT_EQ(e->DataAs<char[sizeof(dst_CellRef) + 1]>(), nullptr);
            EXPECT_EQ(e->p1, 0);
            EXPECT_EQ(e->p2, 0);
        }
    };
    ev.Subscribe(a.Handler());
    ev.Post(10, 0, 0);
    ev.PostText(11, 1, 2, "zone");
    ev.PostData(19, &ref, sizeof ref);
    ref.index = 99; // the event holds its own copy
    ev.Send(12, 0, 0);
    EXPECT_EQ(log, (Log{"A:12"}));
    time.Advance(9);
    EXPECT_EQ(log, (Log{"A:12"}));
    time.Advance(1);
    EXPECT_EQ(log, (Log{"A:12", "A:10", "A:11", "A:19"}));
    EXPECT_EQ(modes, (std::vector<int>{dst_Event::Sent, dst_Event::Posted, dst_Event::Posted, dst_Event::Posted}));
    EXPECT_EQ(text, "zone");
    EXPECT_EQ(got.category, 2);
    EXPECT_EQ(got.label, CL_Mch_FreqR);
    EXPECT_EQ(got.index, 17);
    time.Advance(10);
    EXPECT_EQ(log, (Log{"A:12", "A:10", "A:11", "A:19", "A:20"}));
    time.Advance(50); // each event once
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(EvMan, QueriesCollectAnswersInOrderAlsoWhenTheyNest)
{
    Sub a{"A", &log, nullptr}, b{"B", &log, nullptr};
    std::vector<int> nested;
    std::string queryText;
    a.action = [&](const dst_Event* e) {
        if (e->type == 52) ev.Reply(3, 4);
        if (e->type == 54) ev.Reply(7, 8);
    };
    b.action = [&](const dst_Event* e) {
        if (e->type != 52) return;
        EXPECT_EQ(e->mode, dst_Event::Queried);
        queryText = e->Text();
        ev.Reply(1, 2);
        auto inner = ev.Query(54, 0, 0);
        nested = Values(inner.get());
        char bytes[] = "xyz";
        ev.ReplyData(bytes, 3);
        bytes[0] = '!'; // the answer holds its own copy
    };
    ev.Subscribe(a.Handler());
    ev.Subscribe(b.Handler());

    auto answers = ev.QueryData(52, 0, 0, "key", 4);
    EXPECT_EQ(queryText, "key");
    EXPECT_EQ(nested, (std::vector<int>{7}));
    ASSERT_NE(answers, nullptr);
    EXPECT_EQ(Values(answers.get()), (std::vector<int>{1, 0, 3}));
    cmcEvAns* second = answers->next;
    cmcEvAns* last = answers->Last();
    EXPECT_EQ(answers->value2, 2);
    EXPECT_EQ(answers->dataLength, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(second->data.get()), second->dataLength), "xyz");
    EXPECT_EQ(last->value2, 4);
    EXPECT_EQ(last->prev, second);
    EXPECT_EQ(last->First(), answers.get());

    // The caller owns its answers: later queries leave them alone.
    auto again = ev.Query(52, 0, 0);
    EXPECT_EQ(Values(again.get()), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(Values(answers.get()), (std::vector<int>{1, 0, 3}));

    // Deleting a node frees it and every node after it.
    delete again->next;
    EXPECT_EQ(again->next, nullptr);
    EXPECT_EQ(again->Last(), again.get());

    // Nobody answers: null. An answer outside a query goes nowhere.
    ev.Reply(5, 5);
    EXPECT_EQ(ev.Query(99, 0, 0), nullptr);
    log.clear();
    ev.Send(54, 0, 0); // an answer to a sent event goes nowhere as well
    EXPECT_EQ(ev.Query(99, 0, 0), nullptr);
}

TEST_F(EvMan, AnswersCanCarryAnObject)
{
    Sub a{"A", &log, [&](const dst_Event*) { ev.ReplyObject(std::string("cell copy")); }};
    ev.Subscribe(a.Handler());
    auto answers = ev.Query(12, 0, 0);
    ASSERT_NE(answers, nullptr);
    ASSERT_NE(std::any_cast<std::string>(&answers->object), nullptr);
    EXPECT_EQ(std::any_cast<std::string>(answers->object), "cell copy");
}

TEST_F(EvMan, ANestedLoopInsideADeliveryFreesNothingTheDeliveryHolds)
{
    Sub x{"X", &log, nullptr}, y{"Y", &log, nullptr}, z{"Z", &log, nullptr};
    z.action = [&](const dst_Event* e) {
        if (e->type != 1) return;
        ev.Unsubscribe(y.Handler());
        ev.Unsubscribe(z.Handler()); // the node the outer walk stands on
        // A modal loop: the pump runs, delivers and would free removed nodes.
        time.Advance(25);
    };
    ev.Subscribe(x.Handler());
    ev.Subscribe(y.Handler());
    ev.Subscribe(z.Handler());
    ev.Post(59, 0, 0);
    ev.Send(1, 0, 0);
    EXPECT_EQ(log, (Log{"Z:1", "X:59", "X:1"}));

    log.clear();
    time.Advance(10);
    ev.Send(2, 0, 0);
    ev.Post(3, 0, 0);
    time.Advance(10);
    EXPECT_EQ(log, (Log{"X:2", "X:3"}));
}

TEST_F(EvMan, AnswersSurviveAQueryFromANestedLoop)
{
    Sub answering{"N", &log, nullptr}, asking{"W", &log, nullptr}, outer{"Z", &log, nullptr};
    std::vector<int> inner;
    answering.action = [&](const dst_Event* e) {
        if (e->type == 52) ev.Reply(3, 0);
        if (e->type == 54) ev.Reply(9, 0);
    };
    // A posted event whose handler queries at the same level as the caller.
    asking.action = [&](const dst_Event* e) {
        if (e->type == 60) inner = Values(ev.Query(54, 0, 0).get());
    };
    outer.action = [&](const dst_Event* e) {
        if (e->type != 52) return;
        ev.Reply(1, 0);
        time.Advance(10);
        ev.Reply(2, 0);
    };
    ev.Subscribe(answering.Handler());
    ev.Subscribe(asking.Handler());
    ev.Subscribe(outer.Handler());
    ev.Post(60, 0, 0);
    auto answers = ev.Query(52, 0, 0);
    EXPECT_EQ(inner, (std::vector<int>{9}));
    EXPECT_EQ(Values(answers.get()), (std::vector<int>{1, 2, 3}));
}

TEST(EvManHolder, InstallsItsManagerAndRestoresThePreviousOne)
{
    qmtest::ManualTime time;
    EXPECT_EQ(g_EvMan, nullptr);
    {
        cmcEvManHolder outer;
        EXPECT_EQ(g_EvMan, &outer.Manager());
        EXPECT_EQ(time.host.ActiveCount(), 1); // the pump
        {
            cmcEvManHolder inner;
            EXPECT_EQ(g_EvMan, &inner.Manager());
            Log log;
            Sub a{"A", &log, nullptr};
            inner.Manager().Subscribe(a.Handler());
            inner.Manager().PostText(4, 0, 0, "left in the queue");
            inner.Manager().Unsubscribe(a.Handler());
        }
        EXPECT_EQ(g_EvMan, &outer.Manager());
        EXPECT_EQ(time.host.ActiveCount(), 1);
    }
    EXPECT_EQ(g_EvMan, nullptr);
    EXPECT_EQ(time.host.ActiveCount(), 0);
}

TEST_F(EvMan, ASubscriptionEndsWithItsOwnerAndMovesWithIt)
{
    Sub a{"a", &log, {}};
    {
        cmcEvSubscription outer;
        {
            cmcEvSubscription inner(a.Handler());
            ev.Send(1, 0, 0);
            outer = std::move(inner); // the moved-from one unsubscribes nothing
        }
        ev.Send(2, 0, 0);
        EXPECT_TRUE(outer.Active());
    }
    ev.Send(3, 0, 0); // the owner is gone: no delivery
    cmcEvSubscription reset(a.Handler());
    reset.Reset();
    ev.Send(4, 0, 0);
    EXPECT_EQ(log, (Log{"a:1", "a:2"}));
}
