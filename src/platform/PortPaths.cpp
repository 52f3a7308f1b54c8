#include "platform/PortPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "core/SerialFraming.h"

namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    // No HOME (a service, a stripped environment): ask the password database.
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

} // namespace

std::string UserConfigFolder()
{
    // The same rule as the settings file, so ports and settings live side by side.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return xdg;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string PortLinkFolder()
{
    const std::string config = UserConfigFolder();
    return config.empty() ? std::string() : config + "/TORVA_ORBICOUNT_TOOL/ports";
}

std::string PortLinkPath(int portNumber)
{
    const std::string folder = PortLinkFolder();
    return folder.empty() ? std::string() : folder + "/com" + std::to_string(portNumber);
}

std::string SerialDevicePath(int portNumber)
{
    if (portNumber < 1 || portNumber > PortNameCount)
        return {};
    // lstat, not stat: a link whose device is gone still belongs to the user's
    // mapping and must fail to open rather than fall back to a system port.
    const std::string link = PortLinkPath(portNumber);
    struct stat st {};
    if (!link.empty() && ::lstat(link.c_str(), &st) == 0)
        return link;
    const int n = portNumber - 1;
    if (n < 32)
        return "/dev/ttyS" + std::to_string(n);
    if (n < 64)
        return "/dev/ttyUSB" + std::to_string(n - 32);
    if (n < 96)
        return "/dev/ttyACM" + std::to_string(n - 64);
    return {};
}

std::string SerialDevicePathOfName(std::string_view portName)
{
    const auto number = PortNumberOfName(portName);
    return number ? SerialDevicePath(*number) : std::string();
}
