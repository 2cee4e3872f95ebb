// The About box: product name, the program's version, and what the card tells of itself
// (IMEI, card software and hardware versions). A click anywhere closes it.
#pragma once

#include "skin/SkinControls.h"

#include <QDialog>
#include <QLabel>

#include <cstdint>

// What the box needs to know of the program when it opens.
struct AboutBoxContext {
    bool showInternalVersions = false;  // the hidden internal-version lines
    uint8_t cardState = 1;              // 1: card absent
    int callState = 0;                  // the call window's state
    int connectionState = 0;            // the data connection's state
    // False for the box made once at start-up, which is never shown: the card is not asked for
    // anything then (a needless card command while the card is being brought up).
    bool askCard = true;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 242;
    // Shown for a card that reports "1" as its internal version: those cards predate the
    // internal version numbers.
    static constexpr const char *kOldInternalVersionText = "Old Version befor V1.0.1B11";

    TAboutBox(QWidget *owner, const AboutBoxContext &context);

    // Whether the card may be asked for its versions now: not while it is absent, while a call
    // is being set up or held, or while the data connection is changing.
    static bool mayAskBoardVersions(const AboutBoxContext &context);

    skin::BackImage *YBBACKIMAGE_BACK;
    skin::SkinImage *LogoImage;
    QLabel *Label_ProductName;
    QLabel *Label_PCSoftwareVersionCaption;
    QLabel *Label_PCSoftwareVersion;
    QLabel *Label_PCSoftwareInterVersionCaption;
    QLabel *Label_PCSoftwareInterVersion;
    QLabel *Label_BoardSoftwareVersionCaption;
    QLabel *Label_BoardSoftwareVersion;
    QLabel *Label_BoardSoftwareInterVersionCaption;
    QLabel *Label_BoardSoftwareInterVersion;
    QLabel *Label_HardwareVersionCaption;
    QLabel *Label_HardwareVersion;
    QLabel *Label_IMEI;
    QLabel *Label_IMEINumber;
    QLabel *Label_IMSI;
    QLabel *Label_IMSINumber;
    QLabel *Label_Rights;
    skin::LinkLabel *YbUrlLabel_HomePage;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void readImei();
    void readBoardVersions(bool showInternalVersions);
    // Stacks the visible caption/value rows from the top of the body.
    void layoutRows();
};
