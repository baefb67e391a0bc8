#include "listview/list_images.h"

#include <QPainter>
#include <QPainterPath>

namespace fendal::listview {

namespace listimages {

namespace {

QPixmap canvas(int w, int h) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A measuring point: a crack line through a concrete block with a probe mark.
QPixmap measuringPoint() {
    QPixmap pixmap = canvas(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x6B, 0x6B, 0x6B));
    p.setBrush(QColor(0xC8, 0xC4, 0xBC));
    p.drawRect(QRectF(1.5, 4.5, 13, 10));
    QPainterPath crack;
    crack.moveTo(8, 4.5);
    crack.lineTo(7, 8);
    crack.lineTo(9, 10.5);
    crack.lineTo(8, 14.5);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(crack);
    p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 1.5));
    p.drawLine(QPointF(8, 0.5), QPointF(8, 4));
    return pixmap;
}

QPixmap headerPicture() {
    QPixmap pixmap = canvas(11, 11);
    QPainter p(&pixmap);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xC8, 0xC4, 0xBC));
    p.drawRect(0, 3, 10, 7);
    p.setPen(QColor(0xD0, 0x20, 0x20));
    p.drawLine(5, 0, 5, 6);
    return pixmap;
}

QPixmap sortArrow(bool ascending) {
    QPixmap pixmap = canvas(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2F, 0x5E, 0xA8));
    QPolygonF triangle;
    if (ascending)
        triangle << QPointF(3, 11) << QPointF(13, 11) << QPointF(8, 4);
    else
        triangle << QPointF(3, 5) << QPointF(13, 5) << QPointF(8, 12);
    p.drawPolygon(triangle);
    return pixmap;
}

QPixmap columnsPicture() {
    QPixmap pixmap = canvas(16, 16);
    QPainter p(&pixmap);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRect(1, 2, 13, 11);
    p.fillRect(2, 3, 12, 3, QColor(0x9A, 0xB8, 0xE0));
    p.drawLine(6, 2, 6, 13);
    p.drawLine(10, 2, 10, 13);
    return pixmap;
}

QPixmap formatPicture() {
    QPixmap pixmap = canvas(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRect(QRectF(1.5, 2.5, 12, 11));
    p.setPen(QPen(QColor(0x2F, 0x5E, 0xA8), 1.5));
    p.drawLine(QPointF(4, 6), QPointF(11, 6));
    p.drawLine(QPointF(4, 9), QPointF(9, 9));
    p.drawLine(QPointF(4, 12), QPointF(11, 12));
    return pixmap;
}

}  // namespace

QList<QPixmap> pointItemImages() { return {measuringPoint()}; }

QList<QPixmap> pointHeaderImages() { return {headerPicture()}; }

QList<QIcon> headerMenuImages() {
    return {QIcon(sortArrow(true)), QIcon(sortArrow(false)), QIcon(columnsPicture()), QIcon(formatPicture())};
}

}  // namespace listimages

}  // namespace fendal::listview
