#pragma once
// What the window tests need to look past Qt at the display itself: the title
// the X server holds for a window, and where pictures of the run are kept.
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTimer>
#include <QString>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace testsupport {

inline bool OnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Pictures of a run on a real display go beside those of the offscreen runs,
// in a folder of the platform's name, so neither replaces the other.
inline QString ScreenshotDir()
{
    QString dir = QStringLiteral(SCREENSHOT_DIR);
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        dir += QLatin1Char('/') + QGuiApplication::platformName();
    return dir;
}

// The window's title as the X server holds it for the window manager
// (_NET_WM_NAME, else WM_NAME); empty off X11.
inline QString XWindowTitle(QWidget* w)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !w) return {};
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr), &std::free);
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    auto read = [&](xcb_atom_t property) {
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> r(
            xcb_get_property_reply(c, xcb_get_property(c, 0, xcb_window_t(w->winId()), property,
                                                       XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr),
            &std::free);
        if (!r) return QString();
        return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(r.get())),
                                 xcb_get_property_value_length(r.get()));
    };
    const QString net = read(atom("_NET_WM_NAME"));
    return net.isEmpty() ? read(XCB_ATOM_WM_NAME) : net;
}

// Runs open(), which shows a modal dialog and returns when it closes. Once the
// dialog is up, inspect() looks at it, and then it is closed. Returns whether
// a dialog came up at all.
inline bool InspectModal(const std::function<void()>& open, const std::function<void(QDialog*)>& inspect)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (seen || !modal || !modal->isVisible()) return;
        seen = true;
        inspect(modal);
        modal->done(0);
    });
    poll.start();
    open();
    return seen;
}

} // namespace testsupport
