#pragma once
// What sysfs knows of the USB device behind a tty, read the way the kernel
// lays it out: /sys/class/tty/NAME/device is the USB interface (its driver
// cdc_acm), and the interface's parent directory is the USB device with its
// descriptors (idVendor, idProduct, manufacturer, product, serial). udev's
// stable name for the port is the link in /dev/serial/by-id that leads to it.

#include <optional>
#include <string>

namespace serial {

struct UsbSerialDevice {
    std::string ttyName;
    std::string driver;
    std::string vendorId;  // four hex digits, as sysfs gives them; empty when not a USB device
    std::string productId;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    std::string byIdName;  // the last part of the /dev/serial/by-id link; empty when there is none
};

// Whatever of it can be read; missing attributes stay empty.
UsbSerialDevice describeUsbSerialDevice(const std::string& ttyName);

// The tty that the by-id name `byIdName` leads to; nullopt when there is no
// such link or it leads elsewhere than to an entry of /dev.
std::optional<std::string> ttyOfByIdName(const std::string& byIdName);

}  // namespace serial
