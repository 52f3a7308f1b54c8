// The program main: application object, title, the three windows in order, the
// message loop. Nothing is read from the command line.
#include <exception>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Startup.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    try {
        SetUpApplication();
        TToolWindows windows;
        windows.Main().show();
        app.exec();
    } catch (const std::exception& e) {
        TApplication::ShowException(QString::fromUtf8(e.what()));
    }
    return 0;
}
