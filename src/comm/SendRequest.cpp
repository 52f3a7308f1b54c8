// Sending a request template: its completion for the transport and addressing
// in use, then one exchange.
#include <algorithm>

#include "comm/JobHost.h"
#include "comm/TcpClient.h"
#include "comm/Transceiver.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "core/RequestTemplates.h"

TExchangeResult SendRequestTemplate(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address,
                                    const TNextRequest* next)
{
    // TxBuffer is the port user's from its completion to the answer.
    TPortUse use(host.PortGate());
    const DeviceAddressing& addressing = host.Addressing();
    TRequestTarget target;
    target.TransportCode = host.Link().TransportCode.load();
    target.AddressingMode = addressing.AddressingMode.load();
    target.SelectFrameKind = addressing.SelectFrameKind.load();
    target.SecondaryAddress = addressing.SecondaryAddress;
    target.ManufacturerIndex = addressing.ManufacturerIndex;
    FrameBuffers& frames = host.Frames();
    // The next request is completed first, in TxBuffer too, and kept aside.
    uint8_t following[sizeof frames.TxBuffer];
    TTcpFollowUp followUp;
    if (next && next->Follows && target.TransportCode == tcModbusTcp) {
        const int n = CompleteRequestTemplate(next->Template, address, target, frames);
        if (n > 0) {
            std::copy_n(frames.TxBuffer, n, following);
            followUp = {std::span<const uint8_t>(following, static_cast<size_t>(n)), next->Follows, next->Context,
                        next->Limit};
        }
    }
    const int length = CompleteRequestTemplate(tpl, address, target, frames);
    if (length == 0) return erNoValidAnswer;
    return TransceiveFrame(host, frames.TxBuffer, length, followUp.Follows ? &followUp : nullptr);
}

TExchangeResult SendMBusScanRequest(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address)
{
    TPortUse use(host.PortGate());
    FrameBuffers& frames = host.Frames();
    const int length = CompleteMBusScanRequest(tpl, address, frames);
    if (length == 0) return erNoValidAnswer;
    return TransceiveFrame(host, frames.TxBuffer, length);
}

void EndTcpFollowUps(IJobHost& host)
{
    if (TModbusTcpClient* client = host.ModbusTcpClient()) client->EndFollowUps();
}
