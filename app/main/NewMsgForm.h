// The small notices at the bottom-right of the screen: a new message (kind 1) and an incoming
// call (kind 2). They show their text and close by themselves after a while (15 s for a message,
// 60 s for a call); the main window decides when they appear. A message notice also opens the
// message; dragging the caption moves a notice.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

class TNewMsgForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNewSms = 1;
    static constexpr int kIncomingCall = 2;
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 110;
    static constexpr int kNewSmsLifetimeMs = 15000;
    static constexpr int kCallLifetimeMs = 60000;

    TNewMsgForm(QWidget *owner, int kind, const QString &text);

    int kind() const { return m_kind; }
    QString text() const;
    void setText(const QString &text);

    // Bottom-right of the screen, 60 pixels above its lower edge, raised by `stacked` pop-up
    // heights (a message notice goes above a call notice).
    void placeAtBottomRight(int stacked);

    QLabel *Label_Title;
    QLabel *Label_Text;
    QPushButton *SMS_IMbutton;  // a message notice only
    QPushButton *Button_Close;
    QTimer *Timer_Close;

    void Button_CloseClick();
    // Opens the message: runs what the notice was given, then closes.
    void SMS_IMbuttonClick();
    void setOpenAction(std::function<void()> open) { m_open = std::move(open); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A frame in the caption's colour, so the notice stands out from whatever is behind it.
    void paintEvent(QPaintEvent *event) override;

private:
    int m_kind;
    std::function<void()> m_open;
    QPoint m_dragOffset;  // where the caption was grabbed, while it is dragged
    bool m_dragging = false;
};

// The two notices of the main window: at most one of each. The main window hands its CardView
// pop-up calls to this.
class NewMsgPopups {
public:
    explicit NewMsgPopups(QWidget *owner) : m_owner(owner) {}
    ~NewMsgPopups();
    NewMsgPopups(const NewMsgPopups &) = delete;
    NewMsgPopups &operator=(const NewMsgPopups &) = delete;

    // A notice the user closed no longer exists.
    bool hasNewSmsPopup() const { return !m_newSms.isNull(); }
    void showNewSmsPopup(const QString &text, bool aboveCallPopup);
    void releaseNewSmsPopup();
    // What the message notice's read button does (the main window shows the newest message).
    void setOpenNewSms(std::function<void()> open) { m_openNewSms = std::move(open); }

    bool hasCallPopup() const { return !m_call.isNull(); }
    // Runs modally (through the dialog seam) and returns when the notice closes.
    void showCallPopup(const QString &number);
    void setCallPopupText(const QString &number);
    void closeCallPopup();

    TNewMsgForm *newSmsPopup() const { return m_newSms; }
    TNewMsgForm *callPopup() const { return m_call; }

private:
    QPointer<QWidget> m_owner;
    QPointer<TNewMsgForm> m_newSms;
    QPointer<TNewMsgForm> m_call;
    std::function<void()> m_openNewSms;
};
