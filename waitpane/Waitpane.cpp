// The library-wide state and the three exports. The window is drawn by a helper process
// (lumadial-waitpane, beside this library), so it appears and keeps animating whatever the
// caller's threads do: the program usually calls ShowStatusWindow on its window thread right
// before an engine call that blocks that thread, and a window of that thread could not paint.
//
// The helper's standard input is the close request: the library closes its end and the helper
// closes the window and ends. Its standard output reports the cancel action ("c").
#include "Waitpane.h"

#include "platform/CodePage.h"
#include "platform/ProgramFolders.h"

#include <QFile>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

extern char **environ;

namespace waitpane {

namespace {

constexpr size_t kCaptionSize = 256;  // at most 255 bytes and the terminating zero

struct LibraryState {
    std::mutex lock;
    int32_t cancelled = 0;
    int32_t kind = 8;
    uintptr_t owner = 0;
    char caption[kCaptionSize] = {};
    // The helper showing the window: its process and the two pipe ends the library holds.
    pid_t helper = -1;
    int closeRequest = -1;  // the helper's standard input; closing it asks for the close
    int reports = -1;       // the helper's standard output
};

LibraryState &state()
{
    static LibraryState library;
    return library;
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The helper lies beside this library.
std::string helperPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&ShowStatusWindow), &info) == 0 || !info.dli_fname)
        return "lumadial-waitpane";
    return folderOf(info.dli_fname) + "/lumadial-waitpane";
}

// The folder of the program's data: LUMADIAL_PROGRAM_DIR when it names one (running from a
// build tree), else the calling program's own.
std::string programDir()
{
    if (const char *named = std::getenv("LUMADIAL_PROGRAM_DIR"); named && *named)
        return named;
    return QFile::encodeName(platform::dataFolder()).toStdString();
}

// Reads what the helper has reported. With wait, reads until the helper's end is closed (it
// has ended); without, only what is there now. Lock held.
void readReports(LibraryState &library, bool wait)
{
    if (library.reports < 0)
        return;
    for (;;) {
        pollfd ready{library.reports, POLLIN, 0};
        const int polled = poll(&ready, 1, wait ? -1 : 0);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return;
        char buffer[64];
        const ssize_t got = read(library.reports, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;  // the helper has ended
        if (std::memchr(buffer, 'c', static_cast<size_t>(got)))
            library.cancelled = 1;
    }
}

// Asks the helper to close the window and waits until it has ended. Lock held.
void closeHelper(LibraryState &library)
{
    if (library.helper < 0)
        return;
    close(library.closeRequest);
    library.closeRequest = -1;
    readReports(library, true);
    close(library.reports);
    library.reports = -1;
    int status = 0;
    while (waitpid(library.helper, &status, 0) < 0 && errno == EINTR) {
    }
    library.helper = -1;
}

// Starts the helper for the stored kind and caption. Lock held. Without a helper (missing,
// no resources) nothing is shown and the caller's work goes on all the same.
void startHelper(LibraryState &library)
{
    int toHelper[2];
    int fromHelper[2];
    if (pipe2(toHelper, O_CLOEXEC) != 0)
        return;
    if (pipe2(fromHelper, O_CLOEXEC) != 0) {
        close(toHelper[0]);
        close(toHelper[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHelper[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromHelper[1], STDOUT_FILENO);

    const std::string path = helperPath();
    const std::string kind = std::to_string(library.kind);
    const std::string folder = programDir();
    char *arguments[] = {const_cast<char *>(path.c_str()), const_cast<char *>(kind.c_str()),
                         library.caption, const_cast<char *>(folder.c_str()), nullptr};
    pid_t helper = -1;
    const int spawned = posix_spawn(&helper, path.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toHelper[0]);
    close(fromHelper[1]);
    if (spawned != 0) {
        close(toHelper[1]);
        close(fromHelper[0]);
        return;
    }
    library.helper = helper;
    library.closeRequest = toHelper[1];
    library.reports = fromHelper[0];
}

}  // namespace

}  // namespace waitpane

extern "C" int32_t ShowStatusWindow(int32_t kind, const char *text, uintptr_t owner)
{
    using namespace waitpane;
    LibraryState &library = state();
    std::lock_guard guard(library.lock);
    // One window at a time: a second Show without a Close between replaces the first window.
    closeHelper(library);
    library.owner = owner;
    std::memset(library.caption, 0, sizeof library.caption);
    if (text) {
        // At most 255 bytes, never half of a multibyte character.
        const std::string_view kept = platform::truncateAnsi(text, kCaptionSize - 1);
        std::memcpy(library.caption, kept.data(), kept.size());
    }
    if (kind >= 1 && kind <= 8)
        library.kind = kind;
    startHelper(library);
    return 0;
}

extern "C" int32_t CloseStatusWindow(void)
{
    using namespace waitpane;
    LibraryState &library = state();
    std::lock_guard guard(library.lock);
    closeHelper(library);
    return library.cancelled;
}

extern "C" int32_t GetStatus(int32_t)
{
    using namespace waitpane;
    LibraryState &library = state();
    std::lock_guard guard(library.lock);
    readReports(library, false);
    if (library.cancelled)
        closeHelper(library);
    return library.cancelled;
}
