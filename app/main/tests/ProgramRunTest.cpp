// The lumadial program itself, started on the virtual data card as a person would start it, on
// Qt's offscreen platform. LUMADIAL_QUIT_AFTER_MS makes it end on its own as if Exit had been
// chosen and answered, and say how far the card had come.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The program writes its settings beside itself, so each run gets its own copy of the program
// folder.
bool copyFolder(const QString &from, const QString &to)
{
    QDir source(from);
    if (!QDir().mkpath(to))
        return false;
    QDirIterator entries(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (QFileInfo(path).isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString programDir = qEnvironmentVariable("LUMADIAL_PROGRAM_DIR");
        ASSERT_FALSE(programDir.isEmpty());
        ASSERT_TRUE(QFileInfo(programDir + QStringLiteral("/lumadial")).isExecutable());
        ASSERT_TRUE(work.isValid());
        program = work.path() + QStringLiteral("/program");
        ASSERT_TRUE(copyFolder(programDir, program));
        runtime = work.path() + QStringLiteral("/runtime");
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ASSERT_TRUE(QDir().mkpath(work.path() + QStringLiteral("/home")));
    }

    // Runs the program until it ends; its standard error in `errors`.
    int run(int quitAfterMs, const QString &port = QStringLiteral("virtual"))
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LUMACORE_PORT"), port);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LUMADIAL_QUIT_AFTER_MS"), QString::number(quitAfterMs));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("HOME"), work.path() + QStringLiteral("/home"));
        process.setProcessEnvironment(environment);
        // Started from elsewhere: the program finds its files beside itself.
        process.setWorkingDirectory(work.path());
        process.start(program + QStringLiteral("/lumadial"), {});
        if (!process.waitForStarted(10000))
            return -1;
        if (!process.waitForFinished(quitAfterMs + 60000)) {
            process.kill();
            process.waitForFinished();
            return -2;
        }
        errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    }

    QTemporaryDir work;
    QString program;
    QString runtime;
    QString errors;
};

}  // namespace

TEST_F(ProgramRunTest, RunsOnTheVirtualCardUpToThePinAndEndsCleanlyOnExit)
{
    const QString settings = program + QStringLiteral("/allconfig.ran");
    QFile::remove(settings);
    // The virtual card's SIM asks for its PIN: by then the card was found, answered, went on
    // line, and the main window was shown at once for the PIN dialog.
    ASSERT_EQ(run(8000), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("card state 8; main window shown")))
        << errors.toStdString();
    // The exit saved the settings beside the program.
    EXPECT_TRUE(QFileInfo::exists(settings));
    // And let go of the instance lock.
    EXPECT_TRUE(QDir(runtime).entryList(QDir::Files).isEmpty())
        << QDir(runtime).entryList().join(',').toStdString();
}

TEST_F(ProgramRunTest, FollowsACardWithoutPinToSimReady)
{
    // The virtual card as its own process, its SIM not asking for a PIN.
    const QString link = work.path() + QStringLiteral("/card");
    QProcess card;
    card.start(
        program + QStringLiteral("/virtual-modem"),
        {QStringLiteral("--link"), link, QStringLiteral("--pin-required"), QStringLiteral("off")});
    ASSERT_TRUE(card.waitForStarted(10000));
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(link) && clock.elapsed() < 10000)
        card.waitForReadyRead(100);
    ASSERT_TRUE(QFileInfo::exists(link));

    // Past the splash (10 s): the main window shows on its own.
    EXPECT_EQ(run(13000, link), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("card state 12; main window shown")))
        << errors.toStdString();
    card.terminate();
    card.waitForFinished(5000);
}

TEST_F(ProgramRunTest, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone)
{
    QLockFile first(
        runtime +
        QStringLiteral("/QEVT492K7,0x12,0xab,0x4f,0x06,0xab,0x1e,0x2c,0x8d,0x9b,0x1d,0x66.lock"));
    first.setStaleLockTime(0);
    ASSERT_TRUE(first.tryLock(0));
    QElapsedTimer clock;
    clock.start();
    // The already-running box is answered after a second.
    EXPECT_EQ(run(1000), 0) << errors.toStdString();
    EXPECT_LT(clock.elapsed(), 20000);
    // It never got as far as the main window or the card.
    EXPECT_FALSE(errors.contains(QStringLiteral("closing on request"))) << errors.toStdString();
    EXPECT_TRUE(first.isLocked());
    EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("/db.dat")));
}
