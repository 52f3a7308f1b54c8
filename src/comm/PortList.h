#pragma once
// The serial port lists of M-Bus and Modbus RTU (PortList.cpp).
class TMainForm;

// UI thread, holding the port: closes the port and opens the one chosen in the
// transport's list with the baud-rate list's choice, a few tries; with no port
// chosen, the one used last, one try less. Returns PortOpen.
bool OpenChosenPort(TMainForm& f, bool mbus, bool shortTimeouts);
