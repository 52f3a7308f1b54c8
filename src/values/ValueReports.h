#pragma once
// What the measuring and counter pages share: the connection tests they make
// before a read, and their error reports in the progress window.
#include <QString>

#include "core/MessageTable.h"

class TMainForm;

namespace values {

// The Setup page's status line reads "Status: Device is connected." in the
// language shown.
bool ConnectedByStatus(const TMainForm& f);
// A serial port is open or a TCP connection stands.
bool LinkUp(const TMainForm& f);
// The serial port's last open failed and no TCP connection stands.
bool PortFailed(const TMainForm& f);
// Label_DeviceAddress shows no device: empty or "- -".
bool NoDeviceShown(const TMainForm& f);
// Error window: error icon, layout 1, caption "Error", line 1, button "Ok".
// The suffix is an error number the window does not show.
void ShowErrorReport(TMainForm& f, int id, const LangText& line1, const QString& suffix = QString());
// The number chosen in ComboBox_DisplayRefresh, in milliseconds.
int RefreshIntervalMs(const TMainForm& f);
// "Status: The measuring is in progress. (Update interval: N [s])".
QString InProgressStatus(const TMainForm& f, const LangText& status);

}  // namespace values
