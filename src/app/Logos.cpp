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

namespace {
// A flat arrow from tailX to headX along centreY: a shaft 3 px high and a
// head 9 px high and 6 px long.
QPainterPath TrafficArrow(qreal tailX, qreal headX, qreal centreY)
{
    const qreal dir = headX > tailX ? 1 : -1;
    const qreal neckX = headX - 6 * dir;
    QPainterPath arrow;
    arrow.moveTo(tailX, centreY - 1.5);
    arrow.lineTo(neckX, centreY - 1.5);
    arrow.lineTo(neckX, centreY - 4.5);
    arrow.lineTo(headX, centreY);
    arrow.lineTo(neckX, centreY + 4.5);
    arrow.lineTo(neckX, centreY + 1.5);
    arrow.lineTo(tailX, centreY + 1.5);
    arrow.closeSubpath();
    return arrow;
}
} // namespace

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
    // Traffic both ways: one arrow to the meter, one back.
    p.drawPath(TrafficArrow(5, 20, 9));
    p.drawPath(TrafficArrow(20, 5, 16));
    return pm;
}
