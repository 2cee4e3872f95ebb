// A panel that can wear a skin picture and that groups the selection of its image controls.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace skin {

class TImPanel : public QWidget {
    Q_OBJECT
public:
    explicit TImPanel(QWidget *parent = nullptr);

    const QPixmap &Picture() const { return m_picture; }
    // Drawn stretched over the panel, under its children.
    void setPicture(const QPixmap &picture);

    // Keep the clicked grouped image selected after a click.
    bool KeepSelStatus() const { return m_keepSelStatus; }
    void setKeepSelStatus(bool on) { m_keepSelStatus = on; }

    // Clears the selected bit of every image control on the panel, grouped or not.
    void UnselectAll();
    // Sets the status of every image control on the panel back to 0.
    void ResetAll();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    bool m_keepSelStatus = false;
};

}  // namespace skin
