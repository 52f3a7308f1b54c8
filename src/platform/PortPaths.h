#pragma once
// Where a port name "COMn" leads on this system. A link
// <config folder>/TORVA_ORBICOUNT_TOOL/ports/comN points a name at any device
// (a USB adapter, a pseudo-terminal); without it COM1-32 are /dev/ttyS0-31,
// COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31, and the rest lead nowhere.
#include <string>
#include <string_view>

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config.
std::string UserConfigFolder();
// The folder of the port links.
std::string PortLinkFolder();
// The link that redirects port number n (1-256), whether it exists or not.
std::string PortLinkPath(int portNumber);
// The device a port number opens; empty when it opens nothing.
std::string SerialDevicePath(int portNumber);
// The same for a port name such as "COM12"; empty for any other text.
std::string SerialDevicePathOfName(std::string_view portName);
