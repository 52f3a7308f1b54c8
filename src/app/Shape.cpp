#include "app/Shape.h"

#include <QPainter>
#include <algorithm>

#include "app/Text.h"

TShape::TShape(QWidget* parent) : QWidget(parent)
{
    resize(65, 65);
}

void TShape::SetKind(Kind k)
{
    if (kind_ == k) return;
    kind_ = k;
    update();
}

void TShape::SetBrushColor(uint32_t bbggrr)
{
    if (brush_ == bbggrr) return;
    brush_ = bbggrr;
    update();
}

void TShape::SetPenColor(uint32_t bbggrr)
{
    if (pen_ == bbggrr) return;
    pen_ = bbggrr;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, kind_ != Rectangle);
    p.setPen(QPen(ToQColor(pen_), 1));
    p.setBrush(ToQColor(brush_));
    // Keep the one-pixel outline inside the widget.
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    switch (kind_) {
    case Rectangle:
        p.drawRect(r);
        break;
    case RoundRect: {
        const qreal radius = std::min(r.width(), r.height()) / 4.0;
        p.drawRoundedRect(r, radius, radius);
        break;
    }
    case Circle: {
        const qreal d = std::min(r.width(), r.height());
        p.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
        break;
    }
    case Ellipse:
        p.drawEllipse(r);
        break;
    }
}
