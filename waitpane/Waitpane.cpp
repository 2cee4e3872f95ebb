// The library-wide state and the three exports. The caller's thread only touches the state
// under the lock; the window is made, shown and destroyed on the window thread, reached by
// queued calls on the application object.
#include "Waitpane.h"

#include "UI_StatusForm.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QThread>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

namespace waitpane {

namespace {

constexpr size_t kCaptionSize = 256;  // at most 255 bytes and the terminating zero

struct LibraryState {
    std::mutex lock;
    std::condition_variable gone;  // signalled when close requested is cleared
    int32_t cancelled = 0;
    int32_t kind = 8;
    int32_t closeRequested = 0;
    int32_t shown = 0;
    uintptr_t owner = 0;
    char caption[kCaptionSize] = {};
    // Counts the Show calls, so that a queued opening that a close has overtaken is dropped.
    quint64 generation = 0;
};

LibraryState &state()
{
    static LibraryState library;
    return library;
}

// Window thread only.
std::unique_ptr<TStatusForm> g_window;

QCoreApplication *application() { return QCoreApplication::instance(); }

bool onWindowThread()
{
    return application() && QThread::currentThread() == application()->thread();
}

// The program folder: where the executable lies, or LUMADIAL_PROGRAM_DIR when it names one
// (running from a build tree).
QString programDir()
{
    const QString named = qEnvironmentVariable("LUMADIAL_PROGRAM_DIR");
    return named.isEmpty() ? QCoreApplication::applicationDirPath() : named;
}

bool closeRequested()
{
    LibraryState &library = state();
    std::lock_guard guard(library.lock);
    return library.closeRequested != 0;
}

// Window thread: the window (nullptr: the one that never appeared) is gone; tell the closer.
// A stale call for a window that has already been finished or replaced does nothing.
void finishWindow(const TStatusForm *which)
{
    if (g_window.get() != which)
        return;
    LibraryState &library = state();
    {
        std::lock_guard guard(library.lock);
        library.shown = 0;
    }
    g_window.reset();
    {
        std::lock_guard guard(library.lock);
        library.closeRequested = 0;
    }
    library.gone.notify_all();
}

// Window thread: look at close requested now rather than at the next tick of Timer1.
void checkClose()
{
    if (g_window && closeRequested())
        g_window->Timer1Timer();
}

void openWindow(quint64 generation)
{
    LibraryState &library = state();
    int kind;
    QString caption;
    bool closeFirst;
    {
        std::lock_guard guard(library.lock);
        if (generation != library.generation)
            return;  // overtaken by a close on the window thread or by a later Show
        kind = library.kind;
        caption = platform::fromAnsi(std::string_view(library.caption));
        closeFirst = library.closeRequested != 0;
    }
    if (g_window) {  // a second Show without a Close between: the new window replaces the old
        g_window->closeForGood();
        g_window.reset();
    }
    if (closeFirst) {  // a closer came before the window could appear
        finishWindow(nullptr);
        return;
    }
    TStatusForm::Hooks hooks;
    hooks.closeRequested = closeRequested;
    hooks.closed = [] {
        // Not from inside the window's own timer tick: finish on the next turn of the loop.
        QMetaObject::invokeMethod(
            application(), [which = g_window.get()] { finishWindow(which); }, Qt::QueuedConnection);
    };
    hooks.cancel = [] {
        LibraryState &shared = state();
        std::lock_guard guard(shared.lock);
        shared.cancelled = 1;
    };
    g_window = std::make_unique<TStatusForm>(kind, caption, programDir(), std::move(hooks));
    g_window->show();
    // A window still open when the program leaves its event loop goes with it, not at static
    // destruction after the application object is gone; a closer still waiting is let go.
    static const QMetaObject::Connection quitting =
        QObject::connect(application(), &QCoreApplication::aboutToQuit, [] {
            if (g_window) {
                g_window->closeForGood();
                finishWindow(g_window.get());
            }
        });
    Q_UNUSED(quitting);
}

// A closer on the window thread cannot wait for the window thread: close right here.
int32_t closeOnWindowThread()
{
    LibraryState &library = state();
    if (g_window) {
        g_window->closeForGood();
        finishWindow(g_window.get());
    } else {
        std::lock_guard guard(library.lock);
        ++library.generation;  // the queued opening must not show a window now
        library.shown = 0;
        library.closeRequested = 0;
    }
    std::lock_guard guard(library.lock);
    return library.cancelled;
}

int32_t closeWindow()
{
    LibraryState &library = state();
    {
        std::lock_guard guard(library.lock);
        if (!library.shown)
            return library.cancelled;
    }
    if (onWindowThread())
        return closeOnWindowThread();
    std::unique_lock guard(library.lock);
    library.closeRequested = 1;
    QMetaObject::invokeMethod(application(), checkClose, Qt::QueuedConnection);
    library.gone.wait(guard, [&] { return library.closeRequested == 0; });
    return library.cancelled;
}

}  // namespace

}  // namespace waitpane

extern "C" int32_t ShowStatusWindow(int32_t kind, const char *text, uintptr_t owner)
{
    using namespace waitpane;
    LibraryState &library = state();
    quint64 generation;
    {
        std::lock_guard guard(library.lock);
        library.owner = owner;
        std::memset(library.caption, 0, sizeof library.caption);
        if (text) {
            // At most 255 bytes, never half of a multibyte character.
            const std::string_view kept = platform::truncateAnsi(text, kCaptionSize - 1);
            std::memcpy(library.caption, kept.data(), kept.size());
        }
        if (kind >= 1 && kind <= 8)
            library.kind = kind;
        // Without a widget application there is no window thread to show anything on.
        if (!qobject_cast<QApplication *>(application()))
            return 0;
        library.shown = 1;  // shown counts from here, so a closer that comes early still waits
        generation = ++library.generation;
    }
    QMetaObject::invokeMethod(
        application(), [generation] { openWindow(generation); }, Qt::QueuedConnection);
    return 0;
}

extern "C" int32_t CloseStatusWindow(void) { return waitpane::closeWindow(); }

extern "C" int32_t GetStatus(int32_t)
{
    using namespace waitpane;
    LibraryState &library = state();
    bool closeNow;
    {
        std::lock_guard guard(library.lock);
        closeNow = library.cancelled && library.shown;
    }
    if (closeNow)
        return closeWindow();
    std::lock_guard guard(library.lock);
    return library.cancelled;
}
