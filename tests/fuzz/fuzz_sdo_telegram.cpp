// SDO telegram acceptance and the queue behind it: a received datagram is
// judged, offered to the waiting slots and the handler runs. Nothing but the
// slot that waits for that index may change, and only to "received".
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "comm/ComQueue.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr uint32_t kController = 0x7F000002, kOwn = 0x7F000001;
  CqComQueueInit();
  ubCqDataChannel = CQ_LINK_NONE;
  uint8_t a, b;
  CqWriteSDO(0, 0x2004, 15, 0, CQ_SDO_READ, &a, 0);
  CqWriteSDO(7, 0x2000, 15, 0, CQ_SDO_WRITE2, &b, 0);
  CqHandler();  // a goes out, b waits
  CqCanMessage m{};
  const uint8_t rc = ZelEtherDecodeSdoTelegram(data, size, kController, kOwn, m);
  if (rc != 0 && rc != 1 && rc != 2 && rc != 5) std::abort();
  if (rc != 0) return 0;
  CqSetRecvData(m);
  // The node is the identifier less 0x580, kept to 8 bits.
  const bool matches = ((m.udCobId - 0x580) & 0xFF) == 15 && m.ubData[1] == 0x04 && m.ubData[2] == 0x20;
  if ((cqDataQueue[a].ubStatus == CQ_RECEIVED) != matches) std::abort();
  if (cqDataQueue[b].ubStatus != CQ_QUEUED) std::abort();
  CqHandler();
  for (const CqElement& e : cqDataQueue)
    if (e.ubStatus > CQ_FAILED) std::abort();
  return 0;
}
