#pragma once
// The end of a device scan, shared by the result actions of a finished or
// cancelled scan and of a failed identification.
class TMainForm;

// Edit_Scan_PrimaryAddress := the addresses found, without the final comma.
void ShowScanResult(TMainForm& form);
// The scan's port is let go unless a device is connected on it; a port found
// closed already is reported as "The device is not available.".
void FinishDeviceScan(TMainForm& form);
