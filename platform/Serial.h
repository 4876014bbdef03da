// Serial ports by number (1..18, "COM<n>", device from platform/PortScan.h),
// over termios. Every open is exclusive (a port held by another program, or
// opened twice, fails) and raw: 8 data bits, no echo, no CR/LF mapping, no
// XON/XOFF or hardware flow control, so binary frames pass unchanged.
// Numbers outside 1..18 are refused. Each port has its own lock: a close from
// the GUI thread waits for a read or write in the tick, and a later read finds
// the port closed instead of a stale or reused descriptor.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int SERIAL_PORT_FIRST = 1;
inline constexpr int SERIAL_PORT_LAST = 18;

// Negative results.
inline constexpr int SERIAL_ERR_PORT = -2;      // number outside 1..18 or no device for it
inline constexpr int SERIAL_ERR_OPEN = -3;      // the device cannot be opened
inline constexpr int SERIAL_ERR_BUSY = -4;      // held elsewhere
inline constexpr int SERIAL_ERR_CONFIG = -5;    // baud rate, parity or frame refused
inline constexpr int SERIAL_ERR_NOT_OPEN = -6;
inline constexpr int SERIAL_ERR_IO = -7;

// Opens (or re-configures an already open) port. parity 0 none, 1 odd, 2 even;
// dataBits 5..8; stopBits 1 or 2. The queue sizes are the driver's own here
// and only checked to be positive. 0 or a negative code, with errno saying why.
int SerialOpenConfig(int port, int baud, int parity, int dataBits, int stopBits, int inQueueSize,
                     int outQueueSize);
// Opens with the defaults: 9600 baud, 8N1, raw.
int SerialOpen(int port);
// Closes; 0, or SERIAL_ERR_NOT_OPEN.
int SerialClose(int port);
// Writes all `count` bytes (waiting at most about 100 ms for room): `count`,
// or a negative code; never a partial count.
int SerialWrite(int port, const uint8_t* buffer, size_t count);
// Reads up to `count` bytes that are already waiting, without blocking:
// the number read, or a negative code.
int SerialRead(int port, uint8_t* buffer, size_t count);
// Bytes waiting in the input queue, or a negative code.
int SerialInQLen(int port);
// Discards the input queue; 0 or a negative code.
int SerialFlushInQ(int port);
// True while the port is open in this program.
bool SerialIsOpen(int port);
