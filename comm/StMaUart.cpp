#include "comm/StMaUart.h"

#include <cstring>

#include "comm/CRC16.h"
#include "platform/Serial.h"

std::atomic<int32_t> iStMaComChan{0};

uint8_t UartCheckByte(const uint8_t* payload) {
  uint8_t x = 0;
  for (int i = 0; i < 8; ++i) x ^= payload[i];
  return x;
}

uint8_t UartWriteCanData(const uint8_t* payload) {
  uint8_t frame[UART_FRAME_SIZE];
  std::memcpy(frame, payload, 8);
  frame[8] = UartCheckByte(payload);
  return SerialWrite(iStMaComChan, frame, sizeof frame) == static_cast<int>(sizeof frame) ? 0 : 1;
}

uint8_t UartReadCanData(uint8_t* payload) {
  const int port = iStMaComChan;
  if (port == 0) return 1;
  const int waiting = SerialInQLen(port);
  if (waiting < 0) return 1;
  if (waiting < static_cast<int>(UART_FRAME_SIZE)) return 2;
  uint8_t frame[UART_FRAME_SIZE];
  if (SerialRead(port, frame, sizeof frame) != static_cast<int>(sizeof frame)) return 1;
  if (frame[8] != UartCheckByte(frame)) return 4;
  std::memcpy(payload, frame, 8);
  return 0;
}

uint8_t UartReadBlockData(uint8_t port, uint8_t* buffer, uint16_t length) {
  const int want = length + 2;
  const int waiting = SerialInQLen(port);
  if (waiting < 0) return 1;
  if (waiting < want) return 2;
  // Bytes beyond the block are the start of the next answer: they stay.
  if (SerialRead(port, buffer, static_cast<size_t>(want)) != want) return 1;
  const uint16_t crc = CRC16calculation(buffer, length);
  return (buffer[length] == (crc & 0xFF) && buffer[length + 1] == (crc >> 8)) ? 0 : 1;
}
