#include "setup/PSFieldSend.h"

#include <QComboBox>
#include <QMessageBox>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/Transceiver.h"
#include "core/PsFieldMask.h"
#include "core/SettingFrames.h"
#include "setup/PSWin.h"

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

    TExchangeResult result = erNoValidAnswer;
    {
        const TPortUse portUse(f.JobHost().PortGate());
        const TMBusSendTarget target{f.AddressingMode, f.DeviceAddress, f.SecondaryAddress, f.ManufacturerIndex,
                                     f.MbusVersion};
        const int length = BuildMBusSndUd(target, PsFieldRecord(mask), f.TxBuffer);
        if (length > 0 && f.PortOpen && f.SerialPort) result = TransceiveFrame(f.JobHost(), f.TxBuffer, length);
    }
    QWidget* owner = PSWinForm && PSWinForm->isVisible() ? static_cast<QWidget*>(PSWinForm) : &f;
    if (result == erValidAnswer) {
        QMessageBox box(QMessageBox::Information, Txt(TxtInformation, f.Language),
                        Txt(TxtOperationFinished2, f.Language), QMessageBox::Ok, owner);
        box.exec();
    } else {
        QMessageBox box(QMessageBox::Warning, Txt(TxtError, f.Language), Txt(TxtNoAnswerFromDevice, f.Language),
                        QMessageBox::Ok, owner);
        box.exec();
    }
}
