// The Internet page idle, dialling and connected with traffic, a refused dial explained in plain
// words, and the connection log with entries. The card is the virtual data card, dialled on its
// data port: the traffic shown is what really went over it.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_DataConnectForm.h"
#include "UI_DataLogForm.h"
#include "UI_SetNetPopEditForm.h"
#include "UI_SetNetPopForm.h"
#include "UI_SetNetSub.h"

#include "FakeLumacore.h"
#include "lumacore/fake/FakeUsage.h"
#include "app/boxes/UI_MessageBox.h"
#include "config/BL_File.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ras/VirtualBackend.h"
#include "virtualmodem/VirtualModem.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <cstring>
#include <map>

namespace screens {

namespace {

// The engine's connection log, kept in memory by the fake engine.
void scriptLogStore(std::map<uint32_t, CallEntry> &entries)
{
    using namespace lumacore_fake;
    reset();
    onCall(&_MEC_SaveCallEntry, [&entries](CallEntry *entry) -> MEC_STATUS {
        entry->index = entries.empty() ? 1 : entries.rbegin()->first + 1;
        entries[entry->index] = *entry;
        return 0;
    });
    auto next = [&entries](uint32_t after, CallEntry *entry) -> MEC_STATUS {
        auto found = entries.upper_bound(after);
        if (found == entries.end())
            return 13;
        *entry = found->second;
        return 0;
    };
    onCall(&_MEC_GetFirstCallEntry, [next](uint8_t, CallEntry *entry) { return next(0, entry); });
    onCall(&_MEC_GetNextCallEntry, [next](CallEntry *entry) { return next(entry->index, entry); });
}

// The Internet page on a virtual card, with the delivered default profile.
class InternetPage {
public:
    InternetPage()
    {
        virtualmodem::CardOptions options;
        options.pinRequired = false;
        m_card = std::make_unique<virtualmodem::VirtualModem>(options);
        m_card->start(m_folder.filePath(QStringLiteral("card")).toStdString());
        m_files = std::make_unique<TBL_File>(m_folder.path());
        ProfileRecord &profile = m_files->defaultProfile();
        platform::copyToField(profile.name, sizeof profile.name, "Brisa AR");
        platform::copyToField(profile.dialNumber, sizeof profile.dialNumber, "*99#");
        platform::copyToField(profile.userName, sizeof profile.userName, "brisa");
        platform::copyToField(profile.apnAutomatic, 4, "1");
        platform::copyToField(profile.dnsAutomatic, 4, "1");
        platform::copyToField(profile.pdpAddressAutomatic, 4, "1");
        platform::copyToField(profile.authentication, 5, "PAP");
        page = std::make_unique<TData_connectform>(
            m_host, std::make_unique<ras::VirtualBackend>(m_card->dataPortPath()), *m_files);
        page->resize(520, 330);
        page->cardStateChanged(kSimReady);
        page->connection().WaitTimerTimer();
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            shownMessage = text;
            return 1;
        });
    }
    ~InternetPage()
    {
        page.reset();
        platform::setMessageBoxHandler({});
    }
    InternetPage(const InternetPage &) = delete;
    InternetPage &operator=(const InternetPage &) = delete;

    // Clicks Connect and lets the dial run until the state is reached or the time is over.
    void connect(int state, int milliseconds)
    {
        page->ImButtonConnectClick();
        for (int waited = 0; waited < milliseconds && page->ConnectionState() != state;
             waited += 50)
            runEventsFor(50);
    }

    std::unique_ptr<virtualmodem::VirtualModem> m_card;
    std::unique_ptr<TData_connectform> page;
    QString shownMessage;

private:
    QTemporaryDir m_folder;
    SceneHost m_host;
    std::unique_ptr<TBL_File> m_files;
};

QImage internetIdle()
{
    InternetPage internet;
    return grabShown(*internet.page);
}

QImage internetDialling()
{
    InternetPage internet;
    internet.m_card->control("data slow 10000");
    internet.connect(1, 0);
    runEventsFor(1300);  // a few frames of the animation
    return grabShown(*internet.page);
}

QImage internetConnected()
{
    std::map<uint32_t, CallEntry> entries;
    scriptLogStore(entries);
    InternetPage internet;
    internet.connect(3, 5000);
    runEventsFor(7200);  // more than five samples: the rates are five-second averages
    return grabShown(*internet.page);
}

// The rates' graph over a connection the network dropped and the user dialled again: the line
// breaks where the link was down.
QImage internetGraph()
{
    std::map<uint32_t, CallEntry> entries;
    scriptLogStore(entries);
    InternetPage internet;
    internet.connect(3, 5000);
    runEventsFor(30000);
    internet.m_card->control("data drop");
    runEventsFor(6000);
    internet.connect(3, 5000);
    runEventsFor(40000);
    return grabShown(*internet.page);
}

// A budget of 0.5 MB at home, warned at half: a connection to the virtual card passes the
// share within seconds. `shot` says what to draw: the box that warned, or the page behind it.
enum class BudgetShot { Box, Page };

QImage budgetWarning(BudgetShot shot)
{
    std::map<uint32_t, CallEntry> entries;
    scriptLogStore(entries);
    FakeUsage usage;
    InternetPage internet;
    BudgetSettings budget;
    budget.home = *BudgetLimit::fromUnit(0.5, BudgetUnit::Megabytes);
    budget.warningPercent = 50;
    budget.disconnectAtLimit = true;
    internet.page->budget().setSettings(budget);
    internet.connect(3, 5000);
    for (int waited = 0; waited < 60000 && internet.shownMessage.isEmpty(); waited += 100)
        runEventsFor(100);
    QImage image;
    if (shot == BudgetShot::Page) {
        image = grabShown(*internet.page);
    } else {
        boxes::TMessageBoxForm box(nullptr, 2, boxes::kButtonSingle);
        box.setMessageText(internet.shownMessage);
        image = grabShown(box);
    }
    lumacore_fake::reset();
    return image;
}

QImage refusedDial()
{
    InternetPage internet;
    internet.m_card->control("data refuse on");
    internet.connect(-1, 1500);
    boxes::TMessageBoxForm box(nullptr, 2, boxes::kButtonSingle);
    box.setMessageText(internet.shownMessage);
    return grabShown(box);
}

// A SIM of T-Mobile Germany coming ready: the provider database's profile offered.
QImage providerOffer()
{
    InternetPage internet;
    lumacore_fake::onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
        std::strcpy(imsi, "262011234567890");
        return 0;
    });
    internet.page->cardStateChanged(kSimReady);
    runEventsFor(50);  // the offer follows the notice
    lumacore_fake::reset();
    boxes::TMessageBoxForm box(nullptr, 3, boxes::kButtonDouble);
    box.setMessageText(internet.shownMessage);
    return grabShown(box);
}

QImage connectionLog()
{
    std::map<uint32_t, CallEntry> entries;
    scriptLogStore(entries);
    ConnectionLog log;
    const QDateTime now = QDateTime::currentDateTime();
    log.AddEntry({now.addDays(-1), 3725, "brisa", 1'500'000, 24'000'000});
    log.AddEntry({now.addSecs(-3600), 65, "brisa", 20'480, 650'000});
    log.AddEntry({now.addDays(-9).addSecs(-5000), 840, "guest", 300'000, 9'700'000});
    SceneHost host;
    TDataLogForm window(host);
    window.resize(640, 320);
    window.Open();
    const QImage shot = grabShown(window);
    lumacore_fake::reset();
    return shot;
}

// A profile as the dialogs would make it.
ProfileRecord profile(const char *name, const char *apn, const char *dns)
{
    ProfileForm form;
    form.name = QString::fromLatin1(name);
    form.dialNumber = QStringLiteral("*99#");
    form.apnAutomatic = apn == nullptr;
    form.apn = QString::fromLatin1(apn ? apn : "");
    form.dnsAutomatic = dns == nullptr;
    form.primaryDns = QString::fromLatin1(dns ? dns : "0.0.0.0");
    form.saveCredentials = true;
    form.userName = QStringLiteral("brisa");
    form.password = QStringLiteral("brisa");
    return BuildProfileRecord(form, ProfileDialogKind::Add);
}

// The program's files in a folder of their own: the three delivered profiles and one of the
// user's, "Brisa AR" the default.
class ProfileFiles {
public:
    ProfileFiles()
    {
        FileStore().setFolder(m_folder.path());
        for (const ProfileRecord &each : {profile("Brisa AR", "internet.brisa.ar", nullptr),
                                          profile("Brisa PY", "internet.brisa.py", nullptr),
                                          profile("Brisa UY", "internet.brisa.uy", nullptr),
                                          profile("Office", "corporate.example", "10.10.0.53")})
            FileStore().AppendProfile(each);
        FileStore().SetDefaultProfile("Brisa AR");
    }
    ~ProfileFiles() { FileStore().setFolder(QDir::currentPath()); }
    ProfileFiles(const ProfileFiles &) = delete;
    ProfileFiles &operator=(const ProfileFiles &) = delete;

private:
    QTemporaryDir m_folder;
};

QImage profileList()
{
    ProfileFiles files;
    SceneHost host;
    TSet_netsub page(host);
    page.resize(460, 300);
    page.FormShow();
    page.ListBoxFileName->setCurrentRow(3);
    page.ListBoxFileNameClick();
    return grabShown(page);
}

QImage addDialog()
{
    ProfileFiles files;
    SceneHost host;
    TSet_netpopform dialog(host);
    dialog.FormShow();
    dialog.Edit_filename->setText(QStringLiteral("Travel"));
    dialog.Edit_login_no->setText(QStringLiteral("*99#"));
    dialog.Radio_manul_APN->setChecked(true);
    dialog.Radio_APNClick();
    dialog.Edit_manual_APN->setText(QStringLiteral("roaming.example"));
    return grabShown(dialog);
}

QImage editDialog()
{
    ProfileFiles files;
    SceneHost host;
    TSet_netpopeditform dialog(host);
    dialog.LoadRecord(profile("Office", "corporate.example", "10.10.0.53"), false);
    return grabShown(dialog);
}

QImage credentialPrompt()
{
    InternetPage internet;
    QImage shot;
    platform::ScopedDialogResponder responder([&shot](QDialog &dialog) -> std::optional<int> {
        shot = grabShown(dialog);
        return QDialog::Rejected;
    });
    CredentialAnswer answer;
    internet.page->askCredentials(profile("Brisa AR", nullptr, nullptr), answer);
    return shot;
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("profile-list"),
                    QStringLiteral("connection profiles, a profile of the user's selected"),
                    profileList}),
    SceneRegistrar({QStringLiteral("profile-add"),
                    QStringLiteral("adding a profile with a manual APN"), addDialog}),
    SceneRegistrar({QStringLiteral("profile-edit"),
                    QStringLiteral("editing a profile with manual APN and DNS"), editDialog}),
    SceneRegistrar({QStringLiteral("credential-prompt"),
                    QStringLiteral("user name and password asked before dialling"),
                    credentialPrompt}),
    SceneRegistrar({QStringLiteral("internet-idle"),
                    QStringLiteral("Internet page, virtual card ready, not connected"),
                    internetIdle}),
    SceneRegistrar({QStringLiteral("internet-dialling"),
                    QStringLiteral("Internet page while the virtual card answers the dial"),
                    internetDialling}),
    SceneRegistrar(
        {QStringLiteral("internet-connected"),
         QStringLiteral("Internet page connected, traffic and rates over the virtual card"),
         internetConnected}),
    SceneRegistrar({QStringLiteral("internet-graph"),
                    QStringLiteral("Internet page: the rates' graph across a dropped connection"),
                    internetGraph}),
    SceneRegistrar({QStringLiteral("budget-warning"),
                    QStringLiteral("the box that warns at half of a 0.5 MB budget"),
                    [] { return budgetWarning(BudgetShot::Box); }}),
    SceneRegistrar({QStringLiteral("internet-budget"),
                    QStringLiteral("Internet page: this period's use past the warning share"),
                    [] { return budgetWarning(BudgetShot::Page); }}),
    SceneRegistrar({QStringLiteral("internet-refused"),
                    QStringLiteral("a dial the card refused, explained in words"), refusedDial}),
    SceneRegistrar({QStringLiteral("provider-offer"),
                    QStringLiteral("a foreign SIM's profile offered from the provider database"),
                    providerOffer}),
    SceneRegistrar({QStringLiteral("connection-log"),
                    QStringLiteral("connection log with three entries and their totals"),
                    connectionLog}),
};

}  // namespace

}  // namespace screens
