// The pppd backend end to end with a stand-in pppd first on the PATH: files written for the
// user only and removed with the entry, the password never on the command line, progress,
// statistics, every failure in words, and hang-up by SIGTERM then SIGKILL.
#include "platform/ras/PppdBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace ras;

namespace {

std::string readFile(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PppdBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("ras-pppd-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "runtime");
        fs::permissions(folder / "runtime", fs::perms::owner_all);
        fs::create_directories(folder / "sysfs");
        std::ofstream(folder / "ttyUSB0") << "";
        oldPath = qgetenv("PATH");
        qputenv("PATH", QByteArray(RAS_STAND_IN_FOLDER) + ":" + oldPath);
        qputenv("STANDIN_PPPD_LOG", QByteArray::fromStdString((folder / "argv").string()));
        qputenv("STANDIN_SYSFS", QByteArray::fromStdString((folder / "sysfs").string()));

        settings.dataPort = (folder / "ttyUSB0").string();
        settings.lookup.sysfsRoot = (folder / "sysfs").string();
        settings.runtimeFolder = (folder / "runtime").string();
        settings.peersFile = (folder / "no-peers-file").string();
        settings.hangUpGraceMs = 200;
        backend = std::make_unique<PppdBackend>(settings);

        PhonebookEntry entry;
        entry.name = "Brisa AR";
        entry.number = "*99#";
        entry.apn = "internet.example";
        entry.deviceName = "card";
        ASSERT_EQ(backend->setEntryProperties(entry), kSuccess);
    }
    void TearDown() override
    {
        backend.reset();
        qputenv("PATH", oldPath);
        fs::remove_all(folder);
    }

    // Dials with the stand-in answering `outcome`, and waits for the first dial event.
    QList<QVariant> dialAndWait(const char *outcome, ConnectionHandle &handle)
    {
        qputenv("STANDIN_PPPD_OUTCOME", outcome);
        QSignalSpy events(backend.get(), &RasApi::dialEvent);
        EXPECT_EQ(backend->dial({"Brisa AR", "*99#", "isp user", "s3cret \"pw\""}, handle),
                  kSuccess);
        if (!events.wait(5000))
            return {};
        return events.takeFirst();
    }

    // Whether the process has ended (gone, or a zombie nobody reaped yet).
    static bool ended(pid_t pid)
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        std::getline(stat, text);
        const size_t name = text.rfind(')');
        return !stat || name == text.npos || name + 2 >= text.size() || text[name + 2] == 'Z';
    }
    static bool waitFor(const std::function<bool()> &condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    fs::path folder;
    PppdBackend::Settings settings;
    QByteArray oldPath;
    std::unique_ptr<PppdBackend> backend;
};

TEST_F(PppdBackendTest, ConnectsReadsCountersAndHangsUpWithSigterm)
{
    ConnectionHandle handle = kNoConnection;
    const auto event = dialAndWait("connect", handle);
    ASSERT_EQ(event.size(), 3);
    EXPECT_EQ(event[1].toUInt(), kConnected);
    EXPECT_EQ(event[2].toUInt(), kSuccess);

    // The chat script exists for the user only; the password is in no argument, and its file
    // is gone once pppd has read it.
    const std::string options = backend->optionsFile("Brisa AR");
    const std::string chat = backend->chatFile("Brisa AR");
    struct stat info {};
    ASSERT_EQ(::stat(chat.c_str(), &info), 0) << chat;
    EXPECT_EQ(info.st_mode & 0777, 0600u) << chat;
    EXPECT_EQ(readFile(folder / "argv"), "file\n" + options + "\n");
    EXPECT_FALSE(fs::exists(options));

    Statistics statistics;
    ASSERT_EQ(backend->getStatistics(handle, statistics), kSuccess);
    EXPECT_EQ(statistics.bytesSent, 4096u);
    EXPECT_EQ(statistics.bytesReceived, 65536u);
    ASSERT_EQ(backend->clearStatistics(handle), kSuccess);
    ASSERT_EQ(backend->getStatistics(handle, statistics), kSuccess);
    EXPECT_EQ(statistics.bytesReceived, 0u);
    std::vector<ActiveConnection> active;
    backend->enumConnections(active);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].entryName, "Brisa AR");

    QSignalSpy finished(backend.get(), &RasApi::hangUpFinished);
    QSignalSpy dropped(backend.get(), &RasApi::disconnected);
    ASSERT_EQ(backend->hangUp(handle), kSuccess);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.takeFirst()[1].toUInt(), kSuccess);
    EXPECT_EQ(dropped.count(), 0);
    ConnectionStatus status;
    EXPECT_EQ(backend->getConnectStatus(handle, status), kInvalidHandle);

    // The clean-up after the connection removes the files with the entry.
    EXPECT_EQ(backend->validateEntryName("Brisa AR"), kAlreadyExists);
    ASSERT_EQ(backend->deleteEntry("Brisa AR"), kSuccess);
    EXPECT_FALSE(fs::exists(options));
    EXPECT_FALSE(fs::exists(chat));
    EXPECT_EQ(backend->validateEntryName("Brisa AR"), kSuccess);
}

TEST_F(PppdBackendTest, PppdThatIgnoresSigtermIsKilledAfterTheGracePeriod)
{
    ConnectionHandle handle = kNoConnection;
    ASSERT_EQ(dialAndWait("ignore-hangup", handle).value(1).toUInt(), kConnected);
    QSignalSpy finished(backend.get(), &RasApi::hangUpFinished);
    QElapsedTimer timer;
    timer.start();
    backend->hangUp(handle);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_GE(timer.elapsed(), 150);
}

TEST_F(PppdBackendTest, CardHangingUpEndsTheConnection)
{
    ConnectionHandle handle = kNoConnection;
    ASSERT_EQ(dialAndWait("drop", handle).value(1).toUInt(), kConnected);
    QSignalSpy dropped(backend.get(), &RasApi::disconnected);
    ASSERT_TRUE(dropped.wait(5000));
    EXPECT_EQ(dropped.takeFirst()[0].toUInt(), handle);
    std::vector<ActiveConnection> active;
    backend->enumConnections(active);
    EXPECT_TRUE(active.empty());
}

TEST_F(PppdBackendTest, FailedDialsAreExplained)
{
    const std::vector<std::pair<const char *, uint32_t>> outcomes{
        {"no-carrier", kNoCarrier},  {"wrong-apn", kFromDevice},       {"busy", kLineBusy},
        {"silent-card", kNoAnswer},  {"auth", kAuthenticationFailure}, {"no-ppp", kNotSupported},
        {"not-root", kAccessDenied},
    };
    for (const auto &[outcome, error] : outcomes) {
        ConnectionHandle handle = kNoConnection;
        const auto event = dialAndWait(outcome, handle);
        ASSERT_EQ(event.size(), 3) << outcome;
        EXPECT_EQ(event[1].toUInt(), kDisconnected) << outcome;
        EXPECT_EQ(event[2].toUInt(), error) << outcome;
        EXPECT_FALSE(backend->errorString(error).empty());
    }
}

TEST_F(PppdBackendTest, DialRefusedBeforePppdStarts)
{
    ConnectionHandle handle = kNoConnection;
    EXPECT_EQ(backend->dial({"Unknown", "*99#", "", ""}, handle), kEntryNotFound);
    EXPECT_EQ(backend->dial({"Brisa AR", "*99#;ATH", "", ""}, handle), kInvalidParameter);
    EXPECT_FALSE(fs::exists(folder / "argv"));
    EXPECT_TRUE(fs::is_empty(folder / "runtime"));

    fs::permissions(folder / "runtime", fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(backend->dial({"Brisa AR", "*99#", "", ""}, handle), kNoRuntimeFolder);
}

TEST_F(PppdBackendTest, CountersKeepAllSixtyFourBits)
{
    ConnectionHandle handle = kNoConnection;
    ASSERT_EQ(dialAndWait("connect", handle).value(1).toUInt(), kConnected);
    const fs::path net = folder / "sysfs" / "class" / "net" / "ppp7" / "statistics";
    std::ofstream(net / "tx_bytes") << "6000000000\n";
    std::ofstream(net / "rx_bytes") << "4294967301\n";
    Statistics statistics;
    ASSERT_EQ(backend->getStatistics(handle, statistics), kSuccess);
    EXPECT_EQ(statistics.bytesSent, 6000000000u);
    EXPECT_EQ(statistics.bytesReceived, 4294967301u);
}

TEST_F(PppdBackendTest, MissingRuntimeFolderIsNamed)
{
    settings.runtimeFolder.clear();
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    PppdBackend own(settings);
    PhonebookEntry entry;
    entry.name = "Brisa AR";
    entry.number = "*99#";
    ASSERT_EQ(own.setEntryProperties(entry), kSuccess);
    ConnectionHandle handle = kNoConnection;
    const uint32_t error = own.dial({"Brisa AR", "*99#", "", ""}, handle);
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_NE(error, kSuccess);
    EXPECT_NE(own.errorString(error).find("XDG_RUNTIME_DIR"), std::string::npos)
        << own.errorString(error);
}

TEST_F(PppdBackendTest, LeavingWhileConnectedEndsTheLinkWithSigterm)
{
    ConnectionHandle handle = kNoConnection;
    ASSERT_EQ(dialAndWait("connect", handle).value(1).toUInt(), kConnected);
    backend.reset();
    EXPECT_TRUE(fs::exists(folder / "argv.term"));
}

TEST_F(PppdBackendTest, FilesOfAnEarlierRunAreRemovedAtStart)
{
    const fs::path left = folder / "runtime" / "lumadial-ppp-999999-1.options";
    std::ofstream(left) << "password \"old\"\n";
    std::ofstream(folder / "runtime" / "unrelated") << "kept\n";
    PppdBackend own(settings);
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(folder / "runtime" / "unrelated"));
}

TEST_F(PppdBackendTest, PppdEndsWhenTheProgramIsKilled)
{
    // A program of its own dials with the stand-in, then is killed once connected.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("STANDIN_PPPD_OUTCOME", "connect");
    program.setProcessEnvironment(environment);
    program.start(RAS_ORPHAN_PROGRAM,
                  {QString::fromStdString(settings.dataPort),
                   QString::fromStdString(settings.runtimeFolder),
                   QString::fromStdString(settings.lookup.sysfsRoot)});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    const pid_t pppd = std::stoi(readFile(folder / "argv.pid"));
    EXPECT_TRUE(waitFor([pppd] { return ended(pppd); }));
    if (!ended(pppd))
        ::kill(pppd, SIGKILL);
}

}  // namespace
