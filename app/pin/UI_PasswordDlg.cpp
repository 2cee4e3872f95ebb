#include "UI_PasswordDlg.h"

#include "PinEntry.h"

#include "language/TextNumbers.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"
#include "skin/DesignPictures.h"
#include "skin/FaceManager.h"
#include "skin/Logo.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace pin {

namespace {

const QColor kTextColour(0x1F, 0x3A, 0x56);
const QColor kPromptColour(0x0F, 0x54, 0x99);
const QColor kBodyColour(0xF4, 0xF7, 0xFB);
const QColor kTitleColour(0x15, 0x65, 0xB5);

constexpr int kBodyLeft = 4;
constexpr int kBodyTop = 28;
constexpr int kBodyWidth = TPasswordDlg::kWidth - 2 * kBodyLeft;
constexpr int kBodyHeight = 158;
constexpr int kFieldLeft = 24;
constexpr int kFieldWidth = kBodyWidth - 2 * kFieldLeft;
constexpr int kFieldHeight = 24;
constexpr int kCaptionHeight = 15;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 20;
constexpr int kButtonTop = kBodyHeight - kButtonHeight - 14;
constexpr int kLogoSize = 16;
constexpr int kLogoGap = 10;  // between the two logos

const char *const kProductName = "Brisa Internet";

QFont pixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void colourText(QWidget *widget, const QColor &colour)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::Text, colour);
    widget->setPalette(colours);
}

}  // namespace

// Counts the handlers on the stack, so the owner knows when freeing the dialog must wait.
// The dialog may be destroyed while a handler waits in a message box; the scope then lets go.
class TPasswordDlg::HandlerScope {
public:
    explicit HandlerScope(TPasswordDlg &dialog) : m_dialog(&dialog) { ++dialog.m_handlerDepth; }
    ~HandlerScope()
    {
        if (m_dialog)
            --m_dialog->m_handlerDepth;
    }
    HandlerScope(const HandlerScope &) = delete;
    HandlerScope &operator=(const HandlerScope &) = delete;

private:
    QPointer<TPasswordDlg> m_dialog;
};

TPasswordDlg::TPasswordDlg(QWidget *owner, PasswordMode mode, std::optional<int> attemptsLeft)
    // A window of its own rather than a child of the owner: whoever holds the dialog frees it,
    // and the owner going first cannot free it twice.
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      m_mode(mode),
      m_attemptsLeft(attemptsLeft),
      m_owner(owner)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QString::fromLatin1(kProductName));
    setFixedSize(kWidth, kHeight);
    setFont(pixelFont(font(), 12));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBodyColour);
    colours.setColor(QPalette::WindowText, kTextColour);
    setPalette(colours);
    setAutoFillBackground(true);

    buildControls();
    applySkin();

    const PasswordTexts texts = TextsFor(mode);
    Label_Password1Caption->setText(texts.firstCaption);
    Label_Password2Caption->setText(texts.secondCaption);
    ImButton_OK->setText(platform::GetLanguageString(text::kOk));
    ImButton_Cancel->setText(platform::GetLanguageString(text::kCancel));
    // The count is shown when the engine gave one: it tells the user how careful to be.
    PINLeftTimes->setText(AttemptsLeftText(attemptsLeft));
    placeControls();

    connect(ImButton_OK, &QAbstractButton::clicked, this, &TPasswordDlg::ImButton_OKClick);
    connect(ImButton_Cancel, &QAbstractButton::clicked, this, &TPasswordDlg::ImButton_CancelClick);
    connect(ImImage_Close, &skin::TImImage::clicked, this, &TPasswordDlg::ImImage_CloseClick);
    connect(Edit_Password1, &QLineEdit::textChanged, this, &TPasswordDlg::Edit_Password1Change);
    connect(Edit_Password2, &QLineEdit::textChanged, this, &TPasswordDlg::Edit_Password2Change);
    Label_Title->installEventFilter(this);

    Edit_Password1->setFocus();
}

TPasswordDlg::~TPasswordDlg() = default;

void TPasswordDlg::buildControls()
{
    PwdBKImage = new skin::BackImage(this);
    PwdBKImage->setObjectName(QStringLiteral("PwdBKImage"));
    PwdBKImage->setGeometry(0, 0, kWidth, kHeight);

    ImPanel_Title = new skin::TImPanel(this);
    ImPanel_Title->setObjectName(QStringLiteral("ImPanel_Title"));
    ImPanel_Title->setGeometry(0, 0, kWidth, kTitleHeight);
    ImPanel_Title->setAutoFillBackground(true);
    QPalette titleColours = ImPanel_Title->palette();
    titleColours.setColor(QPalette::Window, kTitleColour);
    ImPanel_Title->setPalette(titleColours);

    ImImage_Logo = new skin::SkinImage(ImPanel_Title);
    ImImage_Logo->setObjectName(QStringLiteral("ImImage_Logo"));
    ImImage_Logo->setGeometry(5, (kTitleHeight - kLogoSize) / 2, kLogoSize, kLogoSize);
    skin::LoadSmallLogo(ImImage_Logo);
    ImImage_AMLogo = new skin::SkinImage(ImPanel_Title);
    ImImage_AMLogo->setObjectName(QStringLiteral("ImImage_AMLogo"));
    ImImage_AMLogo->setGeometry(ImImage_Logo->x() + ImImage_Logo->width() + kLogoGap,
                                ImImage_Logo->y(), kLogoSize, kLogoSize);
    skin::LoadSecondLogo(ImImage_AMLogo);

    ImImage_Close = new skin::TImImage(ImPanel_Title);
    ImImage_Close->setObjectName(QStringLiteral("ImImage_Close"));
    ImImage_Close->setGeometry(kWidth - kLogoSize - 5, (kTitleHeight - kLogoSize) / 2, kLogoSize,
                               kLogoSize);
    ImImage_Close->setPicture(skin::closePicture(false));
    ImImage_Close->setHotPicture(skin::closePicture(true));
    ImImage_Close->setCursor(Qt::PointingHandCursor);

    Label_Title = new QLabel(ImPanel_Title);
    Label_Title->setObjectName(QStringLiteral("Label_Title"));
    const int titleLeft = ImImage_AMLogo->x() + ImImage_AMLogo->width() + 6;
    Label_Title->setGeometry(titleLeft, 0, ImImage_Close->x() - 4 - titleLeft, kTitleHeight);
    Label_Title->setFont(pixelFont(font(), 12, true));
    Label_Title->setText(QString::fromLatin1(kProductName));
    colourText(Label_Title, Qt::white);

    ImPanel_Backgroud = new skin::TImPanel(this);
    ImPanel_Backgroud->setObjectName(QStringLiteral("ImPanel_Backgroud"));
    ImPanel_Backgroud->setGeometry(kBodyLeft, kBodyTop, kBodyWidth, kBodyHeight);

    const auto caption = [this](const char *name) {
        auto *label = new QLabel(ImPanel_Backgroud);
        label->setObjectName(QLatin1String(name));
        label->setFont(pixelFont(font(), 12, true));
        label->setTextFormat(Qt::PlainText);
        colourText(label, kPromptColour);
        return label;
    };
    const auto field = [this](const char *name) {
        auto *edit = new QLineEdit(ImPanel_Backgroud);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(kMaxPasswordLength);
        edit->setEchoMode(QLineEdit::Password);
        edit->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                  Qt::ImhNoPredictiveText);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        // The field echoes "*" for every digit, whatever the style's own mask character is.
        edit->setStyleSheet(
            QStringLiteral("QLineEdit { lineedit-password-character: 42;"
                           " border: 1px solid #8FB3D9; border-radius: 3px;"
                           " padding: 0 6px; background: white; color: #1F3A56;"
                           " font-size: 14px; }"
                           "QLineEdit:focus { border: 1px solid #1D68B0; }"));
        return edit;
    };
    Label_Password1Caption = caption("Label_Password1Caption");
    Edit_Password1 = field("Edit_Password1");
    Label_Password2Caption = caption("Label_Password2Caption");
    Edit_Password2 = field("Edit_Password2");

    PINLeftTimes = new QLabel(ImPanel_Backgroud);
    PINLeftTimes->setObjectName(QStringLiteral("PINLeftTimes"));
    PINLeftTimes->setTextFormat(Qt::PlainText);
    colourText(PINLeftTimes, kTextColour);

    const auto button = [this](const char *name) {
        auto *imButton = new skin::TImButton(ImPanel_Backgroud);
        imButton->setObjectName(QLatin1String(name));
        imButton->setLooks(skin::TImButtonLooks::ibkFullPicture);
        imButton->setPictureCount(3);
        imButton->setShowFullPicCaption(true);
        imButton->setTransparent(true);
        imButton->setAnimateSpeed(200);
        imButton->setFocusRect(false);
        imButton->setFontColor(kTextColour);
        imButton->resize(kButtonWidth, kButtonHeight);
        return imButton;
    };
    ImButton_OK = button("ImButton_OK");
    ImButton_Cancel = button("ImButton_Cancel");
}

void TPasswordDlg::applySkin()
{
    const skin::ScopedFaceManager faces(skin::FaceManager::kVariantOthers);
    if (!faces.chosen())
        return;
    faces.apply(PwdBKImage, QStringLiteral("PASSWD.PWDFRMBACK"));
    faces.apply(ImPanel_Title, QStringLiteral("PASSWD.TITLEIMAGE"));
    faces.apply(ImPanel_Backgroud, QStringLiteral("PASSWD.BKIMAGE"));
    faces.apply(ImButton_OK, QStringLiteral("PASSWD.BTOK"));
    faces.apply(ImButton_Cancel, QStringLiteral("PASSWD.BTCANCEL"));
}

void TPasswordDlg::placeControls()
{
    const PasswordLayout layout = LayoutFor(m_mode);
    const bool secondShown = TextsFor(m_mode).secondFieldShown;
    Label_Password1Caption->setGeometry(kFieldLeft, layout.firstCaptionTop, kFieldWidth,
                                        kCaptionHeight);
    Edit_Password1->setGeometry(kFieldLeft, layout.firstFieldTop, kFieldWidth, kFieldHeight);
    Label_Password2Caption->setGeometry(kFieldLeft, layout.secondCaptionTop, kFieldWidth,
                                        kCaptionHeight);
    Edit_Password2->setGeometry(kFieldLeft, layout.secondFieldTop, kFieldWidth, kFieldHeight);
    Label_Password2Caption->setVisible(secondShown);
    Edit_Password2->setVisible(secondShown);
    PINLeftTimes->setGeometry(kFieldLeft, layout.attemptsTop, kFieldWidth, kCaptionHeight);
    PINLeftTimes->setVisible(!secondShown && !PINLeftTimes->text().isEmpty());

    const int left = (kBodyWidth - 2 * kButtonWidth - kButtonGap) / 2;
    ImButton_OK->move(left, kButtonTop);
    ImButton_Cancel->move(left + kButtonWidth + kButtonGap, kButtonTop);
}

void TPasswordDlg::setFirstCaption(const QString &caption)
{
    Label_Password1Caption->setText(caption);
}

void TPasswordDlg::setStayOnTop(bool on)
{
    if (stayOnTop() == on)
        return;
    const Qt::WindowFlags flags = windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow *window = windowHandle();
    if (window && isVisible()) {
        // Changed in place: setWindowFlags() would hide the shown window, and hiding a dialog
        // ends its modal run as if it had been cancelled.
        overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

bool TPasswordDlg::stayOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

int TPasswordDlg::runModal() { return platform::execDialog(*this); }

void TPasswordDlg::abandon()
{
    m_abandoned = true;
    // done() ends a modal run and hides a modeless window alike.
    done(QDialog::Rejected);
}

uint8_t TPasswordDlg::cardState() const
{
    if (m_cardState)
        return m_cardState();
    return m_mode == PasswordMode::StartupPin ? 8 : 0;
}

bool TPasswordDlg::emergencyTyped() const
{
    if (!m_callWindow)
        return false;
    return m_callWindow->IsEmergencyNumber(firstText()) ||
           m_callWindow->IsEmergencyNumber(m_callWindow->NumberFieldText());
}

bool TPasswordDlg::warn(unsigned stringNumber)
{
    QPointer<TPasswordDlg> self(this);
    platform::ShowMessageBox(m_owner, platform::GetLanguageString(stringNumber), 2);
    return self && !m_abandoned;
}

void TPasswordDlg::postResult(uint32_t result)
{
    platform::PostMessage(m_resultTarget, platform::WM_PIN_RESULT, result, 0);
}

void TPasswordDlg::ImButton_OKClick()
{
    if (m_abandoned)
        return;
    HandlerScope busy(*this);
    // The message boxes below must be able to come in front of the dialog.
    setStayOnTop(false);

    const bool firstIsEmergency = m_callWindow && m_callWindow->IsEmergencyNumber(firstText());
    const bool callBeingSetUp = m_callWindow && m_callWindow->IsSettingUpCall();
    switch (ChooseOkStep(firstIsEmergency, cardState(), callBeingSetUp)) {
    case OkStep::DialEmergency:
        // The PIN is left alone: the call window dials and the dialog stays for later.
        m_callWindow->ShowAndPlaceCall(firstText());
        return;
    case OkStep::CallBeingSetUp: warn(text::kCallBeingSetUp); return;
    case OkStep::Validate: break;
    }

    const std::vector<unsigned> failures = ValidatePasswords(m_mode, firstText(), secondText());
    for (const unsigned message : failures) {
        if (!warn(message))
            return;
    }
    if (!failures.empty())
        return;

    if (m_mode == PasswordMode::StartupPin)
        postResult(kPinResultOk);
    // Ends a modal run; closes the start-up dialog, which its owner frees on the result.
    done(QDialog::Accepted);
}

void TPasswordDlg::cancel()
{
    if (m_abandoned)
        return;
    HandlerScope busy(*this);
    switch (ChooseCancelStep(m_mode, emergencyTyped())) {
    case CancelStep::JustClose: done(QDialog::Rejected); return;
    case CancelStep::PostCancelResult:
        postResult(kPinResultCancel);
        done(QDialog::Rejected);
        return;
    case CancelStep::EndWithCancel: done(QDialog::Rejected); return;
    }
}

void TPasswordDlg::ImButton_CancelClick() { cancel(); }

void TPasswordDlg::ImImage_CloseClick()
{
    setResult(QDialog::Rejected);
    cancel();
}

void TPasswordDlg::fieldChanged(QLineEdit *field, DigitsField &guard)
{
    const DigitsField::Change change = guard.changed(field->text());
    if (change.reverted) {
        // setText puts the caret at the end, where the user was typing.
        const QSignalBlocker quiet(field);
        field->setText(change.text);
    }
}

void TPasswordDlg::Edit_Password1Change() { fieldChanged(Edit_Password1, m_field1); }

void TPasswordDlg::Edit_Password2Change() { fieldChanged(Edit_Password2, m_field2); }

void TPasswordDlg::reject() { ImImage_CloseClick(); }

void TPasswordDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ImButton_OKClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

// close() from the program just closes; a close from the window system goes the way of the
// close image, so that the start-up dialog never vanishes without telling the main window.
void TPasswordDlg::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous() && !m_abandoned) {
        event->ignore();
        ImImage_CloseClick();
        return;
    }
    // Not QDialog's own handler: it would run reject(), which is the user's cancel here.
    setResult(QDialog::Rejected);
    event->accept();
}

void TPasswordDlg::showEvent(QShowEvent *event)
{
    centreOverOwner();
    QDialog::showEvent(event);
    // Keep the dialog with the main window for the window manager (the handle is new after a
    // change of the stay-on-top flag).
    if (m_owner && m_owner->window()->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(m_owner->window()->windowHandle());
}

void TPasswordDlg::centreOverOwner()
{
    // Only the first time: later shows (after a change of the stay-on-top flag) keep the place
    // the user may have dragged the dialog to.
    if (m_placed)
        return;
    m_placed = true;
    QRect area;
    if (m_owner && m_owner->window()->isVisible())
        area = m_owner->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isNull())
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
}

// The title moves the dialog while the left button is held on it.
bool TPasswordDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Label_Title)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragOffset = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pin
