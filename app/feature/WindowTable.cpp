#include "WindowTable.h"

#include "platform/WindowMessages.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

namespace feature {

WindowTable::WindowTable() = default;
WindowTable::~WindowTable() { destroy(); }

void WindowTable::create(const std::vector<Registration> &registrations, FeatureHost &host)
{
    // Every number is checked before any window is made, so a clash never leaves half a table.
    std::set<uint32_t> taken;
    for (const auto &[number, window] : m_routes)
        taken.insert(number);
    for (const Registration &registration : registrations)
        for (const MessageRange &range : registration.options.messages)
            for (uint32_t number = range.first; number <= range.last; ++number)
                if (!taken.insert(number).second)
                    throw std::logic_error("message " + std::to_string(number) +
                                           " is routed to two windows");
    for (const Registration &registration : registrations) {
        Entry entry;
        entry.widget = registration.make(host);
        entry.window = dynamic_cast<FeatureWindow *>(entry.widget.get());
        entry.options = registration.options;
        append(std::move(entry));
    }
}

void WindowTable::add(FeatureWindow &window, WindowOptions options)
{
    Entry entry;
    entry.window = &window;
    entry.options = std::move(options);
    append(std::move(entry));
}

void WindowTable::claimMessages(const WindowOptions &options, FeatureWindow *window)
{
    for (const MessageRange &range : options.messages)
        for (uint32_t number = range.first; number <= range.last; ++number)
            if (m_routes.contains(number))
                throw std::logic_error("message " + std::to_string(number) +
                                       " is routed to two windows");
    if (window == nullptr)
        return;
    for (const MessageRange &range : options.messages)
        for (uint32_t number = range.first; number <= range.last; ++number)
            m_routes[number] = window;
}

void WindowTable::append(Entry entry)
{
    claimMessages(entry.options, entry.window);
    if (entry.window != nullptr && entry.options.cardStateOrder > 0) {
        const Told told{entry.options.cardStateOrder, entry.window,
                        entry.options.retoldWhenCardSettingsReady};
        const auto place =
            std::upper_bound(m_cardStateOrder.begin(), m_cardStateOrder.end(), told,
                             [](const Told &a, const Told &b) { return a.order < b.order; });
        m_cardStateOrder.insert(place, told);
    }
    m_entries.push_back(std::move(entry));
}

void WindowTable::destroy()
{
    // The routes go first: a window being freed may still let messages through.
    m_routes.clear();
    m_cardStateOrder.clear();
    while (!m_entries.empty()) {
        // Moved out before it is freed: nothing reaches a window half gone.
        Entry last = std::move(m_entries.back());
        m_entries.pop_back();
    }
}

std::vector<QWidget *> WindowTable::widgets() const
{
    std::vector<QWidget *> out;
    for (const Entry &entry : m_entries)
        if (entry.widget)
            out.push_back(entry.widget.get());
    return out;
}

void WindowTable::tellCardState(uint8_t state) const
{
    // A window told the state may open a box in which messages are delivered; the list told is
    // the one of this moment.
    const std::vector<FeatureWindow *> told = cardStateOrder();
    for (FeatureWindow *window : told)
        window->cardStateChanged(state);
}

void WindowTable::retellCardState(uint8_t state) const
{
    std::vector<FeatureWindow *> told;
    for (const Told &entry : m_cardStateOrder)
        if (entry.retold)
            told.push_back(entry.window);
    for (FeatureWindow *window : told)
        window->cardStateChanged(state);
}

void WindowTable::tellCallState(int callState) const
{
    for (const Entry &entry : m_entries)
        if (entry.window != nullptr)
            entry.window->callStateChanged(callState);
}

void WindowTable::tellConnectionState(int connectionState) const
{
    for (const Entry &entry : m_entries)
        if (entry.window != nullptr)
            entry.window->connectionStateChanged(connectionState);
}

bool WindowTable::route(platform::WindowMessageEvent &message) const
{
    const auto found = m_routes.find(message.message());
    if (found == m_routes.end())
        return false;
    found->second->messageArrived(message);
    return true;
}

std::vector<QTimer *> WindowTable::timersStoppedDuringCall() const
{
    std::vector<QTimer *> timers;
    for (const Entry &entry : m_entries)
        if (entry.window != nullptr)
            for (QTimer *timer : entry.window->timersStoppedDuringCall())
                timers.push_back(timer);
    return timers;
}

std::vector<FeatureWindow *> WindowTable::cardStateOrder() const
{
    std::vector<FeatureWindow *> out;
    out.reserve(m_cardStateOrder.size());
    for (const Told &entry : m_cardStateOrder)
        out.push_back(entry.window);
    return out;
}

}  // namespace feature
