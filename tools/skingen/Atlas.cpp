#include "Atlas.h"

#include <QPainter>

#include <algorithm>
#include <numeric>

namespace skingen {

namespace {
constexpr int kGap = 2;  // keeps neighbours apart when a picture is scaled
}

int AtlasBuilder::add(const QString &recipe, const QImage &image)
{
    const auto found = m_byRecipe.find(recipe);
    if (found != m_byRecipe.end())
        return found->second;
    const int id = int(m_images.size());
    m_images.push_back(image);
    m_byRecipe.emplace(recipe, id);
    return id;
}

void AtlasBuilder::pack(int maxWidth)
{
    std::vector<int> order(m_images.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return m_images[size_t(a)].height() > m_images[size_t(b)].height();
    });
    m_rects.assign(m_images.size(), QRect());
    int x = 0, y = 0, rowHeight = 0, width = 0;
    for (int id : order) {
        const QImage &image = m_images[size_t(id)];
        if (x > 0 && x + image.width() > maxWidth) {
            y += rowHeight + kGap;
            x = 0;
            rowHeight = 0;
        }
        m_rects[size_t(id)] = QRect(x, y, image.width(), image.height());
        x += image.width() + kGap;
        rowHeight = std::max(rowHeight, image.height());
        width = std::max(width, x - kGap);
    }
    m_size = QSize(std::max(width, 1), std::max(y + rowHeight, 1));
}

void AtlasBuilder::placeLike(const AtlasBuilder &plain, int scale)
{
    m_rects.clear();
    for (const QRect &rect : plain.m_rects)
        m_rects.emplace_back(rect.topLeft() * scale, rect.size() * scale);
    m_size = plain.m_size * scale;
}

QImage AtlasBuilder::compose() const
{
    QImage atlas(m_size, QImage::Format_ARGB32);
    atlas.fill(Qt::transparent);
    QPainter painter(&atlas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (size_t id = 0; id < m_images.size(); ++id) {
        // Pixel for pixel, whatever scale the picture was drawn at.
        QImage pixels = m_images[id];
        pixels.setDevicePixelRatio(1);
        painter.drawImage(m_rects[id].topLeft(), pixels);
    }
    return atlas;
}

}  // namespace skingen
