// The fake's scripting side: results, handlers, the call log, the registered callbacks and sink,
// and the event thread that plays the engine's own thread.
#include "FakeDispatch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace lumacore_fake {
namespace {

// One thread running queued tasks in order, for the life of the process.
class EventThread {
public:
    EventThread() : m_thread([this] { run(); }) {}

    ~EventThread()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void post(std::function<void()> task)
    {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_all();
    }

    void waitIdle()
    {
        if (isCurrent())
            throw std::logic_error("lumacore_fake::waitIdle called from the event thread");
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_tasks.empty() && !m_running; });
    }

    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_stopping)
                return;  // at exit: what is still queued is dropped, its futures broken
            std::function<void()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_running = true;
            lock.unlock();
            task();  // tasks report their own failures through their promises
            lock.lock();
            m_running = false;
            if (m_tasks.empty())
                m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false;
    bool m_stopping = false;
    std::thread m_thread;  // last: it starts running as soon as it is built
};

// Everything a test scripts, under one lock. Handlers and callbacks run without it.
struct Script {
    std::mutex mutex;
    std::map<std::string, uint16_t, std::less<>> results;
    std::map<std::string, std::shared_ptr<void>, std::less<>> handlers;
    std::vector<Call> log;
    RegisteredCallbacks callbacks;
    LumacoreWindowSink *sink = nullptr;
};

Script &script()
{
    static Script instance;
    return instance;
}

EventThread &eventThread()
{
    script();  // built first so that it outlives the thread whose tasks use it
    static EventThread thread;
    return thread;
}

const detail::FunctionEntry *findFunction(std::string_view name)
{
    for (const detail::FunctionEntry &entry : detail::functionTable()) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

const detail::FunctionEntry &requireFunction(std::string_view name)
{
    const detail::FunctionEntry *entry = findFunction(name);
    if (!entry)
        throw std::invalid_argument("lumacore_fake: no engine call named " + std::string(name));
    return *entry;
}

// Queues `call` on the event thread and hands its result (or its exception) to the future.
template <typename Result>
std::future<Result> runQueued(std::function<Result()> call)
{
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> future = promise->get_future();
    eventThread().post([promise, call = std::move(call)] {
        try {
            if constexpr (std::is_void_v<Result>) {
                call();
                promise->set_value();
            } else {
                promise->set_value(call());
            }
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    return future;
}

// Fires the callback that `member` names, as registered when the event runs.
template <typename Callback, typename... Args>
CallbackResult fire(Callback RegisteredCallbacks::*member, Args... args)
{
    return runQueued<std::optional<MEC_STATUS>>([member, args...]() -> std::optional<MEC_STATUS> {
        Callback callback = registeredCallbacks().*member;
        if (!callback)
            return std::nullopt;
        return callback(args...);
    });
}

std::vector<uint8_t> copyOf(const void *data, size_t size)
{
    const auto *bytes = static_cast<const uint8_t *>(data);
    return data ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

}  // namespace

// ---- Results and handlers ----------------------------------------------------------------------

void reset()
{
    if (!eventThread().isCurrent())
        eventThread().waitIdle();
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.results.clear();
    state.handlers.clear();
    state.log.clear();
    state.callbacks = {};
    state.sink = nullptr;
}

void setResult(std::string_view function, uint16_t result)
{
    const detail::FunctionEntry &entry = requireFunction(function);
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.results[entry.name] = result;
}

namespace detail {

void installHandler(FunctionKey function, std::shared_ptr<void> handler)
{
    const auto table = functionTable();
    const auto entry = std::find_if(table.begin(), table.end(), [function](const FunctionEntry &e) {
        return e.key == function;
    });
    if (entry == table.end())
        throw std::invalid_argument("lumacore_fake::onCall: not one of the engine's calls");
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.handlers[entry->name] = std::move(handler);
}

Answer beginCall(const char *name, std::string arguments)
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.log.push_back(Call{name, std::move(arguments)});
    Answer answer;
    if (const auto handler = state.handlers.find(name); handler != state.handlers.end())
        answer.handler = handler->second;
    if (const auto result = state.results.find(name); result != state.results.end())
        answer.result = result->second;
    return answer;
}

void storeCallbacks(const std::function<void(RegisteredCallbacks &)> &update)
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    update(state.callbacks);
}

void storeSink(LumacoreWindowSink *sink)
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.sink = sink;
}

}  // namespace detail

// ---- Call log ----------------------------------------------------------------------------------

std::vector<Call> calls()
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    return state.log;
}

std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const Call &call : calls())
        names.push_back(call.name);
    return names;
}

std::vector<std::string> argumentsOf(std::string_view function)
{
    requireFunction(function);
    std::vector<std::string> arguments;
    for (const Call &call : calls()) {
        if (call.name == function)
            arguments.push_back(call.arguments);
    }
    return arguments;
}

int countOf(std::string_view function) { return static_cast<int>(argumentsOf(function).size()); }

void clearCalls()
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    state.log.clear();
}

// ---- Engine events -----------------------------------------------------------------------------

CallbackResult fireSmsArriveNew(uint8_t storage, uint16_t index)
{
    return fire(&RegisteredCallbacks::smsArriveNew, storage, index);
}

CallbackResult fireSmsSendReport(uint8_t status, std::string number, std::string time)
{
    return runQueued<std::optional<MEC_STATUS>>(
        [status, number = std::move(number),
         time = std::move(time)]() -> std::optional<MEC_STATUS> {
            const auto callback = registeredCallbacks().smsSendReport;
            if (!callback)
                return std::nullopt;
            return callback(status, number.c_str(), time.c_str());
        });
}

CallbackResult fireSmsArriveClass0(std::string number, std::string text)
{
    return runQueued<std::optional<MEC_STATUS>>(
        [number = std::move(number), text = std::move(text)]() -> std::optional<MEC_STATUS> {
            const auto callback = registeredCallbacks().smsArriveClass0;
            if (!callback)
                return std::nullopt;
            return callback(number.c_str(), text.c_str());
        });
}

// The callbacks that take one text.
namespace {
template <typename Callback>
CallbackResult fireText(Callback RegisteredCallbacks::*member, std::string text)
{
    return runQueued<std::optional<MEC_STATUS>>(
        [member, text = std::move(text)]() -> std::optional<MEC_STATUS> {
            const Callback callback = registeredCallbacks().*member;
            if (!callback)
                return std::nullopt;
            return callback(text.c_str());
        });
}
}  // namespace

CallbackResult fireSmsArriveBroadcast(std::string text)
{
    return fireText(&RegisteredCallbacks::smsArriveBroadcast, std::move(text));
}

CallbackResult fireCallComing(std::string number)
{
    return fireText(&RegisteredCallbacks::callComing, std::move(number));
}

CallbackResult fireZpasNotify(std::string serviceText)
{
    return fireText(&RegisteredCallbacks::zpasNotify, std::move(serviceText));
}

CallbackResult fireMeStateChanged(uint8_t state)
{
    return fire(&RegisteredCallbacks::meStateChanged, state);
}

CallbackResult fireZdonNotify(const _MEC_ZDON_RECORD &record)
{
    return runQueued<std::optional<MEC_STATUS>>([record]() -> std::optional<MEC_STATUS> {
        const auto callback = registeredCallbacks().zdonNotify;
        if (!callback)
            return std::nullopt;
        return callback(&record);
    });
}

std::future<void> runOnEventThread(std::function<void()> task)
{
    return runQueued<void>(std::move(task));
}

void waitIdle() { eventThread().waitIdle(); }

bool onEventThread() { return eventThread().isCurrent(); }

RegisteredCallbacks registeredCallbacks()
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    return state.callbacks;
}

// ---- The window sink ---------------------------------------------------------------------------

LumacoreWindowSink *registeredSink()
{
    Script &state = script();
    std::lock_guard lock(state.mutex);
    return state.sink;
}

int postToApp(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data, size_t size)
{
    LumacoreWindowSink *sink = registeredSink();
    if (!sink || !sink->post)
        return 0;
    return sink->post(sink->context, message, wParam, lParam, data, size);
}

intptr_t sendToApp(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data,
                   size_t size)
{
    LumacoreWindowSink *sink = registeredSink();
    if (!sink || !sink->send)
        return 0;
    return sink->send(sink->context, message, wParam, lParam, data, size);
}

std::future<int> postToAppFromEventThread(uint32_t message, uint32_t wParam, uint32_t lParam,
                                          const void *data, size_t size)
{
    return runQueued<int>([message, wParam, lParam, bytes = copyOf(data, size)] {
        return postToApp(message, wParam, lParam, bytes.empty() ? nullptr : bytes.data(),
                         bytes.size());
    });
}

std::future<intptr_t> sendToAppFromEventThread(uint32_t message, uint32_t wParam, uint32_t lParam,
                                               const void *data, size_t size)
{
    return runQueued<intptr_t>([message, wParam, lParam, bytes = copyOf(data, size)] {
        return sendToApp(message, wParam, lParam, bytes.empty() ? nullptr : bytes.data(),
                         bytes.size());
    });
}

// ---- Records in the call log -------------------------------------------------------------------

namespace detail {
namespace {
// A byte that holds a character ('1'), quoted; any other byte as a number.
std::string character(uint8_t value)
{
    if (value >= 0x20 && value < 0x7f)
        return std::string("'") + static_cast<char>(value) + "'";
    return std::to_string(value);
}
}  // namespace

std::string describeRecord(const _MEC_SMS_RECORD &record)
{
    std::string text =
        "sms{storage=" + std::to_string(record.storage) +
        ", index=" + std::to_string(record.index) + ", status=" + std::to_string(record.status) +
        ", recipient=" + quoted(record.recipient) + ", sender=" + quoted(record.sender) +
        ", center=" + quoted(record.serviceCenter) + ", coding=" + std::to_string(record.coding) +
        ", length=" + std::to_string(record.textLength) + ", text=" + quoted(record.text);
    if (record.longMessage)
        text += ", part=" + std::to_string(record.partNumber) + "/" +
                std::to_string(record.partCount) +
                ", reference=" + std::to_string(record.reference);
    return text + "}";
}

std::string describeRecord(const _MEC_CONTACT_RECORD &record)
{
    std::string text = "contact{storage=" + std::to_string(record.storage) +
                       ", index=" + std::to_string(record.index) +
                       ", group=" + std::to_string(record.groupId) +
                       ", name=" + quoted(record.name) + ", numbers=[";
    for (size_t slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
        text += (slot ? ", " : "") + quoted(record.numbers[slot].number);
    return text + "], email=" + quoted(record.email) + "}";
}

std::string describeRecord(const _MEC_GROUP_RECORD &record)
{
    return "group{storage=" + std::to_string(record.storage) +
           ", id=" + std::to_string(record.groupId) + ", name=" + quoted(record.groupName) + "}";
}

std::string describeRecord(const CallEntry &entry)
{
    return "entry{storage=" + std::to_string(entry.storage) +
           ", kind=" + std::to_string(entry.kind) + ", index=" + std::to_string(entry.index) +
           ", number=" + quoted(entry.number) + ", duration=" + std::to_string(entry.duration) +
           "}";
}

std::string describeRecord(const _MEC_FIELD_SIZES &sizes)
{
    return "sizes{size=" + std::to_string(sizes.size) +
           ", storage=" + std::to_string(sizes.storage) + "}";
}

std::string describeRecord(const SmsConfigBlock &config)
{
    return "config{center=" + quoted(config.serviceCenter) +
           ", validity=" + character(config.validity) +
           ", report=" + std::to_string(config.statusReport) +
           ", storage=" + character(config.storage) + "}";
}

std::string describeRecord(const _MEC_OPERATOR_SELECT &selection)
{
    return "operator{mode=" + std::to_string(selection.mode) +
           ", format=" + std::to_string(selection.format) + ", id=" + quoted(selection.numericId) +
           ", technology=" + std::to_string(selection.accessTechnology) + "}";
}

std::string describeRecord(const _MEC_CALL_FORWARD_REQUEST &request)
{
    return "forward{reason=" + std::to_string(request.reason) +
           ", mode=" + std::to_string(request.mode) + ", number=" + quoted(request.number) + "}";
}

std::string describeRecord(const _MEC_CALL_BARRING_REQUEST &request)
{
    return "barring{facility=" + quoted(request.facility) +
           ", mode=" + std::to_string(request.mode) + "}";
}

}  // namespace detail
}  // namespace lumacore_fake
