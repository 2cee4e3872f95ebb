// The skin manager: an image atlas (PNG) and an INI file that maps a control key
// ("WINDOWPREFIX.CONTROLNAME") to a rectangle of the atlas and to colours. Windows choose the
// skin once while they are built and then apply it to each control; nothing is skinned later.
//
// The skin lives in "./resource/image/Default/" relative to the working folder:
//   variant 1 (the main window)   ArgBrisaMain.ini   + ArgBrisaMain.png
//   variant 2 (every other window) ArgBrisaOthers.ini + ArgBrisaOthers.png
// Beside each atlas may lie the same atlas drawn at twice the size (ArgBrisaMain@2x.png): the
// rectangles of the INI file, doubled, cut its pictures for screens scaled to 2x.
#pragma once

#include "platform/IniFile.h"
#include "skin/PngImage.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

namespace skin {

class FaceManager {
public:
    // The mode that takes the skin from the "Default" folder.
    static constexpr int kModeDefault = 1;
    static constexpr int kVariantMain = 1;
    static constexpr int kVariantOthers = 2;

    FaceManager() = default;

    void setMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }
    int variant() const { return m_variant; }
    const QString &iniPath() const { return m_iniPath; }
    const QString &pngPath() const { return m_pngPath; }
    bool hasAtlas() const { return m_atlas != nullptr; }

    // Picks the skin files of the variant and decodes the atlas. False when the mode is not
    // the default one, the variant is unknown or the atlas cannot be read.
    bool chooseSkin(int variant);

    // Reads "left,top,width,height" from the key of the section into the rectangle fields.
    // False when no skin is chosen, the value is missing or malformed, or a number is negative.
    bool lookupRect(const std::string &section, const std::string &key);
    // The atlas rectangle of the last successful look-up; a null image when its width or
    // height is 0. On a screen of more than one pixel per point, the same rectangle of the
    // double-size atlas (name@2x.png) when the skin has one, marked as 2 pixels per point.
    QImage cutPicture() const;
    bool hasDoubleAtlas() const { return m_atlas2x != nullptr; }
    // Look-up and cut in one; a null image when either fails.
    QImage picture(const std::string &section, const std::string &key);
    // A colour value of the section; nothing when the key is missing.
    std::optional<QColor> color(const std::string &section, const std::string &key) const;

    // Skins one control by its kind (see FaceManager.cpp).
    void apply(QObject *control, const QString &key);

    int left() const { return m_left; }
    int top() const { return m_top; }
    int right() const { return m_right; }
    int bottom() const { return m_bottom; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    int m_width = 0;
    int m_height = 0;
    QString m_iniPath;
    QString m_pngPath;
    std::shared_ptr<const PngImage> m_atlas;
    std::shared_ptr<const PngImage> m_atlas2x;
    int m_mode = -1;
    int m_variant = 0;
    platform::IniFile m_ini;
};

// The process-wide manager and its state word: 0 no manager, 1 usable, 2 choosing the skin
// failed (every apply is then ignored until the manager is destroyed and created again).
enum FaceState { kFaceNone = 0, kFaceUsable = 1, kFaceFailed = 2 };

void CreateFaceManager();
void SetFaceMode(int mode);                            // no-op without a manager
bool ChooseFaceSkin(int variant);                      // false (and state 2) on any failure
void ApplyFace(QObject *control, const QString &key);  // no-op without a manager or in state 2
void DestroyFaceManager();                             // harmless when there is none
int FaceManagerState();
FaceManager *CurrentFaceManager();

// For a window built after start-up: creates a manager of its own in mode 1, chooses the
// variant, and destroys the manager again when the scope ends. While the start-up manager
// still exists, that one is used and left alone.
class ScopedFaceManager {
public:
    explicit ScopedFaceManager(int variant);
    ~ScopedFaceManager();
    ScopedFaceManager(const ScopedFaceManager &) = delete;
    ScopedFaceManager &operator=(const ScopedFaceManager &) = delete;

    bool chosen() const { return m_chosen; }
    void apply(QObject *control, const QString &key) const;

private:
    bool m_owned = false;
    bool m_chosen = false;
};

}  // namespace skin
