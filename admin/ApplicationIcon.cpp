#include "admin/ApplicationIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// The drawing on the launcher icon's 64 x 64 grid, scaled to `size`.
QPixmap drawn(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    const QColor blue(0x1f, 0x4e, 0x79);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(12, 20, 40, 28), 3, 3);
    QPainterPath flap;
    flap.moveTo(12, 22);
    flap.lineTo(32, 37);
    flap.lineTo(52, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(blue, 3, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(flap);
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(QColor(0xe8, 0x42, 0x3f));
    p.drawEllipse(QPointF(49, 17), 8, 8);
    return pixmap;
}

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawn(size));
    return icon;
}
