// The skin atlas, decoded with libpng into 8-bit RGBA rows.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

class PngImage {
public:
    // Atlases larger than this are refused rather than allocated.
    static constexpr std::uint32_t kMaxSide = 16384;

    PngImage() = default;

    // Decodes the file; on failure the image is empty and error() says why.
    bool load(const QString &path);

    bool isNull() const { return m_width == 0 || m_height == 0; }
    int width() const { return int(m_width); }
    int height() const { return int(m_height); }
    const std::string &error() const { return m_error; }

    // The pixel at (x, y) as 0xAARRGGBB; 0 outside the image.
    std::uint32_t pixel(int x, int y) const;

    // A copy of the rectangle (x, y, width, height); the part of it that lies outside the atlas
    // stays fully transparent.
    QImage copy(int x, int y, int width, int height) const;

private:
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::vector<std::uint8_t> m_rgba;  // m_width * 4 bytes per row
    std::string m_error;
};

}  // namespace skin
