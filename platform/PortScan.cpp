#include "platform/PortScan.h"

#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

extern char** environ;

namespace {

constexpr const char* kComPrefix = "STROKEDESK_COM";
constexpr const char* kUsbVariable = "STROKEDESK_USB";

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListDir(const std::string& dir, bool& ok) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  ok = d != nullptr;
  if (!d) return names;
  while (dirent* e = ::readdir(d))
    if (e->d_name[0] != '.') names.emplace_back(e->d_name);
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string Canonical(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string r(real);
  std::free(real);
  return r;
}

std::string BaseName(const std::string& path) {
  const size_t cut = path.rfind('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Parent(const std::string& path) {
  const size_t cut = path.rfind('/');
  return cut == std::string::npos || cut == 0 ? std::string("/") : path.substr(0, cut);
}

uint16_t ParseHex16(const std::string& text, bool& ok) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 16);
  ok = !text.empty() && end && *end == '\0' && v <= 0xFFFF;
  return static_cast<uint16_t>(v);
}

// Number after a prefix: digits only, 1..999.
int TrailingNumber(const char* text) {
  if (!*text) return 0;
  int n = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9' || n > 99) return 0;
    n = n * 10 + (*p - '0');
  }
  return n;
}

struct UsbIdentity {
  uint16_t vendor = 0;
  uint16_t product = 0;
  std::string usbDevice;  // sysfs directory of the USB device
  std::string driver;
};

// Walks up from a tty's device directory to the USB device that carries it.
bool FindUsbIdentity(const std::string& deviceDir, UsbIdentity& id) {
  std::string dir = Canonical(deviceDir);
  for (int level = 0; level < 4 && dir.size() > 1; ++level, dir = Parent(dir)) {
    if (!Exists(dir + "/idVendor")) continue;
    bool okV = false, okP = false;
    id.vendor = ParseHex16(ReadFirstLine(dir + "/idVendor"), okV);
    id.product = ParseHex16(ReadFirstLine(dir + "/idProduct"), okP);
    if (!okV || !okP) return false;
    id.usbDevice = dir;
    id.driver = BaseName(Canonical(Canonical(deviceDir) + "/driver"));
    if (id.driver == "driver") id.driver.clear();
    return true;
  }
  return false;
}

struct TtyDevice {
  std::string name;  // "ttyACM0"
  UsbIdentity usb;
  bool isUsb = false;
};

// Serial devices of the tty class: those with a device behind them, without
// the placeholder ttyS ports of the platform driver.
std::vector<TtyDevice> SysfsTtys(const std::string& root, bool& ok) {
  std::vector<TtyDevice> ttys;
  const std::string cls = root + "/class/tty";
  for (const std::string& name : ListDir(cls, ok)) {
    const std::string dev = cls + "/" + name + "/device";
    if (!Exists(dev)) continue;
    const bool serial = name.rfind("ttyS", 0) == 0 || name.rfind("ttyACM", 0) == 0 || name.rfind("ttyUSB", 0) == 0;
    if (!serial) continue;
    TtyDevice t;
    t.name = name;
    if (name.rfind("ttyS", 0) == 0) {
      if (BaseName(Canonical(dev + "/subsystem")) == "platform") continue;
    } else {
      t.isUsb = FindUsbIdentity(dev, t.usb);
    }
    ttys.push_back(t);
  }
  return ttys;
}

std::string MakeLabel(const SerialPortInfo& p) {
  std::string label = p.name + "  " + p.device;
  if (p.usbVendor || p.usbProduct) {
    char id[24];
    std::snprintf(id, sizeof id, "  USB %04x:%04x", p.usbVendor, p.usbProduct);
    label += id;
  }
  return label;
}

int LowestFree(const std::map<int, SerialPortInfo>& ports) {
  int n = 1;
  while (ports.count(n)) ++n;
  return n;
}

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool InGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  gid_t groups[256];
  const int n = ::getgroups(256, groups);
  return std::find(groups, groups + std::max(n, 0), gid) != groups + std::max(n, 0);
}

}  // namespace

std::vector<SerialPortInfo> PortScanList(bool& readable, const std::string& sysfsRoot, const std::string& usbLink) {
  std::map<int, SerialPortInfo> ports;
  std::map<std::string, int> byDevice;  // canonical device path -> number
  auto add = [&](SerialPortInfo p) {
    p.name = "COM" + std::to_string(p.number);
    byDevice[Canonical(p.device)] = p.number;
    ports[p.number] = std::move(p);
  };

  const size_t prefixLen = std::strlen(kComPrefix);
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, kComPrefix, prefixLen) != 0) continue;
    const char* eq = std::strchr(*e, '=');
    if (!eq || eq[1] == '\0') continue;
    const std::string digits(static_cast<const char*>(*e) + prefixLen, eq);
    const int n = TrailingNumber(digits.c_str());
    if (n < 1) continue;
    SerialPortInfo p;
    p.number = n;
    p.device = eq + 1;
    add(p);
  }

  const std::vector<TtyDevice> ttys = SysfsTtys(sysfsRoot, readable);

  // The USB stand-in, else the device link, keeps the number of a pinned port
  // with the same device, else it takes the lowest free one. The link goes
  // with its device: udev removes it when the controller is unplugged.
  const char* usb = std::getenv(kUsbVariable);
  const bool fromLink = !(usb && *usb) && IsLink(usbLink);
  if ((usb && *usb) || fromLink) {
    const std::string device = fromLink ? usbLink : usb;
    auto known = byDevice.find(Canonical(device));
    SerialPortInfo p;
    p.number = known != byDevice.end() ? known->second : LowestFree(ports);
    p.device = device;
    p.usbVendor = RC7_USB_VENDOR;
    p.usbProduct = RC7_USB_PRODUCT;
    p.driver = kUsbVariable;
    p.presencePath = device;
    if (fromLink) {
      const std::string tty = BaseName(Canonical(device));
      auto same = std::find_if(ttys.begin(), ttys.end(), [&](const TtyDevice& t) { return t.name == tty; });
      p.driver = same != ttys.end() && same->isUsb ? same->usb.driver : "";
    }
    add(p);
  }

  for (const TtyDevice& t : ttys) {
    if (t.isUsb || byDevice.count(Canonical("/dev/" + t.name))) continue;
    SerialPortInfo p;
    p.number = std::atoi(t.name.c_str() + 4) + 1;
    if (ports.count(p.number)) continue;
    p.device = "/dev/" + t.name;
    add(p);
  }
  for (const TtyDevice& t : ttys) {
    if (!t.isUsb || byDevice.count(Canonical("/dev/" + t.name))) continue;
    SerialPortInfo p;
    p.number = LowestFree(ports);
    p.device = "/dev/" + t.name;
    p.usbVendor = t.usb.vendor;
    p.usbProduct = t.usb.product;
    p.driver = t.usb.driver;
    p.presencePath = t.usb.usbDevice;
    add(p);
  }

  std::vector<SerialPortInfo> list;
  for (auto& [n, p] : ports) {
    p.label = MakeLabel(p);
    list.push_back(p);
  }
  return list;
}

std::string PortScanDevicePath(int number, const std::string& sysfsRoot, const std::string& usbLink) {
  bool readable = false;
  for (const SerialPortInfo& p : PortScanList(readable, sysfsRoot, usbLink))
    if (p.number == number) return p.device;
  return "";
}

UsbLookupResult PortScanFindUsb(uint16_t vendor, uint16_t product, UsbSerialDevice& device,
                                const std::string& sysfsRoot, const std::string& usbLink) {
  bool readable = false;
  for (const SerialPortInfo& p : PortScanList(readable, sysfsRoot, usbLink)) {
    if (p.usbVendor != vendor || p.usbProduct != product) continue;
    device.port = p.number;
    device.driver = p.driver;
    device.presencePath = p.presencePath;
    return USB_FOUND;
  }
  // Plugged in but without a serial port: no driver is bound to it.
  bool ok = false;
  const std::string bus = sysfsRoot + "/bus/usb/devices";
  for (const std::string& name : ListDir(bus, ok)) {
    bool okV = false, okP = false;
    const uint16_t v = ParseHex16(ReadFirstLine(bus + "/" + name + "/idVendor"), okV);
    const uint16_t p = ParseHex16(ReadFirstLine(bus + "/" + name + "/idProduct"), okP);
    if (okV && okP && v == vendor && p == product) return USB_NO_PORT;
  }
  return USB_NOT_PRESENT;
}

UsbPresence PortScanUsbPresent(const std::string& presencePath, const std::string& sysfsRoot) {
  if (presencePath.empty()) return USB_ABSENT;
  // The environment stand-in is a device path; a real device is a sysfs
  // directory, which needs the USB bus to be readable.
  const bool inSysfs = presencePath.rfind(sysfsRoot + "/", 0) == 0;
  if (inSysfs && ::access((sysfsRoot + "/bus/usb/devices").c_str(), R_OK) != 0) return USB_UNREADABLE;
  return Exists(presencePath) ? USB_PRESENT : USB_ABSENT;
}

std::string PortScanDeviceProblem(const std::string& path) {
  if (IsLink(path) && !Exists(path)) {
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    return path + ": the link's device " + (n > 0 ? std::string(target, static_cast<size_t>(n)) : "") +
           " does not exist";
  }
  const std::string target = Canonical(path);
  const std::string named = target == path ? path : path + " (" + target + ")";
  struct stat st;
  if (::access(path.c_str(), R_OK | W_OK) == 0)
    return ::stat(path.c_str(), &st) == 0 && !S_ISCHR(st.st_mode) ? named + ": not a serial device" : "";
  const int error = errno;
  std::string why = named + ": " + std::strerror(error);
  if (error == EACCES && ::stat(path.c_str(), &st) == 0 && !InGroup(st.st_gid)) {
    const group* g = ::getgrgid(st.st_gid);
    const std::string name = g ? g->gr_name : std::to_string(st.st_gid);
    why += "; it belongs to the group " + name + ", which this program does not run with: add the user to " + name +
           " and log in again";
  }
  return why;
}
