#include "platform/ResStringManager.h"

#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <shared_mutex>

namespace platform {

namespace {

// The language library's texts are UTF-8. When the system code page is something else (a
// Latin-1 or GBK locale, or one forced by a test), they are converted so that every caller
// gets them in the code page it expects.
bool systemCodePageIsUtf8()
{
    std::string name = systemCodePage();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name == "UTF-8" || name == "UTF8";
}

// The process-wide manager. Lookups come from the window thread and the engine's callback
// thread; creation and destruction happen before and after those threads run, but the lock
// makes a late lookup see either a whole manager or none.
std::shared_mutex g_instanceLock;
std::unique_ptr<TResStringManager> g_instance;

}  // namespace

TResStringManager::TResStringManager()
{
    load(FirstFileIn(QStringLiteral("./language"), QStringLiteral("*.so")));
}

TResStringManager::TResStringManager(const QString &libraryPath) { load(libraryPath); }

TResStringManager::~TResStringManager()
{
    m_lock.reset();
    m_lookup = nullptr;
    if (m_library)
        dlclose(m_library);
}

void TResStringManager::load(const QString &libraryPath)
{
    if (libraryPath.isEmpty())
        return;
    // A bare file name would make dlopen search the system's library path instead of the
    // folder the caller meant.
    QString path = libraryPath;
    if (!path.contains(QLatin1Char('/')))
        path.prepend(QStringLiteral("./"));

    void *library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return;
    auto lookup = reinterpret_cast<LookupFunction>(dlsym(library, "LoadLanguageString"));
    if (!lookup) {
        // Some other shared object in the language folder: run with empty texts.
        dlclose(library);
        return;
    }
    m_library = library;
    m_lookup = lookup;
    m_language = 0;
    m_lock = std::make_unique<std::mutex>();
}

bool TResStringManager::isLoaded() const
{
    return m_library != nullptr && m_lookup != nullptr && m_lock != nullptr;
}

std::string TResStringManager::text(unsigned int number) const
{
    if (!isLoaded())
        return {};

    char buffer[kBufferSize] = {};
    int written = 0;
    {
        std::lock_guard lock(*m_lock);
        written = m_lookup(number, buffer, kBufferSize);
    }
    if (written <= 0)
        return {};
    // Never trust a foreign library to have stopped at the buffer's end: at most 499 bytes.
    const size_t length = strnlen(buffer, kBufferSize - 1);
    std::string utf8(buffer, length);
    if (systemCodePageIsUtf8())
        return utf8;
    std::string ansi = toAnsi(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return std::string(truncateAnsi(ansi, kBufferSize - 1));
}

void createStringManager()
{
    auto manager = std::make_unique<TResStringManager>();
    std::unique_lock lock(g_instanceLock);
    g_instance = std::move(manager);
}

void createStringManager(const QString &libraryPath)
{
    auto manager = std::make_unique<TResStringManager>(libraryPath);
    std::unique_lock lock(g_instanceLock);
    g_instance = std::move(manager);
}

void destroyStringManager()
{
    std::unique_ptr<TResStringManager> old;
    {
        std::unique_lock lock(g_instanceLock);
        old = std::move(g_instance);
    }
}

TResStringManager *stringManager()
{
    std::shared_lock lock(g_instanceLock);
    return g_instance.get();
}

std::string GetLanguageStringAnsi(unsigned int number)
{
    std::shared_lock lock(g_instanceLock);
    if (!g_instance)
        return {};
    return g_instance->text(number);
}

QString GetLanguageString(unsigned int number) { return fromAnsi(GetLanguageStringAnsi(number)); }

QString FirstFileIn(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty() || pattern.isEmpty())
        return {};
    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix.append(QLatin1Char('/'));

    // Sorted by name so that "the first" is the same on every file system; directories (and
    // links to them) never match; hidden files count like any other entry.
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QStringList{pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        return prefix + name;
    }
    return {};
}

}  // namespace platform
