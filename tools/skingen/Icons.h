// Line icons of the skin, drawn with the painter into a square box in one colour.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace skingen {

// Known names: home, globe, envelope, contacts, gear, sim, help, phone, hangup, history,
// backspace, arrow-right, arrow-left, close, minimize, browse, signal, search.
// An unknown name draws nothing and returns false.
bool drawIcon(QPainter &painter, const QRectF &box, const QString &name, const QColor &color);

}  // namespace skingen
