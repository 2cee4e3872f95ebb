#include "skin/ImPanel.h"

#include "skin/ImImage.h"

#include <QPainter>

namespace skin {

TImPanel::TImPanel(QWidget *parent) : QWidget(parent) {}

void TImPanel::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void TImPanel::UnselectAll()
{
    for (TImImage *image : findChildren<TImImage *>(Qt::FindDirectChildrenOnly))
        image->setSelected(false);
}

void TImPanel::ResetAll()
{
    for (TImImage *image : findChildren<TImImage *>(Qt::FindDirectChildrenOnly))
        image->setStatus(0);
}

void TImPanel::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawPixmap(rect(), m_picture);
}

}  // namespace skin
