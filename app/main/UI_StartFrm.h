// The splash window shown while the program starts; the main window's Timer_Start closes it.
#pragma once

#include "skin/SkinControls.h"

#include <QLabel>
#include <QWidget>

class TStartForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 242;

    explicit TStartForm(QWidget *parent = nullptr);

    skin::BackImage *StartMidImage;
    skin::SkinImage *LogoImage;
    QLabel *Label_ProductName;
    QLabel *Label_PCSoftwareVersionCaption;
    QLabel *Label_PCSoftwareVersion;
    QLabel *Label_Rights;
    QLabel *Label_Init;
    skin::LinkLabel *YbUrlLabel_HomePage;
};
