// The main window's own pictures: the image lists its status strip and tray icon show (card,
// SIM, signal and connection states, and the three animations). They belong to the window's
// layout, not to the skin, so they are drawn here at any size.
#pragma once

#include <QImage>

namespace mainpictures {

inline constexpr int kTrayMainCount = 10;      // ImageList_TrayMain, indexes as TrayMainImage
inline constexpr int kSignalLevelCount = 6;    // ImageList_RSSILevel, 0-5 bars
inline constexpr int kNewSmsFrames = 4;        // ImageList_NewSms
inline constexpr int kIncomingCallFrames = 4;  // ImageList_IncomingCall
inline constexpr int kInternetFrames = 3;      // ImageList_Internet

// A square picture of side `size` on a transparent background; an index outside the list gives
// a null image.
QImage trayMainPicture(int index, int size);
QImage newSmsPicture(int frame, int size);
QImage incomingCallPicture(int frame, int size);
QImage internetPicture(int frame, int size);
// The signal bars, 32 x 17.
QImage signalLevelPicture(int level);

}  // namespace mainpictures
