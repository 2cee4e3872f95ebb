// Packs the skin's pictures into one atlas; pictures drawn from the same recipe share a place.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <map>
#include <vector>

namespace skingen {

class AtlasBuilder {
public:
    // Returns the picture's id; a recipe already added returns its first id and the image is
    // not stored again.
    int add(const QString &recipe, const QImage &image);
    // Places every picture in rows no wider than maxWidth.
    void pack(int maxWidth);
    // Places every picture where the plain atlas has it, scaled: the pictures of a double-size
    // skin drawn in the same order land at twice the plain rectangles.
    void placeLike(const AtlasBuilder &plain, int scale);
    QRect rect(int id) const { return m_rects.at(size_t(id)); }
    QImage compose() const;
    int count() const { return int(m_images.size()); }

private:
    std::map<QString, int> m_byRecipe;
    std::vector<QImage> m_images;
    std::vector<QRect> m_rects;
    QSize m_size;
};

}  // namespace skingen
