// Port discovery and the USB lookup over a sysfs tree laid out by the test.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/PortScan.h"

namespace fs = std::filesystem;

namespace {

class PortScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::unsetenv("STROKEDESK_USB");
    root = fs::temp_directory_path() / ("strokedesk-sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root);
    // A platform placeholder port, a real one, a USB CDC-ACM device and a
    // console without a device.
    Tty("ttyS0", "devices/platform/serial8250", "bus/platform");
    Tty("ttyS1", "devices/pnp0/00:05", "bus/pnp");
    Tty("ttyACM0", "devices/usb1/1-2/1-2:1.0", "bus/usb");
    fs::create_directories(root / "class/tty/tty0");
    File("devices/usb1/1-2/idVendor", "1cbe");
    File("devices/usb1/1-2/idProduct", "0002");
    fs::create_directories(root / "bus/usb/drivers/cdc_acm");
    fs::create_directory_symlink(root / "bus/usb/drivers/cdc_acm", root / "devices/usb1/1-2/1-2:1.0/driver");
    fs::create_directories(root / "bus/usb/devices");
    fs::create_directory_symlink(root / "devices/usb1/1-2", root / "bus/usb/devices/1-2");
  }
  void TearDown() override { fs::remove_all(root); }

  void Tty(const std::string& name, const std::string& device, const std::string& subsystem) {
    fs::create_directories(root / device);
    fs::create_directories(root / subsystem);
    fs::create_directories(root / "class/tty" / name);
    fs::create_directory_symlink(root / device, root / "class/tty" / name / "device");
    fs::create_directory_symlink(root / subsystem, root / device / "subsystem");
  }
  void File(const std::string& path, const std::string& text) {
    fs::create_directories((root / path).parent_path());
    std::ofstream(root / path) << text << "\n";
  }

  fs::path root;
};

TEST_F(PortScanTest, SerialDevicesWithTheirNumbersAndUsbIdentity) {
  bool readable = false;
  const std::vector<SerialPortInfo> ports = PortScanList(readable, root.string());
  EXPECT_TRUE(readable);
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].number, 1);
  EXPECT_EQ(ports[0].device, "/dev/ttyACM0");
  EXPECT_EQ(ports[0].label, "COM1  /dev/ttyACM0  USB 1cbe:0002");
  EXPECT_EQ(ports[0].driver, "cdc_acm");
  EXPECT_EQ(ports[1].number, 2);
  EXPECT_EQ(ports[1].name, "COM2");
  EXPECT_EQ(ports[1].device, "/dev/ttyS1");
  EXPECT_EQ(PortScanDevicePath(2, root.string()), "/dev/ttyS1");
  EXPECT_EQ(PortScanDevicePath(3, root.string()), "");
}

TEST_F(PortScanTest, PinnedPortsComeFirst) {
  ::setenv("STROKEDESK_COM1", "/dev/null", 1);
  ::setenv("STROKEDESK_COMX", "/dev/null", 1);
  bool readable = false;
  const std::vector<SerialPortInfo> ports = PortScanList(readable, root.string());
  ::unsetenv("STROKEDESK_COM1");
  ::unsetenv("STROKEDESK_COMX");
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].device, "/dev/null");
  EXPECT_EQ(ports[1].number, 2);
  EXPECT_EQ(ports[2].number, 3);  // the USB port moved to the next free number
  EXPECT_EQ(ports[2].device, "/dev/ttyACM0");
}

TEST_F(PortScanTest, UsbLookupAndPresence) {
  UsbSerialDevice d;
  ASSERT_EQ(PortScanFindUsb(0x1cbe, 0x0002, d, root.string()), USB_FOUND);
  EXPECT_EQ(d.port, 1);
  EXPECT_EQ(d.driver, "cdc_acm");
  EXPECT_EQ(PortScanUsbPresent(d.presencePath, root.string()), USB_PRESENT);
  EXPECT_EQ(PortScanFindUsb(0x1cbe, 0x0003, d, root.string()), USB_NOT_PRESENT);

  // Unplugged: the device directory goes.
  fs::remove_all(root / "devices/usb1/1-2");
  EXPECT_EQ(PortScanUsbPresent(d.presencePath, root.string()), USB_ABSENT);
  EXPECT_EQ(PortScanUsbPresent("", root.string()), USB_ABSENT);
}

TEST_F(PortScanTest, DeviceWithoutSerialPort) {
  File("devices/usb1/1-3/idVendor", "1cbe");
  File("devices/usb1/1-3/idProduct", "0002");
  fs::create_directory_symlink(root / "devices/usb1/1-3", root / "bus/usb/devices/1-3");
  fs::remove_all(root / "class/tty/ttyACM0");
  UsbSerialDevice d;
  EXPECT_EQ(PortScanFindUsb(0x1cbe, 0x0002, d, root.string()), USB_NO_PORT);
}

TEST_F(PortScanTest, TheDeviceLinkStandsForTheController) {
  const std::string link = (root / "rc7-usb").string();
  const std::string device = (root / "ttyACM7").string();
  File("ttyACM7", "");
  fs::create_symlink(device, link);
  bool readable = false;
  std::vector<SerialPortInfo> ports = PortScanList(readable, root.string(), link);
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].device, link);
  EXPECT_EQ(ports[0].usbVendor, 0x1cbe);
  EXPECT_EQ(ports[2].device, "/dev/ttyACM0");  // the sysfs device is another one
  UsbSerialDevice d;
  ASSERT_EQ(PortScanFindUsb(0x1cbe, 0x0002, d, root.string(), link), USB_FOUND);
  EXPECT_EQ(d.port, 1);
  EXPECT_EQ(d.presencePath, link);
  EXPECT_EQ(PortScanDevicePath(1, root.string(), link), link);

  // A port pinned to the link's device keeps its number; the environment's
  // device comes before the link.
  ::setenv("STROKEDESK_COM5", device.c_str(), 1);
  EXPECT_EQ(PortScanDevicePath(5, root.string(), link), link);
  ::unsetenv("STROKEDESK_COM5");
  ::setenv("STROKEDESK_USB", "/dev/null", 1);
  EXPECT_EQ(PortScanDevicePath(1, root.string(), link), "/dev/null");
  ::unsetenv("STROKEDESK_USB");

  // Unplugged: udev takes the link away with the device.
  fs::remove(device);
  EXPECT_EQ(PortScanUsbPresent(link, root.string()), USB_ABSENT);
  fs::remove(link);
  ASSERT_EQ(PortScanFindUsb(0x1cbe, 0x0002, d, root.string(), link), USB_FOUND);
  EXPECT_EQ(d.presencePath, (root / "devices/usb1/1-2").string());
}

TEST_F(PortScanTest, ADeviceThatCannotBeUsedIsNamedWithTheReason) {
  const std::string file = (root / "plain").string();
  const std::string dangling = (root / "rc7-usb").string();
  File("plain", "");
  fs::create_symlink(root / "ttyACM9", dangling);
  struct Case {
    std::string path;
    std::string problem;
  } cases[] = {
      {"/dev/null", ""},
      {file, file + ": not a serial device"},
      {dangling, dangling + ": the link's device " + (root / "ttyACM9").string() + " does not exist"},
      {(root / "none").string(), (root / "none").string() + ": No such file or directory"},
  };
  for (const Case& c : cases) EXPECT_EQ(PortScanDeviceProblem(c.path), c.problem) << c.path;
  if (::geteuid() != 0) {  // root may open anything
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(PortScanDeviceProblem(file), file + ": Permission denied");
  }
}

TEST_F(PortScanTest, UnreadableTree) {
  const std::string gone = (root / "nothing").string();
  bool readable = true;
  EXPECT_TRUE(PortScanList(readable, gone).empty());
  EXPECT_FALSE(readable);
  EXPECT_EQ(PortScanUsbPresent(gone + "/devices/x", gone), USB_UNREADABLE);
}

}  // namespace
