// The call window with a number typed, dialling, in a call beside a held one, in a conference,
// its choice dialog, and the call records, over the fake engine's voice network and call store.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_CallHangupMsg.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "FeatureRoles.h"
#include "lumacore/fake/FakeVoice.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QDateTime>

#include <memory>

namespace screens {

namespace {

constexpr int kPageW = 624, kPageH = 340;

// The names a few numbers have in the contacts.
class Names : public QWidget, public feature::ContactNames {
public:
    QString nameOfNumber(const QString &number) override
    {
        if (number == "+4930123456")
            return QStringLiteral("Anna Berger");
        if (number == "+441632960111")
            return QStringLiteral("Dr. Lisa Wong");
        return {};
    }
};

class Voice {
public:
    Voice()
    {
        lumacore_fake::reset();
        m_voice = std::make_unique<FakeVoice>();
        m_records = std::make_unique<FakeCallRecords>();
        m_voice->list({{1, 0, "+4930123456"}, {2, 0, "+441632960111"}, {3, 0, "0800555"}});
        host.peers.addWidget(m_names, feature::WindowOptions{}.plays<feature::ContactNames>());
        platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
    }
    ~Voice()
    {
        platform::setMessageBoxHandler({});
        m_records.reset();
        m_voice.reset();
        lumacore_fake::reset();
    }
    Voice(const Voice &) = delete;
    Voice &operator=(const Voice &) = delete;

    FakeCallRecords &records() { return *m_records; }

    SceneHost host;

private:
    Names m_names;
    std::unique_ptr<FakeVoice> m_voice;
    std::unique_ptr<FakeCallRecords> m_records;
};

// A call window at SIM ready, the calls brought about by what `play` does.
QImage callWindow(const std::function<void(TCall_managerform &)> &play)
{
    Voice voice;
    TCall_managerform form(voice.host);
    form.resize(kPageW, kPageH);
    form.cardStateChanged(kSimReady);
    play(form);
    return grabShown(form);
}

void connect(TCall_managerform &form, const QString &number)
{
    form.manager().setTyped(number);
    form.ImButtonDialClick();
    platform::WindowMessageEvent connected(MEC_MSG_CALL_DIAL_RESULT, 1, 0);
    form.messageArrived(connected);
}

void runFor(TCall_managerform &form, int seconds)
{
    form.manager().timerTick(QDateTime::currentMSecsSinceEpoch() + seconds * 1000);
    form.Refresh();
}

QImage keypad()
{
    return callWindow([](TCall_managerform &form) {
        for (QChar key : QStringLiteral("+4930123456"))
            form.KeyPressed(key);
    });
}

QImage dialling()
{
    return callWindow([](TCall_managerform &form) {
        form.manager().setTyped(QStringLiteral("+4930123456"));
        form.ImButtonDialClick();
    });
}

QImage inCall()
{
    return callWindow([](TCall_managerform &form) {
        connect(form, QStringLiteral("+441632960111"));
        form.manager().sendChld(2);
        connect(form, QStringLiteral("+4930123456"));
        runFor(form, 83);
    });
}

QImage conference()
{
    return callWindow([](TCall_managerform &form) {
        connect(form, QStringLiteral("+441632960111"));
        form.manager().sendChld(2);
        connect(form, QStringLiteral("0800555"));
        form.manager().sendChld(3);
        runFor(form, 312);
    });
}

QImage choice()
{
    Voice voice;
    TCallHangupMsgDfm dialog(voice.host);
    dialog.SetChoices({platform::GetLanguageString(5031), platform::GetLanguageString(5032),
                       platform::GetLanguageString(5034), platform::GetLanguageString(5030)});
    return grabShown(dialog);
}

QImage records()
{
    Voice voice;
    voice.records().put("+4930123456", 3, 3725, {2026, 12, 9, 18, 4, 51});
    voice.records().put("0800555", 3, 42, {2026, 12, 10, 9, 12, 5});
    voice.records().put("+441632960111", 3, 0, {2026, 12, 10, 11, 30, 17});
    voice.records().put("+3906123456", 3, 611, {2026, 12, 10, 12, 1, 44});
    TCrForm page(voice.host);
    page.resize(kPageW, kPageH);
    page.ShowList(3);
    page.CRListView->topLevelItem(1)->setSelected(true);
    return grabShown(page);
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("call-keypad"), QStringLiteral("the keypad with a number typed"),
                    keypad}),
    SceneRegistrar({QStringLiteral("call-dialling"),
                    QStringLiteral("dialling a number that is in the contacts"), dialling}),
    SceneRegistrar({QStringLiteral("call-active"),
                    QStringLiteral("in a call for 1:23, a second call on hold"), inCall}),
    SceneRegistrar({QStringLiteral("call-conference"),
                    QStringLiteral("two parties joined in a conference"), conference}),
    SceneRegistrar({QStringLiteral("call-choice"),
                    QStringLiteral("the choices with a call waiting beside two others"), choice}),
    SceneRegistrar({QStringLiteral("call-records"),
                    QStringLiteral("the dialled calls, one selected"), records}),
};

}  // namespace

}  // namespace screens
