#include "setup/PSWin.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

#include "app/ColorButton.h"
#include "app/Text.h"

namespace {

QCheckBox* TPSWinForm::* const kFieldBoxes[TPSWinForm::PSFieldCount] = {
    &TPSWinForm::CheckBox1, &TPSWinForm::CheckBox2, &TPSWinForm::CheckBox3, &TPSWinForm::CheckBox4,
    &TPSWinForm::CheckBox5, &TPSWinForm::CheckBox6, &TPSWinForm::CheckBox7, &TPSWinForm::CheckBox8,
    &TPSWinForm::CheckBox9, &TPSWinForm::CheckBox10, &TPSWinForm::CheckBox11,
    &TPSWinForm::CheckBox12, &TPSWinForm::CheckBox13, &TPSWinForm::CheckBox14,
    &TPSWinForm::CheckBox15, &TPSWinForm::CheckBox16, &TPSWinForm::CheckBox17,
    &TPSWinForm::CheckBox18, &TPSWinForm::CheckBox19, &TPSWinForm::CheckBox20,
    &TPSWinForm::CheckBox21, &TPSWinForm::CheckBox22, &TPSWinForm::CheckBox23,
    &TPSWinForm::CheckBox24, &TPSWinForm::CheckBox25, &TPSWinForm::CheckBox26,
    &TPSWinForm::CheckBox27, &TPSWinForm::CheckBox28, &TPSWinForm::CheckBox29,
    &TPSWinForm::CheckBox30, &TPSWinForm::CheckBox31, &TPSWinForm::CheckBox32,
    &TPSWinForm::CheckBox33, &TPSWinForm::CheckBox34, &TPSWinForm::CheckBox35,
    &TPSWinForm::CheckBox36, &TPSWinForm::CheckBox37, &TPSWinForm::CheckBox38,
    &TPSWinForm::CheckBox39, &TPSWinForm::CheckBox40, &TPSWinForm::CheckBox41,
    &TPSWinForm::CheckBox42, &TPSWinForm::CheckBox43, &TPSWinForm::CheckBox44,
    &TPSWinForm::CheckBox45, &TPSWinForm::CheckBox46, &TPSWinForm::CheckBox47,
    &TPSWinForm::CheckBox48, &TPSWinForm::CheckBox49, &TPSWinForm::CheckBox50,
    &TPSWinForm::CheckBox51, &TPSWinForm::CheckBox52, &TPSWinForm::CheckBox53,
    &TPSWinForm::CheckBox54, &TPSWinForm::CheckBox55, &TPSWinForm::CheckBox56,
    &TPSWinForm::CheckBox57, &TPSWinForm::CheckBox58, &TPSWinForm::CheckBox59,
    &TPSWinForm::CheckBox60, &TPSWinForm::CheckBox61, &TPSWinForm::CheckBox62,
    &TPSWinForm::CheckBox63, &TPSWinForm::CheckBox64, &TPSWinForm::CheckBox65,
    &TPSWinForm::CheckBox66, &TPSWinForm::CheckBox67, &TPSWinForm::CheckBox68,
    &TPSWinForm::CheckBox69, &TPSWinForm::CheckBox70, &TPSWinForm::CheckBox71,
    &TPSWinForm::CheckBox72, &TPSWinForm::CheckBox73, &TPSWinForm::CheckBox74,
    &TPSWinForm::CheckBox75, &TPSWinForm::CheckBox76, &TPSWinForm::CheckBox77,
    &TPSWinForm::CheckBox78, &TPSWinForm::CheckBox79, &TPSWinForm::CheckBox80,
    &TPSWinForm::CheckBox81, &TPSWinForm::CheckBox82, &TPSWinForm::CheckBox83};

// Four columns of check boxes; the first three hold 21 fields, the last 20.
constexpr int kColumnLeft[4] = {16, 304, 616, 920};
constexpr int kColumnWidth[4] = {273, 289, 289, 289};
constexpr int kFieldsPerColumn = 21;
constexpr int kFirstTop = 24;
constexpr int kRowPitch = 24;
constexpr int kBoxHeight = 17;
// Field 71 has the longest caption of its column.
constexpr int kWideField = 71;
constexpr int kWideFieldWidth = 321;

// The button captions are the same in both languages.
QPushButton* MakeButton(QWidget* parent, const char* name, const LangText& caption, int left, int width)
{
    auto* b = new QPushButton(Txt(caption, 0), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 560, width, 25);
    return b;
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode)
{
    auto* d = new QFileDialog(parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setAcceptMode(mode);
    d->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setDefaultSuffix(QStringLiteral("psf"));
    d->setNameFilter(Txt(TxtPsFileFilter, 0));
    return d;
}

}  // namespace

TPSWinForm::TPSWinForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    CreateComponents();
    ConnectHandlers();
    FormCreate();
}

TPSWinForm::~TPSWinForm() = default;

QCheckBox* TPSWinForm::PSFieldCheckBox(int n) const
{
    if (n < 1 || n > PSFieldCount) return nullptr;
    return this->*kFieldBoxes[n - 1];
}

void TPSWinForm::CreateComponents()
{
    setObjectName(QStringLiteral("PSWinForm"));
    setModal(true);
    setFixedSize(1269, 594);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(ClrBackground));
    pal.setColor(QPalette::WindowText, ToQColor(ClrText));
    setPalette(pal);
    setAutoFillBackground(true);
    // The main window's size of type: the field names fit their boxes in it.
    QFont smaller = font();
    smaller.setPointSize(9);
    setFont(smaller);

    GroupBoxPS = new QGroupBox(this);
    GroupBoxPS->setObjectName(QStringLiteral("GroupBoxPS"));
    GroupBoxPS->setGeometry(8, 8, 1249, 537);
    // The longest field names fit their boxes only in a narrower face.
    QFont narrow = GroupBoxPS->font();
    narrow.setStretch(QFont::Condensed);
    GroupBoxPS->setFont(narrow);

    for (int n = 1; n <= PSFieldCount; ++n) {
        const int column = (n - 1) / kFieldsPerColumn;
        const int row = (n - 1) % kFieldsPerColumn;
        auto* box = new QCheckBox(GroupBoxPS);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(n));
        const int width = n == kWideField ? kWideFieldWidth : kColumnWidth[column];
        box->setGeometry(kColumnLeft[column], kFirstTop + row * kRowPitch, width, kBoxHeight);
        this->*kFieldBoxes[n - 1] = box;
    }

    Button_PSField_SendToDevice = MakeButton(this, "Button_PSField_SendToDevice", TxtPsButtonSendToDevice, 8, 105);
    Button_PSField_LoadFromFile = MakeButton(this, "Button_PSField_LoadFromFile", TxtPsButtonOpen, 144, 73);
    Button_PSField_SaveToFile = MakeButton(this, "Button_PSField_SaveToFile", TxtPsButtonSave, 232, 75);
    Button_PSField_SaveToFile->setEnabled(false);
    Button_PSField_SaveAsToFile = MakeButton(this, "Button_PSField_SaveAsToFile", TxtPsButtonSaveAs, 320, 73);
    Button_PSField_Cancel = MakeButton(this, "Button_PSField_Cancel", TxtPsButtonCancel, 408, 73);

}

QFileDialog* TPSWinForm::SaveAsDialog()
{
    if (!dlg_saveas_psfield) {
        dlg_saveas_psfield = MakeFileDialog(this, "dlg_saveas_psfield", QFileDialog::AcceptSave);
        // The window asks its own replace question.
        dlg_saveas_psfield->setOption(QFileDialog::DontConfirmOverwrite);
    }
    return dlg_saveas_psfield;
}

QFileDialog* TPSWinForm::OpenDialog()
{
    if (!dlg_open_psfield) dlg_open_psfield = MakeFileDialog(this, "dlg_open_psfield", QFileDialog::AcceptOpen);
    return dlg_open_psfield;
}

// The five buttons become colour buttons; a click handler bound through
// ConnectClick before this moves to the replacement. Save keeps its disabled
// state, the others take the colour button's defaults.
void TPSWinForm::FormCreate()
{
    const bool saveEnabled = Button_PSField_SaveToFile->isEnabled();
    for (QPushButton** b : {&Button_PSField_SendToDevice, &Button_PSField_SaveToFile,
                            &Button_PSField_SaveAsToFile, &Button_PSField_LoadFromFile,
                            &Button_PSField_Cancel})
        ReplaceWithColorButton(*b, ClrButtonFace);
    Button_PSField_SaveToFile->setEnabled(saveEnabled);
}

// The Cancel button does not close the window on Escape: only its click does,
// after asking about unsaved changes.
void TPSWinForm::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
