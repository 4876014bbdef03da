// CRC-32 of macro images: polynomial 0x04C11DB7, no reflection, no final XOR
// (the CKSUM parameters without their final XOR), initial value 0 or the
// caller's start value, so a CRC can be continued over several pieces.
#pragma once
#include <cstddef>
#include <cstdint>

// CRC from 0; 0 for a null buffer.
uint32_t CRC32calculationS(const uint8_t* buffer, size_t length);
// CRC continued from `start`; `start` unchanged for a null buffer.
uint32_t CRC32calculation(const uint8_t* buffer, size_t length, uint32_t start);
