// Fuzz target for the skin loader: an INI text and an atlas, as one input (the INI text, a NUL
// byte, then the PNG bytes). Choosing the skin decodes the atlas with libpng; every section of
// a fixed set is then looked up and cut, as the windows would.
#include "skin/FaceManager.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        QDir(dir.path()).mkpath(QStringLiteral("resource/image/Default"));
        return QDir::setCurrent(dir.path());
    }();
    (void)ready;
    return dir;
}

void writeFile(const char *path, const uint8_t *data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), std::streamsize(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    folder();
    const auto *nul = static_cast<const uint8_t *>(std::memchr(data, 0, size));
    const size_t iniSize = nul ? size_t(nul - data) : size;
    const size_t pngOffset = nul ? iniSize + 1 : size;
    writeFile("resource/image/Default/ArgBrisaOthers.ini", data, iniSize);
    writeFile("resource/image/Default/ArgBrisaOthers.png", data + pngOffset, size - pngOffset);

    skin::FaceManager manager;
    manager.setMode(skin::FaceManager::kModeDefault);
    if (!manager.chooseSkin(skin::FaceManager::kVariantOthers))
        return 0;
    for (const char *section : {"A", "MESSAGEBOX.BTOK", "MAIN.YBBACKIMAGE", "L"}) {
        for (const char *key : {"Image", "Image Hot", "Image Pushed", "Image0", "Image1"}) {
            const QImage picture = manager.picture(section, key);
            if (!picture.isNull() &&
                (picture.width() != manager.width() || picture.height() != manager.height()))
                __builtin_trap();
        }
        (void)manager.color(section, "Color");
    }
    return 0;
}
