#pragma once
// The event manager: windows and model objects talk to each other through one
// global manager instead of holding pointers to each other. Objects subscribe
// a handler, and anybody may post, send or query an event. Posted events are
// delivered by a pump every 10 ms, sent and queried events at once; a query
// returns the handlers' answers as a chain of cmcEvAns nodes.
//
// Handlers may subscribe, unsubscribe, post, send and query from inside a
// handler, and may run a nested loop (a modal dialog) in which the pump runs:
// nodes that a delivery still walks are freed only when no delivery runs.
#include "core/EventIds.h"

#include <any>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

class cmcTask;

// One event. The manager creates and frees it; a handler must not keep it.
struct dst_Event {
    static constexpr int Posted = 0;
    static constexpr int Sent = 1;
    static constexpr int Queried = 2;

    int type = 0;             // the event id
    int mode = Posted;        // Posted, Sent or Queried
    intptr_t p1 = 0;          // an int or a pointer
    intptr_t p2 = 0;          // an int or a pointer
    std::unique_ptr<unsigned char[]> data; // copy of the caller's data, or null
    int dataLength = 0;

    // The data read as a zero-terminated text: the bytes up to the first zero
    // within the data ("" without data).
    std::string Text() const;
    // The data read as a T, or nullptr when the data is shorter than a T.
    // For data that was posted as a T (trivially copyable).
    template <typename T>
    const T* DataAs() const
    {
        return data && dataLength >= static_cast<int>(sizeof(T)) ? reinterpret_cast<const T*>(data.get())
                                                                 : nullptr;
    }
    // True when this is the closing of that control (event 1 with the
    // control in p2); never for no control.
    bool IsClosingOf(const void* control) const
    {
        return type == ev::ControlClosing && control != nullptr && p2 == reinterpret_cast<intptr_t>(control);
    }
};

// A handler: called as handler(user, event).
using EventHandlerFn = void (*)(void* user, const dst_Event* event);

// The closure a subscriber registers: a handler together with its user. Two
// closures are equal when both parts are.
struct EventHandler {
    EventHandlerFn handler = nullptr;
    void* user = nullptr;

    explicit operator bool() const { return handler != nullptr; }
    bool operator==(const EventHandler& other) const = default;
    void operator()(const dst_Event* event) const { handler(user, event); }
};

namespace evman_detail {
template <auto Method, typename T>
void CallMember(void* user, const dst_Event* event)
{
    (static_cast<T*>(user)->*Method)(event);
}
} // namespace evman_detail

// The closure of a member function void T::Method(const dst_Event*) bound to
// object; the same method and object always give an equal closure:
//   g_EvMan->Subscribe(MemberEventHandler<&cuiMain::OnEvent>(this));
template <auto Method, typename T>
EventHandler MemberEventHandler(T* object)
{
    return EventHandler{&evman_detail::CallMember<Method, T>, object};
}

// One answer to a query, a node of the reply chain. A node owns the nodes
// after it: deleting the first node frees the whole chain.
class cmcEvAns {
public:
    cmcEvAns() = default;
    // Unlinks the node from the one before it and frees its data and every
    // node after it.
    ~cmcEvAns();
    cmcEvAns(const cmcEvAns&) = delete;
    cmcEvAns& operator=(const cmcEvAns&) = delete;

    // The first and the last node of the chain this node belongs to.
    cmcEvAns* First();
    cmcEvAns* Last();

    int value = 0;
    int value2 = 0;
    std::unique_ptr<unsigned char[]> data; // copy of the answered data, or null
    int dataLength = 0;
    // An answered object (a copy the caller may take over), or empty.
    std::any object;
    cmcEvAns* next = nullptr;
    cmcEvAns* prev = nullptr;
};

class cmcEvMan {
public:
    // Starts with no events and no subscribers; the pump task runs every
    // 10 ms on the current timer host.
    cmcEvMan();
    // Frees every queued event and every subscriber and stops the pump.
    ~cmcEvMan();
    cmcEvMan(const cmcEvMan&) = delete;
    cmcEvMan& operator=(const cmcEvMan&) = delete;

    // Puts the closure in front of every other subscriber (newest first). An
    // empty handler is ignored; an equal closure subscribed before is removed
    // first, so each event reaches it once.
    void Subscribe(EventHandler handler);
    void Subscribe(EventHandlerFn handler, void* user) { Subscribe(EventHandler{handler, user}); }
    // Removes every equal closure: it gets no further event, also none of a
    // delivery that is running and has not reached it yet.
    void Unsubscribe(EventHandler handler);
    void Unsubscribe(EventHandlerFn handler, void* user) { Unsubscribe(EventHandler{handler, user}); }

    // Queue an event for the pump. PostText carries the text with its
    // terminating zero; PostData a copy of length bytes with p1 = p2 = 0.
    void Post(int type, intptr_t p1, intptr_t p2);
    void PostText(int type, intptr_t p1, intptr_t p2, const std::string& text);
    void PostData(int type, const void* data, int length);

    // Deliver an event at once.
    void Send(int type, intptr_t p1, intptr_t p2);
    void SendText(int type, intptr_t p1, intptr_t p2, const std::string& text);

    // Deliver an event at once in query mode and return the answers given
    // meanwhile, in the order they were given (the newest subscriber's
    // first), or null when nobody answered. The caller owns the chain.
    std::unique_ptr<cmcEvAns> Query(int type, intptr_t p1, intptr_t p2);
    std::unique_ptr<cmcEvAns> QueryData(int type, intptr_t p1, intptr_t p2, const void* data, int length);

    // Answers of a handler to the query being delivered (the innermost one
    // when queries nest); a handler may answer more than once. Outside a
    // query an answer goes nowhere.
    void Reply(int value, int value2);
    void ReplyData(const void* data, int length);
    // An answer that carries an object (for data that is not plain bytes).
    void ReplyObject(std::any object);

private:
    struct Subscriber {
        EventHandler handler;
        bool removed = false;
    };
    struct Queued {
        std::unique_ptr<dst_Event> event;
        bool done = false;
        bool isNew = true;
    };
    struct Answers {
        std::unique_ptr<cmcEvAns> first;
        cmcEvAns* last = nullptr;
    };

    void Submit(int type, int mode, intptr_t p1, intptr_t p2, const void* data, int length);
    void Route(std::unique_ptr<dst_Event> event);
    void Broadcast(const dst_Event& event);
    void OnTimer();
    void Pump();
    void PurgeEvents();
    void PurgeSubscribers();
    cmcEvAns* AddReply();

    std::list<Queued> m_queue;
    std::list<Subscriber> m_subscribers;
    // The answers of each query being delivered, innermost last.
    std::vector<Answers> m_answers;
    // Deliveries (send, query, pump) on the stack; nodes are freed only at 0.
    int m_depth = 0;
    cmcTask* m_pump = nullptr;
};

// A subscription that ends with its owner: it subscribes the closure to
// g_EvMan when made and unsubscribes it when destroyed, reset or moved from,
// so no window or model object can be called after it is gone. Keep it as
// the last member, so the object is complete before its first event and the
// subscription ends before its other members go. g_EvMan must outlive it.
//   m_events = cmcEvSubscription(MemberEventHandler<&cuiMain::OnEvent>(this));
class cmcEvSubscription {
public:
    cmcEvSubscription() = default;
    explicit cmcEvSubscription(EventHandler handler);
    ~cmcEvSubscription() { Reset(); }
    cmcEvSubscription(cmcEvSubscription&& other) noexcept;
    cmcEvSubscription& operator=(cmcEvSubscription&& other) noexcept;
    cmcEvSubscription(const cmcEvSubscription&) = delete;
    cmcEvSubscription& operator=(const cmcEvSubscription&) = delete;

    // Unsubscribes now (nothing when not subscribed).
    void Reset();
    bool Active() const { return static_cast<bool>(m_handler); }

private:
    EventHandler m_handler;
    cmcEvMan* m_manager = nullptr;
};

// The manager of the running program. It is created at run time (its pump
// needs the timer host): a cmcEvManHolder installs it.
extern cmcEvMan* g_EvMan;

// Creates a manager and installs it as g_EvMan for its lifetime; the previous
// g_EvMan comes back when the holder goes. Create it after the timer host
// (the application object, or a test's manual timer host) and before any
// subscriber, and let it outlive them.
class cmcEvManHolder {
public:
    cmcEvManHolder();
    ~cmcEvManHolder();
    cmcEvManHolder(const cmcEvManHolder&) = delete;
    cmcEvManHolder& operator=(const cmcEvManHolder&) = delete;

    cmcEvMan& Manager() { return m_manager; }

private:
    cmcEvMan* m_previous;
    cmcEvMan m_manager;
};
