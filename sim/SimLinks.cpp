#include "sim/SimLinks.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "comm/CRC16.h"
#include "sim/SimSerialSpeed.h"
#include "sim/SimBehaviour.h"

namespace {

constexpr char kMagic[5] = {'Z', 'E', 'C', 'A', 'N'};
constexpr size_t kFrame = 9;
constexpr size_t kTelegram = 31;
constexpr uint32_t kResponseCob = 0x58F;
// Text of the controller's own goes a little after the answer it follows.
constexpr int64_t kTextDelayMs = 30;

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint8_t Xor8(const uint8_t* p) {
  uint8_t x = 0;
  for (int i = 0; i < 8; ++i) x ^= p[i];
  return x;
}
void AppendCrc(std::vector<uint8_t>& v) {
  const uint16_t crc = CRC16calculation(v.data(), v.size());
  v.push_back(static_cast<uint8_t>(crc));
  v.push_back(static_cast<uint8_t>(crc >> 8));
}
std::vector<uint8_t> Header(uint16_t type, uint32_t sender, uint32_t receiver) {
  std::vector<uint8_t> h(18, 0);
  std::memcpy(h.data(), kMagic, 5);
  h[5] = static_cast<uint8_t>(type);
  Put32(h.data() + 7, sender);
  Put32(h.data() + 11, receiver);
  h[15] = 1;
  h[16] = 1;
  return h;
}
bool Loopback(uint32_t ip) { return (ip >> 24) == 127; }

}  // namespace

int64_t SimNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

SimLinks::SimLinks(SimController& controller, const SimOptions& options) : controller_(controller), options_(options) {}

SimLinks::~SimLinks() {
  for (Pty* p : {&pty1_, &pty4_}) {
    if (p->slave >= 0) ::close(p->slave);
    if (p->master >= 0) ::close(p->master);
  }
}

bool SimLinks::OpenPty(Pty& pty) {
  pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0) return false;
  char name[128];
  if (::ptsname_r(pty.master, name, sizeof name) != 0) return false;
  pty.path = name;
  pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty.slave < 0) return false;
  // Raw from the start, so nothing is echoed back before the tool opens it.
  termios t{};
  if (::tcgetattr(pty.slave, &t) != 0) return false;
  ::cfmakeraw(&t);
  return ::tcsetattr(pty.slave, TCSANOW, &t) == 0;
}

bool SimLinks::Open() {
  if (options_.pty1 && !OpenPty(pty1_)) {
    std::fprintf(stderr, "rc7sim: no pseudo-terminal for link 1\n");
    return false;
  }
  if (options_.pty4 && !OpenPty(pty4_)) {
    std::fprintf(stderr, "rc7sim: no pseudo-terminal for link 4\n");
    return false;
  }
  if (options_.udp) {
    if (!Loopback(options_.udpIp)) {
      std::fprintf(stderr, "rc7sim: the UDP address must be a loopback address\n");
      return false;
    }
    if (!udp_.Open(options_.udpIp, options_.udpPort)) {
      std::fprintf(stderr, "rc7sim: cannot bind UDP port %u\n", options_.udpPort);
      return false;
    }
  }
  return true;
}

void SimLinks::Log(const char* tag, int link, const std::vector<uint8_t>& bytes) const {
  if (!options_.logFrames) return;
  std::fprintf(stderr, "%s%d", tag, link);
  for (uint8_t b : bytes) std::fprintf(stderr, " %02X", b);
  std::fputc('\n', stderr);
}

namespace {

// Milliseconds a byte takes on the line of pty `fd` (0: speed unknown).
double LineMsPerByte(int fd) {
  termios t{};
  if (fd < 0 || ::tcgetattr(fd, &t) != 0) return 0;
  const speed_t s = cfgetospeed(&t);
  const struct {
    speed_t code;
    double baud;
  } kSpeeds[] = {{B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
  for (const auto& k : kSpeeds)
    if (k.code == s) return 10.0 * 1000.0 / k.baud;  // ten bits a byte
  return 0;
}

}  // namespace

void SimLinks::StartLineTime(int link, size_t requestBytes) {
  lineMsPerByte_ = 0;
  if (!options_.lineTime || link == 3) return;
  lineMsPerByte_ = LineMsPerByte(link == 1 ? pty1_.slave : pty4_.slave);
  // The request took its time on the way in; the answer follows it.
  const double now = static_cast<double>(SimNowMs());
  lineFreeMs_ = std::max(lineFreeMs_, now + static_cast<double>(requestBytes) * lineMsPerByte_);
}

void SimLinks::Queue(int link, std::vector<uint8_t> bytes, uint32_t ip, uint16_t port) {
  int64_t due = SimNowMs() + options_.delayMs;
  if (lineMsPerByte_ > 0 && link != 3) {
    lineFreeMs_ += static_cast<double>(bytes.size()) * lineMsPerByte_;
    due = std::max(due, static_cast<int64_t>(std::ceil(lineFreeMs_)));
  }
  pending_.push_back({due, link, std::move(bytes), ip, port});
}

void SimLinks::Flush(int64_t now) {
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->due > now) {
      ++it;
      continue;
    }
    Log("tx", it->link, it->bytes);
    if (it->link == 3) {
      udp_.SendTo(it->ip, it->port, it->bytes.data(), it->bytes.size());
    } else {
      const int fd = it->link == 1 ? pty1_.master : pty4_.master;
      size_t done = 0;
      for (int tries = 0; done < it->bytes.size() && tries < 100; ++tries) {
        const ssize_t n = ::write(fd, it->bytes.data() + done, it->bytes.size() - done);
        if (n > 0) done += static_cast<size_t>(n);
        else ::usleep(1000);
      }
    }
    it = pending_.erase(it);
  }
}

void SimLinks::QueueText(int link, const std::string& text) {
  if (text.empty() || (link == 1 ? pty1_.master : pty4_.master) < 0) return;
  pending_.push_back({SimNowMs() + options_.delayMs + kTextDelayMs, link, {text.begin(), text.end()}, 0, 0});
}

void SimLinks::TextUnasked(int64_t now) {
  for (int link : {1, 4})
    for (SimBehaviour* b : SimBehaviours()) QueueText(link, b->TextUnasked(link, now));
}

void SimLinks::HangUp(int link) {
  Pty& pty = link == 1 ? pty1_ : pty4_;
  if (pty.slave >= 0) ::close(pty.slave);
  if (pty.master >= 0) ::close(pty.master);
  pty.slave = pty.master = -1;
  std::erase_if(pending_, [link](const Pending& p) { return p.link == link; });
}

void SimLinks::Answer(const uint8_t* request, int link, uint32_t ownIp, uint32_t requestSender, uint32_t peerIp,
                      uint16_t peerPort) {
  StartLineTime(link, link == 1 ? kFrame : kTelegram);
  const SimAnswer a = controller_.Handle(request, link);
  if (a.exitNow) std::exit(0);
  if (a.hangUp && link != 3) HangUp(link);
  if (!a.send) return;
  if (link == 1) {
    if (a.strayBytes) Queue(1, {0x0D, 0x11, 0x13});
    std::vector<uint8_t> f(a.payload, a.payload + 8);
    f.push_back(static_cast<uint8_t>(Xor8(a.payload) ^ (a.corrupt ? 0xFF : 0x00)));
    Queue(1, f);
  } else {
    const uint32_t sender = a.wrongSender ? (ownIp ^ 0x01) : ownIp;
    if (a.strayShort && link == 3) Queue(3, {'Z', 'E', 'C', 'A', 'N', 19, 0, 1, 2, 3}, peerIp, peerPort);
    if (a.strayBytes && link == 4) Queue(4, {0x0D, 0x11, 0x13});
    std::vector<uint8_t> t = Header(19, sender, requestSender);
    t.push_back(0x08);
    t.push_back(static_cast<uint8_t>(kResponseCob));
    t.push_back(static_cast<uint8_t>(kResponseCob >> 8));
    t.insert(t.end(), a.payload, a.payload + 8);
    AppendCrc(t);
    if (a.corrupt) t[29] ^= 0xFF;
    Queue(link, t, peerIp, peerPort);
  }
  if (link != 3)
    for (SimBehaviour* b : SimBehaviours()) QueueText(link, b->TextAfterAnswer(link, request, a.payload));
  if (a.blockNumber < 0) return;
  SimBlock block = controller_.Block(a.blockNumber);
  if (!block.send) return;
  std::vector<uint8_t> t = link == 1 ? std::move(block.data) : Header(20, ownIp, requestSender);
  if (link != 1) t.insert(t.end(), block.data.begin(), block.data.end());
  AppendCrc(t);
  if (block.corrupt) t.back() ^= 0xFF;
  Queue(link, t, peerIp, peerPort);
}

void SimLinks::FramesLink1() {
  std::vector<uint8_t>& in = pty1_.input;
  size_t pos = 0;
  while (in.size() - pos >= kFrame) {
    const uint8_t* f = in.data() + pos;
    if (Xor8(f) != f[8]) {  // out of step: slide on by one byte
      ++pos;
      continue;
    }
    Log("rx", 1, std::vector<uint8_t>(f, f + kFrame));
    if (SimLineSpeedHeard(pty1_.slave)) Answer(f, 1, 0, 0, 0, 0);
    pos += kFrame;
  }
  in.erase(in.begin(), in.begin() + static_cast<long>(pos));
}

void SimLinks::Telegram(const uint8_t* t, int link, uint32_t fromIp, uint16_t fromPort) {
  Log("rx", link, std::vector<uint8_t>(t, t + kTelegram));
  const uint16_t crc = CRC16calculation(t, 29);
  if (std::memcmp(t, kMagic, 5) != 0 || t[5] != 18 || t[6] != 0 || (t[29] | t[30] << 8) != crc) return;
  const uint32_t receiver = Get32(t + 11);
  if (link == 3 && receiver != options_.udpIp) return;
  // Over USB the controller answers from the address the request was sent to.
  Answer(t + 21, link, link == 3 ? options_.udpIp : receiver, Get32(t + 7), fromIp, fromPort);
}

void SimLinks::TelegramsLink4() {
  std::vector<uint8_t>& in = pty4_.input;
  size_t pos = 0;
  while (in.size() - pos >= kTelegram) {
    if (std::memcmp(in.data() + pos, kMagic, 5) != 0) {
      ++pos;
      continue;
    }
    const uint8_t* t = in.data() + pos;
    if ((t[29] | t[30] << 8) != CRC16calculation(t, 29)) {
      ++pos;
      continue;
    }
    Telegram(t, 4, 0, 0);
    pos += kTelegram;
  }
  in.erase(in.begin(), in.begin() + static_cast<long>(pos));
}

void SimLinks::ReadPty(Pty& pty, int link) {
  uint8_t buf[512];
  for (;;) {
    const ssize_t n = ::read(pty.master, buf, sizeof buf);
    if (n <= 0) break;
    pty.input.insert(pty.input.end(), buf, buf + n);
  }
  // A stuck stream never grows without bound.
  if (pty.input.size() > 4096) pty.input.erase(pty.input.begin(), pty.input.end() - 64);
  if (link == 1) FramesLink1();
  else TelegramsLink4();
}

void SimLinks::ReadUdp() {
  uint8_t buf[2048];
  for (;;) {
    uint32_t ip = 0;
    uint16_t port = 0;
    const long n = udp_.Receive(buf, sizeof buf, &ip, &port);
    if (n < 0) return;
    if (n == static_cast<long>(kTelegram) && Loopback(ip)) Telegram(buf, 3, ip, port);
  }
}

void SimLinks::Serve(int ms) {
  const int64_t end = SimNowMs() + ms;
  for (int64_t now = SimNowMs(); now < end; now = SimNowMs()) {
    TextUnasked(now);
    Flush(now);
    int64_t wait = end - now;
    for (const Pending& p : pending_) wait = std::min<int64_t>(wait, std::max<int64_t>(0, p.due - now));
    pollfd fds[3];
    int count = 0;
    if (pty1_.master >= 0) fds[count++] = {pty1_.master, POLLIN, 0};
    if (pty4_.master >= 0) fds[count++] = {pty4_.master, POLLIN, 0};
    const int udpFd = udp_.PollDescriptor();
    if (udpFd >= 0) fds[count++] = {udpFd, POLLIN, 0};
    if (::poll(fds, static_cast<nfds_t>(count), static_cast<int>(wait)) < 0) continue;
    for (int i = 0; i < count; ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      if (fds[i].fd == pty1_.master) ReadPty(pty1_, 1);
      else if (fds[i].fd == pty4_.master) ReadPty(pty4_, 4);
      else ReadUdp();
    }
  }
}
