#include "skin/PngImage.h"

#include <QFile>

#include <png.h>

#include <algorithm>
#include <cstring>

namespace skin {

bool PngImage::load(const QString &path)
{
    m_width = m_height = 0;
    m_rgba.clear();
    m_error.clear();

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    const QByteArray fileName = QFile::encodeName(path);
    if (!png_image_begin_read_from_file(&image, fileName.constData())) {
        m_error = image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide ||
        image.height > kMaxSide) {
        m_error = "atlas size out of range";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        m_error = image.message;
        png_image_free(&image);
        return false;
    }
    m_width = image.width;
    m_height = image.height;
    m_rgba = std::move(pixels);
    png_image_free(&image);
    return true;
}

std::uint32_t PngImage::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || std::uint32_t(x) >= m_width || std::uint32_t(y) >= m_height)
        return 0;
    const std::uint8_t *p = &m_rgba[(size_t(y) * m_width + size_t(x)) * 4];
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) |
           p[2];
}

QImage PngImage::copy(int x, int y, int width, int height) const
{
    if (width <= 0 || height <= 0)
        return {};
    QImage result(width, height, QImage::Format_RGBA8888);
    if (result.isNull())
        return {};
    result.fill(Qt::transparent);
    // Only the part of the rectangle that overlaps the atlas has pixels to copy.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>((long long)x + width, m_width);
    const long long bottom = std::min<long long>((long long)y + height, m_height);
    if (left >= right || top >= bottom)
        return result;
    const size_t rowBytes = size_t(right - left) * 4;
    for (long long row = top; row < bottom; ++row) {
        const std::uint8_t *source = &m_rgba[(size_t(row) * m_width + size_t(left)) * 4];
        std::uint8_t *target = result.scanLine(int(row - y)) + (left - x) * 4;
        std::memcpy(target, source, rowBytes);
    }
    return result;
}

}  // namespace skin
