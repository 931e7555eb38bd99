#include "platform/UsbSerialPorts.h"

#include "platform/SerialDeviceMap.h"

namespace devicemap {

UsbSerialPorts findUsbSerialPorts() {
    UsbSerialPorts ports;
    const SerialDeviceMap map;
    if (!map.isOpen()) return ports;
    for (const std::string& valueName : map.valueNames()) {
        if (!isUsbSerialDeviceName(valueName)) continue;
        std::string portName;
        if (!map.readText(valueName, portName, ports.error)) break;
        ports.names.push_back(portName);
    }
    return ports;
}

}  // namespace devicemap
