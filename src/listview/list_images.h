#pragma once
// The list's small pictures, drawn here: item images (16 px wide), header images (11 px
// wide) and the header menu's command images.
#include <QIcon>
#include <QList>
#include <QPixmap>

namespace fendal::listview {

namespace listimages {

QList<QPixmap> pointItemImages();    // 0: a measuring point
QList<QPixmap> pointHeaderImages();  // 0: the image column's header
// Sort ascending, sort descending, customize header, header format.
QList<QIcon> headerMenuImages();

}  // namespace listimages

}  // namespace fendal::listview
