#pragma once
// Sends the PS-field selection of the PS-Field Configuration window to the
// connected M-Bus meter, from the UI thread, and reports the outcome.
#include <cstdint>

class TMainForm;

// Byte i of the window's selection; 0 for i above 10 and without the window.
uint8_t GetPSFieldMaskByte(const TMainForm& form, int i);
// Acts only while the setup command list shows the PS-field command.
void SendPSFieldConfiguration(TMainForm& form);
