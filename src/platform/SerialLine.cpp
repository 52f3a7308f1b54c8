#include "platform/SerialLine.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {

tcflag_t SpeedBits(uint32_t baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return BOTHER;
    }
}

} // namespace

bool ApplySerialLine(int fd, const SerialLineSettings& line)
{
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    // Raw bytes both ways. Breaks stay out of the data; bytes with a parity
    // error are passed on as received and the frame checks reject the answer.
    tio.c_iflag &= ~static_cast<tcflag_t>(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK);
    tio.c_iflag |= IGNBRK;
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL |
                                          CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= CLOCAL | CREAD;
    switch (line.DataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (line.TwoStopBits)
        tio.c_cflag |= CSTOPB;
    switch (line.Parity) {
    case 1: tio.c_cflag |= PARENB; break;
    case 2: tio.c_cflag |= PARENB | PARODD; break;
    case 3: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // Input speed bits left 0: the input runs at the output speed.
    tio.c_cflag |= SpeedBits(line.Baud);
    tio.c_ispeed = line.Baud;
    tio.c_ospeed = line.Baud;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

bool SetReadsReturnAtOnce(int fd)
{
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

uint32_t ReadLineSpeed(int fd)
{
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ospeed;
}
