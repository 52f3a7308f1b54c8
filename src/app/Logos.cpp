#include "app/Logos.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "app/Text.h"

namespace {

constexpr int kComImageSize = 25;

QPixmap TransparentPixmap(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

// Brand 1: a meter dial on an orbit ring.
void PaintDialLogo(QPainter& p, int size)
{
    const QColor green = ToQColor(ClrButtonFace);
    const QColor white = ToQColor(ClrText);
    const QColor dark = ToQColor(ClrBackground);
    const QRectF r(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawEllipse(r);
    p.setBrush(dark);
    p.drawEllipse(r.adjusted(size * 0.09, size * 0.09, -size * 0.09, -size * 0.09));
    // Scale ticks on the upper three quarters of the dial.
    const QPointF c = r.center();
    const qreal outer = size * 0.30;
    const qreal inner = size * 0.24;
    p.setPen(QPen(white, qMax(1.0, size * 0.03), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i <= 8; ++i) {
        const qreal a = qDegreesToRadians(225.0 - i * 33.75);
        p.drawLine(QPointF(c.x() + inner * qCos(a), c.y() - inner * qSin(a)),
                   QPointF(c.x() + outer * qCos(a), c.y() - outer * qSin(a)));
    }
    // Needle and hub.
    const qreal needle = qDegreesToRadians(60.0);
    p.setPen(QPen(green, qMax(1.5, size * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + size * 0.27 * qCos(needle), c.y() - size * 0.27 * qSin(needle)));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(c, size * 0.06, size * 0.06);
    // The orbiting point on the ring.
    const qreal orbit = qDegreesToRadians(20.0);
    const qreal ringRadius = size * 0.395;
    p.setBrush(white);
    p.drawEllipse(QPointF(c.x() + ringRadius * qCos(orbit), c.y() - ringRadius * qSin(orbit)), size * 0.05,
                  size * 0.05);
}

// Brand 2: a hexagon with three bars.
void PaintHexLogo(QPainter& p, int size)
{
    const QColor green = ToQColor(ClrButtonFace);
    const QColor white = ToQColor(ClrText);
    const QPointF c(size / 2.0, size / 2.0);
    const qreal radius = size * 0.46;
    QPainterPath hex;
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(30.0 + 60.0 * i);
        const QPointF pt(c.x() + radius * qCos(a), c.y() + radius * qSin(a));
        if (i == 0)
            hex.moveTo(pt);
        else
            hex.lineTo(pt);
    }
    hex.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPath(hex);
    p.setBrush(white);
    const qreal barH = size * 0.09;
    const qreal widths[3] = {0.42, 0.30, 0.18};
    for (int i = 0; i < 3; ++i) {
        const qreal w = size * widths[i];
        p.drawRoundedRect(QRectF(c.x() - w / 2, c.y() - size * 0.20 + i * size * 0.15, w, barH), barH / 2,
                          barH / 2);
    }
}

} // namespace

QPixmap DrawBrandLogo(int brand, int size)
{
    QPixmap pm = TransparentPixmap(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (brand == 2)
        PaintHexLogo(p, size);
    else
        PaintDialLogo(p, size);
    return pm;
}

QPixmap DrawBrandMiddleLogo(int brand, int size)
{
    // The middle logo is the maker's mark: a tilted orbit (brand 1) or the
    // hexagon outline (brand 2), drawn in outline so that it stays quiet.
    QPixmap pm = TransparentPixmap(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green = ToQColor(ClrButtonFace);
    const QColor white = ToQColor(ClrText);
    const QPointF c(size / 2.0, size / 2.0);
    if (brand == 2) {
        QPainterPath hex;
        const qreal radius = size * 0.44;
        for (int i = 0; i < 6; ++i) {
            const qreal a = qDegreesToRadians(30.0 + 60.0 * i);
            const QPointF pt(c.x() + radius * qCos(a), c.y() + radius * qSin(a));
            if (i == 0)
                hex.moveTo(pt);
            else
                hex.lineTo(pt);
        }
        hex.closeSubpath();
        p.setPen(QPen(green, qMax(1.5, size * 0.07)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hex);
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawEllipse(c, size * 0.10, size * 0.10);
        return pm;
    }
    p.translate(c);
    p.rotate(-25);
    p.setPen(QPen(green, qMax(1.5, size * 0.07)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), size * 0.44, size * 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(QPointF(0, 0), size * 0.12, size * 0.12);
    p.setBrush(green);
    p.drawEllipse(QPointF(size * 0.44, 0), size * 0.08, size * 0.08);
    return pm;
}

QPixmap DrawComConnectedImage()
{
    // Two plug halves joined: the device is connected.
    QPixmap pm = TransparentPixmap(kComImageSize, kComImageSize);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green = ToQColor(ClrButtonFace);
    const QColor white = ToQColor(ClrText);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawEllipse(QRectF(0.5, 0.5, 24, 24));
    p.setBrush(white);
    p.drawRoundedRect(QRectF(5, 10, 7, 5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(13, 10, 7, 5), 1.5, 1.5);
    p.drawRect(QRectF(2.5, 11.5, 3, 2));
    p.drawRect(QRectF(19.5, 11.5, 3, 2));
    p.setPen(QPen(white, 1.2));
    p.drawLine(QPointF(12, 11), QPointF(13, 11));
    p.drawLine(QPointF(12, 14), QPointF(13, 14));
    return pm;
}

QPixmap DrawComInProgressImage()
{
    // Two opposed arrows on amber: frames are being exchanged.
    QPixmap pm = TransparentPixmap(kComImageSize, kComImageSize);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor amber(0xF2, 0xB1, 0x34);
    const QColor dark = ToQColor(ClrBackground);
    p.setPen(Qt::NoPen);
    p.setBrush(amber);
    p.drawEllipse(QRectF(0.5, 0.5, 24, 24));
    p.setBrush(dark);
    QPainterPath right;
    right.moveTo(5, 7.5);
    right.lineTo(14, 7.5);
    right.lineTo(14, 4.5);
    right.lineTo(20, 9);
    right.lineTo(14, 13.5);
    right.lineTo(14, 10.5);
    right.lineTo(5, 10.5);
    right.closeSubpath();
    p.drawPath(right);
    QPainterPath left;
    left.moveTo(20, 14.5);
    left.lineTo(11, 14.5);
    left.lineTo(11, 11.5);
    left.lineTo(5, 16);
    left.lineTo(11, 20.5);
    left.lineTo(11, 17.5);
    left.lineTo(20, 17.5);
    left.closeSubpath();
    p.drawPath(left);
    return pm;
}
