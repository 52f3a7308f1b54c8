// Brand texts and device type names. Index 0 of a brand array stays empty so
// that a brand of 0 shows empty titles instead of reading outside the array.
#include "core/MessageTable.h"

const BrandText TxtToolTitle{"", "TORVA ORBICOUNT TOOL", "NOLD QSL Setup Tool"};
const BrandText TxtRightsLine{"", "Copyright © Torva Orbicount. All rights reserved.",
                              "Copyright © Nold QSL. All rights reserved."};
const BrandText TxtWebAddress{"", "www.torva-orbicount.example", "www.nold-qsl.example"};
const BrandText TxtVersion{"", "Version 1.27", "Version 1.27"};
const BrandText TxtCaptionMbus{"", "TORVA ORBICOUNT TOOL - M-Bus", "NOLD QSL Setup Tool - M-Bus"};
const BrandText TxtCaptionModbusRtu{"", "TORVA ORBICOUNT TOOL - Modbus RTU", "NOLD QSL Setup Tool - Modbus RTU"};
const BrandText TxtCaptionModbusTcp{"", "TORVA ORBICOUNT TOOL - Modbus TCP/IP", "NOLD QSL Setup Tool - Modbus TCP/IP"};

// The first brand-2 types have no model; their name stays a row of dashes.
const DeviceTypeNames TxtDeviceTypesBrand1{"DX310", "DX315", "DX320", "DX410", "DX415", "DX420"};
const DeviceTypeNames TxtDeviceTypesBrand2{"-----", "-----", "QSL810", "-----", "-----", "QSL820"};
