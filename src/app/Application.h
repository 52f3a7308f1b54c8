#pragma once
// The application object: keeps the message loop going when an event handler
// throws, showing the exception in a message box titled with the application title.
#include <QApplication>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The brand-1 tool title, whatever the brand of the window.
    static QString Title();
    // Shows an exception text the way the tool shows every escaped exception.
    static void ShowException(const QString& text);
    // For an exception that carries no text of its own.
    static void ShowUnknownException();
};
