#pragma once
// Small helpers for building and changing widgets, shared by the page builders
// and the handlers. They take no null widgets: every widget they are given is
// built by the window's constructor.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QTabWidget>
#include <QTimer>
#include <QValidator>
#include <QWidget>
#include <cstdint>

#include "app/Text.h"

// A child widget with its component name and absolute geometry.
template <class W>
W* Child(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
    return w;
}

inline void SetText(QLabel* l, const QString& t) { l->setText(t); }
inline void SetText(QAbstractButton* b, const QString& t) { b->setText(t); }
inline void SetText(QGroupBox* g, const QString& t) { g->setTitle(t); }
inline void SetTabText(QTabWidget* tabs, QWidget* page, const QString& t) { tabs->setTabText(tabs->indexOf(page), t); }

inline void SetShown(QWidget* w, bool shown) { w->setVisible(shown); }
inline void SetEnabled(QWidget* w, bool enabled) { w->setEnabled(enabled); }
inline void SetLeft(QWidget* w, int left) { w->move(left, w->y()); }
inline void SetTop(QWidget* w, int top) { w->move(w->x(), top); }
inline void SetWidth(QWidget* w, int width) { w->resize(width, w->height()); }
inline void SetHeight(QWidget* w, int height) { w->resize(w->width(), height); }

// The text colour (0x00BBGGRR) of a label or group caption, in every state.
inline void SetTextColor(QWidget* w, uint32_t color)
{
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::WindowText, ToQColor(color));
    w->setPalette(p);
}

// A timer that already runs keeps its time: enabling it again does not
// postpone its next tick.
inline void EnableTimer(QTimer* t)
{
    if (!t->isActive()) t->start();
}

// A date or time edit of digits (mask "nnnn-nn-nn; " or "nn:nn:nn; ") that
// can show its placeholder ("YYYY-MM-DD", "HH:MM:SS") for a value out of
// range: the mask lets the placeholder's letters in, and the user may type
// only digits, or a placeholder letter in its own place, so typing over the
// placeholder works.
inline void SetDateTimeMask(QLineEdit* edit, const QString& mask, const QString& placeholder)
{
    class DigitsOrPlaceholder : public QValidator {
    public:
        DigitsOrPlaceholder(const QString& placeholder, QObject* parent) : QValidator(parent), placeholder_(placeholder) {}
        State validate(QString& text, int&) const override
        {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text[i];
                const bool digit = c >= u'0' && c <= u'9';
                if (!digit && c != u' ' && (i >= placeholder_.size() || c != placeholder_[i])) return Invalid;
            }
            return Acceptable;
        }

    private:
        QString placeholder_;
    };
    edit->setInputMask(mask);
    edit->setValidator(new DigitsOrPlaceholder(placeholder, edit));
}
