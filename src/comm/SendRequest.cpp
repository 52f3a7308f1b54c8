// Sending a request template: its completion for the transport and addressing
// in use, then one exchange.
#include "comm/JobHost.h"
#include "comm/Transceiver.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "core/RequestTemplates.h"

TExchangeResult SendRequestTemplate(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address)
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
    const int length = CompleteRequestTemplate(tpl, address, target, frames);
    if (length == 0) return erNoValidAnswer;
    return TransceiveFrame(host, frames.TxBuffer, length);
}

TExchangeResult SendMBusScanRequest(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address)
{
    TPortUse use(host.PortGate());
    FrameBuffers& frames = host.Frames();
    const int length = CompleteMBusScanRequest(tpl, address, frames);
    if (length == 0) return erNoValidAnswer;
    return TransceiveFrame(host, frames.TxBuffer, length);
}
