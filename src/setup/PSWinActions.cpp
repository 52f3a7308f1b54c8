// What the PS-Field Configuration window does: the group caption carries its
// file state (" PS-Field " / " PS-Field (name) " / " PS-Field (name)* "), the
// Save button is enabled only for a named file with changes.
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include "app/ColorButton.h"
#include "app/Text.h"
#include "comm/GuardedHandler.h"
#include "setup/PSFieldFile.h"
#include "setup/PSWin.h"

namespace {

// Shorter trimmed captions name no file (full paths are longer).
constexpr int kNamedFileCaptionLength = 15;

int Box(QWidget* parent, const QString& text, const LangText& caption, QMessageBox::Icon icon,
        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, Txt(caption, 0), text, buttons, parent);
    return box.exec();
}

QString Chosen(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return QString();
    return dialog->selectedFiles().constFirst();
}

}  // namespace

void TPSWinForm::ConnectHandlers()
{
    ConnectClick(Button_PSField_SendToDevice, Guarded([this] { Button_PSField_SendToDeviceClick(); }));
    ConnectClick(Button_PSField_LoadFromFile, [this] { Button_PSField_LoadFromFileClick(); });
    ConnectClick(Button_PSField_SaveToFile, [this] { Button_PSField_SaveToFileClick(); });
    ConnectClick(Button_PSField_SaveAsToFile, [this] { Button_PSField_SaveAsToFileClick(); });
    ConnectClick(Button_PSField_Cancel, [this] { Button_PSField_CancelClick(); });
    for (int n = 1; n <= PSFieldCount; ++n) PSFieldCheckBox(n)->installEventFilter(this);
}

bool TPSWinForm::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress && qobject_cast<QCheckBox*>(watched)) CheckBoxMouseDown();
    return QDialog::eventFilter(watched, e);
}

void TPSWinForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TPSWinForm::FormActivate() { Button_PSField_SaveToFile->setEnabled(false); }

QString TPSWinForm::GroupTitle() const { return Txt(TxtPsFieldGroup, language_); }

void TPSWinForm::LocalizePSFieldDialog(int language)
{
    language_ = language;
    GroupBoxPS->setTitle(GroupTitle());
    setWindowTitle(Txt(TxtPsFieldConfiguration, language));
    for (int n = 1; n <= PSFieldCount; ++n)
        PSFieldCheckBox(n)->setText(Txt(*TxtPsFields[static_cast<size_t>(n - 1)], language));
}

void TPSWinForm::ResetPSFieldDialog(int language)
{
    language_ = language;
    GroupBoxPS->setTitle(GroupTitle());
    for (int n = 1; n <= PSFieldCount; ++n) PSFieldCheckBox(n)->setChecked(false);
}

TPsFieldBytes TPSWinForm::Selection() const
{
    std::array<bool, PsFieldCount> checked{};
    for (int n = 1; n <= PSFieldCount; ++n) checked[static_cast<size_t>(n - 1)] = PSFieldCheckBox(n)->isChecked();
    return PsFieldBytes(checked);
}

uint8_t TPSWinForm::GetPSFieldMaskByte(int i) const
{
    return i >= 0 && i < static_cast<int>(PsFieldFileSize) ? Selection()[static_cast<size_t>(i)] : 0;
}

QString TPSWinForm::NamedFile() const
{
    const QString caption = GroupBoxPS->title();
    const int title = caption.indexOf(GroupTitle().trimmed());
    const int open = caption.indexOf(QLatin1Char('('), title < 0 ? 0 : title);
    const int close = caption.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open) return QString();
    return caption.mid(open + 1, close - open - 1);
}

void TPSWinForm::MarkPSFieldModified()
{
    const QString t = GroupBoxPS->title().trimmed();
    if (!t.endsWith(QLatin1Char('*'))) GroupBoxPS->setTitle(QLatin1Char(' ') + t + QStringLiteral("* "));
}

void TPSWinForm::CheckBoxMouseDown()
{
    const QString t = GroupBoxPS->title().trimmed();
    MarkPSFieldModified();
    if (t.size() > kNamedFileCaptionLength) Button_PSField_SaveToFile->setEnabled(true);
}

bool TPSWinForm::SavePSFieldFile(const QString& name)
{
    if (!WritePsFieldFile(name, Selection())) {
        // The user must not believe a file exists that does not.
        Box(this, Txt(TxtPsRequestedFile, 0) + name + Txt(TxtPsCannotBeSaved, 0), TxtPsCaptionSaveAs,
            QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    GroupBoxPS->setTitle(GroupTitle() + QLatin1Char('(') + name + QStringLiteral(") "));
    Button_PSField_SaveToFile->setEnabled(false);
    return true;
}

void TPSWinForm::Button_PSField_SaveToFileClick()
{
    const QString name = NamedFile();
    if (name.isEmpty()) {
        SavePSFieldFileAs();
        return;
    }
    SavePSFieldFile(name);
}

void TPSWinForm::Button_PSField_SaveAsToFileClick() { SavePSFieldFileAs(); }

void TPSWinForm::SavePSFieldFileAs()
{
    QString name = ChooseFileToSave ? ChooseFileToSave() : Chosen(SaveAsDialog());
    if (name.isEmpty()) return;
    // Dots of the folders do not count: "/home/first.last/x.psf" keeps its extension.
    if (QFileInfo(name).fileName().count(QLatin1Char('.')) >= 2) name.chop(4);
    if (QFile::exists(name) &&
        Box(this, name + Txt(TxtPsAlreadyExistReplace, 0), TxtPsCaptionSaveAs, QMessageBox::Question,
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    SavePSFieldFile(name);
}

void TPSWinForm::Button_PSField_LoadFromFileClick()
{
    const QString name = ChooseFileToOpen ? ChooseFileToOpen() : Chosen(OpenDialog());
    if (name.isEmpty()) return;
    const std::optional<TPsFieldBytes> bytes = ReadPsFieldFile(name);
    if (!bytes) {
        Box(this, Txt(TxtPsRequestedFile, 0) + name + Txt(TxtPsCannotBeOpened, 0), TxtPsCaptionOpen,
            QMessageBox::Critical, QMessageBox::Ok);
        return;
    }
    GroupBoxPS->setTitle(GroupTitle() + QLatin1Char('(') + name + QStringLiteral(") "));
    for (int n = 1; n <= PSFieldCount; ++n) PSFieldCheckBox(n)->setChecked(PsFieldSelected(*bytes, n));
}

void TPSWinForm::Button_PSField_CancelClick()
{
    QString t = GroupBoxPS->title().trimmed();
    if (!t.endsWith(QLatin1Char('*'))) {
        done(QDialog::Rejected);
        return;
    }
    t.remove(QLatin1Char('*'));
    const int answer = Box(this, Txt(TxtPsSaveQuestion, 0), TxtPsCaptionInformation, QMessageBox::Information,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        if (t.endsWith(QLatin1Char(')')))
            SavePSFieldFile(NamedFile());
        else
            SavePSFieldFileAs();
    } else if (answer == QMessageBox::No) {
        done(QDialog::Rejected);
    }
}

void TPSWinForm::Button_PSField_SendToDeviceClick()
{
    if (SendToDevice) SendToDevice();
}
