#include "UI_DataConnectForm.h"

#include "ConnectionMessages.h"
#include "FeaturePage.h"
#include "ProviderProfile.h"
#include "WindowControls.h"

#include "config/BL_File.h"
#include "logic/EngineValues.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"
#include "platform/ras/VirtualBackend.h"
#include "language/TextNumbers.h"

#include <lumacore.h>

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kAnimationFrames = 5;
constexpr int kMessageProfileFile = 3050;
constexpr int kTextGraphReceived = 6303;
constexpr int kTextGraphSent = 6304;
constexpr int kTextUsageLink = 6318;
constexpr int kTextPeriodUse = 6319;
constexpr int kTextHome = 6313;
constexpr int kTextRoaming = 6314;

const feature::WindowSkin kSkin{"DATACONNECT.DATAINTERFACEBKIMAGE",
                                "DATACONNECT.TITLEIMAGE",
                                {{"DATACONNECT.IMBUTTONCONNECT", "ImButtonConnect"},
                                 {"DATACONNECT.DATASTATELABEL", "DataStateLabel"},
                                 {"DATACONNECT.DataTxRateLabel", "DataTxRateLabel"},
                                 {"DATACONNECT.DataRxRateLabel", "DataRxRateLabel"}}};

QString language(int id) { return GetLanguageString(id); }

// The credential prompt: user name and password (at most 18 characters) and whether to keep them.
class TCheckPasswordForm final : public QDialog {
public:
    TCheckPasswordForm(QWidget *owner, const ProfileRecord &profile) : QDialog(owner)
    {
        setObjectName(QStringLiteral("TCheckPasswordForm"));
        setWindowTitle(language(1003));
        Edit_username = new QLineEdit(this);
        Edit_username->setObjectName(QStringLiteral("Edit_username"));
        Edit_password = new QLineEdit(this);
        Edit_password->setObjectName(QStringLiteral("Edit_password"));
        Edit_password->setEchoMode(QLineEdit::Password);
        for (QLineEdit *edit : {Edit_username, Edit_password})
            edit->setMaxLength(18);
        CheckBox_Save = new QCheckBox(language(6034), this);
        CheckBox_Save->setObjectName(QStringLiteral("CheckBox_Save"));
        if (platform::fieldText(profile.saveCredentials, sizeof profile.saveCredentials) == "1") {
            Edit_username->setText(
                platform::fromAnsi(platform::fieldText(profile.userName, sizeof profile.userName)));
            Edit_password->setText(
                platform::fromAnsi(platform::fieldText(profile.password, sizeof profile.password)));
            CheckBox_Save->setChecked(true);
        }
        auto *buttons = new QDialogButtonBox(this);
        buttons->addButton(language(6), QDialogButtonBox::AcceptRole);
        buttons->addButton(language(7), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto *form = new QFormLayout(this);
        form->addRow(language(3057), Edit_username);
        form->addRow(language(3058), Edit_password);
        form->addRow(CheckBox_Save);
        form->addRow(buttons);
    }
    QLineEdit *Edit_username;
    QLineEdit *Edit_password;
    QCheckBox *CheckBox_Save;
};

// The engine decides which of the card's ports is the data port.
std::string EngineDataPort()
{
    char port[256] = {};
    return _MEC_GetDataPort(port, sizeof port) == 0 ? std::string(port) : std::string();
}

}  // namespace

TData_connectform::TData_connectform(feature::FeatureHost &host)
    : TData_connectform(host, ras::CreateRasBackend(EngineDataPort), FileStore())
{
}

TData_connectform::TData_connectform(feature::FeatureHost &host, std::unique_ptr<ras::RasApi> ras,
                                     TBL_File &files)
    : m_host(host), m_files(files), m_ras(std::move(ras))
{
    setObjectName(QStringLiteral("TData_connectform"));
    setWindowTitle(language(1003));
    DataTitleLabel = NamedLabel(this, "DataTitleLabel");
    DataStateLabel = NamedLabel(this, "DataStateLabel");
    DataHintLabel = NamedLabel(this, "DataHintLabel");
    DataHintLabel->setAlignment(Qt::AlignCenter);
    DataAnimateImage = NamedLabel(this, "DataAnimateImage");
    DataAnimateImage->setAlignment(Qt::AlignCenter);
    DataTransportLabel = NamedLabel(this, "DataTransportLabel");
    DataReceivedLabel = NamedLabel(this, "DataReceivedLabel");
    DataTimeLabel = NamedLabel(this, "DataTimeLabel");
    DataTxRateLabel = NamedLabel(this, "DataTxRateLabel");
    DataRxRateLabel = NamedLabel(this, "DataRxRateLabel");
    ImButtonConnect = new QPushButton(language(6016), this);
    ImButtonConnect->setObjectName(QStringLiteral("ImButtonConnect"));
    ImButtonConnect->setEnabled(false);
    QueryLog = new QLabel(
        QStringLiteral("<a href=\"log\">%1</a>").arg(language(6050).toHtmlEscaped()), this);
    QueryLog->setObjectName(QStringLiteral("QueryLog"));
    QueryUsage = new QLabel(
        QStringLiteral("<a href=\"usage\">%1</a>").arg(language(kTextUsageLink).toHtmlEscaped()),
        this);
    QueryUsage->setObjectName(QStringLiteral("QueryUsage"));
    DataUsageLabel = NamedLabel(this, "DataUsageLabel");
    DataUsageBar = new UsageGaugeBar(this);
    DataTitleLabel->setText(language(6019));
    QFont title = DataTitleLabel->font();
    title.setPixelSize(16);
    title.setBold(true);
    DataTitleLabel->setFont(title);

    DataRateGraph = new RateGraph(this);
    DataRateGraph->setNames(language(kTextGraphReceived), language(kTextGraphSent));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(DataTitleLabel);
    layout->addWidget(DataStateLabel);
    layout->addWidget(DataHintLabel);
    layout->addWidget(DataAnimateImage);
    // The figures on the left, the graph of the last minutes beside them.
    auto *traffic = new QHBoxLayout;
    auto *figures = new QVBoxLayout;
    for (QLabel *statistic :
         {DataTransportLabel, DataReceivedLabel, DataTimeLabel, DataTxRateLabel, DataRxRateLabel})
        figures->addWidget(statistic);
    figures->addStretch(1);
    traffic->addLayout(figures);
    traffic->addWidget(DataRateGraph, 1);
    layout->addLayout(traffic, 1);
    auto *usage = new QHBoxLayout;
    usage->addWidget(DataUsageLabel);
    usage->addWidget(DataUsageBar, 1);
    layout->addLayout(usage);
    layout->addWidget(ImButtonConnect, 0, Qt::AlignHCenter);
    auto *links = new QHBoxLayout;
    links->addStretch(1);
    links->addWidget(QueryUsage);
    links->addSpacing(16);
    links->addWidget(QueryLog);
    layout->addLayout(links);

    connect(ImButtonConnect, &QPushButton::clicked, this, &TData_connectform::ImButtonConnectClick);
    connect(QueryLog, &QLabel::linkActivated, this, &TData_connectform::QueryLogClick);
    connect(QueryUsage, &QLabel::linkActivated, this, &TData_connectform::QueryUsageClick);
    DataAnimate.setInterval(100);
    connect(&DataAnimate, &QTimer::timeout, this, &TData_connectform::DataAnimateTimer);

    m_connection = std::make_unique<DataConnection>(*m_ras, files, *this);
    m_budget = std::make_unique<DataBudget>(*m_connection, *this);
    // The settings first: what a run before told is kept for the period of its billing day.
    m_budget->watch().setSettings(BudgetSettings::load(BudgetSettings::pathIn(files.folder())));
    m_budget->setMemoryPath(files.folder() + QStringLiteral("/budget-period.ini"));
    refreshPeriodUse();
    DataStateLabel->setText(language(6012) + language(6014));
    showIdleHint();
    showStatistics(false);
    // The title strip carries the page's caption.
    DataTitleLabel->hide();
    feature::WearSkin(*this, kSkin);
    // Each line of the graph in the colour of its rate's label.
    DataRateGraph->setColours(DataRxRateLabel->palette().color(QPalette::WindowText),
                              DataTxRateLabel->palette().color(QPalette::WindowText));
}

TData_connectform::~TData_connectform() = default;

void TData_connectform::setConnectionState(int state)
{
    if (state == m_connectionState)
        return;
    m_connectionState = state;
    platform::PostMessage(m_host.messageTarget(), platform::WM_CONNECTION_STATE,
                          static_cast<uint32_t>(state), 0);
}

QString TData_connectform::StatusText() const
{
    return m_connection->trayText(language(1046), language(1047), language(1048), language(6001),
                                  language(6002), language(6003));
}

void TData_connectform::ImButtonConnectClick() { m_connection->ImButtonConnectClick(); }

void TData_connectform::QueryLogClick()
{
    platform::PostMessage(m_host.messageTarget(), WM_OPEN_CONNECTION_LOG, 0, 0);
}

void TData_connectform::QueryUsageClick()
{
    platform::PostMessage(m_host.messageTarget(), WM_OPEN_DATA_USAGE, 0, 0);
}

void TData_connectform::showPeriodUse(const BudgetSettings &budget, const UsageMonth &period,
                                      bool roamingNow)
{
    UsageWords words;
    words.home = language(kTextHome);
    words.roaming = language(kTextRoaming);
    const UsageGauge gauge =
        PeriodGauge(budget, period, roamingNow, words, language(kTextPeriodUse));
    DataUsageLabel->setVisible(gauge.shown);
    DataUsageBar->setVisible(gauge.shown);
    DataUsageLabel->setText(gauge.text);
    DataUsageBar->setGauge(gauge.share, gauge.level);
}

void TData_connectform::refreshPeriodUse()
{
    showPeriodUse(m_budget->watch().settings(), m_budget->currentUse(), roamingNow());
}

void TData_connectform::showIdleHint()
{
    DataHintLabel->setText(language(6010) + QString::fromStdString(m_connection->profileName()) +
                           QStringLiteral("?"));
    DataHintLabel->show();
}

void TData_connectform::showStatistics(bool shown)
{
    for (QLabel *statistic :
         {DataTransportLabel, DataReceivedLabel, DataTimeLabel, DataTxRateLabel, DataRxRateLabel})
        statistic->setVisible(shown);
    DataRateGraph->setVisible(shown);
}

void TData_connectform::DataAnimateTimer()
{
    DataAnimate.setInterval(500);
    const bool countingUp = m_connectionState == kConnectionDialling;
    m_animationFrame = countingUp ? (m_animationFrame + 1) % (kAnimationFrames + 1)
                                  : (m_animationFrame + kAnimationFrames) % (kAnimationFrames + 1);
    // Frames are dots for now: as many as the frame's number.
    DataAnimateImage->setText(QString(m_animationFrame, QChar(0x25CF)));
}

void TData_connectform::showConnectionState(::ConnectionState state)
{
    const QString profile = QString::fromStdString(m_connection->profileName());
    // The graph keeps the minutes before a drop in view; the next connection starts a new line.
    if (state != kConnectionConnected)
        DataRateGraph->history().breakLine();
    switch (state) {
    case kConnectionIdle:
        DataAnimate.stop();
        DataAnimateImage->clear();
        showStatistics(false);
        DataStateLabel->setText(language(6012) + language(6014));
        showIdleHint();
        ImButtonConnect->setText(language(6016));
        break;
    case kConnectionDialling:
        m_animationFrame = 0;
        DataAnimate.setInterval(100);
        DataAnimate.start();
        DataHintLabel->setText(language(6007) + language(22) + profile);
        ImButtonConnect->setText(language(6018));
        break;
    case kConnectionCancelling:
        m_animationFrame = kAnimationFrames;
        DataAnimate.start();
        showStatistics(false);
        DataHintLabel->setText(language(6009));
        break;
    case kConnectionConnected:
        DataAnimate.stop();
        DataAnimateImage->clear();
        DataHintLabel->hide();
        DataStateLabel->setText(language(6012) + language(6013) + language(22) + profile);
        ImButtonConnect->setText(language(6017));
        showStatistics(true);
        break;
    case kConnectionDisconnecting:
        m_animationFrame = kAnimationFrames;
        DataAnimate.start();
        showStatistics(false);
        DataHintLabel->setText(language(6008));
        DataHintLabel->show();
        break;
    }
    setConnectionState(state);
}

void TData_connectform::showTraffic(const TrafficMeter &meter)
{
    const DurationParts time = SplitDuration(meter.connectionSeconds());
    DataTransportLabel->setText(language(6020) + QString::asprintf("%3.2f", meter.sentKilobytes()) +
                                language(6004));
    DataReceivedLabel->setText(
        language(6021) + QString::asprintf("%3.2f", meter.receivedKilobytes()) + language(6004));
    DataTimeLabel->setText(language(6005) + time.hours + language(6001) + time.minutes +
                           language(6002) + time.seconds + language(6003));
    DataTxRateLabel->setText(language(6023) + QString::asprintf("%3.2f", meter.sendRate()) +
                             language(6022));
    DataRxRateLabel->setText(language(6024) + QString::asprintf("%3.2f", meter.receiveRate()) +
                             language(6022));
    DataRateGraph->add(platform::clock().tickCount(), meter.receiveRate(), meter.sendRate());
    refreshPeriodUse();
}

void TData_connectform::setConnectEnabled(bool enabled) { ImButtonConnect->setEnabled(enabled); }

void TData_connectform::setLogLinkEnabled(bool enabled) { QueryLog->setEnabled(enabled); }

void TData_connectform::showMessage(int stringId)
{
    platform::ShowMessageBox(m_host.dialogOwner(), language(stringId), 2);
}

void TData_connectform::showDialError(uint32_t error, const QString &sentence)
{
    DataAnimate.stop();
    DataAnimateImage->clear();
    platform::ShowMessageBox(
        m_host.dialogOwner(),
        sentence.isEmpty() ? language(6015) + QString::number(error) : sentence, 2);
}

namespace {

QString amountText(uint64_t bytes) { return TrafficAmountText(double(bytes) / 1024.0); }

}  // namespace

void TData_connectform::budgetWarning(bool roaming, uint64_t usedBytes, uint64_t limitBytes)
{
    const QString notice = language(roaming ? text::kBudgetWarningRoaming : text::kBudgetWarningHome)
                             .arg(amountText(usedBytes), amountText(limitBytes));
    m_host.notices().budgetNotice(notice);
    platform::ShowMessageBox(m_host.dialogOwner(), notice, 2);
}

void TData_connectform::budgetLimit(bool roaming, uint64_t limitBytes, bool disconnected)
{
    QString notice =
        language(roaming ? text::kBudgetLimitRoaming : text::kBudgetLimitHome).arg(amountText(limitBytes));
    if (disconnected)
        notice += QLatin1Char(' ') + language(text::kBudgetDisconnected);
    m_host.notices().budgetNotice(notice);
    platform::ShowMessageBox(m_host.dialogOwner(), notice, 2);
}

bool TData_connectform::confirmDialOverLimit(bool)
{
    return platform::AskMessageBox(m_host.dialogOwner(), language(text::kBudgetConfirmDial), 3) == 1;
}

bool TData_connectform::askCredentials(const ProfileRecord &profile, CredentialAnswer &answer)
{
    TCheckPasswordForm prompt(m_host.dialogOwner(), profile);
    if (platform::execDialog(prompt) != QDialog::Accepted)
        return false;
    answer.userName = platform::toAnsi(prompt.Edit_username->text());
    answer.password = platform::toAnsi(prompt.Edit_password->text());
    answer.save = prompt.CheckBox_Save->isChecked();
    return true;
}

void TData_connectform::logConnection(const ConnectionLogRecord &record) { m_log.AddEntry(record); }

bool TData_connectform::inService() const { return m_host.inService(); }

void TData_connectform::cardStateChanged(CardState state)
{
    m_cardState = state;
    m_connection->cardStateChanged(state);
    // Asked after the notice: the box's own event loop must not run inside the card monitor's
    // round of notices.
    if (state == kSimReady)
        QTimer::singleShot(0, this, [this] {
            if (m_cardState == kSimReady)
                offerProviderProfile();
        });
}

void TData_connectform::offerProviderProfile()
{
    char imsi[MEC_SIM_OPERATOR_TEXT_SIZE + 1] = {};
    if (_MEC_GetSIMCardOperator(imsi) != 0 || imsi[0] == '\0' || m_offeredImsi == imsi)
        return;
    m_offeredImsi = imsi;
    const ProviderChoice choice = ChooseProviderProfile(m_files, m_offeredImsi);
    if (choice.kind == ProviderChoice::Offer) {
        const ProfileRecord &record = choice.record;
        QString question = language(text::kOfferProviderProfile);
        for (std::string_view value :
             {ProfileName(record), platform::fieldText(record.apn, sizeof record.apn)})
            if (const qsizetype at = question.indexOf(QLatin1String("%s")); at >= 0)
                question.replace(at, 2, platform::fromAnsi(value));
        if (platform::AskMessageBox(m_host.dialogOwner(), question, 3) != 1)
            return;
    } else if (choice.kind != ProviderChoice::Existing) {
        return;
    }
    if (ProfileName(m_files.defaultProfile()) == ProfileName(choice.record))
        return;
    if (!AcceptProviderProfile(m_files, choice.record))
        return showMessage(kMessageProfileFile);
    PushDefaultModemParams(m_files, m_host.cardState());
    if (m_connectionState == kConnectionIdle)
        showIdleHint();
}

void TData_connectform::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == WM_SHOW_INTERNET_PAGE)
        m_host.showInPanel(*this);
}

void TData_connectform::shownInPanel()
{
    // The store may have counted more since the page was last on show (another window reset
    // it, a connection ended): read it again.
    m_budget->refresh();
    refreshPeriodUse();
    if (m_connectionState == kConnectionIdle)
        showIdleHint();
}
