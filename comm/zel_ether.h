// Ethernet telegrams of links 3 (UDP) and 4 (the USB serial port): 31-byte SDO
// telegrams and block telegrams of N + 20 bytes, both ending in a CRC-16.
// Called from the tick, except ZelEtherInitSocket (GUI thread).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "comm/ComQueue.h"

inline constexpr size_t ZEL_TELEGRAM_SIZE = 31;
inline constexpr size_t ZEL_HEADER_SIZE = 18;
inline constexpr size_t ZEL_BLOCK_OVERHEAD = 20;
inline constexpr size_t ZEL_BLOCK_MAX = 498;  // data bytes of the largest block
inline constexpr uint16_t ZEL_TYPE_SDO_REQUEST = 18;
inline constexpr uint16_t ZEL_TYPE_SDO_RESPONSE = 19;
inline constexpr uint16_t ZEL_TYPE_BLOCK = 20;

// The controller's address: last octet first, and as a word.
extern uint8_t ubUdpEthDestIp[4];
extern uint32_t udUdpEthDestIp_DWORD;
// Serial port number of link 4.
extern std::atomic<uint8_t> ubTcpUsbComPort;
// Start of the last telegram accepted (the whole of an SDO telegram).
extern uint8_t EtherMsgIn[ZEL_TELEGRAM_SIZE];
// Last error of a UDP receive during a block read.
extern uint32_t udCqError;

// Builds the 31-byte SDO request telegram.
void ZelEtherBuildSdoTelegram(uint8_t* telegram, uint32_t ownIp, uint32_t controllerIp, uint32_t cobId,
                              const uint8_t* payload);
// Judges a received SDO telegram: 0 accepted (message filled); 2 not 31
// bytes; 5 CRC mismatch; 1 wrong magic, sender, receiver or type. The
// telegram is kept in EtherMsgIn once its CRC is right.
uint8_t ZelEtherDecodeSdoTelegram(const uint8_t* data, size_t size, uint32_t controllerIp, uint32_t ownIp,
                                  CqCanMessage& message);
// Judges a received block telegram of `length` data bytes: not exactly
// length + 20 bytes: 1 (nothing copied); CRC mismatch: 5; else the data and
// the CRC (length + 2 bytes) are copied to `out` and the header decides: 0,
// or the code of the last failing check (9 magic, 10 sender or receiver,
// 12 type).
uint8_t ZelEtherDecodeBlockTelegram(const uint8_t* data, size_t size, uint16_t length, uint32_t controllerIp,
                                    uint32_t ownIp, uint8_t* out);

// Sets the controller's address from its four fields, first to last
// (ubUdpEthDestIp holds them last octet first).
void ZelEtherSetDestination(const uint8_t fields[4]);
// Opens the UDP socket: UdpStart's result.
uint8_t ZelEtherInitSocket(const char* destIp);
// Sends one queue slot as a telegram on link 3 or 4: 0 sent, 1 failed or
// another link.
uint8_t ZelEtherWriteSDOCanData(CqElement element);
// Receives one SDO response: 0 decoded into `message`, 2 nothing complete
// yet, 1 another link, a failed read or a rejected header, 5 CRC mismatch.
uint8_t ZelEtherReadSDOCanData(CqCanMessage* message);
// Receives one block telegram into `buffer` (room for length + 2): 0 valid,
// 2 not complete yet, 1 another link, a failed or wrong-sized read or a
// length above ZEL_BLOCK_MAX, 5 CRC mismatch, 9/10/12 wrong header. On link
// 4 exactly one telegram's bytes are taken; what waits beyond stays.
uint8_t ZelEtherReadBlockData(uint8_t* buffer, uint16_t length);
