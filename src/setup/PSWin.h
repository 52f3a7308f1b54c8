#pragma once
// TPSWinForm: the PS-Field Configuration window. One check box per PS-field of
// the meter (CheckBox1 stands for field 1), the buttons that send, open and save
// the selection, and the two file dialogs of the ".psf" file.
#include <QDialog>
#include <QString>
#include <functional>

#include "core/PsFieldMask.h"

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QPushButton;

class TPSWinForm : public QDialog {
    Q_OBJECT
public:
    explicit TPSWinForm(QWidget* owner = nullptr);
    ~TPSWinForm() override;

    static constexpr int PSFieldCount = 83;

    // The check box of PS-field n (1 to 83); nullptr for any other n.
    QCheckBox* PSFieldCheckBox(int n) const;

    QGroupBox* GroupBoxPS = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QCheckBox* CheckBox11 = nullptr;
    QCheckBox* CheckBox12 = nullptr;
    QCheckBox* CheckBox13 = nullptr;
    QCheckBox* CheckBox14 = nullptr;
    QCheckBox* CheckBox15 = nullptr;
    QCheckBox* CheckBox16 = nullptr;
    QCheckBox* CheckBox17 = nullptr;
    QCheckBox* CheckBox18 = nullptr;
    QCheckBox* CheckBox19 = nullptr;
    QCheckBox* CheckBox20 = nullptr;
    QCheckBox* CheckBox21 = nullptr;
    QCheckBox* CheckBox22 = nullptr;
    QCheckBox* CheckBox23 = nullptr;
    QCheckBox* CheckBox24 = nullptr;
    QCheckBox* CheckBox25 = nullptr;
    QCheckBox* CheckBox26 = nullptr;
    QCheckBox* CheckBox27 = nullptr;
    QCheckBox* CheckBox28 = nullptr;
    QCheckBox* CheckBox29 = nullptr;
    QCheckBox* CheckBox30 = nullptr;
    QCheckBox* CheckBox31 = nullptr;
    QCheckBox* CheckBox32 = nullptr;
    QCheckBox* CheckBox33 = nullptr;
    QCheckBox* CheckBox34 = nullptr;
    QCheckBox* CheckBox35 = nullptr;
    QCheckBox* CheckBox36 = nullptr;
    QCheckBox* CheckBox37 = nullptr;
    QCheckBox* CheckBox38 = nullptr;
    QCheckBox* CheckBox39 = nullptr;
    QCheckBox* CheckBox40 = nullptr;
    QCheckBox* CheckBox41 = nullptr;
    QCheckBox* CheckBox42 = nullptr;
    QCheckBox* CheckBox43 = nullptr;
    QCheckBox* CheckBox44 = nullptr;
    QCheckBox* CheckBox45 = nullptr;
    QCheckBox* CheckBox46 = nullptr;
    QCheckBox* CheckBox47 = nullptr;
    QCheckBox* CheckBox48 = nullptr;
    QCheckBox* CheckBox49 = nullptr;
    QCheckBox* CheckBox50 = nullptr;
    QCheckBox* CheckBox51 = nullptr;
    QCheckBox* CheckBox52 = nullptr;
    QCheckBox* CheckBox53 = nullptr;
    QCheckBox* CheckBox54 = nullptr;
    QCheckBox* CheckBox55 = nullptr;
    QCheckBox* CheckBox56 = nullptr;
    QCheckBox* CheckBox57 = nullptr;
    QCheckBox* CheckBox58 = nullptr;
    QCheckBox* CheckBox59 = nullptr;
    QCheckBox* CheckBox60 = nullptr;
    QCheckBox* CheckBox61 = nullptr;
    QCheckBox* CheckBox62 = nullptr;
    QCheckBox* CheckBox63 = nullptr;
    QCheckBox* CheckBox64 = nullptr;
    QCheckBox* CheckBox65 = nullptr;
    QCheckBox* CheckBox66 = nullptr;
    QCheckBox* CheckBox67 = nullptr;
    QCheckBox* CheckBox68 = nullptr;
    QCheckBox* CheckBox69 = nullptr;
    QCheckBox* CheckBox70 = nullptr;
    QCheckBox* CheckBox71 = nullptr;
    QCheckBox* CheckBox72 = nullptr;
    QCheckBox* CheckBox73 = nullptr;
    QCheckBox* CheckBox74 = nullptr;
    QCheckBox* CheckBox75 = nullptr;
    QCheckBox* CheckBox76 = nullptr;
    QCheckBox* CheckBox77 = nullptr;
    QCheckBox* CheckBox78 = nullptr;
    QCheckBox* CheckBox79 = nullptr;
    QCheckBox* CheckBox80 = nullptr;
    QCheckBox* CheckBox81 = nullptr;
    QCheckBox* CheckBox82 = nullptr;
    QCheckBox* CheckBox83 = nullptr;

    QPushButton* Button_PSField_SendToDevice = nullptr;
    QPushButton* Button_PSField_LoadFromFile = nullptr;
    QPushButton* Button_PSField_SaveToFile = nullptr;
    QPushButton* Button_PSField_SaveAsToFile = nullptr;
    QPushButton* Button_PSField_Cancel = nullptr;

    // Made on first use: a file dialog starts Qt's file-system threads.
    QFileDialog* dlg_saveas_psfield = nullptr;
    QFileDialog* dlg_open_psfield = nullptr;
    QFileDialog* SaveAsDialog();
    QFileDialog* OpenDialog();

    // The window's texts in the language. The fields stay as they are; a file
    // name and the change mark are dropped.
    void LocalizePSFieldDialog(int language);
    // No file named, no field selected: how the setup command opens the window.
    void ResetPSFieldDialog(int language);
    // Byte i of the selection (0 for i above 10).
    uint8_t GetPSFieldMaskByte(int i) const;
    TPsFieldBytes Selection() const;

    void FormActivate();
    void Button_PSField_SendToDeviceClick();
    void Button_PSField_LoadFromFileClick();
    void Button_PSField_SaveToFileClick();
    void Button_PSField_SaveAsToFileClick();
    void Button_PSField_CancelClick();
    // Any mouse button on a field, before it toggles.
    void CheckBoxMouseDown();

    // Where the file buttons ask for a file name; unset, the file dialogs ask.
    // An empty name is a cancel. Tests put their own here.
    std::function<QString()> ChooseFileToOpen;
    std::function<QString()> ChooseFileToSave;
    // Sends the selection to the connected meter; the main window sets it.
    std::function<void()> SendToDevice;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateComponents();
    void FormCreate();
    void ConnectHandlers();
    QString GroupTitle() const;
    // The file named in the group caption; empty when none is.
    QString NamedFile() const;
    void MarkPSFieldModified();
    // Writes the selection; on success names the file and clears the change mark.
    bool SavePSFieldFile(const QString& name);
    void SavePSFieldFileAs();

    int language_ = 0;
};
