#include "InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString &folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kInstanceText) + QStringLiteral(".lock"))),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // A running copy holds its lock for as long as it runs, however long that is; only a lock
    // whose process is gone counts as stale.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::acquire()
{
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    return m_lock->error() != QLockFile::LockFailedError;
}

QString InstanceLock::defaultFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}
