#include "UI_SmsMain.h"

#include "SmsTexts.h"

#include "SmsMessages.h"
#include "FeaturePage.h"

#include "WindowControls.h"
#include "logic/WindowPayloads.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QGridLayout>

#include <algorithm>
#include <iterator>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

// The call states in which the main window holds the windows' timers: a call being dialled.
constexpr int kWarning = 2;

const feature::WindowSkin kSkin{
    "SMS_MAIN.SMSBKIMAGE",
    "SMS_MAIN.HeadImage",
    {{"SMS_MAIN.BTNRECEIVEBOX", "btnReceiveBox"},
      {"SMS_MAIN.BTNSENDBOX", "btnSendBox"},
      {"SMS_MAIN.BTNDRAFTBOX", "btnDraftBox"},
      {"SMS_MAIN.BTNWRITESMS", "btnWriteSms"},}};

}  // namespace

TFrmSmsMain::TFrmSmsMain(feature::FeatureHost &host, std::unique_ptr<SmsStoreAccess> store)
    : m_host(host), m_store(std::move(store)), m_folders(*m_store)
{
    setObjectName(QStringLiteral("TFrmSmsMain"));
    setWindowTitle(GetLanguageString(text::kSmsMainCaption));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 20);
    column->setSpacing(12);
    auto *buttons = new QHBoxLayout;
    folderButtons = sms_screens::MakeFolderButtons(this, buttons, host);
    buttons->addStretch(1);
    column->addLayout(buttons);

    lblRecvBoxStoreInfo = NamedLabel(this, "lblRecvBoxStoreInfo");
    lblSendBoxStoreInfo = NamedLabel(this, "lblSendBoxStoreInfo");
    lblDraftBoxStoreInfo = NamedLabel(this, "lblDraftBoxStoreInfo");
    lblSimMaxMount = NamedLabel(this, "lblSimMaxMount");
    lblPcMaxMount = NamedLabel(this, "lblPcMaxMount");
    for (QLabel *label : {lblRecvBoxStoreInfo, lblSendBoxStoreInfo, lblDraftBoxStoreInfo,
                          lblSimMaxMount, lblPcMaxMount})
        column->addWidget(label);
    column->addStretch(1);

    const std::pair<QTimer *, void (TFrmSmsMain::*)()> timers[] = {
        {&tmrSmsInitSet, &TFrmSmsMain::tmrSmsInitSetTimer},
        {&tmrLoadMeMsg, &TFrmSmsMain::tmrLoadMeMsgTimer},
        {&tmrLoadSimMsg, &TFrmSmsMain::tmrLoadSimMsgTimer}};
    for (const auto &[timer, handler] : timers)
        connect(timer, &QTimer::timeout, this, handler);
    tmrSmsInitSet.setObjectName(QStringLiteral("tmrSmsInitSet"));
    tmrSmsInitSet.setInterval(1000);
    tmrLoadMeMsg.setObjectName(QStringLiteral("tmrLoadMeMsg"));
    tmrLoadMeMsg.setInterval(2000);
    tmrLoadSimMsg.setObjectName(QStringLiteral("tmrLoadSimMsg"));
    tmrLoadSimMsg.setInterval(2000);
    RefreshCounts();
    feature::WearSkin(*this, kSkin);
}

TFrmSmsMain::~TFrmSmsMain() = default;

void TFrmSmsMain::SetDeviceState(uint8_t state)
{
    m_folders.SetDeviceState(state);
    syncTimers();
    RefreshCounts();
}

void TFrmSmsMain::tick(SmsFolders::Load load)
{
    if (m_folders.Tick(load))
        RefreshCounts();
    syncTimers();
}

void TFrmSmsMain::callStateChanged(CallState state)
{
    m_callDialling = isCallDialling(state);
    if (!m_callDialling)
        syncTimers();
}

void TFrmSmsMain::syncTimers()
{
    const std::pair<QTimer *, SmsFolders::Load> timers[] = {
        {&tmrSmsInitSet, SmsFolders::InitSettings},
        {&tmrLoadMeMsg, SmsFolders::LoadCard},
        {&tmrLoadSimMsg, SmsFolders::LoadSim}};
    for (const auto &[timer, load] : timers) {
        if (!m_folders.timerWanted(load))
            timer->stop();
        else if (!timer->isActive() && !m_callDialling)
            timer->start();
    }
}

void TFrmSmsMain::RefreshCounts()
{
    const SmsFolders::Counts counts = m_folders.CountTexts();
    lblRecvBoxStoreInfo->setText(counts.folders[0]);
    lblSendBoxStoreInfo->setText(counts.folders[1]);
    lblDraftBoxStoreInfo->setText(counts.folders[2]);
    lblSimMaxMount->setText(counts.simCapacity);
    lblPcMaxMount->setText(counts.pcCapacity);
}

void TFrmSmsMain::CheckFull()
{
    RefreshCounts();
    if (const int notice = m_folders.FullNotice(); notice != 0)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(notice), kWarning);
}

void TFrmSmsMain::ShowReport(const SmsReportPayload &report)
{
    // Boxes the user closed are let go; the open ones stay, one per report.
    std::erase_if(m_reports, [](const auto &box) { return !box->isVisible(); });
    auto box = std::make_unique<boxes::TMessageBoxForm>(m_host.dialogOwner(), 1, boxes::kNoneModal);
    box->setMessageText(SmsReportText(report));
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->show();
    box->raise();
    m_reports.push_back(std::move(box));
}

std::vector<boxes::TMessageBoxForm *> TFrmSmsMain::reportBoxes() const
{
    std::vector<boxes::TMessageBoxForm *> open;
    for (const auto &box : m_reports)
        if (box->isVisible())
            open.push_back(box.get());
    return open;
}

void TFrmSmsMain::messageArrived(platform::WindowMessageEvent &message)
{
    switch (message.message()) {
    case platform::WM_SMS_NEW: {
        SmsItem item;
        if (payloadOf<platform::WM_SMS_NEW>(message, &item)) {
            // The list reads itself again when it shows this folder; the counts change anyway.
            platform::PostMessage(m_host.messageTarget(), WM_SMS_LIST_CHANGED, item.folder,
                                  item.storage);
        }
        RefreshCounts();
        break;
    }
    case platform::WM_SMS_REPORT: {
        SmsReportPayload report;
        if (payloadOf<platform::WM_SMS_REPORT>(message, &report))
            ShowReport(report);
        break;
    }
    case platform::WM_SMS_COUNTS: RefreshCounts(); break;
    case WM_SHOW_SMS_MAIN: m_host.showInPanel(*this); break;
    default: break;
    }
}
