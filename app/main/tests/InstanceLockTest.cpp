// One running copy per user.
#include "InstanceLock.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs a child process that takes the lock in `folder` and holds it until told to end; ends
// without unlocking, as a copy that crashed would.
class LockHolder {
public:
    explicit LockHolder(const QString &folder)
    {
        if (pipe(m_toChild) != 0 || pipe(m_fromChild) != 0)
            return;
        m_child = fork();
        if (m_child == 0) {
            InstanceLock lock(folder);
            const char taken = lock.acquire() ? '1' : '0';
            [[maybe_unused]] ssize_t written = write(m_fromChild[1], &taken, 1);
            char end = 0;
            [[maybe_unused]] ssize_t got = read(m_toChild[0], &end, 1);
            _exit(0);
        }
        char taken = 0;
        m_taken = m_child > 0 && read(m_fromChild[0], &taken, 1) == 1 && taken == '1';
    }
    ~LockHolder() { end(); }

    bool taken() const { return m_taken; }
    void end()
    {
        if (m_child <= 0)
            return;
        const char end = 'x';
        [[maybe_unused]] ssize_t written = write(m_toChild[1], &end, 1);
        waitpid(m_child, nullptr, 0);
        m_child = -1;
        for (int fd : {m_toChild[0], m_toChild[1], m_fromChild[0], m_fromChild[1]})
            close(fd);
    }

private:
    int m_toChild[2] = {-1, -1};
    int m_fromChild[2] = {-1, -1};
    pid_t m_child = -1;
    bool m_taken = false;
};

}  // namespace

TEST(InstanceLockTest, ASecondCopyIsRefusedWhileTheFirstRunsAndAllowedOnceItIsGone)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    LockHolder first(folder.path());
    ASSERT_TRUE(first.taken());

    InstanceLock second(folder.path());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.path().endsWith(
        QStringLiteral("QEVT492K7,0x12,0xab,0x4f,0x06,0xab,0x1e,0x2c,0x8d,0x9b,0x1d,0x66.lock")));

    // The first copy ends without removing its lock file: the file is stale and taken over.
    first.end();
    InstanceLock third(folder.path());
    EXPECT_TRUE(third.acquire());
    EXPECT_TRUE(third.acquire());  // asking again while holding it
}

TEST(InstanceLockTest, ACopyRunningLongerThanAnyTimeoutKeepsItsLock)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    InstanceLock first(folder.path());
    ASSERT_TRUE(first.acquire());
    // A lock file untouched for hours still belongs to the running copy.
    QFile lockFile(first.path());
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                     QFileDevice::FileModificationTime));
    lockFile.close();
    LockHolder second(folder.path());
    EXPECT_FALSE(second.taken());
}

TEST(InstanceLockTest, AFolderWhereNoLockCanBeMadeDoesNotStopTheProgram)
{
    InstanceLock lock(QStringLiteral("/nonexistent/lumadial/runtime"));
    EXPECT_TRUE(lock.acquire());
}
