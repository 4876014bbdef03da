// Serial transport of link 1: each SDO payload travels as a 9-byte frame
// (8 payload bytes and their XOR), blocks as N data bytes and their CRC-16.
// Called from the tick; nothing here blocks.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr size_t UART_FRAME_SIZE = 9;

// The channel ring's value: on link 1 the serial port number (0: none).
extern std::atomic<int32_t> iStMaComChan;

// XOR of the eight payload bytes.
uint8_t UartCheckByte(const uint8_t* payload);
// Writes payload + check byte to port iStMaComChan: 0 sent, 1 failed.
uint8_t UartWriteCanData(const uint8_t* payload);
// Reads one frame into the 8-byte `payload`: 0 read; 2 fewer than 9 bytes
// waiting (nothing consumed); 1 no port or a failed read; 4 check byte wrong
// (the frame is consumed and lost).
uint8_t UartReadCanData(uint8_t* payload);
// Reads one block of `length` data bytes plus CRC into `buffer` (room for
// length + 2): 0 valid; 2 fewer than length + 2 bytes waiting; 1 a failed or
// short read or a CRC mismatch. Exactly length + 2 bytes are taken; what
// waits beyond them stays for the next read. Never writes past length + 2.
uint8_t UartReadBlockData(uint8_t port, uint8_t* buffer, uint16_t length);
