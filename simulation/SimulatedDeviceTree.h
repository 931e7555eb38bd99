#pragma once
// A throw-away device tree for TELVARA_ROOT: the program looks for serial
// ports under $TELVARA_ROOT/sys/class/tty, opens $TELVARA_ROOT/dev/NAME and
// takes its lock files in $TELVARA_ROOT/run/lock, so a tree built here can
// present a pseudo-terminal as a USB serial device:
//
//   SimulatedDeviceTree tree;
//   tree.addTty("ttyACM0", "cdc_acm", pty.slavePath());
//   setenv("TELVARA_ROOT", tree.root().c_str(), 1);
//
// Each tty gets sys/class/tty/NAME/device/driver -> ../../../../bus/drivers/DRIVER
// (a relative link, as sysfs has) and dev/NAME -> the target given. The tree
// lives in a fresh temporary directory and is removed with the object.
//
// Linux only. The constructor throws std::system_error when the directory
// cannot be made; the add operations report by their result.

#include <string>

class SimulatedDeviceTree {
public:
    SimulatedDeviceTree();
    ~SimulatedDeviceTree();
    SimulatedDeviceTree(const SimulatedDeviceTree&) = delete;
    SimulatedDeviceTree& operator=(const SimulatedDeviceTree&) = delete;

    // The directory to put in TELVARA_ROOT; absolute, without a trailing slash.
    const std::string& root() const { return root_; }
    // Where the program takes the lock file of a port: LCK..NAME in here.
    std::string lockDirectory() const;

    // A tty driven by `driver` whose device node is `devTarget` (e.g. "/dev/pts/3").
    // An empty devTarget adds no dev/NAME entry.
    bool addTty(const std::string& name, const std::string& driver, const std::string& devTarget);
    // A USB serial port as the kernel and udev lay one out: sys/class/tty/NAME
    // links into sys/devices/.../1-N/1-N:1.0/tty/NAME, whose `device` is the USB
    // interface 1-N:1.0 (driven by cdc_acm); the descriptors sit in the USB
    // device 1-N; dev/NAME -> devTarget; dev/serial/by-id/usb-<manufacturer>_
    // <product>_<serial>-if00 -> ../../NAME. Each port gets a USB device of its own.
    struct UsbDescriptors {
        std::string vendorId;  // four hex digits
        std::string productId;
        std::string manufacturer;
        std::string product;
        std::string serialNumber;
    };
    bool addUsbTty(const std::string& name, const UsbDescriptors& usb, const std::string& devTarget);
    // The stable by-id name a port added by addUsbTty gets.
    static std::string byIdName(const UsbDescriptors& usb);

    // A tty without a driver, like the virtual consoles: listed in sysfs, not a serial port.
    bool addTtyWithoutDriver(const std::string& name);
    // Takes away sys/class/tty altogether, as on a system without sysfs.
    bool removeTtyClass();

private:
    std::string root_;
    int usbPorts_ = 0;
};
