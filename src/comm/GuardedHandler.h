#pragma once
// A handler that reaches the port may raise ECOMPort; wrapped in Guarded, it
// is shown the way every escaped exception is, and never unwinds through Qt's
// signal code.
#include <QString>
#include <exception>

#include "app/Application.h"

template <class Fn>
auto Guarded(Fn fn)
{
    return [fn](auto&&...) {
        try {
            fn();
        } catch (const std::exception& e) {
            TApplication::ShowException(QString::fromUtf8(e.what()));
        }
    };
}
