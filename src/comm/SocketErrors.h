#pragma once
// The socket errors of the Modbus TCP client as WinSock numbers.
#include <QAbstractSocket>

// The WinSock number of a socket error.
int WinSockErrorCode(QAbstractSocket::SocketError error);
// Address not available, network unreachable, connection aborted or reset,
// timed out and refused: a meter that is off or unplugged, reported by the
// connect supervision instead.
bool IsSilentSocketError(int winSockCode);
