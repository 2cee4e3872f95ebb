// The small notices at the bottom-right of the screen: a new message (kind 1) and an incoming
// call (kind 2). They show their text and close; the main window decides when they appear.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QPushButton;

class TNewMsgForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNewSms = 1;
    static constexpr int kIncomingCall = 2;
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 110;

    TNewMsgForm(QWidget *owner, int kind, const QString &text);

    int kind() const { return m_kind; }
    QString text() const;
    void setText(const QString &text);

    // Bottom-right of the screen, 60 pixels above its lower edge, raised by `stacked` pop-up
    // heights (a message notice goes above a call notice).
    void placeAtBottomRight(int stacked);

    QLabel *Label_Title;
    QLabel *Label_Text;
    QPushButton *Button_Close;

    void Button_CloseClick();

protected:
    // A frame in the caption's colour, so the notice stands out from whatever is behind it.
    void paintEvent(QPaintEvent *event) override;

private:
    int m_kind;
};

// The two notices of the main window: at most one of each. The main window hands its CardView
// pop-up calls to this.
class TNewMsgPopups {
public:
    explicit TNewMsgPopups(QWidget *owner) : m_owner(owner) {}
    ~TNewMsgPopups();
    TNewMsgPopups(const TNewMsgPopups &) = delete;
    TNewMsgPopups &operator=(const TNewMsgPopups &) = delete;

    // A notice the user closed no longer exists.
    bool hasNewSmsPopup() const { return !m_newSms.isNull(); }
    void showNewSmsPopup(const QString &text, bool aboveCallPopup);
    void releaseNewSmsPopup();

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
};
