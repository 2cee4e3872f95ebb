// Numbered texts from the language library.
//
// The library is the first shared object in "./language" (relative to the working folder, which
// is the program folder). It exports
//     extern "C" int LoadLanguageString(unsigned int id, char *buffer, int size);
// returning the number of bytes written (0 for an unknown number). Without a library every
// lookup yields the empty text and the program runs with empty captions.
#pragma once

#include <QString>

#include <memory>
#include <mutex>
#include <string>

namespace platform {

class TResStringManager {
public:
    static constexpr int kBufferSize = 500;  // a text is at most 499 bytes

    // Loads the first "*.so" of "./language".
    TResStringManager();
    // Loads the given library file (empty path: no library).
    explicit TResStringManager(const QString &libraryPath);
    ~TResStringManager();
    TResStringManager(const TResStringManager &) = delete;
    TResStringManager &operator=(const TResStringManager &) = delete;

    bool isLoaded() const;
    // The text in the system code page; empty when the number is unknown or no library loaded.
    // Safe from any thread.
    std::string text(unsigned int number) const;

private:
    using LookupFunction = int (*)(unsigned int, char *, int);
    void load(const QString &libraryPath);

    void *m_library = nullptr;
    LookupFunction m_lookup = nullptr;
    int m_language = 0;
    std::unique_ptr<std::mutex> m_lock;  // exists only when the library loaded
};

// The process-wide string manager; created before any window, destroyed at exit.
void createStringManager();
void createStringManager(const QString &libraryPath);
void destroyStringManager();
TResStringManager *stringManager();

// Looks a text up in the process-wide manager (empty without one). Safe from any thread.
std::string GetLanguageStringAnsi(unsigned int number);
QString GetLanguageString(unsigned int number);

// The first entry of folder matching the wildcard pattern that is not a directory, as
// folder + "/" + name; empty when folder or pattern is empty or nothing matches.
QString FirstFileIn(const QString &folder, const QString &pattern);

}  // namespace platform
