// The library through its three exports, as the program uses it, and the window itself.
// The window is drawn by the helper process; the helper's report (LUMADIAL_WAITPANE_REPORT)
// tells what it showed.
#include "UI_StatusForm.h"
#include "Waitpane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <map>
#include <string>
#include <thread>

namespace {

// What the helper showed, read after it has closed.
struct Report {
    std::map<QString, QString> values;
    QImage window;

    QString operator[](const QString &key) const
    {
        const auto found = values.find(key);
        return found == values.end() ? QString() : found->second;
    }
};

class HelperReport {
public:
    HelperReport() { qputenv("LUMADIAL_WAITPANE_REPORT", path().toLocal8Bit()); }
    ~HelperReport() { qunsetenv("LUMADIAL_WAITPANE_REPORT"); }

    QString path() const { return m_dir.path() + QStringLiteral("/window"); }

    // Waits (blocking this thread, as a caller in an engine call does) until the window is up.
    bool waitShown() const
    {
        return blockUntil([this] { return QFile::exists(path() + QStringLiteral(".shown")); });
    }
    // The same, until the animation has moved on this many frames.
    bool waitFrames(int frames) const
    {
        return blockUntil([this, frames] {
            QFile count(path() + QStringLiteral(".frames"));
            return count.open(QIODevice::ReadOnly) && count.readAll().toInt() >= frames;
        });
    }

    Report read() const
    {
        Report report;
        QFile text(path() + QStringLiteral(".txt"));
        if (text.open(QIODevice::ReadOnly)) {
            for (const QString &line : QString::fromUtf8(text.readAll()).split(u'\n')) {
                const qsizetype equals = line.indexOf(u'=');
                if (equals > 0)
                    report.values[line.left(equals)] = line.mid(equals + 1);
            }
        }
        report.window.load(path() + QStringLiteral(".png"));
        QFile::remove(path() + QStringLiteral(".shown"));
        QFile::remove(path() + QStringLiteral(".txt"));
        QFile::remove(path() + QStringLiteral(".frames"));
        return report;
    }

private:
    template <typename Condition>
    static bool blockUntil(Condition done)
    {
        for (int waited = 0; waited < 10000; waited += 10) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST(Waitpane, AppearsAndAnimatesWhileTheCallingWindowThreadBlocks)
{
    // As the program does it: Show on its window thread, then a blocking engine call there.
    HelperReport helper;
    ASSERT_EQ(ShowStatusWindow(1, "Searching for networks...", 0), 0);
    ASSERT_TRUE(helper.waitShown()) << "the window did not appear while this thread blocked";
    // The engine call blocks this thread while the window goes on animating.
    ASSERT_TRUE(helper.waitFrames(3)) << "the window did not animate while this thread blocked";
    EXPECT_EQ(CloseStatusWindow(), 0);

    const Report report = helper.read();
    EXPECT_EQ(report["caption"], QStringLiteral("Searching for networks..."));
    EXPECT_EQ(report["title"], report["caption"]);
    EXPECT_TRUE(report["animation"].endsWith(QStringLiteral("/resource/avi/search.png")));
    EXPECT_GE(report["frames"].toInt(), 3);
    // The skin is on: the caption strip is blue.
    ASSERT_FALSE(report.window.isNull());
    const QColor strip = report.window.pixelColor(200, 12);
    EXPECT_GT(strip.blue(), strip.red() + 60);
}

TEST(Waitpane, KindOutsideTheRangeKeepsThePreviousOne)
{
    // Each test runs in its own process: the kind starts at 8, which plays nothing.
    HelperReport helper;
    const std::pair<int32_t, QString> steps[] = {
        {0, QString()},
        {2, QStringLiteral("/resource/avi/select.png")},
        {9, QStringLiteral("/resource/avi/select.png")},
        {1, QStringLiteral("/resource/avi/search.png")},
    };
    for (const auto &[kind, animation] : steps) {
        ShowStatusWindow(kind, "kind", 0);
        ASSERT_TRUE(helper.waitShown());
        CloseStatusWindow();
        const QString shown = helper.read()["animation"];
        if (animation.isEmpty())
            EXPECT_TRUE(shown.isEmpty()) << kind;
        else
            EXPECT_TRUE(shown.endsWith(animation)) << kind << " " << shown.toStdString();
    }
}

TEST(Waitpane, CaptionIsCutTo255Bytes)
{
    struct Case {
        std::string text;
        int kept;  // characters shown
    };
    const Case cases[] = {
        {std::string(256, 'a'), 255},
        {std::string(255, 'b'), 255},
        {"Registering...", 14},
        // 254 bytes and a two-byte character: the character does not fit and is not halved.
        {std::string(254, 'c') + "\xC3\xA9", 254},
    };
    HelperReport helper;
    for (const Case &c : cases) {
        ShowStatusWindow(2, c.text.c_str(), 0);
        ASSERT_TRUE(helper.waitShown());
        CloseStatusWindow();
        const Report report = helper.read();
        EXPECT_EQ(report["caption"].size(), c.kept);
        EXPECT_EQ(report["title"], report["caption"]);
        EXPECT_FALSE(report["caption"].contains(QChar::ReplacementCharacter));
    }
}

TEST(Waitpane, CloseWithNoWindowReturnsAtOnce)
{
    EXPECT_EQ(CloseStatusWindow(), 0);
    std::future<int32_t> closer =
        std::async(std::launch::async, [] { return CloseStatusWindow(); });
    ASSERT_EQ(closer.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(closer.get(), 0);
    EXPECT_EQ(GetStatus(0), 0);
}

TEST(Waitpane, CloseEndsTheWindowWhetherOrNotItIsUpYet)
{
    HelperReport helper;
    // Back to back, from a worker: Close may come before the window exists.
    std::future<int32_t> quick = std::async(std::launch::async, [] {
        ShowStatusWindow(1, "quick", 0);
        return CloseStatusWindow();
    });
    ASSERT_EQ(quick.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(quick.get(), 0);

    // Once up, Close returns when the window is gone, soon and not after a tick of its own.
    ShowStatusWindow(1, "up", 0);
    ASSERT_TRUE(helper.waitShown());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(CloseStatusWindow(), 0);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(helper.read().window.isNull());  // the helper wrote its report: it has ended
}

TEST(Waitpane, EscapeCancelsButTheWindowStaysUntilClosed)
{
    HelperReport helper;
    qputenv("LUMADIAL_WAITPANE_PRESS_ESCAPE", "1");
    ShowStatusWindow(1, "Searching for networks...", 0);
    qunsetenv("LUMADIAL_WAITPANE_PRESS_ESCAPE");
    ASSERT_TRUE(helper.waitShown());
    // The cancel reaches the library; the window stays until it is asked to close.
    int32_t status = 0;
    for (int waited = 0; waited < 5000 && status == 0; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        status = GetStatus(0);  // seeing the cancel, it closes the window as Close does
    }
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(helper.read().window.isNull());
    // The flag is never cleared by the library.
    EXPECT_EQ(CloseStatusWindow(), 1);
}

TEST(StatusForm, TheUserCannotCloseItAndEscapeOnlyCancels)
{
    int cancels = 0;
    waitpane::TStatusForm::Hooks hooks;
    hooks.cancel = [&cancels] { ++cancels; };
    waitpane::TStatusForm form(1, QStringLiteral("here"), QDir::currentPath(), std::move(hooks));
    form.show();
    form.close();
    EXPECT_TRUE(form.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(form.isVisible());
    form.closeForGood();
    EXPECT_FALSE(form.isVisible());
}

TEST(StatusForm, CaptionCanBeReadWithoutASkin)
{
    // No skin in the working folder: the caption strip must still set the white caption off.
    QTemporaryDir empty;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(empty.path()));
    waitpane::TStatusForm form(8, QStringLiteral("Registering..."), empty.path(), {});
    QDir::setCurrent(previous);

    const QImage window = form.grab().toImage();
    const QColor text = form.CaptionLabel->palette().color(QPalette::WindowText);
    const QColor strip = window.pixelColor(waitpane::TStatusForm::kWidth - 3, 12);
    // Contrast as the web's accessibility guidelines measure it; 4.5 is their floor for text.
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double lighter = std::max(luminance(text), luminance(strip)) + 0.05;
    const double darker = std::min(luminance(text), luminance(strip)) + 0.05;
    EXPECT_GE(lighter / darker, 4.5)
        << "caption " << text.name().toStdString() << " on " << strip.name().toStdString();
}
