#include "comm/ComChannel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/udp.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "engine/McycleControls.h"
#include "engine/McycleCyclic.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "platform/PortScan.h"
#include "platform/Serial.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

char ubMcComPorts[COM_PORTS_MAX][COM_PORT_NAME_SIZE];
char ubUsbServiceString[20];

namespace {

// Port items the last scan put into the ring, from position 1 on.
int ringPortItems;
// Where the USB device found last shows its presence.
std::string usbPresencePath;

void DriverHint() {
  static const char* const kLines[] = {
      "Check correct USB driver installation!\n",
      "The RC7 USB port is a CDC-ACM serial device (kernel driver cdc_acm):\n",
      "   it appears as /dev/ttyACM<n> when the driver is loaded,\n",
      "   and as /dev/rc7-usb with the udev rule of the StrokeDesk package.\n",
      "Your user needs read and write access to it:\n",
      "   add the user to the dialout group and log in again.\n",
      "Connect USB to RC7\n",
  };
  for (const char* line : kLines) McycleSay(line);
}

void SetRing(int value) { PanelSetInt(uwMcMainPanelHandle, MAIN_RING_COM_CHANNEL, value); }

// The controls that need a link on the macro panel; the link lamp.
void DimLinkControls() {
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, 1);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2, ATTR_DIMMED, 1);
  CqSetLinkAnswers(false);
}

void NoLink() {
  SetRing(COM_RING_NONE);
  iStMaComChan = 0;
  ubCqDataChannel = CQ_LINK_NONE;
}

void LinkOpened(uint8_t link) {
  ubCqDataChannel = link;
  McycleChannelContainersInit();
  McycleSignalQueuePut(MC_SIG_CONNECT);
}

// The port items of the ring: the serial ports present, but the RC7 USB
// device, which is the ring's "USB" item. `sayUnreadable` reports a port list
// that could not be read.
void FillPortItems(bool sayUnreadable) {
  bool readable = false;
  const std::vector<SerialPortInfo> ports = PortScanList(readable);
  if (!readable && sayUnreadable) McycleSay("USB: Registry read error!\n");
  if (ringPortItems > 0) PanelDeleteListItems(uwMcMainPanelHandle, MAIN_RING_COM_CHANNEL, 1, ringPortItems);
  ringPortItems = 0;
  std::memset(ubMcComPorts, 0, sizeof ubMcComPorts);
  for (size_t i = 0; i < ports.size() && i < COM_PORTS_MAX; ++i) {
    std::snprintf(ubMcComPorts[i], COM_PORT_NAME_SIZE, "%s", ports[i].label.c_str());
    const int number = ports[i].number;
    if (number < SERIAL_PORT_FIRST || number > SERIAL_PORT_LAST) continue;
    if (ports[i].usbVendor == RC7_USB_VENDOR && ports[i].usbProduct == RC7_USB_PRODUCT) continue;
    if (PanelInsertListItem(uwMcMainPanelHandle, MAIN_RING_COM_CHANNEL, ringPortItems + 1, ports[i].label, number) == 0)
      ++ringPortItems;
  }
}

// Closes the port or socket of the link; false when no link was open.
bool CloseLinkPorts() {
  if (ubCqDataChannel == CQ_LINK_NONE) return false;
  const uint8_t link = ubCqDataChannel;
  ubCqDataChannel = CQ_LINK_NONE;
  SerialClose(link == CQ_LINK_USB ? ubTcpUsbComPort.load() : iStMaComChan.load());
  iStMaComChan = 0;
  UdpClose();
  return true;
}

void CloseOpenLink() {
  const uint8_t link = ubCqDataChannel;
  if (CloseLinkPorts()) McycleSay(link == CQ_LINK_UDP ? "UDP close\n" : "Com close\n");
}

void SelectSerial(int port) {
  if (McycleChannelOpenSerial(port)) {
    LinkOpened(CQ_LINK_SERIAL);
    return;
  }
  const int error = errno;
  McycleSayf("Com %d: Channel error, not open\n%s", port, McycleChannelSerialProblem(port, error).c_str());
  NoLink();
}

void SelectUdp(int panel) {
  uint8_t fields[4] = {};
  for (int i = 0; i < 4; ++i) {
    int64_t field = 0;
    PanelGetInt(panel, MAIN_NUM_IP_1 + i, field);
    fields[i] = static_cast<uint8_t>(field);
  }
  ZelEtherSetDestination(fields);
  if (McycleChannelOpenUdp()) {
    McycleSay("Udp Channel is open\n");
    LinkOpened(CQ_LINK_UDP);
    return;
  }
  McycleSay("Udp Channel error, not open\n");
  NoLink();
}

void SelectUsb() {
  if (!McycleChannelFindUsb()) {
    DriverHint();
    NoLink();
    return;
  }
  if (McycleUsbScanReg(1) == 2) {
    DriverHint();
    return;
  }
  if (McycleChannelOpenUsb()) {
    LinkOpened(CQ_LINK_USB);
    return;
  }
  McycleSayf("USB Com %d: Channel error, not open\n", ubTcpUsbComPort.load());
  DriverHint();
  NoLink();
}

}  // namespace

bool McycleChannelOpenSerial(int port) { return SerialOpenConfig(port, 9600, 0, 8, 1, 4096, 10) >= 0; }

std::string McycleChannelSerialProblem(int port, int error) {
  const std::string device = PortScanDevicePath(port);
  return "Com " + std::to_string(port) + ": " + (device.empty() ? "" : device + ": ") + std::strerror(error) + "\n";
}

std::string McycleChannelUdpAddress() {
  char address[20];
  std::snprintf(address, sizeof address, "%d.%d.%d.%d", ubUdpEthDestIp[3], ubUdpEthDestIp[2], ubUdpEthDestIp[1],
                ubUdpEthDestIp[0]);
  return address;
}

bool McycleChannelOpenUdp() { return ZelEtherInitSocket(McycleChannelUdpAddress().c_str()) == 0; }

bool McycleChannelFindUsb() {
  uint8_t port = 0;
  const uint8_t found = McycleReadRegUsbPort(&port);
  if (found != 0) {
    McycleSay(found == 1 ? "USB Device not in Registry!\n" : "USB Port in Registry not found!\n");
    return false;
  }
  ubTcpUsbComPort = port;
  return true;
}

bool McycleChannelOpenUsb() {
  if (SerialOpen(ubTcpUsbComPort) >= 0) return true;
  const std::string problem = PortScanDeviceProblem(PortScanDevicePath(ubTcpUsbComPort));
  if (!problem.empty()) McycleSay(("USB: " + problem + "\n").c_str());
  return false;
}

// Every connection starts from fresh containers and the P0417 log filling;
// identification switches the filling when the controller says otherwise.
void McycleChannelContainersInit() {
  CtrlCmdListInit();
  CtrlCmdParameterContainerInit();
  CtrlCmdDataContainerInit();
  CtrlCmdRdParameterContainerInit();
  CtrlCmdLogDataContainerP417Init();
}

void McycleChannelClose() { CloseLinkPorts(); }

void McycleScanReg() { FillPortItems(true); }

int MAIN_RING_COM_CHANNEL_Callback(int panel, int control, int event, void*, int, int) {
  // The list shows the ports present when it opens.
  if (event == EVENT_RING_OPEN) FillPortItems(false);
  if (event != EVENT_VAL_CHANGED) return 0;
  // The link of a running operation (or of one about to start) stays.
  if (McycleScriptContainerBusy()) {
    PanelSetInt(panel, control, iStMaComChan);
    McycleLog("Channel not changed: an operation is running (Esc stops a script)");
    return 0;
  }
  ubMcFlag1 &= static_cast<uint8_t>(~(MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON));
  ubMcFlag2 &= static_cast<uint8_t>(~(MC_FLAG2_CYCLIC_READ_IN_PROGRESS | MC_FLAG2_CYCLIC_READ_DUE));
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_READY_LAMP_BLINK);
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
  McycleShowOperationControls();
  PanelSetWaitCursor(true);
  PanelSetInt(panel, MAIN_BIN_SW_POS_MON_ON, 0);
  McycleCyclicShowStale();
  CqSetLinkAnswers(false);  // lit again by the controller's first answer

  CloseOpenLink();
  int64_t value = 0;
  PanelGetInt(panel, control, value);
  iStMaComChan = static_cast<int32_t>(value);

  if (value >= 1 && value <= 19) {
    SelectSerial(static_cast<int>(value));
  } else if (value == COM_RING_UDP) {
    SelectUdp(panel);
  } else if (value == COM_RING_USB) {
    SelectUsb();
  } else if (value == COM_RING_NONE) {
    DimLinkControls();
  }
  PanelSetWaitCursor(false);
  return 0;
}

uint8_t McycleReadRegUsbPort(uint8_t* port) {
  UsbSerialDevice device;
  const UsbLookupResult r = PortScanFindUsb(RC7_USB_VENDOR, RC7_USB_PRODUCT, device);
  if (r != USB_FOUND) return r == USB_NOT_PRESENT ? 1 : 2;
  if (device.port < SERIAL_PORT_FIRST || device.port > 255) return 2;
  *port = static_cast<uint8_t>(device.port);
  std::snprintf(ubUsbServiceString, sizeof ubUsbServiceString, "%s", device.driver.c_str());
  usbPresencePath = device.presencePath;
  return 0;
}

uint8_t McycleUsbScanReg(uint8_t mode) {
  if (mode == 0 && ubCqDataChannel != CQ_LINK_USB) return 1;
  const UsbPresence presence = PortScanUsbPresent(usbPresencePath);
  if (presence == USB_UNREADABLE) {
    McycleSay("USB: Registry read error!\n");
    return 0;
  }
  if (presence == USB_PRESENT) return 0;
  const int port = ubTcpUsbComPort;
  ubCqDataChannel = CQ_LINK_NONE;
  SerialClose(port);
  McycleSay(mode == 1 ? "USB Device not connect\n" : "USB Device disconnected!\n");
  McycleSayf("USB Com %d close\n\n", port);
  NoLink();
  DimLinkControls();
  // The controller's logging and the monitor ended with the link.
  ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
  ubMcFlag1 &= static_cast<uint8_t>(~(MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON));
  McycleShowOperationControls();
  PanelSetInt(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, 0);
  McycleCyclicShowStale();
  return 2;
}
