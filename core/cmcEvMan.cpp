#include "core/cmcEvMan.h"

#include "core/cmcTask.h"

#include <cstring>

cmcEvMan* g_EvMan = nullptr;

namespace {

constexpr int PumpPeriodMs = 10;

// A copy of length bytes, or null for no data.
std::unique_ptr<unsigned char[]> CopyBytes(const void* data, int length)
{
    if (!data || length <= 0) return nullptr;
    auto copy = std::make_unique<unsigned char[]>(static_cast<size_t>(length));
    std::memcpy(copy.get(), data, static_cast<size_t>(length));
    return copy;
}

// Counts a delivery for as long as it is on the stack, also when a handler
// leaves by an exception.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

} // namespace

std::string dst_Event::Text() const
{
    if (!data || dataLength <= 0) return "";
    const char* text = reinterpret_cast<const char*>(data.get());
    const void* zero = std::memchr(text, 0, static_cast<size_t>(dataLength));
    return std::string(text, zero ? static_cast<const char*>(zero) - text : dataLength);
}

// ---------------------------------------------------------------------------

cmcEvAns::~cmcEvAns()
{
    if (prev) prev->next = nullptr;
    // Free the following nodes one by one (no recursion on long chains).
    cmcEvAns* node = next;
    next = nullptr;
    while (node) {
        cmcEvAns* following = node->next;
        node->prev = nullptr;
        node->next = nullptr;
        delete node;
        node = following;
    }
}

cmcEvAns* cmcEvAns::First()
{
    cmcEvAns* node = this;
    while (node->prev) node = node->prev;
    return node;
}

cmcEvAns* cmcEvAns::Last()
{
    cmcEvAns* node = this;
    while (node->next) node = node->next;
    return node;
}

// ---------------------------------------------------------------------------

cmcEvMan::cmcEvMan()
{
    m_pump = new cmcTask;
    m_pump->SetCallback([this](void*, cmcTask*) { OnTimer(); }, nullptr);
    m_pump->Schedule(PumpPeriodMs);
}

cmcEvMan::~cmcEvMan()
{
    // A manager is never destroyed from inside one of its own deliveries;
    // Dispose still keeps the task safe should its callback be on the stack.
    m_pump->Dispose();
    m_pump = nullptr;
}

void cmcEvMan::Subscribe(EventHandler handler)
{
    if (!handler) return;
    for (Subscriber& s : m_subscribers)
        if (s.handler == handler) s.removed = true;
    m_subscribers.push_front(Subscriber{handler, false});
}

void cmcEvMan::Unsubscribe(EventHandler handler)
{
    for (Subscriber& s : m_subscribers)
        if (s.handler == handler) s.removed = true;
}

void cmcEvMan::Post(int type, intptr_t p1, intptr_t p2) { Submit(type, dst_Event::Posted, p1, p2, nullptr, 0); }

void cmcEvMan::PostText(int type, intptr_t p1, intptr_t p2, const std::string& text)
{
    Submit(type, dst_Event::Posted, p1, p2, text.c_str(), static_cast<int>(text.size()) + 1);
}

void cmcEvMan::PostData(int type, const void* data, int length)
{
    Submit(type, dst_Event::Posted, 0, 0, data, length);
}

void cmcEvMan::Send(int type, intptr_t p1, intptr_t p2) { Submit(type, dst_Event::Sent, p1, p2, nullptr, 0); }

void cmcEvMan::SendText(int type, intptr_t p1, intptr_t p2, const std::string& text)
{
    Submit(type, dst_Event::Sent, p1, p2, text.c_str(), static_cast<int>(text.size()) + 1);
}

std::unique_ptr<cmcEvAns> cmcEvMan::Query(int type, intptr_t p1, intptr_t p2)
{
    return QueryData(type, p1, p2, nullptr, 0);
}

std::unique_ptr<cmcEvAns> cmcEvMan::QueryData(int type, intptr_t p1, intptr_t p2, const void* data, int length)
{
    dst_Event event;
    event.type = type;
    event.mode = dst_Event::Queried;
    event.p1 = p1;
    event.p2 = p2;
    event.data = CopyBytes(data, length);
    event.dataLength = event.data ? length : 0;

    // The answers of this query collect on a level of their own, so that a
    // query nested in a handler neither mixes with them nor frees them.
    m_answers.emplace_back();
    const size_t level = m_answers.size() - 1;
    struct LevelGuard {
        std::vector<Answers>& answers;
        size_t level;
        ~LevelGuard() { answers.resize(level); }
    } guard{m_answers, level};

    Broadcast(event);
    return std::move(m_answers[level].first);
}

void cmcEvMan::Reply(int value, int value2)
{
    cmcEvAns* node = AddReply();
    if (!node) return;
    node->value = value;
    node->value2 = value2;
}

void cmcEvMan::ReplyData(const void* data, int length)
{
    cmcEvAns* node = AddReply();
    if (!node) return;
    node->data = CopyBytes(data, length);
    node->dataLength = node->data ? length : 0;
}

void cmcEvMan::ReplyObject(std::any object)
{
    cmcEvAns* node = AddReply();
    if (!node) return;
    node->object = std::move(object);
}

cmcEvAns* cmcEvMan::AddReply()
{
    if (m_answers.empty()) return nullptr;
    Answers& answers = m_answers.back();
    auto node = std::make_unique<cmcEvAns>();
    cmcEvAns* added = node.get();
    if (answers.last) {
        added->prev = answers.last;
        answers.last->next = node.release();
    } else {
        answers.first = std::move(node);
    }
    answers.last = added;
    return added;
}

void cmcEvMan::Submit(int type, int mode, intptr_t p1, intptr_t p2, const void* data, int length)
{
    auto event = std::make_unique<dst_Event>();
    event->type = type;
    event->mode = mode;
    event->p1 = p1;
    event->p2 = p2;
    event->data = CopyBytes(data, length);
    event->dataLength = event->data ? length : 0;
    Route(std::move(event));
}

void cmcEvMan::Route(std::unique_ptr<dst_Event> event)
{
    if (event->mode == dst_Event::Posted) {
        m_queue.push_back(Queued{std::move(event), false, true});
        return;
    }
    Broadcast(*event);
}

void cmcEvMan::Broadcast(const dst_Event& event)
{
    DepthGuard depth(m_depth);
    // Subscribers added meanwhile go to the front and are not reached; removed
    // ones stay in the list (marked) until no delivery runs.
    for (auto it = m_subscribers.begin(); it != m_subscribers.end(); ++it) {
        if (it->removed) continue;
        const EventHandler handler = it->handler;
        handler(&event);
    }
}

void cmcEvMan::OnTimer() { Pump(); }

void cmcEvMan::Pump()
{
    {
        DepthGuard depth(m_depth);
        for (Queued& q : m_queue) q.isNew = false;
        // Events posted meanwhile are appended as new and wait for the next
        // pump.
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->done || it->isNew) continue;
            it->done = true;
            Broadcast(*it->event);
        }
    }
    // A pump that runs in a nested loop inside a delivery leaves the freeing
    // to a later pump: the outer delivery may still hold these nodes.
    if (m_depth == 0) {
        PurgeEvents();
        PurgeSubscribers();
    }
}

void cmcEvMan::PurgeEvents()
{
    m_queue.remove_if([](const Queued& q) { return q.done; });
}

void cmcEvMan::PurgeSubscribers()
{
    m_subscribers.remove_if([](const Subscriber& s) { return s.removed; });
}

// ---------------------------------------------------------------------------

cmcEvManHolder::cmcEvManHolder() : m_previous(g_EvMan) { g_EvMan = &m_manager; }

cmcEvManHolder::~cmcEvManHolder() { g_EvMan = m_previous; }

// ---------------------------------------------------------------------------

cmcEvSubscription::cmcEvSubscription(EventHandler handler)
{
    if (handler && g_EvMan) {
        m_manager = g_EvMan;
        m_handler = handler;
        m_manager->Subscribe(m_handler);
    }
}

cmcEvSubscription::cmcEvSubscription(cmcEvSubscription&& other) noexcept
    : m_handler(other.m_handler), m_manager(other.m_manager)
{
    other.m_handler = EventHandler{};
    other.m_manager = nullptr;
}

cmcEvSubscription& cmcEvSubscription::operator=(cmcEvSubscription&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_handler = other.m_handler;
        m_manager = other.m_manager;
        other.m_handler = EventHandler{};
        other.m_manager = nullptr;
    }
    return *this;
}

void cmcEvSubscription::Reset()
{
    if (m_manager && m_handler) m_manager->Unsubscribe(m_handler);
    m_handler = EventHandler{};
    m_manager = nullptr;
}
