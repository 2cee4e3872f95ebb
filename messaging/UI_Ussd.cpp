#include "UI_Ussd.h"

#include "FeaturePage.h"
#include "WindowControls.h"
#include "language/TextNumbers.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/EngineValues.h"
#include "logic/WindowPayloads.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kTimerMs = 400;
constexpr int kMostTyped = 133;
constexpr int kMostSent = 352;

// The title strip is the entry window's, whose panel the screen fills.
const feature::WindowSkin kSkin{"USSD.BKIMAGE",
                                nullptr,
                                {{"USSD.BTSEND", "btnSend"},
                                 {"USSD.BTCANCEL", "btnCancel"},
                                 {"USSD.BTBALANCE", "btnBalance"},
                                 {"USSD.BTKEEPBALANCE", "btnKeepBalance"}}};

}  // namespace

Tussdfrm::Tussdfrm(feature::FeatureHost &host, QString balanceDatabase, QString keptCodesPath)
    : m_host(host), m_balanceDatabase(std::move(balanceDatabase)), m_kept(std::move(keptCodesPath))
{
    setObjectName(QStringLiteral("Tussdfrm"));
    setWindowTitle(QStringLiteral("USSD"));

    specilfun = NamedLabel(this, "specilfun", QStringLiteral("USSD"));
    lblUssdStr = NamedLabel(this, "lblUssdStr", GetLanguageString(text::kUssdCodeLabel));
    USSDStr = NamedControl<QLineEdit>(this, "USSDStr");
    lblUssdInf = NamedLabel(this, "lblUssdInf", GetLanguageString(text::kUssdInfoLabel));
    USSDinf = NamedControl<QPlainTextEdit>(this, "USSDinf");
    USSDinf->setReadOnly(true);
    btnSend = NamedButton(this, "btnSend", text::kSmsSend);
    btnCancel = NamedButton(this, "btnCancel", text::kSmsCancel);
    btnBalance = NamedButton(this, "btnBalance", text::kUssdBalance);
    btnKeepBalance = NamedButton(this, "btnKeepBalance", text::kUssdKeepBalance);
    USSDTimer = NamedControl<QTimer>(this, "USSDTimer");
    USSDTimer->setInterval(kTimerMs);

    auto *grid = new QGridLayout;
    grid->addWidget(lblUssdStr, 0, 0);
    grid->addWidget(USSDStr, 0, 1);
    grid->addWidget(lblUssdInf, 1, 0, Qt::AlignTop);
    grid->addWidget(USSDinf, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnBalance);
    buttons->addWidget(btnKeepBalance);
    buttons->addStretch(1);
    buttons->addWidget(btnSend);
    buttons->addWidget(btnCancel);
    // In the entry window's panel, under its title strip: the caption is a heading of its own.
    QFont heading = specilfun->font();
    heading.setBold(true);
    specilfun->setFont(heading);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 10);
    layout->addWidget(specilfun);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    connect(btnSend, &QPushButton::clicked, this, &Tussdfrm::btnSendClick);
    connect(btnCancel, &QPushButton::clicked, this, &Tussdfrm::btnCancelClick);
    connect(btnBalance, &QPushButton::clicked, this, &Tussdfrm::btnBalanceClick);
    connect(btnKeepBalance, &QPushButton::clicked, this, &Tussdfrm::btnKeepBalanceClick);
    connect(USSDTimer, &QTimer::timeout, this, &Tussdfrm::USSDTimerTimer);
    connect(USSDStr, &QLineEdit::textChanged, this, &Tussdfrm::USSDStrChange);
    connect(USSDStr, &QLineEdit::returnPressed, this, [this] {
        if (btnSend->isEnabled())
            btnSendClick();
    });

    feature::WearSkin(*this, kSkin);
    Refresh();
}

void Tussdfrm::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == platform::WM_USSD_STATE) {
        Refresh();
    } else if (message.message() == platform::WM_USSD_REPLY) {
        _MEC_USSD_REPLY record{};
        if (payloadOf<platform::WM_USSD_REPLY>(message, &record))
            ShowReply(record);
    }
}

void Tussdfrm::Refresh()
{
    const uint8_t state = BusinessLogic() ? UssdGetState() : uint8_t{TBL_Ussd::Unavailable};
    const bool entry = state == TBL_Ussd::Ready || state == TBL_Ussd::Replied;
    btnSend->setEnabled(entry);
    btnCancel->setEnabled(state == TBL_Ussd::Replied);
    USSDStr->setEnabled(entry);
    if (entry)
        USSDStr->clear();
    switch (state) {
    case TBL_Ussd::Ready:
        m_waiting.stop();
        USSDTimer->stop();
        USSDinf->clear();
        break;
    case TBL_Ussd::Sending:
    case TBL_Ussd::Waiting:
        m_waiting.start();
        USSDTimer->start();
        USSDinf->setPlainText(GetLanguageString(state == TBL_Ussd::Sending ? text::kUssdSending
                                                                            : text::kUssdWaiting));
        break;
    case TBL_Ussd::Replied:
        m_waiting.stop();
        USSDTimer->stop();
        break;
    default: break;
    }
    showBalanceButton();
}

void Tussdfrm::ShowReply(const _MEC_USSD_REPLY &record)
{
    if (!BusinessLogic())
        return;
    USSDinf->setPlainText(platform::fromAnsi(UssdHandleReply(record)));
}

void Tussdfrm::SetDeviceState(uint8_t state)
{
    if (!BusinessLogic())
        return;
    const bool ready = state == kSimReady;
    UssdSetReady(ready);
    if (ready)
        findBalanceCode();
    else
        m_imsi.clear();
}

void Tussdfrm::FormShow() { Refresh(); }

void Tussdfrm::showBox(unsigned text)
{
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), kInformation);
}

void Tussdfrm::btnSendClick()
{
    if (!BusinessLogic())
        return;
    std::string request = platform::toAnsi(USSDStr->text());
    if (request.size() > kMostSent)
        request.resize(kMostSent);
    switch (UssdSendRequest(request.c_str(), request.size())) {
    case TBL_Ussd::BadLength: showBox(text::kSmsShortened); break;
    case TBL_Ussd::NotACode: showBox(text::kUssdNotACode); break;
    case TBL_Ussd::EngineFailed: showBox(text::kUssdNotSent); break;
    default: break;
    }
}

void Tussdfrm::btnCancelClick()
{
    // A refused cancel still ends the session here; the network lets it go in time.
    if (BusinessLogic())
        (void)UssdCancel();
}

void Tussdfrm::btnBalanceClick()
{
    if (!m_balance)
        return;
    USSDStr->setText(m_balance->code);
    btnSendClick();
}

void Tussdfrm::btnKeepBalanceClick()
{
    const QString code = USSDStr->text().trimmed();
    if (m_imsi.size() < 5 || code.isEmpty())
        return;
    // The operator's code is the first five or six digits of the IMSI, as the database's is.
    const QString operatorCode =
        m_balance && m_imsi.startsWith(m_balance->operatorCode) ? m_balance->operatorCode
                                                                 : m_imsi.left(5);
    if (!m_kept.keep({code, operatorCode})) {
        showBox(text::kUssdBalanceNotKept);
        return;
    }
    m_balance = BalanceCode{code, operatorCode};
    showBalanceButton();
}

void Tussdfrm::USSDTimerTimer()
{
    if (!BusinessLogic())
        return;
    const uint8_t state = UssdGetState();
    const auto tick = m_waiting.tick(GetLanguageString(
        state == TBL_Ussd::Sending ? text::kUssdSending : text::kUssdWaiting));
    if (tick.timedOut) {
        USSDTimer->stop();
        (void)UssdCancel();
        return;
    }
    USSDinf->setPlainText(tick.shown);
}

void Tussdfrm::USSDStrChange()
{
    if (USSDStr->text().size() <= kMostTyped)
        return;
    showBox(text::kSmsShortened);
    USSDStr->setText(USSDStr->text().left(kMostTyped));
    USSDStr->setCursorPosition(kMostTyped);
}

void Tussdfrm::findBalanceCode()
{
    char imsi[MEC_SIM_OPERATOR_TEXT_SIZE] = {};
    if (_MEC_GetSIMCardOperator(imsi) != 0 || imsi[0] == '\0') {
        m_imsi.clear();
        m_balance.reset();
    } else if (m_imsi != QString::fromLatin1(imsi)) {
        m_imsi = QString::fromLatin1(imsi);
        m_balance = BalanceCodeFor(m_imsi, m_kept, m_balanceDatabase);
    }
    showBalanceButton();
}

void Tussdfrm::showBalanceButton()
{
    const bool entry = btnSend->isEnabled();
    btnBalance->setVisible(m_balance.has_value());
    if (m_balance)
        btnBalance->setText(GetLanguageString(text::kUssdBalance) + QStringLiteral(" (") +
                            m_balance->code + QLatin1Char(')'));
    // Balance is a new request: not in the middle of a dialogue.
    btnBalance->setEnabled(entry && !(BusinessLogic() && UssdIsBusy()));
    btnKeepBalance->setEnabled(entry && !m_imsi.isEmpty());
}
