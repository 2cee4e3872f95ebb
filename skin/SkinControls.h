// The smaller controls that wear the skin: a plain picture, a background picture, a link label
// and an image list.
#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QWidget>

#include <vector>

namespace skin {

// A plain picture, drawn at its size at the top-left corner, centred, or stretched.
class SkinImage : public QWidget {
    Q_OBJECT
public:
    explicit SkinImage(QWidget *parent = nullptr);

    const QPixmap &Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    bool m_stretch = false;
    bool m_center = false;
};

// A window's background picture, stretched over the control. With ColorKeyed, fuchsia
// pixels are left out (the main window's rounded corners).
class BackImage : public QWidget {
    Q_OBJECT
public:
    explicit BackImage(QWidget *parent = nullptr);

    const QPixmap &Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    bool ColorKeyed() const { return m_colorKeyed; }
    void setColorKeyed(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    QPixmap m_drawn;
    bool m_colorKeyed = false;
};

// A label that acts as a hyperlink: its own colour normally, the hover colour under the mouse.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);

    QColor LinkColor() const { return m_linkColor; }
    void setLinkColor(const QColor &color);
    QColor HoverColor() const { return m_hoverColor; }
    void setHoverColor(const QColor &color);
    bool isHovered() const { return m_hovered; }

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyColors();

    QColor m_linkColor = QColor(0, 0, 255);
    QColor m_hoverColor = QColor(255, 0, 0);
    bool m_hovered = false;
};

// An ordered list of equal-purpose pictures (signal levels, animation frames).
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);

    void Clear() { m_pictures.clear(); }
    // Adds a picture; pixels of the mask colour become transparent.
    void AddMasked(const QImage &picture, const QColor &maskColor);
    int Count() const { return int(m_pictures.size()); }
    // The picture at index, or an empty picture outside the list.
    QPixmap picture(int index) const;

private:
    std::vector<QPixmap> m_pictures;
};

// The picture with every pixel of the key colour made transparent.
QImage withColorKey(const QImage &picture, const QColor &key);

}  // namespace skin
