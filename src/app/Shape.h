#pragma once
// TShape: a small painted figure (status lamps, busy dots, connection lines).
#include <QWidget>
#include <cstdint>

class TShape : public QWidget {
    Q_OBJECT
public:
    enum Kind { Rectangle, RoundRect, Circle, Ellipse };

    explicit TShape(QWidget* parent = nullptr);

    void SetKind(Kind k);
    Kind GetKind() const { return kind_; }
    // Colours as 0x00BBGGRR values, like every colour of the tool.
    void SetBrushColor(uint32_t bbggrr);
    void SetPenColor(uint32_t bbggrr);
    uint32_t BrushColor() const { return brush_; }
    uint32_t PenColor() const { return pen_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Kind kind_ = Rectangle;
    uint32_t brush_ = 0xFFFFFF;
    uint32_t pen_ = 0x000000;
};
