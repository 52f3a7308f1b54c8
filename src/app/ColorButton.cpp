#include "app/ColorButton.h"

#include <QEnterEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <qdrawutil.h>
#include <utility>

#include "app/Text.h"

namespace {

// The click handler of one button, kept as a child of the button so that it can
// move with the button's role to a replacement.
class ClickHandler : public QObject {
public:
    explicit ClickHandler(QObject* owner) : QObject(owner) {}
    std::function<void()> handler;

    void Bind(QAbstractButton* button)
    {
        QObject::connect(button, &QAbstractButton::clicked, this, [this] {
            // A copy: the handler may replace or delete the button it was called from.
            const std::function<void()> run = handler;
            if (run) run();
        });
    }
};

ClickHandler* FindClickHandler(const QObject* button)
{
    for (QObject* child : button->children())
        if (auto* h = dynamic_cast<ClickHandler*>(child)) return h;
    return nullptr;
}

// Windows shrinks the rectangle to the face by the width of the push-button edge.
constexpr int kPushFrameWidth = 2;

} // namespace

TColorButton::TColorButton(QWidget* owner) : QPushButton(owner)
{
    resize(75, 25);
    SetBackColor(clBtnFace);
    SetForeColor(clBtnText);
    SetHoverColor(clBtnFace);
    savedColor_ = backColor_;
}

void TColorButton::SetBackColor(TColor value)
{
    if (value == backColor_) return;
    backColor_ = value;
    update();
}

void TColorButton::SetForeColor(TColor value)
{
    if (value == foreColor_) return;
    foreColor_ = value;
    update();
}

void TColorButton::SetHoverColor(TColor value)
{
    if (value == hoverColor_) return;
    hoverColor_ = value;
    update();
}

void TColorButton::SetButtonStyle(bool isDefault)
{
    if (isDefault == isFocused_) return;
    isFocused_ = isDefault;
    update();
}

QColor TColorButton::ResolveColor(TColor c) const
{
    if ((c & 0xFF000000u) != 0x80000000u) return ToQColor(c);
    // System colours are the window's scheme. The palette of a parent control
    // carries its font colour (a group box's white or grey), which must not
    // reach the caption of a button inside it.
    const QPalette& pal = window()->palette();
    const QPalette::ColorGroup g = palette().currentColorGroup();
    switch (c & 0xFFu) {
    case 0x05: return pal.color(g, QPalette::Base);            // window
    case 0x06: return pal.color(g, QPalette::Shadow);          // window frame
    case 0x08: return pal.color(g, QPalette::Text);            // window text
    case 0x0D: return pal.color(g, QPalette::Highlight);
    case 0x0E: return pal.color(g, QPalette::HighlightedText);
    case 0x10: return pal.color(g, QPalette::Dark);            // button shadow
    case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
    case 0x12: return pal.color(g, QPalette::ButtonText);
    case 0x14: return pal.color(g, QPalette::Light);           // button highlight
    case 0x15: return pal.color(g, QPalette::Shadow);          // 3D dark shadow
    case 0x16: return pal.color(g, QPalette::Midlight);        // 3D light
    default: return pal.color(g, QPalette::Button);            // button face and the rest
    }
}

void TColorButton::DrawButton(QPainter& canvas, const QRect& rect, unsigned state)
{
    const bool down = state & odsSelected;
    const bool focusState = state & odsFocus;
    const bool disabled = state & odsDisabled;
    QRect r = rect;

    canvas.save();
    if (isFocused_ || focusState) {
        canvas.setPen(QPen(ResolveColor(clWindowFrame), 1));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (down) {
        canvas.setPen(QPen(ResolveColor(clBtnShadow), 1));
        canvas.setBrush(ResolveColor(clBtnFace));
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
        r.translate(1, 1);
    } else {
        QPalette framePal = window()->palette();
        framePal.setCurrentColorGroup(disabled ? QPalette::Disabled : palette().currentColorGroup());
        const QBrush face = framePal.button();
        qDrawWinButton(&canvas, r, framePal, false, &face);
        r.adjust(kPushFrameWidth, kPushFrameWidth, -kPushFrameWidth, -kPushFrameWidth);
    }

    canvas.fillRect(r, ResolveColor(backColor_));

    // One line whatever the caption holds; '&' marks a mnemonic as on every button.
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    canvas.setFont(font());
    if (disabled) {
        // Embossed: a light copy one pixel down and right under the shadow-coloured text.
        canvas.setPen(ResolveColor(clBtnHighlight));
        canvas.drawText(r.translated(1, 1), flags, text());
        canvas.setPen(ResolveColor(clBtnShadow));
        canvas.drawText(r, flags, text());
    } else {
        canvas.setPen(ResolveColor(foreColor_));
        canvas.drawText(r, flags, text());
    }

    if (isFocused_ && focusState) {
        // A dotted rectangle that inverts what lies beneath, so it shows on any face.
        const QRect f = rect.adjusted(4, 4, -5, -5);
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        canvas.setPen(QPen(Qt::white, 1));
        for (int x = f.left(); x <= f.right(); x += 2) {
            canvas.drawPoint(x, f.top());
            canvas.drawPoint(x, f.bottom());
        }
        for (int y = f.top() + 2; y < f.bottom(); y += 2) {
            canvas.drawPoint(f.left(), y);
            canvas.drawPoint(f.right(), y);
        }
    }
    canvas.restore();
}

void TColorButton::paintEvent(QPaintEvent*)
{
    unsigned state = 0;
    if (isDown()) state |= odsSelected;
    if (hasFocus()) state |= odsFocus;
    if (!isEnabled()) state |= odsDisabled;
    QPainter canvas(this);
    DrawButton(canvas, rect(), state);
}

void TColorButton::enterEvent(QEnterEvent* e)
{
    mouseInside_ = true;
    savedColor_ = backColor_;
    SetBackColor(hoverColor_);
    update();
    QPushButton::enterEvent(e);
}

void TColorButton::leaveEvent(QEvent* e)
{
    // Only a leave that follows an enter restores: an unpaired one would put back
    // a colour that was never saved.
    if (mouseInside_) {
        mouseInside_ = false;
        SetBackColor(savedColor_);
        update();
    }
    QPushButton::leaveEvent(e);
}

void TColorButton::changeEvent(QEvent* e)
{
    QPushButton::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::FontChange) update();
}

void TColorButton::focusInEvent(QFocusEvent* e)
{
    QPushButton::focusInEvent(e);
    SetButtonStyle(true);
}

void TColorButton::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    SetButtonStyle(isDefault());
}

void ConnectClick(QAbstractButton* button, std::function<void()> handler)
{
    if (!button) return;
    ClickHandler* h = FindClickHandler(button);
    if (!h) {
        h = new ClickHandler(button);
        h->Bind(button);
    }
    h->handler = std::move(handler);
}

bool HasConnectedClick(const QAbstractButton* button)
{
    if (!button) return false;
    const ClickHandler* h = FindClickHandler(button);
    return h && h->handler;
}

TColorButton* MakeColorButtonFrom(QPushButton* old, TColor face)
{
    auto* b = new TColorButton(old->parentWidget());
    b->setObjectName(old->objectName());
    b->setText(old->text());
    b->SetBackColor(face);
    b->SetHoverColor(face);
    b->setGeometry(old->x(), old->y(), old->width(), 25);
    if (ClickHandler* h = FindClickHandler(old)) {
        h->setParent(b);
        h->Bind(b);
    }
    // A child made after its parent was shown stays hidden unless shown itself.
    if (b->parentWidget()) b->show();
    return b;
}
