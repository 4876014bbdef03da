// Serial port discovery and the lookup of the controller's USB serial device.
// Ports are numbered like the channel ring: "COM<n>". Sources, in order of
// precedence:
//   STROKEDESK_COM<n>=<device path>  pins port n to a device (any n >= 1)
//   STROKEDESK_USB=<device path>     stands for the controller's USB device
//   /dev/rc7-usb                     the link the udev rule of the package
//                                    makes for the controller's USB device
//   /sys/class/tty                   serial devices of the system: ttyS<k> is
//                                    COM<k+1>, USB ones (ttyACM, ttyUSB) take
//                                    the lowest free numbers
// The sysfs root is a parameter so tests can lay out a tree of their own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint16_t RC7_USB_VENDOR = 0x1cbe;
inline constexpr uint16_t RC7_USB_PRODUCT = 0x0002;
inline constexpr const char* RC7_USB_LINK = "/dev/rc7-usb";

struct SerialPortInfo {
  int number = 0;
  std::string name;    // "COM3"
  std::string device;  // "/dev/ttyACM0"
  std::string label;   // name, device and USB identity, for the ring
  uint16_t usbVendor = 0;
  uint16_t usbProduct = 0;
  std::string driver;      // kernel driver of the USB interface ("cdc_acm")
  std::string presencePath; // exists while the device is plugged in
};

// The serial ports present, sorted by number. `readable` is false when the
// sysfs tty class could not be read (the environment entries still count).
// `usbLink` is the controller's device link (tests lay out their own).
std::vector<SerialPortInfo> PortScanList(bool& readable, const std::string& sysfsRoot = "/sys",
                                         const std::string& usbLink = RC7_USB_LINK);

// Device path of port `number`, "" when there is none.
std::string PortScanDevicePath(int number, const std::string& sysfsRoot = "/sys",
                               const std::string& usbLink = RC7_USB_LINK);

// Why the device file `path` cannot be opened for reading and writing, in one
// line naming it (and where a link points); "" when it can.
std::string PortScanDeviceProblem(const std::string& path);

enum UsbLookupResult : uint8_t { USB_FOUND = 0, USB_NOT_PRESENT = 1, USB_NO_PORT = 2 };

struct UsbSerialDevice {
  int port = 0;
  std::string driver;
  std::string presencePath;
};

// Finds the serial port of the USB device with this identity: USB_FOUND with
// `device` filled; USB_NOT_PRESENT when no such device is known; USB_NO_PORT
// when the device is there but has no serial port (driver not bound) or its
// port has no number.
UsbLookupResult PortScanFindUsb(uint16_t vendor, uint16_t product, UsbSerialDevice& device,
                                const std::string& sysfsRoot = "/sys", const std::string& usbLink = RC7_USB_LINK);

enum UsbPresence : uint8_t { USB_PRESENT, USB_ABSENT, USB_UNREADABLE };
// Whether the device found by PortScanFindUsb is still plugged in.
UsbPresence PortScanUsbPresent(const std::string& presencePath, const std::string& sysfsRoot = "/sys");
