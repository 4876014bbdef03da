// Channel selection, port discovery and the USB device watch. The callbacks
// run on the GUI thread; ports the tick may be using are closed through the
// serial and socket layers, which serialise against the tick.
#pragma once
#include <cstdint>
#include <string>

// Ring values besides the serial port numbers 1..18.
inline constexpr int COM_RING_NONE = 0;
inline constexpr int COM_RING_UDP = 20;
inline constexpr int COM_RING_USB = 30;
inline constexpr int COM_PORTS_MAX = 10;
inline constexpr int COM_PORT_NAME_SIZE = 50;

// Port names of the last scan and the USB device's driver.
extern char ubMcComPorts[COM_PORTS_MAX][COM_PORT_NAME_SIZE];
extern char ubUsbServiceString[20];

// Fills the channel ring with the serial ports present (numbers 1..18, at
// most 10; the RC7 USB device is the ring's "USB" item), replacing the port
// items of the previous scan. Start-up and "-com_check".
void McycleScanReg();
// Callback of the channel ring. Value changed: closes the open link, opens the
// chosen one and starts the connect machine (signal 19); refused, the ring
// back at the link in use, while an operation runs. The list opening: the
// ports are scanned again.
int MAIN_RING_COM_CHANNEL_Callback(int panel, int control, int event, void* callbackData, int eventData1,
                                   int eventData2);
// Finds the serial port of the RC7 USB device: 0 found (port in *port), 1 no
// such device, 2 device without a serial port.
uint8_t McycleReadRegUsbPort(uint8_t* port);
// Checks that the RC7 USB device is still present. mode 1 at selection, 0 from
// the periodic check. 0 present, 1 nothing to check, 2 absent (link dropped).
uint8_t McycleUsbScanReg(uint8_t mode);
// Opening a link, shared by the channel ring and the batch; each says nothing
// unless noted. Serial port `port` at 9600 baud, 8N1: true when open.
bool McycleChannelOpenSerial(int port);
// Why serial port `port` did not open, from the errno its failed open left,
// as one line: "Com 3: /dev/ttyS2: Permission denied\n".
std::string McycleChannelSerialProblem(int port, int error);
// The controller's address ubUdpEthDestIp as text ("%d.%d.%d.%d").
std::string McycleChannelUdpAddress();
// The UDP socket to that address: true when open.
bool McycleChannelOpenUdp();
// Finds the RC7 USB device's serial port (into ubTcpUsbComPort); false after
// saying why there is none.
bool McycleChannelFindUsb();
// Opens the found device's port: true when open, else false after saying
// why the device file cannot be used when that is known (a link without its
// device, no permission).
bool McycleChannelOpenUsb();
// Closes the link's port or socket without a message (shutdown).
void McycleChannelClose();
// Prepares the containers for a new connection (each time a link opens).
void McycleChannelContainersInit();
