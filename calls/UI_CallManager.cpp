#include "UI_CallManager.h"

#include "UI_CallHangupMsg.h"
#include "UI_CallRecords.h"

#include "FeaturePage.h"
#include "FeatureRoles.h"
#include "WindowControls.h"

#include "config/BL_File.h"
#include "lumacore.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"
#include "skin/SkinControls.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyleHints>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarning = 2;
constexpr int kInformation = 1;
constexpr int kQuestion = 4;
// No answer within this time fails the call.
constexpr int kDialTimeoutMs = 95000;
// After the card comes on line it answers audio questions only after a while.
constexpr int kSettleMs = 3000;

// The keypad: the keys in rows of three on the keypad panel.
constexpr char kKeys[] = "123456789*0#";
constexpr int kKeyW = 56, kKeyH = 34, kPanelW = 204, kPanelH = 196;

const char *const kKeyNames[10] = {"ImButton0", "ImButton1", "ImButton2", "ImButton3",
                                   "ImButton4", "ImButton5", "ImButton6", "ImButton7",
                                   "ImButton8", "ImButton9"};

const feature::WindowSkin kSkin{"CALLMANAGER.CALLINTERFACEBKIMAGE",
                                "CALLMANAGER.TITLEIMAGE",
                                {{"CALLMANAGER.INPUTFIELDIMAGE", "InputFieldImage"},
                                 {"CALLMANAGER.KEYBOARDBKIMAGE", "KeyboardBkImage"},
                                 {"CALLMANAGER.IMBUTTON0", "ImButton0"},
                                 {"CALLMANAGER.IMBUTTON1", "ImButton1"},
                                 {"CALLMANAGER.IMBUTTON2", "ImButton2"},
                                 {"CALLMANAGER.IMBUTTON3", "ImButton3"},
                                 {"CALLMANAGER.IMBUTTON4", "ImButton4"},
                                 {"CALLMANAGER.IMBUTTON5", "ImButton5"},
                                 {"CALLMANAGER.IMBUTTON6", "ImButton6"},
                                 {"CALLMANAGER.IMBUTTON7", "ImButton7"},
                                 {"CALLMANAGER.IMBUTTON8", "ImButton8"},
                                 {"CALLMANAGER.IMBUTTON9", "ImButton9"},
                                 {"CALLMANAGER.IMBUTTONSTAR", "ImButtonStar"},
                                 {"CALLMANAGER.IMBUTTONHASH", "ImButtonHash"},
                                 {"CALLMANAGER.IMBUTTONDELETE", "ImButtonDelete"},
                                 {"CALLMANAGER.IMBUTTONDIAL", "ImButtonDial"},
                                 {"CALLMANAGER.IMBUTTONHANGUP", "ImButtonHangup"}}};

QString timeText(int seconds)
{
    return QString::asprintf("%02d:%02d:%02d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

}  // namespace

TCall_managerform::TCall_managerform(feature::FeatureHost &host)
    : m_host(host), m_star(QApplication::styleHints()->mouseDoubleClickInterval())
{
    setObjectName(QStringLiteral("TCall_managerform"));
    setWindowTitle(GetLanguageString(1004));
    setFocusPolicy(Qt::StrongFocus);
    m_manager = std::make_unique<calls::CallManager>(static_cast<calls::CallManagerView &>(*this), [&host](const QString &number) {
        auto *names = host.role<feature::ContactNames>();
        return names ? names->nameOfNumber(number) : QString();
    });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(24, 14, 24, 14);
    row->setSpacing(24);
    auto *left = new QVBoxLayout;
    left->setSpacing(6);

    auto *numberRow = new QHBoxLayout;
    auto *field = new skin::BackImage(this);  // owned by the window
    field->setObjectName(QStringLiteral("InputFieldImage"));
    field->setFixedSize(260, 40);
    Memo1 = NamedControl<QLineEdit>(field, "Memo1");
    Memo1->setGeometry(8, 4, 244, 32);
    Memo1->setMaxLength(32);
    Memo1->setReadOnly(true);
    Memo1->setFrame(false);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setAttribute(Qt::WA_TranslucentBackground);
    Memo1->setStyleSheet(QStringLiteral("background: transparent;"));
    QFont big = Memo1->font();
    big.setPixelSize(20);
    Memo1->setFont(big);
    numberRow->addWidget(field);
    ImButtonDelete = NamedControl<QPushButton>(this, "ImButtonDelete");
    ImButtonDelete->setFixedSize(kKeyW, kKeyH);
    numberRow->addWidget(ImButtonDelete);
    numberRow->addStretch(1);
    left->addLayout(numberRow);

    CallListView = NamedControl<QTreeWidget>(this, "CallListView");
    CallListView->setColumnCount(2);
    CallListView->setHeaderHidden(true);
    CallListView->setRootIsDecorated(false);
    CallListView->setColumnWidth(0, 40);
    CallListView->setFixedSize(322, 58);
    CallListView->setContextMenuPolicy(Qt::ActionsContextMenu);
    CallListView->setFocusPolicy(Qt::NoFocus);
    auto *hangupSel = new QAction(GetLanguageString(5047), CallListView);
    auto *holdItemSel = new QAction(GetLanguageString(5028), CallListView);
    hangupSel->setObjectName(QStringLiteral("HangupSel"));
    holdItemSel->setObjectName(QStringLiteral("HoldItemSel"));
    CallListView->addAction(hangupSel);
    CallListView->addAction(holdItemSel);
    CallListView->hide();
    left->addWidget(CallListView);

    CallStateLabel = NamedLabel(this, "CallStateLabel");
    QFont bold = CallStateLabel->font();
    bold.setPixelSize(15);
    bold.setBold(true);
    CallStateLabel->setFont(bold);
    CallTimeLabel = NamedLabel(this, "CallTimeLabel");
    HoldCallLable = NamedLabel(this, "HoldCallLable");
    SpicalDTMF = NamedLabel(this, "SpicalDTMF");
    for (QLabel *label : {CallStateLabel, CallTimeLabel, HoldCallLable, SpicalDTMF})
        left->addWidget(label);
    left->addStretch(1);

    auto *buttons = new QHBoxLayout;
    ImButtonDial = NamedControl<QPushButton>(this, "ImButtonDial");
    ImButtonHangup = NamedControl<QPushButton>(this, "ImButtonHangup");
    for (QPushButton *button : {ImButtonDial, ImButtonHangup}) {
        button->setFixedSize(88, kKeyH);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    left->addLayout(buttons);

    auto *volume = new QHBoxLayout;
    EarphoneLabel = NamedLabel(this, "EarphoneLabel", GetLanguageString(5049));
    EarphoneTrackBar = NamedControl<QSlider>(this, "EarphoneTrackBar", Qt::Horizontal);
    EarphoneTrackBar->setRange(0, 5);
    EarphoneTrackBar->setPageStep(1);
    EarphoneTrackBar->setTickPosition(QSlider::TicksBelow);
    EarphoneTrackBar->setFixedWidth(180);
    volume->addWidget(EarphoneLabel);
    volume->addWidget(EarphoneTrackBar);
    m_sound = std::make_unique<calls::CallSoundControls>(*this, *volume, [this](const QString &text) { notice(text); });
    volume->addStretch(1);
    left->addLayout(volume);
    row->addLayout(left, 1);

    auto *panel = new skin::BackImage(this);  // owned by the window
    panel->setObjectName(QStringLiteral("KeyboardBkImage"));
    panel->setFixedSize(kPanelW, kPanelH);
    const int gapX = (kPanelW - 3 * kKeyW) / 4, gapY = (kPanelH - 4 * kKeyH) / 5;
    for (int i = 0; i < 12; ++i) {
        const QChar key = QLatin1Char(kKeys[i]);
        const char *name = key == '*'   ? "ImButtonStar"
                           : key == '#' ? "ImButtonHash"
                                        : kKeyNames[key.digitValue()];
        auto *button = NamedControl<QPushButton>(panel, name);
        button->setGeometry(gapX + (i % 3) * (kKeyW + gapX), gapY + (i / 3) * (kKeyH + gapY),
                            kKeyW, kKeyH);
        button->setFocusPolicy(Qt::NoFocus);
        if (key == '*') {
            ImButtonStar = button;
            connect(button, &QPushButton::clicked, this, &TCall_managerform::ImButtonStarClick);
        } else {
            if (key == '#')
                ImButtonHash = button;
            else
                ImButton[key.digitValue()] = button;
            connect(button, &QPushButton::clicked, this, [this, key] { KeyPressed(key); });
        }
    }
    row->addWidget(panel, 0, Qt::AlignTop);

    for (QPushButton *button : {ImButtonDelete, ImButtonDial, ImButtonHangup})
        button->setFocusPolicy(Qt::NoFocus);
    connect(ImButtonDelete, &QPushButton::clicked, this, [this] { KeyPressed(QLatin1Char('\b')); });
    connect(ImButtonDial, &QPushButton::clicked, this, &TCall_managerform::ImButtonDialClick);
    connect(ImButtonHangup, &QPushButton::clicked, this, &TCall_managerform::ImButtonHangupClick);
    connect(EarphoneTrackBar, &QSlider::sliderReleased, this,
            &TCall_managerform::EarphoneTrackBarReleased);
    connect(hangupSel, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem *item = CallListView->currentItem())
            m_manager->releaseParty(CallListView->indexOfTopLevelItem(item));
        Refresh();
    });
    connect(holdItemSel, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem *item = CallListView->currentItem())
            m_manager->privateWithParty(CallListView->indexOfTopLevelItem(item));
        Refresh();
    });
    connect(CallListView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        CallListView->setToolTip(GetLanguageString(5027) + QLatin1Char(' ') +
                                 QString::number(CallListView->indexOfTopLevelItem(item) + 1) +
                                 QLatin1Char(':') + item->text(1));
    });

    m_starTimer.setSingleShot(true);
    connect(&m_starTimer, &QTimer::timeout, this, [this] {
        if (auto typed = m_star.expire())
            typeKey(*typed);
    });
    m_dialTimer.setSingleShot(true);
    connect(&m_dialTimer, &QTimer::timeout, this, [this] {
        m_manager->dialTimedOut();
        Refresh();
    });
    m_callTimer.setInterval(1000);
    connect(&m_callTimer, &QTimer::timeout, this, [this] {
        m_manager->timerTick(QDateTime::currentMSecsSinceEpoch());
        Refresh();
    });
    m_toneTimer.setSingleShot(true);
    connect(&m_toneTimer, &QTimer::timeout, this, [this] {
        m_manager->sendNextTones();
        Refresh();
    });
    m_endedTimer.setSingleShot(true);
    m_endedTimer.setInterval(1000);
    connect(&m_endedTimer, &QTimer::timeout, this, [this] {
        m_manager->clearEnded();
        Refresh();
    });
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMs);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        readEarphone();
        (void)m_manager->readEmergencyNumbers();  // without the card's list: 112 and 911
    });

    const int level = savedEarphone();
    EarphoneTrackBar->setValue(level);
    feature::WearSkin(*this, kSkin);
    cardStateChanged(kCardAbsent);
    Refresh();
}

TCall_managerform::~TCall_managerform() = default;

// ---- what the window shows ----------------------------------------------------------------------

void TCall_managerform::Refresh()
{
    const calls::CallDisplay d = m_manager->display();
    CallStateLabel->setText(d.stateText ? GetLanguageString(static_cast<unsigned>(d.stateText))
                                        : QString());
    Memo1->setText(d.input);
    HoldCallLable->setText(d.held);
    HoldCallLable->setVisible(!d.held.isEmpty());
    SpicalDTMF->setText(d.suffix);
    SpicalDTMF->setVisible(!d.suffix.isEmpty());
    Memo1->parentWidget()->setVisible(!d.conference);
    ImButtonDelete->setVisible(d.composing);
    CallListView->setVisible(d.conference);
    if (d.conference) {
        CallListView->clear();
        for (int i = 0; i < d.parties.size(); ++i)
            new QTreeWidgetItem(CallListView, {QString::number(i + 1), d.parties[i]});  // owned
        const QList<QAction *> actions = CallListView->actions();
        actions.at(1)->setVisible(m_manager->state() == kCallConference);
    }
    const std::optional<int> seconds = m_manager->shownDuration();
    CallTimeLabel->setText(seconds ? GetLanguageString(5001) + timeText(*seconds) : QString());
    CallTimeLabel->setVisible(seconds.has_value());
}

// ---- keys and buttons ---------------------------------------------------------------------------

void TCall_managerform::typeKey(QChar key)
{
    m_manager->key(key);
    Refresh();
}

void TCall_managerform::KeyPressed(QChar key) { typeKey(key); }

void TCall_managerform::ImButtonStarClick()
{
    const QString typed = m_star.press(QDateTime::currentMSecsSinceEpoch());
    for (QChar key : typed)
        typeKey(key);
    if (m_star.pending())
        m_starTimer.start(QApplication::styleHints()->mouseDoubleClickInterval());
    else
        m_starTimer.stop();
}

void TCall_managerform::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ImButtonDialClick();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        typeKey(QLatin1Char('\b'));
        return;
    }
    const QString text = event->text().toUpper();
    if (text.size() == 1 && text.front().isPrint()) {
        typeKey(text.front());
        return;
    }
    QWidget::keyPressEvent(event);
}

void TCall_managerform::ImButtonDialClick()
{
    m_manager->dialPressed();
    Refresh();
}

void TCall_managerform::ImButtonHangupClick()
{
    m_manager->hangupPressed();
    Refresh();
}

void TCall_managerform::DialNumber(const QString &number)
{
    m_manager->dialNumber(number);
    Refresh();
}

void TCall_managerform::EarphoneTrackBarReleased()
{
    if (!m_manager->setEarphone(EarphoneTrackBar->value()))
        EarphoneTrackBar->setValue(savedEarphone());
}

void TCall_managerform::readEarphone()
{
    if (const std::optional<int> position = m_manager->readEarphone())
        EarphoneTrackBar->setValue(*position);
}

// ---- the main window and the card ---------------------------------------------------------------

void TCall_managerform::cardStateChanged(CardState state)
{
    m_manager->deviceStateChanged(state);
    const bool usable = state != kCardAbsent && state != kCardOffline;
    ImButtonDial->setEnabled(usable);
    EarphoneTrackBar->setEnabled(usable && state != kCardInserted);
    if (state == kCardOnline)
        m_settleTimer.start();
    if ((state == kCardRegistered || state == kSimReady) && !m_dataConnected) {
        EarphoneTrackBar->setValue(savedEarphone());
        readEarphone();
        m_sound->cardReady();
    }
    Refresh();
}

void TCall_managerform::connectionStateChanged(ConnectionState state)
{
    m_dataConnected = state == kConnectionConnected;
    m_manager->setConnectionSettingUp(state == kConnectionDialling);
}

void TCall_managerform::messageArrived(platform::WindowMessageEvent &message)
{
    switch (message.message()) {
    case platform::WM_INCOMING_CALL:
        m_manager->incomingCall(message.text() ? platform::fromAnsi(message.text()->text)
                                               : QString());
        break;
    case MEC_MSG_CALL_REMOTE_RELEASED: m_manager->remoteReleased(); break;
    case MEC_MSG_CALL_INCOMING_CONNECTED: m_manager->incomingConnected(); break;
    case MEC_MSG_CALL_ALL_ENDED: m_manager->allCallsEnded(); break;
    case MEC_MSG_CALL_INCOMING_MISSED: m_manager->incomingMissed(); break;
    case MEC_MSG_CALL_DIAL_RESULT: m_manager->dialResult(message.wParam()); break;
    default: return;
    }
    Refresh();
}

void TCall_managerform::shownInPanel() { setFocus(); }

// ---- the PIN dialogs ----------------------------------------------------------------------------

bool TCall_managerform::IsEmergencyNumber(const QString &number) const
{
    return m_manager->isEmergencyNumber(number);
}

bool TCall_managerform::IsSettingUpCall() const { return m_manager->state() == kCallDialling; }

QString TCall_managerform::NumberFieldText() const { return Memo1->text(); }

void TCall_managerform::ShowAndPlaceCall(const QString &number)
{
    m_host.showInPanel(*this);
    m_manager->placeCall(number);
    Refresh();
}

// ---- what the call manager asks -----------------------------------------------------------------

void TCall_managerform::notice(const QString &text)
{
    // After what is under way: the sound starts inside a change of the calls' state.
    QTimer::singleShot(0, this, [this, text] {
        platform::ShowMessageBox(m_host.dialogOwner(), text, kInformation);
    });
}

void TCall_managerform::message(int text)
{
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(static_cast<unsigned>(text)),
                             text == 5026 ? kInformation : kWarning);
}

int TCall_managerform::choose(const std::vector<int> &texts)
{
    QStringList choices;
    for (int text : texts)
        choices << GetLanguageString(static_cast<unsigned>(text));
    TCallHangupMsgDfm *dialog = m_host.window<TCallHangupMsgDfm>();
    std::unique_ptr<TCallHangupMsgDfm> own;
    if (!dialog) {
        own = std::make_unique<TCallHangupMsgDfm>(m_host);
        dialog = own.get();
    }
    m_choice = dialog;
    const int chosen = dialog->Choose(choices);
    m_choice = nullptr;
    return chosen;
}

bool TCall_managerform::confirm(const QString &text)
{
    return platform::AskMessageBox(m_host.dialogOwner(), text, kQuestion) == 1;
}

void TCall_managerform::earphoneNotice()
{
    if (m_earphoneNotice)
        return;  // one at a time
    auto *notice = new QMessageBox(QMessageBox::Information, GetLanguageString(1004),
                                   GetLanguageString(5013), QMessageBox::Ok, m_host.dialogOwner());
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setModal(false);
    notice->show();
    m_earphoneNotice = notice;
}

void TCall_managerform::showDialledCalls()
{
    if (auto *records = m_host.window<TCrForm>())
        records->ShowDialledCalls();
}

void TCall_managerform::showWindow() { m_host.showInPanel(*this); }

void TCall_managerform::stateChanged(::CallState state)
{
    if (m_choice)
        m_choice->reject();  // the choices were for calls that changed
    if (state == kCallIdle)
        m_endedTimer.start();
    if (m_sound)
        m_sound->callStateChanged(state);
    platform::PostMessage(m_host.messageTarget(), platform::WM_CALL_STATE,
                          static_cast<uint32_t>(state), 0);
}

void TCall_managerform::ring(const QString &text, bool updateOnly)
{
    m_host.notices().incomingCall(text, updateOnly);
}

void TCall_managerform::stopRing() { m_host.notices().callStopped(); }

void TCall_managerform::callAccepted() { m_host.notices().callAccepted(); }

void TCall_managerform::missedCall() { m_host.notices().missedCall(); }

void TCall_managerform::recordCall(uint8_t kind, const QDateTime &start, const QString &number)
{
    if (auto *records = m_host.window<TCrForm>()) {
        records->AddCallEntry(kind, start, number);
        return;
    }
    calls::CallRecordList(nullptr).add(kind, start, number);
}

void TCall_managerform::scheduleTones(int ms) { m_toneTimer.start(ms); }

void TCall_managerform::cancelTones() { m_toneTimer.stop(); }

void TCall_managerform::setDialTimer(bool running)
{
    if (running)
        m_dialTimer.start(kDialTimeoutMs);
    else
        m_dialTimer.stop();
}

void TCall_managerform::setCallTimer(bool running)
{
    if (running)
        m_callTimer.start();
    else
        m_callTimer.stop();
}

int TCall_managerform::savedEarphone()
{
    VolConfig levels{};
    (void)FileStore().LoadVolConfig(levels);  // unreadable: the defaults it leaves
    return levels.savedEarphone.get();
}

void TCall_managerform::saveEarphone(int position, bool beforeCall)
{
    VolConfig levels{};
    (void)FileStore().LoadVolConfig(levels);
    (beforeCall ? levels.savedEarphone : levels.earphone).set(position);
    if (!beforeCall)
        levels.savedEarphone.set(position);
    (void)FileStore().SaveVolConfig(levels);  // a level not kept is read from the card next time
}
