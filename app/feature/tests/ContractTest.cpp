// What the contract gives a window: its peers by class and by role, the window a navigation
// button or a settings entry shows, the page shown before, and every claim made once only.
#include "FeatureRoles.h"
#include "PageHistory.h"
#include "WindowTable.h"

#include "RecordingHost.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using feature::NavigationButton;
using feature::SettingsEntry;
using feature::WindowOptions;

namespace {

class Picker : public QWidget, public feature::FeatureWindow, public feature::ContactPicker {
public:
    explicit Picker(feature::FeatureHost &) {}
    std::optional<QString> pickRecipients() override { return QStringLiteral("+4917612345"); }
};

class Writer : public QWidget, public feature::FeatureWindow, public feature::SmsWriter {
public:
    explicit Writer(feature::FeatureHost &) {}
    void writeSmsTo(const QString &numbers) override { written = numbers; }
    QString written;
};

// A page of no role.
template <int N>
class Page : public QWidget, public feature::FeatureWindow {
public:
    explicit Page(feature::FeatureHost &) {}
};

int g_made = 0;
template <int N>
feature::Registration counted(WindowOptions options)
{
    return {[](feature::FeatureHost &host) -> std::unique_ptr<QWidget> {
                ++g_made;
                return std::make_unique<Page<N>>(host);
            },
            std::move(options)};
}

}  // namespace

TEST(Contract, TheHostHandsOutTheOneWindowOfAClassOrARole)
{
    RecordingHost host;
    // The picker plays its role; a second window of the same interface that does not say so is
    // not handed out for it.
    host.peers.create({feature::window<Page<1>>(),
                       feature::window<Picker>(feature::plays<feature::ContactPicker>()),
                       feature::window<Writer>(feature::plays<feature::SmsWriter>()),
                       feature::window<Picker>()},
                      host);
    const std::vector<QWidget *> made = host.peers.widgets();
    ASSERT_EQ(made.size(), 4u);
    struct Case {
        const char *asked;
        QWidget *found;
        QWidget *expected;
    };
    const Case cases[] = {
        {"page by class", host.window<Page<1>>(), made[0]},
        {"picker by class: the first made", host.window<Picker>(), made[1]},
        {"picker by role", dynamic_cast<QWidget *>(host.role<feature::ContactPicker>()), made[1]},
        {"writer by role", dynamic_cast<QWidget *>(host.role<feature::SmsWriter>()), made[2]},
        {"a class not registered", host.window<Page<2>>(), nullptr},
        {"a role nobody plays", dynamic_cast<QWidget *>(host.role<feature::ContactMaker>()),
         nullptr},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.found, c.expected) << c.asked;
    host.role<feature::SmsWriter>()->writeSmsTo(QStringLiteral("+4917612345"));
    EXPECT_EQ(static_cast<Writer *>(made[2])->written, QStringLiteral("+4917612345"));
}

TEST(Contract, EachNavigationButtonAndSettingsEntryShowsTheWindowRegisteredForIt)
{
    RecordingHost host;
    feature::WindowTable table;
    table.create({feature::window<Page<1>>(feature::WindowOptions().isSettingsColumn()),
                  feature::window<Page<2>>(feature::shownBy(NavigationButton::Messages)),
                  feature::window<Page<3>>(
                      feature::shownBy(NavigationButton::Settings).shownBy(SettingsEntry::Profiles)),
                  feature::window<Page<4>>(feature::shownBy(SettingsEntry::Sms)),
                  feature::window<Page<5>>()},
                 host);
    const std::vector<QWidget *> made = table.widgets();
    struct Case {
        NavigationButton button;
        SettingsEntry entry;
        QWidget *expected;
        bool besideSettingsColumn;
    };
    const Case cases[] = {
        {NavigationButton::Messages, SettingsEntry::None, made[1], false},
        {NavigationButton::Settings, SettingsEntry::None, made[2], true},
        {NavigationButton::None, SettingsEntry::Profiles, made[2], true},
        {NavigationButton::None, SettingsEntry::Sms, made[3], true},
        {NavigationButton::Calls, SettingsEntry::None, nullptr, false},
        {NavigationButton::None, SettingsEntry::None, nullptr, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.button) * 10 + int(c.entry));
        QWidget *shown =
            c.entry != SettingsEntry::None ? table.shownBy(c.entry) : table.shownBy(c.button);
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(table.besideSettingsColumn(shown), c.besideSettingsColumn);
    }
    EXPECT_EQ(table.settingsColumn(), made[0]);
    EXPECT_FALSE(table.besideSettingsColumn(made[0]));
    EXPECT_FALSE(table.besideSettingsColumn(made[4]));
}

TEST(Contract, ThePreviousPageIsTheLatestOneShownBeforeThatStillExists)
{
    QWidget contacts, sms, composer, editor;
    struct Case {
        const char *what;
        std::vector<QWidget *> shown;  // in order
        std::vector<QWidget *> backs;  // what going back gives, each time
    };
    const Case cases[] = {
        {"the composer goes back to the contacts", {&contacts, &composer}, {&contacts, nullptr}},
        {"showing the page on show again is no step", {&sms, &composer, &composer}, {&sms}},
        {"going back twice goes back twice",
         {&contacts, &sms, &composer},
         {&sms, &contacts, nullptr}},
        {"back and forth", {&contacts, &composer, &contacts, &composer}, {&contacts, &composer}},
        {"nothing shown before", {&editor}, {nullptr}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        feature::PageHistory history;
        for (QWidget *page : c.shown)
            history.shown(page);
        for (QWidget *expected : c.backs)
            EXPECT_EQ(history.back(), expected);
    }
    // A page that went away is passed over; the welcome page forgets them all.
    feature::PageHistory history;
    auto gone = std::make_unique<QWidget>();
    history.shown(&contacts);
    history.shown(gone.get());
    history.shown(&composer);
    gone.reset();
    EXPECT_EQ(history.back(), &contacts);
    history.shown(&sms);
    history.clear();
    history.shown(&composer);
    EXPECT_EQ(history.back(), nullptr);
}

TEST(Contract, AnythingClaimedTwiceIsRefusedBeforeAnyWindowIsMade)
{
    struct Case {
        const char *what;
        WindowOptions first, second;
    };
    const Case cases[] = {
        {"a message number", feature::takes(4001, 4005), feature::takes(4005)},
        {"a role", feature::plays<feature::ContactPicker>(),
         feature::plays<feature::ContactPicker>()},
        {"a navigation button", feature::shownBy(NavigationButton::Calls),
         feature::shownBy(NavigationButton::Calls)},
        {"a settings entry", feature::shownBy(SettingsEntry::Sms),
         feature::shownBy(SettingsEntry::Sms)},
        {"the settings column", WindowOptions().isSettingsColumn(),
         WindowOptions().isSettingsColumn()},
    };
    RecordingHost host;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        g_made = 0;
        feature::WindowTable table;
        EXPECT_THROW(table.create({counted<1>(c.first), counted<2>(c.second)}, host),
                     std::logic_error);
        EXPECT_EQ(g_made, 0);
        // Nor may a window added later take what a made one holds.
        table.create({counted<1>(c.first)}, host);
        Page<3> late(host);
        EXPECT_THROW(table.addWidget(late, c.second), std::logic_error);
        EXPECT_EQ(table.widgets().size(), 1u);
    }
    // Different claims live side by side.
    feature::WindowTable table;
    EXPECT_NO_THROW(table.create({counted<1>(feature::takes(4001).shownBy(NavigationButton::Calls)),
                                  counted<2>(feature::takes(4002).shownBy(SettingsEntry::Sms))},
                                 host));
}
