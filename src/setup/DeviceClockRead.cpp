// The Read button of the date and time command: the meter's clock into the
// date and time editors, by the clock job of the transport.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "setup/SetupExecutor.h"

namespace {

enum : int {
    pwClockReading = 47,
    pwClockNotConnected = 49,
};
constexpr int kReadItemEstimate = 20;
const QString kNotConnectedSuffix = QStringLiteral(" (Error:71)");

}  // namespace

void TMainForm::Button_Setup_DateTime_ReadClick()
{
    const int L = Language;
    if (!PortOpen && !TcpConnected) {
        setupcmd::Fail(*this, pwClockNotConnected, Txt(TxtDeviceNotAvailable, L), kNotConnectedSuffix);
        ResetTcpConnection();
        return;
    }
    if (!ComboBox_DeviceSetup_Command || ComboBox_DeviceSetup_Command->currentText() != Txt(TxtSetDateTime, L)) return;
    // Dropped while the worker is busy: the window then ends by its time bar
    // and the editors keep their text.
    SetJob(TransportCode == tcMBus ? jcMBusDeviceTime : jcModbusDeviceTime);
    if (ProgrWinForm)
        ProgrWinForm->ShowProgress(pwClockReading, 0, 0, 1, 1, 1, Txt(TxtDataReading, L), QString(), QString(),
                                   QString(), QString(), Txt(TxtCancel, L), kReadItemEstimate);
    for (QWidget* w : std::initializer_list<QWidget*>{Button_Setup_DateTime_Read, CheckBox_SendPCTimeDate,
                                                      MaskEdit_Change_Time, MaskEdit_Change_Date})
        if (w) w->setVisible(true);
}
