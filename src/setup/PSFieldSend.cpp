#include "setup/PSFieldSend.h"

#include <QComboBox>
#include <QMessageBox>

#include "app/MainForm.h"
#include "app/Text.h"
#include "core/PsFieldMask.h"
#include "core/SetupFrames.h"
#include "setup/PSWin.h"
#include "setup/SetupExecutor.h"

uint8_t GetPSFieldMaskByte(const TMainForm&, int i)
{
    return PSWinForm ? PSWinForm->GetPSFieldMaskByte(i) : 0;
}

void SendPSFieldConfiguration(TMainForm& f)
{
    if (f.ComboBox_DeviceSetup_Command->currentText() != Txt(TxtPsFieldConfigurationCmd, f.Language)) return;
    TPsFieldBytes mask{};
    for (int i = 0; i < static_cast<int>(mask.size()); ++i)
        mask[static_cast<size_t>(i)] = GetPSFieldMaskByte(f, i);

    const auto record = PsFieldRecord(mask);
    const setupcmd::TDirectOutcome outcome = setupcmd::SendDirect(f, [&](std::span<uint8_t> tx) {
        return setup::BuildMBusSettingFrame(tx, setupcmd::MBusTargetOf(f, false), setup::MBusCiDataRecords, record);
    });
    QWidget* owner = PSWinForm && PSWinForm->isVisible() ? static_cast<QWidget*>(PSWinForm) : &f;
    if (outcome == setupcmd::TDirectOutcome::Answered) {
        QMessageBox box(QMessageBox::Information, Txt(TxtInformation, f.Language),
                        Txt(TxtOperationFinished2, f.Language), QMessageBox::Ok, owner);
        box.exec();
    } else {
        QMessageBox box(QMessageBox::Warning, Txt(TxtError, f.Language), Txt(TxtNoAnswerFromDevice, f.Language),
                        QMessageBox::Ok, owner);
        box.exec();
    }
}
