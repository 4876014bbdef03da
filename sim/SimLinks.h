// The simulator's links: 9-byte frames on a pseudo-terminal (link 1), 31-byte
// telegrams on a pseudo-terminal (link 4) and on UDP (link 3). Answers may be
// held back for a delay; everything runs on one thread around poll().
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/UdpSocket.h"
#include "sim/SimController.h"

struct SimOptions {
  bool pty1 = true;
  bool pty4 = true;
  bool udp = true;
  uint32_t udpIp = 0x7F000002;  // 127.0.0.2
  uint16_t udpPort = 49152;
  int delayMs = 0;
  bool logFrames = false;
  bool lineTime = false;  // pseudo-terminals take the time their line speed needs
};

class SimLinks {
 public:
  SimLinks(SimController& controller, const SimOptions& options);
  ~SimLinks();
  // Opens the links; false with a reason on stderr.
  bool Open();
  // Paths of the pseudo-terminals ("" when not opened).
  const std::string& Pty1Path() const { return pty1_.path; }
  const std::string& Pty4Path() const { return pty4_.path; }
  // Serves requests for at most `ms` milliseconds.
  void Serve(int ms);

 private:
  struct Pty {
    int master = -1;
    int slave = -1;  // held open so the line survives the tool closing it
    std::string path;
    std::vector<uint8_t> input;
  };
  struct Pending {
    int64_t due;
    int link;
    std::vector<uint8_t> bytes;
    uint32_t ip;
    uint16_t port;
  };

  bool OpenPty(Pty& pty);
  void ReadPty(Pty& pty, int link);
  void ReadUdp();
  void FramesLink1();
  void TelegramsLink4();
  void Telegram(const uint8_t* t, int link, uint32_t fromIp, uint16_t fromPort);
  // `requestSender` is the sender field of a request telegram (the answer's
  // receiver); the peer is where a UDP answer goes.
  void Answer(const uint8_t* request, int link, uint32_t ownIp, uint32_t requestSender, uint32_t peerIp,
              uint16_t peerPort);
  void Queue(int link, std::vector<uint8_t> bytes, uint32_t ip = 0, uint16_t port = 0);
  // With lineTime: the answer to a request of `requestBytes` on a pty link
  // leaves when the line has carried the request and what went before.
  void StartLineTime(int link, size_t requestBytes);
  // Text of the behaviours on a pseudo-terminal link; closing a line.
  void QueueText(int link, const std::string& text);
  void TextUnasked(int64_t now);
  void HangUp(int link);
  void Flush(int64_t now);
  void Log(const char* tag, int link, const std::vector<uint8_t>& bytes) const;

  SimController& controller_;
  SimOptions options_;
  Pty pty1_;
  Pty pty4_;
  UdpEndpoint udp_;
  std::vector<Pending> pending_;
  double lineFreeMs_ = 0;  // when the pty line has sent what is queued
  double lineMsPerByte_ = 0;  // 0: no line time for what is queued now
};

// Milliseconds of a monotonic clock.
int64_t SimNowMs();
