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

// Each run gets its own copy of the program folder, so that what a run writes is seen.
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

// Every file under a folder, with its size and time, one a line: what a run must not change.
std::string filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo file(entries.next());
        files << QDir(folder).relativeFilePath(file.filePath()) + QLatin1Char(' ') +
                     QString::number(file.size()) + QLatin1Char(' ') +
                     QString::number(file.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files.join(QLatin1Char('\n')).toStdString();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        home = work.path() + QStringLiteral("/home");
        ASSERT_TRUE(QDir().mkpath(home));
        executable = program + QStringLiteral("/lumadial");
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
        environment.insert(QStringLiteral("HOME"), home);
        // The user's folders are the default ones of this home, whatever the caller has set.
        for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                     "LUMACORE_DB", "LUMADIAL_PROGRAM_DIR"})
            environment.remove(QString::fromLatin1(variable));
        process.setProcessEnvironment(environment);
        // Started from elsewhere: the program finds its files beside itself.
        process.setWorkingDirectory(work.path());
        process.start(executable, {});
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

    QString userSettings() const { return home + QStringLiteral("/.config/lumadial"); }

    QTemporaryDir work;
    QString program;
    QString executable;
    QString runtime;
    QString home;
    QString errors;
};

}  // namespace

TEST_F(ProgramRunTest, RunsOnTheVirtualCardUpToThePinAndEndsCleanlyOnExit)
{
    const std::string delivered = filesUnder(program);
    // The virtual card's SIM asks for its PIN: by then the card was found, answered, went on
    // line, and the main window was shown at once for the PIN dialog.
    ASSERT_EQ(run(8000), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("card state 8; main window shown")))
        << errors.toStdString();
    // The exit saved the settings in the user's folder; the program's own stays as delivered.
    EXPECT_TRUE(QFileInfo::exists(userSettings() + QStringLiteral("/allconfig.ran")));
    EXPECT_EQ(filesUnder(program), delivered);
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

TEST_F(ProgramRunTest, FindsItsDataInstalledAndKeepsAPortableCopyToItself)
{
    // Installed: the program in <prefix>/bin, its data in <prefix>/share/lumadial.
    const QString prefix = work.path() + QStringLiteral("/prefix");
    const QString data = prefix + QStringLiteral("/share/lumadial");
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QDir().rename(program, prefix + QStringLiteral("/bin")));
    const QDir bin(prefix + QStringLiteral("/bin"));
    for (const QString &name :
         bin.entryList({QStringLiteral("language"), QStringLiteral("resource"),
                        QStringLiteral("help"), QStringLiteral("*.ran")},
                       QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        ASSERT_TRUE(QDir().rename(bin.filePath(name), data + QLatin1Char('/') + name))
            << name.toStdString();
    executable = bin.filePath(QStringLiteral("lumadial"));
    const std::string installed = filesUnder(prefix);
    ASSERT_EQ(run(8000), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("card state 8; main window shown")))
        << errors.toStdString();
    EXPECT_EQ(filesUnder(prefix), installed);
    // The settings it saved began as the delivered ones (the sounds), so it found its data.
    const QByteArray deliveredSettings = fileBytes(data + QStringLiteral("/allconfig.ran"));
    const QByteArray savedSettings = fileBytes(userSettings() + QStringLiteral("/allconfig.ran"));
    ASSERT_EQ(savedSettings.size(), deliveredSettings.size());
    EXPECT_EQ(savedSettings.mid(41, 4000), deliveredSettings.mid(41, 4000));

    // Portable: a copy marked as one keeps its settings and store beside itself.
    ASSERT_TRUE(QDir().mkpath(work.path() + QStringLiteral("/portable")));
    ASSERT_TRUE(copyFolder(bin.path(), work.path() + QStringLiteral("/portable")));
    ASSERT_TRUE(copyFolder(data, work.path() + QStringLiteral("/portable")));
    QFile marker(work.path() + QStringLiteral("/portable/portable"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    executable = work.path() + QStringLiteral("/portable/lumadial");
    const QString userData = home + QStringLiteral("/.local/share/lumadial");
    ASSERT_TRUE(QDir(userSettings()).removeRecursively());
    ASSERT_TRUE(QDir(userData).removeRecursively());
    ASSERT_EQ(run(8000), 0) << errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(work.path() + QStringLiteral("/portable/db.dat")));
    EXPECT_FALSE(QFileInfo::exists(userSettings()));
    EXPECT_FALSE(QFileInfo::exists(userData));
}
