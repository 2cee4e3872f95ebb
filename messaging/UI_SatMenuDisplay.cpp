#include "UI_SatMenuDisplay.h"

#include "UI_GetInput.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include "language/TextNumbers.h"
#include "logic/WindowPayloads.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kQuestion = 3;

const feature::WindowSkin kSkin{"SETMENUDISPLAY.BKIMAGE",
                                "SETMENUDISPLAY.TITLEIMAGE",
                                {{"SETMENUDISPLAY.BTOK", "SatMenuDisplay_OkButton"},
                                 {"SETMENUDISPLAY.BTBACK", "SatMenuDisplay_BackButton"},
                                 {"SETMENUDISPLAY.BTBACKEND", "SatMenuDisplay_BackEndButton"},
                                 {"SETMENUDISPLAY.BTUSSD", "buttonUssdBTN"},
                                 {"SETMENUDISPLAY.BTSTK", "buttonStkBTN"}}};

QString textOf(const char *field, size_t size)
{
    return platform::fromAnsi(platform::fieldText(field, size));
}

}  // namespace

TSatMenuDisplayForm::TSatMenuDisplayForm(feature::FeatureHost &host, ToolkitMenu::Calls calls)
    : m_host(host), m_menu(std::move(calls))
{
    setObjectName(QStringLiteral("TSatMenuDisplayForm"));
    setWindowTitle(QStringLiteral("STK"));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, feature::kTitleStripHeight + 8, 16, 12);
    SatMenuLabel = NamedLabel(this, "SatMenuLabel", QStringLiteral("Sim Card ToolKit"));
    QFont bold = SatMenuLabel->font();
    bold.setBold(true);
    SatMenuLabel->setFont(bold);
    column->addWidget(SatMenuLabel);
    SatMenuDisplayListBox = NamedControl<QListWidget>(this, "SatMenuDisplayListBox");
    column->addWidget(SatMenuDisplayListBox, 1);

    auto *actions = new QHBoxLayout;
    SatMenuDisplay_OkButton = NamedButton(this, "SatMenuDisplay_OkButton", text::kStkSelect);
    SatMenuDisplay_BackButton = NamedButton(this, "SatMenuDisplay_BackButton", text::kBack);
    SatMenuDisplay_BackEndButton = NamedButton(this, "SatMenuDisplay_BackEndButton", text::kStkEnd);
    buttonStkBTN = NamedControl<QPushButton>(this, "buttonStkBTN", QStringLiteral("STK"));
    buttonUssdBTN = NamedControl<QPushButton>(this, "buttonUssdBTN", QStringLiteral("USSD"));
    actions->addWidget(buttonStkBTN);
    actions->addWidget(buttonUssdBTN);
    actions->addStretch(1);
    actions->addWidget(SatMenuDisplay_OkButton);
    actions->addWidget(SatMenuDisplay_BackButton);
    actions->addWidget(SatMenuDisplay_BackEndButton);
    column->addLayout(actions);

    SatMenuDisplayListBoxTimer = new QTimer(this);
    SatMenuDisplayListBoxTimer->setObjectName(QStringLiteral("SatMenuDisplayListBoxTimer"));
    SatMenuDisplayListBoxTimer->setInterval(ToolkitMenu::kBusyMilliseconds);
    SMSSending = new QTimer(this);
    SMSSending->setObjectName(QStringLiteral("SMSSending"));
    SMSSending->setInterval(ToolkitMenu::kBusyMilliseconds);

    connect(SatMenuDisplay_OkButton, &QPushButton::clicked, this, &TSatMenuDisplayForm::choose);
    connect(SatMenuDisplayListBox, &QListWidget::itemDoubleClicked, this,
            &TSatMenuDisplayForm::choose);
    connect(SatMenuDisplay_BackButton, &QPushButton::clicked, this, [this] {
        m_menu.back();
        refresh();
    });
    connect(SatMenuDisplay_BackEndButton, &QPushButton::clicked, this, [this] {
        m_menu.end();
        refresh();
    });
    connect(buttonStkBTN, &QPushButton::clicked, this, &TSatMenuDisplayForm::STKCallBackforMain);
    connect(buttonUssdBTN, &QPushButton::clicked, this,
            [this] { m_host.show(feature::NavigationButton::Toolkit); });
    connect(SatMenuDisplayListBoxTimer, &QTimer::timeout, this, [this] {
        m_menu.busyOver();
        refresh();
    });
    connect(SMSSending, &QTimer::timeout, this, [this] { closeSmsNotice(); });
    refresh();
    feature::WearSkin(*this, kSkin);
}

TSatMenuDisplayForm::~TSatMenuDisplayForm() { closeSmsNotice(); }

void TSatMenuDisplayForm::refresh()
{
    SatMenuLabel->setText(m_menu.title().isEmpty() ? QStringLiteral("Sim Card ToolKit")
                                                    : m_menu.title());
    QStringList texts;
    for (const QString &text : m_menu.items())
        texts << text;
    QStringList shown;
    for (int i = 0; i < SatMenuDisplayListBox->count(); ++i)
        shown << SatMenuDisplayListBox->item(i)->text();
    if (shown != texts) {
        SatMenuDisplayListBox->clear();
        SatMenuDisplayListBox->addItems(texts);
    }
    SatMenuDisplayListBox->setEnabled(m_menu.listEnabled());
    SatMenuDisplay_OkButton->setEnabled(m_menu.okEnabled());
    SatMenuDisplay_BackButton->setEnabled(m_menu.backEnabled());
    SatMenuDisplay_BackEndButton->setEnabled(m_menu.endEnabled());
    buttonStkBTN->setEnabled(m_menu.buttonsEnabled());
    buttonUssdBTN->setEnabled(m_menu.buttonsEnabled());
    if (m_menu.busy())
        SatMenuDisplayListBoxTimer->start();
    else
        SatMenuDisplayListBoxTimer->stop();
}

void TSatMenuDisplayForm::STKCallBackforMain()
{
    SatMenuDisplayListBox->clear();
    const uint16_t status = m_menu.open();
    refresh();
    m_host.showInPanel(*this);
    if (status == MEC_ERR_NOT_SUPPORTED)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text::kStkNotOffered),
                                 kInformation);
}

void TSatMenuDisplayForm::choose()
{
    m_menu.choose(SatMenuDisplayListBox->currentRow());
    refresh();
}

void TSatMenuDisplayForm::closeSmsNotice()
{
    SMSSending->stop();
    if (m_smsNotice) {
        m_smsNotice->close();
        m_smsNotice->deleteLater();
        m_smsNotice = nullptr;
        if (QWidget *owner = m_host.dialogOwner())
            owner->setEnabled(true);
    }
}

void TSatMenuDisplayForm::StkDisplayText(const _MEC_STK_RECORD &record)
{
    closeSmsNotice();
    const QString text = textOf(record.displayText, sizeof record.displayText);
    if (record.displayKind == 2) {
        // The SIM waits: OK confirms, the other button goes back. Either is a choice sent to the
        // SIM, so the screen waits for its next step (or the busy period) before it takes
        // another; a Back pressed before that step arrived would reach no command.
        if (platform::AskMessageBox(m_host.dialogOwner(), text, kQuestion) == 1)
            m_menu.confirmText();
        else
            m_menu.back();
    } else {
        platform::ShowMessageBox(m_host.dialogOwner(), text, kInformation);
        m_menu.busyOver();
    }
    refresh();
}

void TSatMenuDisplayForm::StkDisplaySmsState(const _MEC_STK_RECORD &record)
{
    closeSmsNotice();
    const QString text = textOf(record.displayText, sizeof record.displayText);
    if (text.isEmpty()) {
        m_menu.waitForSim();
        m_menu.readyAtSubMenu();
        refresh();
        return;
    }
    // A notice without a button, on top, while the main window takes no input.
    auto *notice = new QMessageBox(QMessageBox::Information, windowTitle(), text,
                                   QMessageBox::NoButton, nullptr,
                                   Qt::Dialog | Qt::WindowStaysOnTopHint);
    notice->setObjectName(QStringLiteral("StkSmsNotice"));
    notice->setAttribute(Qt::WA_DeleteOnClose, false);
    m_smsNotice = notice;
    if (QWidget *owner = m_host.dialogOwner())
        owner->setEnabled(false);
    notice->show();
    SMSSending->start();
    m_menu.waitForSim();
    refresh();
}

void TSatMenuDisplayForm::StkDisplayInputTextForm(const _MEC_STK_RECORD &record)
{
    auto *dialog = m_host.window<TgetInput>();
    if (!dialog) {
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text::kWindowNotOpened),
                                 kInformation);
        return;
    }
    const std::string prompt(platform::fieldText(record.inputPrompt, sizeof record.inputPrompt));
    const auto answer = dialog->Ask(record.inputKind, record.inputMinLength,
                                    record.inputMaxLength, prompt);
    if (answer)
        m_menu.answerInput(record.inputKind, *answer);
    else
        m_menu.cancelInput();
    refresh();
}

void TSatMenuDisplayForm::cardStateChanged(CardState state)
{
    if (state == kCardAbsent || state == kSimBlocked)
        closeSmsNotice();
    m_menu.cardStateChanged(state);
    refresh();
}

void TSatMenuDisplayForm::messageArrived(platform::WindowMessageEvent &message)
{
    _MEC_STK_RECORD record;
    bool carried = false;
    switch (message.message()) {
    case MEC_MSG_STK_MAIN_MENU: carried = payloadOf<MEC_MSG_STK_MAIN_MENU>(message, &record); break;
    case MEC_MSG_STK_SUB_MENU: carried = payloadOf<MEC_MSG_STK_SUB_MENU>(message, &record); break;
    case MEC_MSG_STK_DISPLAY_TEXT:
        carried = payloadOf<MEC_MSG_STK_DISPLAY_TEXT>(message, &record);
        break;
    case MEC_MSG_STK_MAIN_MENU_AGAIN:
        carried = payloadOf<MEC_MSG_STK_MAIN_MENU_AGAIN>(message, &record);
        break;
    case MEC_MSG_STK_SMS_STATE: carried = payloadOf<MEC_MSG_STK_SMS_STATE>(message, &record); break;
    case MEC_MSG_STK_GET_INPUT: carried = payloadOf<MEC_MSG_STK_GET_INPUT>(message, &record); break;
    default: break;
    }
    if (!carried)
        return;  // a message without its record is not the engine's
    switch (message.message()) {
    case MEC_MSG_STK_MAIN_MENU:
    case MEC_MSG_STK_MAIN_MENU_AGAIN:
        m_menu.mainMenu(record);
        refresh();
        break;
    case MEC_MSG_STK_SUB_MENU:
        m_menu.subMenu(record);
        refresh();
        break;
    case MEC_MSG_STK_DISPLAY_TEXT: StkDisplayText(record); break;
    case MEC_MSG_STK_SMS_STATE: StkDisplaySmsState(record); break;
    case MEC_MSG_STK_GET_INPUT: StkDisplayInputTextForm(record); break;
    default: break;
    }
}
