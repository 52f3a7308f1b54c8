#include "comm/SocketErrors.h"

namespace {

constexpr int kWsaeAddrNotAvail = 10049;
constexpr int kWsaeNetUnreach = 10051;
constexpr int kWsaeConnAborted = 10053;
constexpr int kWsaeConnReset = 10054;
constexpr int kWsaeTimedOut = 10060;
constexpr int kWsaeConnRefused = 10061;

}  // namespace

int WinSockErrorCode(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return kWsaeConnRefused;
    // Qt reports a reset and an orderly close by the peer alike.
    case QAbstractSocket::RemoteHostClosedError:
        return kWsaeConnReset;
    case QAbstractSocket::SocketTimeoutError:
        return kWsaeTimedOut;
    // Network and host unreachable, and a connect that timed out in the stack.
    case QAbstractSocket::NetworkError:
        return kWsaeNetUnreach;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return kWsaeAddrNotAvail;
    case QAbstractSocket::HostNotFoundError:
        return 11001;  // WSAHOST_NOT_FOUND
    case QAbstractSocket::SocketAccessError:
        return 10013;  // WSAEACCES
    case QAbstractSocket::SocketResourceError:
        return 10055;  // WSAENOBUFS
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;  // WSAEMSGSIZE
    case QAbstractSocket::AddressInUseError:
        return 10048;  // WSAEADDRINUSE
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;  // WSAEOPNOTSUPP
    case QAbstractSocket::OperationError:
        return 10022;  // WSAEINVAL
    default:
        return 10000 + static_cast<int>(error);  // outside the WinSock codes we know, and shown
    }
}

bool IsSilentSocketError(int winSockCode)
{
    switch (winSockCode) {
    case kWsaeAddrNotAvail:
    case kWsaeNetUnreach:
    case kWsaeConnAborted:
    case kWsaeConnReset:
    case kWsaeTimedOut:
    case kWsaeConnRefused:
        return true;
    default:
        return false;
    }
}
