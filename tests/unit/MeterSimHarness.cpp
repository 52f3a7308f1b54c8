#include "MeterSimHarness.h"

namespace metersim_test {

ModbusClient::ModbusClient(modbus_t* ctx) : ctx_(ctx) {
    if (!ctx_) return;
    connected_ = modbus_connect(ctx_) == 0;
    SetTimeoutMs(2000);
}

ModbusClient ModbusClient::Tcp(int port) { return ModbusClient(modbus_new_tcp("127.0.0.1", port)); }

ModbusClient ModbusClient::Rtu(const std::string& device, int unit, int baud) {
    ModbusClient c(modbus_new_rtu(device.c_str(), baud, 'E', 8, 1));
    if (c.ctx_) modbus_set_slave(c.ctx_, unit);
    return c;
}

ModbusClient::~ModbusClient() {
    if (!ctx_) return;
    modbus_close(ctx_);
    modbus_free(ctx_);
}

void ModbusClient::SetTimeoutMs(int ms) {
    if (ctx_) modbus_set_response_timeout(ctx_, static_cast<uint32_t>(ms / 1000), static_cast<uint32_t>(ms % 1000) * 1000);
}

}  // namespace metersim_test
