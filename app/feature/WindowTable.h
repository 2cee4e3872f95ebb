// The program's windows after the main window, made once in the order of their registrations,
// and the routing table that tells them what happens.
//
// A window is added with one registration: how to make it, where it stands in the order the
// card state is told, and which message numbers it takes. Nothing else names it.
#pragma once

#include "FeatureWindow.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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
};

// The options of a window told the card state in place `order`.
inline WindowOptions told(int order) { return WindowOptions().told(order); }
// The options of a window that takes messages first..last and is not told the card state.
inline WindowOptions takes(uint32_t first, uint32_t last)
{
    return WindowOptions().takes(first, last);
}
inline WindowOptions takes(uint32_t number) { return takes(number, number); }

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
    // made before it in place (destroy() frees them). A message number registered twice throws
    // std::logic_error before anything is made.
    void create(const std::vector<Registration> &registrations, FeatureHost &host);
    // Takes a window made elsewhere (or one that is not a widget: tests record with it), which
    // the table does not own. Throws std::logic_error for a message number already taken.
    void add(FeatureWindow &window, WindowOptions options);
    // Frees the windows in the reverse order of creation and empties the table.
    void destroy();

    // The widgets, in the order of creation.
    std::vector<QWidget *> widgets() const;
    // The first window of that class, or null.
    template <typename Window>
    Window *find() const
    {
        for (const Entry &entry : m_entries)
            if (auto *found = dynamic_cast<Window *>(entry.widget.get()))
                return found;
        return nullptr;
    }

    // ---- the routing table ------------------------------------------------------------------

    // Tells the windows registered for it the card state, in their order.
    void tellCardState(uint8_t state) const;
    // Tells the windows that wait for the card's field sizes the card state once more.
    void retellCardState(uint8_t state) const;
    // Tells every window.
    void tellCallState(int callState) const;
    void tellConnectionState(int connectionState) const;
    // Hands the message to the window registered for its number; false when none is.
    bool route(platform::WindowMessageEvent &message) const;
    // The timers of every window that stand still during a voice call.
    std::vector<QTimer *> timersStoppedDuringCall() const;
    // The windows told the card state, in the order they are told.
    std::vector<FeatureWindow *> cardStateOrder() const;

private:
    struct Entry {
        std::unique_ptr<QWidget> widget;  // null for a window added from elsewhere
        FeatureWindow *window = nullptr;  // null for a window that takes nothing (a box)
        WindowOptions options;
    };
    void claimMessages(const WindowOptions &options, FeatureWindow *window);
    void append(Entry entry);

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
