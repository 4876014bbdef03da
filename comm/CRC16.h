// CRC-16/XMODEM of telegrams and blocks: polynomial 0x1021, initial value 0,
// no reflection, no final XOR.
#pragma once
#include <cstddef>
#include <cstdint>

// CRC over `length` bytes; 0 for a null buffer or a length of 0.
uint16_t CRC16calculation(const uint8_t* buffer, size_t length);
