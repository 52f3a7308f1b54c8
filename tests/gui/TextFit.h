#pragma once
// Whether every caption a person can see in a window fits its control on the
// platform the tests run on: the advance width of the text in the control's
// own font against the room the control (or its style) gives the text. A label
// that wraps its text fits by wrapping. Grid cells are checked row by row for
// the rows a test fills.
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/ColorButton.h"
#include "app/StringGrid.h"

namespace testsupport {

struct TextOverflow {
    std::string name;
    std::string text;
    int needed;
    int room;
};

// Shown as a person finds it: neither the control nor a group around it is
// hidden; a page behind another page of a tab control still counts.
inline bool ShownOnItsPage(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w; p && p != window; p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<const QStackedWidget*>(p->parentWidget())) return false;
    return true;
}

// Parts Qt builds inside its composite widgets carry no caption of ours.
inline bool InsideQtComposite(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QTabBar*>(p) || qobject_cast<const QAbstractScrollArea*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p))
            return true;
    return false;
}

// The caption as drawn on one line: '&' marks a mnemonic, "&&" is one '&'.
inline QString DrawnCaption(QString t)
{
    t.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return t;
}

inline int WidestLine(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

inline std::vector<TextOverflow> TextOverflows(QWidget* window)
{
    std::vector<TextOverflow> out;
    auto check = [&](const QWidget* w, const QString& text, int needed, int room) {
        if (needed > room) out.push_back({w->objectName().toStdString(), text.toStdString(), needed, room});
    };
    auto considered = [&](const QWidget* w) {
        return w->window() == window && ShownOnItsPage(w, window) && !InsideQtComposite(w, window);
    };
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!considered(l) || l->text().isEmpty() || !l->pixmap().isNull() || l->wordWrap()) continue;
        const bool rich = l->textFormat() == Qt::RichText ||
                          (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
        int needed;
        if (rich) {
            QTextDocument doc;
            doc.setDefaultFont(l->font());
            doc.setDocumentMargin(0);
            doc.setHtml(l->text());
            needed = int(std::ceil(doc.idealWidth()));
        } else {
            needed = WidestLine(QFontMetrics(l->font()), l->text());
        }
        const int indent = l->indent() > 0 ? l->indent() : 0;
        check(l, l->text(), needed, l->contentsRect().width() - 2 * l->margin() - indent);
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!considered(b) || b->text().isEmpty()) continue;
        QString text = DrawnCaption(b->text());
        const QFontMetrics fm(b->font());
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = text;
        opt.rect = b->rect();
        int room;
        if (qobject_cast<TColorButton*>(b)) {
            // Drawn by the button itself on one line, inside its two-pixel frame.
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            room = b->width() - 4;
        } else if (qobject_cast<QCheckBox*>(b)) {
            room = b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b).width();
        } else if (qobject_cast<QRadioButton*>(b)) {
            room = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b).width();
        } else if (qobject_cast<QPushButton*>(b)) {
            room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
        } else {
            continue;
        }
        check(b, text, WidestLine(fm, text), room);
    }
    return out;
}

// The cells of the given rows of a string grid against their columns: a cell
// draws its text from two pixels right of its left edge up to the grid line at
// its right edge, in the grid's font. A hidden column shows nothing.
inline std::vector<TextOverflow> GridCellOverflows(const TStringGrid& grid, const std::vector<int>& rows)
{
    std::vector<TextOverflow> out;
    const QFontMetrics fm(grid.font());
    for (int row : rows) {
        for (int col = 0; col < grid.ColCount(); ++col) {
            if (grid.isColumnHidden(col) || grid.ColWidth(col) <= 0) continue;
            const QString text = grid.Cell(col, row);
            const int room = grid.ColWidth(col) - 2 - (grid.showGrid() ? 1 : 0);
            const int needed = fm.horizontalAdvance(text);
            if (needed > room)
                out.push_back({grid.objectName().toStdString() + " column " + std::to_string(col) + " row " +
                                   std::to_string(row),
                               text.toStdString(), needed, room});
        }
    }
    return out;
}

inline std::string Describe(const std::vector<TextOverflow>& list)
{
    std::string s;
    for (const TextOverflow& o : list)
        s += "\n  " + o.name + " \"" + o.text + "\": " + std::to_string(o.needed) + " px in " +
             std::to_string(o.room) + " px";
    return s;
}

} // namespace testsupport
