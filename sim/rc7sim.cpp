// rc7sim: plays the RC7 controller for tests and demonstrations.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/UdpSocket.h"
#include "sim/SimBehaviour.h"
#include "sim/SimController.h"
#include "sim/SimLinks.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void OnSignal(int) { stopRequested = 1; }

void Usage() {
  std::fprintf(stderr,
               "usage: rc7sim [options]\n"
               "  --no-pty1 | --no-pty4 | --no-udp   leave a link out\n"
               "  --udp ADDR:PORT      UDP address (loopback only; default 127.0.0.2:49152)\n"
               "  --object IDX:SUB:WIDTH:VALUE[:ro]  add or replace an object\n"
               "  --block-len N        bytes per scope block (default 86, 0 none)\n"
               "  --delay-ms MS        hold every answer back\n"
               "  --line-time          answers on the ptys take the time of their line speed\n"
               "  --drop SEL | --corrupt SEL | --abort SEL | --refuse SEL | --echo SEL\n"
               "  --wrong-sender SEL | --stray-short SEL | --stray-bytes SEL\n"
               "                       faults; SEL is all, every:N, first:K, from:K or from:K:N\n"
               "                       (requests counted from 1)\n"
               "  --journal FILE       append one line per request\n"
               "  --log-frames         frames in hex on stderr\n"
               "  --lifetime S         end after S seconds (default 600)\n");
  for (SimBehaviour* b : SimBehaviours()) std::fputs(b->Usage(), stderr);
}

bool ParseUdp(const std::string& text, SimOptions& o) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) return false;
  uint32_t ip = 0;
  const long port = std::strtol(text.c_str() + colon + 1, nullptr, 10);
  if (!UdpParseAddress(text.substr(0, colon).c_str(), ip) || port <= 0 || port > 65535) return false;
  o.udpIp = ip;
  o.udpPort = static_cast<uint16_t>(port);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SimController controller;
  SimOptions options;
  int lifetime = 600;
  static const struct {
    const char* option;
    SimFault fault;
  } kFaults[] = {{"--drop", SimFault::Drop},
                 {"--corrupt", SimFault::Corrupt},
                 {"--abort", SimFault::Abort},
                 {"--refuse", SimFault::Refuse},
                 {"--echo", SimFault::Echo},
                 {"--wrong-sender", SimFault::WrongSender},
                 {"--stray-short", SimFault::StrayShort},
                 {"--stray-bytes", SimFault::StrayBytes}};

  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    bool ok = true;
    bool known = false;
    if (a == "--no-pty1") options.pty1 = false, known = true;
    else if (a == "--no-pty4") options.pty4 = false, known = true;
    else if (a == "--no-udp") options.udp = false, known = true;
    else if (a == "--log-frames") options.logFrames = true, known = true;
    else if (a == "--line-time") options.lineTime = true, known = true;
    else if (hasValue) {
      const std::string v = argv[i + 1];
      known = true;
      if (a == "--udp") ok = ParseUdp(v, options);
      else if (a == "--object") ok = controller.AddObject(v);
      else if (a == "--block-len") {
        const long n = std::strtol(v.c_str(), nullptr, 0);
        ok = n >= 0 && n <= 1400;
        controller.SetBlockLength(static_cast<uint16_t>(n));
      } else if (a == "--delay-ms") {
        options.delayMs = std::atoi(v.c_str());
        ok = options.delayMs >= 0 && options.delayMs <= 60000;
      } else if (a == "--journal") ok = controller.OpenJournal(v);
      else if (a == "--lifetime") {
        lifetime = std::atoi(v.c_str());
        ok = lifetime > 0;
      } else {
        known = false;
        for (SimBehaviour* b : SimBehaviours())
          if (!known && b->Option(a, v, ok)) known = true;
        for (const auto& f : kFaults)
          if (a == f.option) {
            known = true;
            ok = controller.SetFault(f.fault, v);
          }
      }
      if (known) ++i;
    }
    if (!known || !ok) {
      std::fprintf(stderr, "rc7sim: bad option %s\n", a.c_str());
      Usage();
      return 2;
    }
  }

  SimLinks links(controller, options);
  if (!links.Open()) return 1;
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  if (options.pty1) std::printf("pty1 %s\n", links.Pty1Path().c_str());
  if (options.pty4) std::printf("pty4 %s\n", links.Pty4Path().c_str());
  if (options.udp)
    std::printf("udp %u.%u.%u.%u:%u\n", options.udpIp >> 24, (options.udpIp >> 16) & 0xFF, (options.udpIp >> 8) & 0xFF,
                options.udpIp & 0xFF, options.udpPort);
  std::printf("ready\n");
  std::fflush(stdout);

  // Ends with its lifetime, on a signal, or when whoever started it is gone.
  const pid_t parent = ::getppid();
  const int64_t end = SimNowMs() + static_cast<int64_t>(lifetime) * 1000;
  while (!stopRequested && SimNowMs() < end && ::getppid() == parent) links.Serve(100);
  return 0;
}
