// The program main: application object, title, the three windows in order, the
// message loop. Nothing is read from the command line.
#include <exception>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Text.h"

int main(int argc, char** argv)
{
    try {
        TApplication app(argc, argv);
        QApplication::setApplicationDisplayName(Txt(TxtToolTitle, 1));
        QApplication::setApplicationName(QStringLiteral("orbicount-tool"));
        TMainForm mainForm;
        MainForm = &mainForm;
        mainForm.show();
        const int rc = app.exec();
        MainForm = nullptr;
        (void)rc;
    } catch (const std::exception& e) {
        TApplication::ShowException(QString::fromUtf8(e.what()));
    }
    return 0;
}
