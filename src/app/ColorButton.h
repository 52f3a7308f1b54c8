#pragma once
// TColorButton: a push button that paints its own face, caption and frame in
// colours chosen by the program, so every button shows the tool's green face.
// Also the means by which a plain button built by a page builder is swapped for
// one: the builder connects the click through ConnectClick, which keeps the
// handler on the button, and ReplaceWithColorButton moves it to the new button.
#include <QPushButton>
#include <cstdint>
#include <functional>

// A colour as 0x00BBGGRR, or a system colour (0x80000000 | index).
using TColor = uint32_t;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;

class TColorButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE SetHoverColor)
public:
    explicit TColorButton(QWidget* owner = nullptr);

    TColor BackColor() const { return backColor_; }
    TColor ForeColor() const { return foreColor_; }
    TColor HoverColor() const { return hoverColor_; }
    // An equal value leaves the button alone: no repaint is scheduled.
    void SetBackColor(TColor value);
    void SetForeColor(TColor value);
    void SetHoverColor(TColor value);

    // The face colour kept while the mouse is over the button.
    TColor SavedColor() const { return savedColor_; }
    // Whether the button shows itself as the focused or default button.
    bool IsFocused() const { return isFocused_; }
    void SetButtonStyle(bool isDefault);

    // A TColor as the colour it stands for in this button's palette.
    QColor ResolveColor(TColor c) const;

    // Item states of one drawing, as the owner-drawn button protocol passes them.
    enum DrawState : unsigned { odsSelected = 0x1, odsDisabled = 0x4, odsFocus = 0x10 };
    void DrawButton(QPainter& canvas, const QRect& rect, unsigned state);

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TColor savedColor_ = clBtnFace;
    bool isFocused_ = false;
    bool mouseInside_ = false;
    TColor backColor_ = 0;
    TColor foreColor_ = 0;
    TColor hoverColor_ = 0;
};

// Connects the button's click to handler and keeps the handler on the button,
// so that ReplaceWithColorButton can hand it to the replacement.
void ConnectClick(QAbstractButton* button, std::function<void()> handler);
// Whether the button has a handler from ConnectClick, which a replacement takes over.
bool HasConnectedClick(const QAbstractButton* button);

// Swaps button for a TColorButton with its object name, caption, left, width,
// top, parent and click handler (taken from ConnectClick), height 25, faces
// BackColor and HoverColor := face; everything else keeps the colour button's
// defaults (shown, enabled). The old button is deleted and button then points to
// the new one. A null button is left as it is.
template <class ButtonPtr>
TColorButton* ReplaceWithColorButton(ButtonPtr& button, TColor face);
TColorButton* MakeColorButtonFrom(QPushButton* old, TColor face);

template <class ButtonPtr>
TColorButton* ReplaceWithColorButton(ButtonPtr& button, TColor face)
{
    if (!button) return nullptr;
    TColorButton* replacement = MakeColorButtonFrom(button, face);
    delete button;
    button = replacement;
    return replacement;
}
