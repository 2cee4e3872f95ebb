// The program's windows after the main window, made once in the order of their registrations,
// and the routing table that tells them what happens.
//
// A window is added with one registration: how to make it, where it stands in the order the
// card state is told, the message numbers it takes, the roles it plays for other folders and
// the navigation button or settings entry that shows it. Nothing else names it.
#pragma once

#include "FeatureWindow.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

namespace feature {

// Message numbers first..last, both included.
struct MessageRange {
    uint32_t first;
    uint32_t last;
};

struct WindowOptions {
    // Place among the windows told the card state (1 is told first); 0: not told.
    int cardStateOrder = 0;
    // Told card state 12 once more when the card's field sizes could be read at last, so that
    // it loads what it shows.
    bool retoldWhenCardSettingsReady = false;
    // The messages routed to this window. A number belongs to one window only.
    std::vector<MessageRange> messages;
    // The roles (interfaces of FeatureRoles.h) it plays. A role belongs to one window only.
    std::vector<std::type_index> roles;
    // The navigation button and the settings entry that show it; each shows one window only.
    NavigationButton button = NavigationButton::None;
    SettingsEntry entry = SettingsEntry::None;
    // The settings menu: the column the settings entries' windows stand beside.
    bool settingsColumn = false;

    // Built up in one expression: told(5).toldAgainWhenCardSettingsReady().takes(1525).
    WindowOptions told(int order) const
    {
        WindowOptions options = *this;
        options.cardStateOrder = order;
        return options;
    }
    WindowOptions toldAgainWhenCardSettingsReady() const
    {
        WindowOptions options = *this;
        options.retoldWhenCardSettingsReady = true;
        return options;
    }
    WindowOptions takes(uint32_t first, uint32_t last) const
    {
        WindowOptions options = *this;
        options.messages.push_back({first, last});
        return options;
    }
    WindowOptions takes(uint32_t number) const { return takes(number, number); }
    template <typename Role>
    WindowOptions plays() const
    {
        WindowOptions options = *this;
        options.roles.emplace_back(typeid(Role));
        return options;
    }
    WindowOptions shownBy(NavigationButton by) const
    {
        WindowOptions options = *this;
        options.button = by;
        return options;
    }
    WindowOptions shownBy(SettingsEntry by) const
    {
        WindowOptions options = *this;
        options.entry = by;
        return options;
    }
    WindowOptions isSettingsColumn() const
    {
        WindowOptions options = *this;
        options.settingsColumn = true;
        return options;
    }
};

// The options of a window told the card state in place `order`.
inline WindowOptions told(int order) { return WindowOptions().told(order); }
// The options of a window that takes messages first..last and is not told the card state.
inline WindowOptions takes(uint32_t first, uint32_t last)
{
    return WindowOptions().takes(first, last);
}
inline WindowOptions takes(uint32_t number) { return takes(number, number); }
// The options of a window not told the card state in order, shown by a button or an entry.
inline WindowOptions shownBy(NavigationButton button) { return WindowOptions().shownBy(button); }
inline WindowOptions shownBy(SettingsEntry entry) { return WindowOptions().shownBy(entry); }
template <typename Role>
WindowOptions plays()
{
    return WindowOptions().plays<Role>();
}

struct Registration {
    std::function<std::unique_ptr<QWidget>(FeatureHost &)> make;
    WindowOptions options;
};

// A feature window, made with the host it may ask things of.
template <typename Window>
Registration window(WindowOptions options = {})
{
    return {[](FeatureHost &host) -> std::unique_ptr<QWidget> {
                return std::make_unique<Window>(host);
            },
            std::move(options)};
}

// A window that only needs an owner (the program's boxes): made, kept and freed in order, and
// told nothing.
template <typename Window>
Registration ownedWindow()
{
    return {[](FeatureHost &host) -> std::unique_ptr<QWidget> {
                return std::make_unique<Window>(host.dialogOwner());
            },
            {}};
}

class WindowTable {
public:
    WindowTable();
    ~WindowTable();
    WindowTable(const WindowTable &) = delete;
    WindowTable &operator=(const WindowTable &) = delete;

    // Makes each registered window in order. A window whose creation throws leaves the ones
    // made before it in place (destroy() frees them). A message number, a role, a navigation
    // button or a settings entry registered twice throws std::logic_error before anything is
    // made.
    void create(const std::vector<Registration> &registrations, FeatureHost &host);
    // Takes a window made elsewhere (a test's peers, or a window that is not a widget: tests
    // record with it), which the table does not own. Throws std::logic_error for a message
    // number, a role, a button or an entry already taken.
    void add(FeatureWindow &window, WindowOptions options);
    void addWidget(QWidget &widget, WindowOptions options = {});
    // Frees the windows in the reverse order of creation and empties the table.
    void destroy();

    // The widgets, in the order of creation.
    std::vector<QWidget *> widgets() const;
    // The first window of that class, or null.
    template <typename Window>
    Window *find() const
    {
        for (QWidget *widget : widgets())
            if (auto *found = dynamic_cast<Window *>(widget))
                return found;
        return nullptr;
    }
    // The window registered to play the role, or null.
    QWidget *playing(std::type_index role) const;
    template <typename Role>
    Role *role() const
    {
        const Entry *entry = entryPlaying(typeid(Role));
        if (entry == nullptr)
            return nullptr;
        if (auto *played = dynamic_cast<Role *>(entry->window))
            return played;
        return dynamic_cast<Role *>(entry->widget);
    }
    // The window the navigation button or the settings entry shows, or null.
    QWidget *shownBy(NavigationButton button) const;
    QWidget *shownBy(SettingsEntry entry) const;
    // The settings menu, or null.
    QWidget *settingsColumn() const;
    // The window stands beside the settings column (a settings entry shows it).
    bool besideSettingsColumn(const QWidget *widget) const;

    // ---- the routing table ------------------------------------------------------------------

    // Tells every window the card state: those with a place in the order first, in their
    // order, then the others in the order they were made.
    void tellCardState(CardState state) const;
    // Tells the windows that wait for the card's field sizes the card state once more.
    void retellCardState(CardState state) const;
    // Tells every window.
    void tellCallState(CallState state) const;
    void tellConnectionState(ConnectionState state) const;
    void tellUssdSession(UssdSession session) const;
    // Hands the message to the window registered for its number; false when none is.
    bool route(platform::WindowMessageEvent &message) const;
    // The timers of every window that stand still during a voice call.
    std::vector<QTimer *> timersStoppedDuringCall() const;
    // The windows told the card state with a place in the order, in that order.
    std::vector<FeatureWindow *> cardStateOrder() const;

private:
    struct Entry {
        std::unique_ptr<QWidget> owned;   // null for a window added from elsewhere
        QWidget *widget = nullptr;        // null for a window that is not a widget
        FeatureWindow *window = nullptr;  // null for a window that takes nothing (a box)
        WindowOptions options;
    };
    // Throws std::logic_error when one of the options' numbers, roles, button or entry is
    // already taken by `taken` or by the table.
    void checkFree(const WindowOptions &options, const std::vector<WindowOptions> &taken) const;
    void claimMessages(const WindowOptions &options, FeatureWindow *window);
    void append(Entry entry);
    const Entry *entryPlaying(std::type_index role) const;
    // Every window, in the order they were made: the list of this moment, so that a window
    // told something may open a box in which messages are delivered.
    std::vector<FeatureWindow *> allWindows() const;

    std::vector<Entry> m_entries;
    std::map<uint32_t, FeatureWindow *> m_routes;
    struct Told {
        int order;
        FeatureWindow *window;
        bool retold;
    };
    std::vector<Told> m_cardStateOrder;  // by order; equal orders as they were added
};

}  // namespace feature
