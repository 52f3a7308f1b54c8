#include "loggers/LoggerHandlers.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

class MouseEventHook : public QObject {
public:
    MouseEventHook(QWidget* target, QEvent::Type kind, std::function<void()> handler)
        : QObject(target), kind_(kind), handler_(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != kind_) return false;
        const auto* m = static_cast<QMouseEvent*>(e);
        if (kind_ == QEvent::MouseButtonPress || kind_ == QEvent::MouseButtonRelease) {
            if (m->button() != Qt::LeftButton) return false;
            if (kind_ == QEvent::MouseButtonRelease &&
                !static_cast<QWidget*>(watched)->rect().contains(m->position().toPoint()))
                return false;
        }
        handler_();
        return false;
    }

private:
    QEvent::Type kind_;
    std::function<void()> handler_;
};

} // namespace

void OnMouseEvent(QWidget* w, QEvent::Type kind, std::function<void()> handler)
{
    if (w) new MouseEventHook(w, kind, std::move(handler));
}

void ConnectLoggerHandlers(TMainForm& f)
{
    ConnectLoggerGrids(f);
    ConnectLoggerCommands(f);
    ConnectIntervalRead(f);
    RegisterLoggerResults(f);
}
