// Making the windows' controls: each takes its name in the design as its object name, so that
// tests and the skin find it, and its caption from the language library.
#pragma once

#include "platform/ResStringManager.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

template <typename Control, typename... Arguments>
Control *NamedControl(QWidget *parent, const char *name, Arguments &&...arguments)
{
    auto *made = new Control(std::forward<Arguments>(arguments)..., parent);  // owned by parent
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

// A label of plain text (what it shows is never read as markup).
inline QLabel *NamedLabel(QWidget *parent, const char *name, const QString &text = {})
{
    auto *made = NamedControl<QLabel>(parent, name, text);
    made->setTextFormat(Qt::PlainText);
    return made;
}

// A button, a check box or a radio button with a caption from the language library.
template <typename Button = QPushButton>
Button *NamedButton(QWidget *parent, const char *name, int caption)
{
    return NamedControl<Button>(parent, name, platform::GetLanguageString(caption));
}
