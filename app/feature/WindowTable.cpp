#include "WindowTable.h"

#include "platform/WindowMessages.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace feature {

WindowTable::WindowTable() = default;
WindowTable::~WindowTable() { destroy(); }

void WindowTable::create(const std::vector<Registration> &registrations, FeatureHost &host)
{
    // Everything is checked before any window is made, so a clash never leaves half a table.
    std::vector<WindowOptions> checked;
    for (const Registration &registration : registrations) {
        checkFree(registration.options, checked);
        checked.push_back(registration.options);
    }
    for (const Registration &registration : registrations) {
        Entry entry;
        entry.owned = registration.make(host);
        entry.widget = entry.owned.get();
        entry.window = dynamic_cast<FeatureWindow *>(entry.widget);
        entry.options = registration.options;
        append(std::move(entry));
    }
}

void WindowTable::add(FeatureWindow &window, WindowOptions options)
{
    Entry entry;
    entry.widget = dynamic_cast<QWidget *>(&window);
    entry.window = &window;
    entry.options = std::move(options);
    append(std::move(entry));
}

void WindowTable::addWidget(QWidget &widget, WindowOptions options)
{
    Entry entry;
    entry.widget = &widget;
    entry.window = dynamic_cast<FeatureWindow *>(&widget);
    entry.options = std::move(options);
    append(std::move(entry));
}

void WindowTable::checkFree(const WindowOptions &options,
                            const std::vector<WindowOptions> &taken) const
{
    std::vector<const WindowOptions *> others;
    for (const Entry &entry : m_entries)
        others.push_back(&entry.options);
    for (const WindowOptions &other : taken)
        others.push_back(&other);
    for (const WindowOptions *other : others) {
        for (const MessageRange &range : options.messages)
            for (const MessageRange &otherRange : other->messages)
                if (range.first <= otherRange.last && otherRange.first <= range.last)
                    throw std::logic_error(
                        "message " + std::to_string(std::max(range.first, otherRange.first)) +
                        " is routed to two windows");
        for (const std::type_index &role : options.roles)
            if (std::find(other->roles.begin(), other->roles.end(), role) != other->roles.end())
                throw std::logic_error(std::string("two windows play the role ") + role.name());
        if (options.button != NavigationButton::None && options.button == other->button)
            throw std::logic_error("a navigation button shows two windows");
        if (options.entry != SettingsEntry::None && options.entry == other->entry)
            throw std::logic_error("a settings entry shows two windows");
        if (options.settingsColumn && other->settingsColumn)
            throw std::logic_error("two settings columns");
    }
}

void WindowTable::claimMessages(const WindowOptions &options, FeatureWindow *window)
{
    if (window == nullptr)
        return;
    for (const MessageRange &range : options.messages)
        for (uint32_t number = range.first; number <= range.last; ++number)
            m_routes[number] = window;
}

void WindowTable::append(Entry entry)
{
    checkFree(entry.options, {});
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
            out.push_back(entry.widget);
    return out;
}

const WindowTable::Entry *WindowTable::entryPlaying(std::type_index role) const
{
    for (const Entry &entry : m_entries)
        for (const std::type_index &played : entry.options.roles)
            if (played == role)
                return &entry;
    return nullptr;
}

QWidget *WindowTable::playing(std::type_index role) const
{
    const Entry *entry = entryPlaying(role);
    return entry != nullptr ? entry->widget : nullptr;
}

QWidget *WindowTable::shownBy(NavigationButton button) const
{
    for (const Entry &entry : m_entries)
        if (button != NavigationButton::None && entry.options.button == button)
            return entry.widget;
    return nullptr;
}

QWidget *WindowTable::shownBy(SettingsEntry settingsEntry) const
{
    for (const Entry &entry : m_entries)
        if (settingsEntry != SettingsEntry::None && entry.options.entry == settingsEntry)
            return entry.widget;
    return nullptr;
}

QWidget *WindowTable::settingsColumn() const
{
    for (const Entry &entry : m_entries)
        if (entry.options.settingsColumn)
            return entry.widget;
    return nullptr;
}

bool WindowTable::besideSettingsColumn(const QWidget *widget) const
{
    for (const Entry &entry : m_entries)
        if (widget != nullptr && entry.widget == widget)
            return entry.options.entry != SettingsEntry::None;
    return false;
}

void WindowTable::tellCardState(CardState state) const
{
    // A window told the state may open a box in which messages are delivered; the list told is
    // the one of this moment.
    std::vector<FeatureWindow *> told = cardStateOrder();
    for (const Entry &entry : m_entries)
        if (entry.window != nullptr && entry.options.cardStateOrder <= 0)
            told.push_back(entry.window);
    for (FeatureWindow *window : told)
        window->cardStateChanged(state);
}

void WindowTable::retellCardState(CardState state) const
{
    std::vector<FeatureWindow *> told;
    for (const Told &entry : m_cardStateOrder)
        if (entry.retold)
            told.push_back(entry.window);
    for (FeatureWindow *window : told)
        window->cardStateChanged(state);
}

void WindowTable::tellCallState(CallState state) const
{
    for (FeatureWindow *window : allWindows())
        window->callStateChanged(state);
}

void WindowTable::tellConnectionState(ConnectionState state) const
{
    for (FeatureWindow *window : allWindows())
        window->connectionStateChanged(state);
}

void WindowTable::tellUssdSession(UssdSession session) const
{
    for (FeatureWindow *window : allWindows())
        window->ussdSessionChanged(session);
}

std::vector<FeatureWindow *> WindowTable::allWindows() const
{
    std::vector<FeatureWindow *> out;
    for (const Entry &entry : m_entries)
        if (entry.window != nullptr)
            out.push_back(entry.window);
    return out;
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
