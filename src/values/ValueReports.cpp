#include "values/ValueReports.h"

#include <QComboBox>
#include <QLabel>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"

namespace values {

bool ConnectedByStatus(const TMainForm& f)
{
    return f.Label_Setup_ConnectStatus->text() == Txt(TxtStatusDeviceConnected, f.Language);
}

bool LinkUp(const TMainForm& f) { return f.PortOpen.load() != 0 || f.TcpConnected.load() != 0; }

bool PortFailed(const TMainForm& f) { return f.PortOpenError.load() != 0 && f.TcpConnected.load() == 0; }

bool NoDeviceShown(const TMainForm& f)
{
    const QString address = f.Label_DeviceAddress->text();
    return address.isEmpty() || address == Txt(TxtNoValue, f.Language);
}

void ShowErrorReport(TMainForm& f, int id, const LangText& line1, const QString& suffix)
{
    if (!ProgrWinForm) return;
    const int L = f.Language;
    ProgrWinForm->ShowProgress(id, 1, 0, 0, 0, 1, Txt(TxtError, L), Txt(line1, L), suffix, QString(), QString(),
                               QStringLiteral("Ok"), 0);
}

int RefreshIntervalMs(const TMainForm& f) { return f.ComboBox_DisplayRefresh->currentText().toInt() * 1000; }

QString InProgressStatus(const TMainForm& f, const LangText& status)
{
    const int L = f.Language;
    return Txt(status, L) + QStringLiteral(" (") + Txt(TxtUpdateInterval, L) + f.ComboBox_DisplayRefresh->currentText() +
           QStringLiteral(" [s])");
}

}  // namespace values
