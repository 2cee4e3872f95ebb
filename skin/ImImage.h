// Clickable icons and tabs: a picture per state (base, hot, selected), a status of three bits
// and, when grouped, one selection shared with the other images of the parent image panel.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace skin {

class TImImage : public QWidget {
    Q_OBJECT
public:
    enum StatusBit { Hot = 1, Selected = 2, Pressed = 4 };
    static constexpr int kHoverInterval = 200;

    explicit TImImage(QWidget *parent = nullptr);

    const QPixmap &Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    const QPixmap &HotPicture() const { return m_hotPicture; }
    void setHotPicture(const QPixmap &picture);
    const QPixmap &SelPicture() const { return m_selPicture; }
    void setSelPicture(const QPixmap &picture);

    bool IsBkgnd() const { return m_isBkgnd; }
    void setIsBkgnd(bool on) { m_isBkgnd = on; }
    bool Grouped() const { return m_grouped; }
    void setGrouped(bool on) { m_grouped = on; }
    bool DrawBevel() const { return m_drawBevel; }
    void setDrawBevel(bool on)
    {
        m_drawBevel = on;
        update();
    }
    // Stretch the picture over the control; otherwise it is drawn at its size, at the
    // top-left corner, or centred with Center.
    bool Stretch() const { return m_stretch; }
    void setStretch(bool on)
    {
        m_stretch = on;
        update();
    }
    bool Center() const { return m_center; }
    void setCenter(bool on)
    {
        m_center = on;
        update();
    }

    int Status() const { return m_status; }
    // A new status runs the status-changed signal and repaints; the same status does nothing.
    void setStatus(int status);
    bool isSelected() const { return m_status & Selected; }
    void setSelected(bool selected);

    // The picture painted in the current status.
    const QPixmap &currentPicture() const;
    bool isHoverTimerActive() const { return Timer_Hover.isActive(); }

    // The hover timer's tick: a cursor outside the control counts as leaving.
    void Timer_HoverTimer();
    // The click: clears pressed, settles the panel's selection, then runs clicked().
    void Click();

signals:
    void clicked();
    void statusChanged(int newStatus, int oldStatus);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void mouseLeft();

    QPixmap m_picture;
    QPixmap m_hotPicture;
    QPixmap m_selPicture;
    bool m_isBkgnd = false;
    bool m_grouped = false;
    bool m_drawBevel = false;
    bool m_stretch = false;
    bool m_center = false;
    int m_status = 0;
    // The left button went down on this control and is still held: the control has the mouse,
    // so leaving and coming back show as moves, and a release inside clicks.
    bool m_captured = false;
    QTimer Timer_Hover;
};

}  // namespace skin
