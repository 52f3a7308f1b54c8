#include "app/Application.h"

#include <QMessageBox>
#include <exception>

#include "app/MainForm.h"
#include "app/Text.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

void TApplication::ShowUnknownException()
{
    ShowException(Txt(TxtUnknownException, MainForm ? int(MainForm->Language) : 1));
}

QString TApplication::Title()
{
    return Txt(TxtToolTitle, 1);
}

void TApplication::ShowException(const QString& text)
{
    QMessageBox::critical(nullptr, Title(), text);
}
