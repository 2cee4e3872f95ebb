// One running copy per user: a lock file in the user's runtime folder, named after the program's
// instance text. The lock is held for the life of the object; a copy that crashed leaves a file
// that the next start recognises as stale (its process is gone) and takes over.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class InstanceLock {
public:
    // Only its uniqueness matters; every copy of the program uses the same text.
    static constexpr const char *kInstanceText =
        "QEVT492K7,0x12,0xab,0x4f,0x06,0xab,0x1e,0x2c,0x8d,0x9b,0x1d,0x66";

    // The lock file in the given folder (by default the user's runtime folder).
    explicit InstanceLock(const QString &folder = defaultFolder());
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process now holds the lock; false when another running copy holds it.
    // A lock file that cannot be created at all (folder missing or read-only) does not stop
    // the program: it runs without the guard.
    bool acquire();
    const QString &path() const { return m_path; }

    // The user's runtime folder ($XDG_RUNTIME_DIR), or the temporary folder without one.
    static QString defaultFolder();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
