#include "comm/Transceiver.h"

#include "core/WindowState.h"
#include "comm/JobHost.h"
#include "comm/TcpClient.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "platform/ComPort.h"

using std::chrono::milliseconds;

namespace {

// A connect's first M-Bus exchange gives the device time to wake up.
constexpr milliseconds kFirstExchangeWait{1000};
// An M-Bus long frame that came short: the rest may still be on its way.
constexpr milliseconds kShortFrameWait{4000};
constexpr milliseconds kAfterLateBytesWait{1000};

void Sleep(milliseconds span)
{
    if (span.count() > 0) std::this_thread::sleep_for(span);
}

// The open port of the window; a missing port object is a port that is not open.
TCOMPort& OpenPort(IJobHost& host)
{
    TransportState& link = host.Link();
    if (link.SerialPort == nullptr) {
        const int index = link.PortIndex.load();
        const std::string name = index >= 0 && index < static_cast<int>(PortNames.size()) ? PortNames[index] : "";
        throw ECOMPort("Port " + name + " is not open");
    }
    return *link.SerialPort;
}

int16_t ReadInto(TCOMPort& port, FrameBuffers& f, int at, int count)
{
    const int room = static_cast<int>(sizeof f.RxBuffer) - at;
    if (count <= 0 || room <= 0) return 0;
    return port.Read(static_cast<int16_t>(std::min(count, room)), f.RxBuffer + at);
}

TExchangeResult ExchangeMBus(IJobHost& host, uint8_t* buffer, int length)
{
    DeviceAddressing& addressing = host.Addressing();
    FrameBuffers& f = host.Frames();
    if (addressing.FirstExchange.load() != 0 && host.ConnectInProgress()) Sleep(kFirstExchangeWait);
    addressing.FirstExchange = 0;

    const milliseconds pacing = MBusPacing(host.Window().MbusBaudIndex.load());
    TCOMPort& port = OpenPort(host);
    Sleep(pacing);
    host.TraceComFrame("TX:", buffer, length);
    port.Write(static_cast<int16_t>(length), buffer);
    Sleep(pacing);

    f.RxCount = ReadInto(port, f, 0, 1);
    if (f.RxCount != 0 && f.RxBuffer[0] != MBusAck) {
        f.RxCount += ReadInto(port, f, 1, 1);
        // 0 for a byte that starts no frame: nothing more is read.
        const int total = MBusAnswerLength(f.RxBuffer, f.RxCount);
        if (total > 0) {
            f.RxCount += ReadInto(port, f, f.RxCount, total - f.RxCount);
            if (f.RxCount <= 2) f.RxCount = 0;
            if (f.RxCount != total) {
                Sleep(kShortFrameWait);
                f.RxCount += ReadInto(port, f, f.RxCount, total - f.RxCount);
                Sleep(kAfterLateBytesWait);
            }
        }
    }
    host.TraceComFrame("RX:", f.RxBuffer, f.RxCount);
    return CheckAnswer(tcMBus, {}, f.RxBuffer, f.RxCount);
}

TExchangeResult ExchangeModbusRtu(IJobHost& host, uint8_t* buffer, int length)
{
    FrameBuffers& f = host.Frames();
    TCOMPort& port = OpenPort(host);
    Sleep(ModbusRtuPacing(host.Window().ModbusBaudIndex.load()));
    host.TraceComFrame("TX:", buffer, length);
    port.Write(static_cast<int16_t>(length), buffer);

    f.RxCount = ReadInto(port, f, 0, 3);
    // Unit id, function and the byte count of a read answer; a write answer
    // has a register address there instead and ends by the read's time-out.
    // Without all three there is no byte count to go by.
    if (f.RxCount == 3) f.RxCount += ReadInto(port, f, 3, f.RxBuffer[2] + 2);
    host.TraceComFrame("RX:", f.RxBuffer, f.RxCount);
    return CheckAnswer(tcModbusRtu, std::span<const uint8_t>(buffer, static_cast<size_t>(length)), f.RxBuffer,
                       f.RxCount);
}

TExchangeResult ExchangeModbusTcp(IJobHost& host, uint8_t* buffer, int length, const TTcpFollowUp* followUp)
{
    TModbusTcpClient* client = host.ModbusTcpClient();
    if (client == nullptr || length < 2) return erNoValidAnswer;
    FrameBuffers& f = host.Frames();

    const bool sentAhead = client->BeginAnswer(buffer, length, followUp);
    const auto deadline = std::chrono::steady_clock::now() + TcpAnswerTimeout;
    if (!sentAhead) {
        host.TraceComFrame("TX:", buffer, length);
        host.SendOverTcp(buffer, length);
    }
    client->WaitAnswer(deadline);
    client->EndAnswer();
    // Only an answer assembled up to the length its header gives counts, also
    // one whose last piece came without waking the wait.
    return CheckModbusTcpAnswer(std::span<const uint8_t>(buffer, static_cast<size_t>(length)), f.RxBuffer,
                                f.RxCount);
}

}  // namespace

// ---- pacing ----

milliseconds MBusPacing(int baudIndex)
{
    static constexpr int kMs[] = {80, 40, 20, 10, 5, 3};
    return milliseconds(baudIndex >= 0 && baudIndex < 6 ? kMs[baudIndex] : 0);
}

milliseconds ModbusRtuPacing(int baudIndex)
{
    static constexpr int kMs[] = {100, 100, 50, 30, 30, 5};
    return milliseconds(baudIndex >= 0 && baudIndex < 6 ? kMs[baudIndex] : 0);
}

// ---- the exchange ----

TExchangeResult CheckModbusTcpAnswer(std::span<const uint8_t> request, const uint8_t* rx, int count)
{
    return CheckAnswer(tcModbusTcp, request, rx, count);
}

TExchangeResult TransceiveFrame(IJobHost& host, uint8_t* buffer, int length, const TTcpFollowUp* followUp)
{
    TPortUse use(host.PortGate());
    host.ShowComActivity(caTraffic);
    switch (host.Link().TransportCode.load()) {
    case tcMBus:
        return ExchangeMBus(host, buffer, length);
    case tcModbusRtu:
        return ExchangeModbusRtu(host, buffer, length);
    case tcModbusTcp:
        return ExchangeModbusTcp(host, buffer, length, followUp);
    default:
        return erNoValidAnswer;
    }
}
