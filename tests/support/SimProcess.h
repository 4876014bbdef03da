// Runs rc7sim as a child for a test: starts it with the given options, reads
// the pty paths it prints, ends it when the object goes. Also the pieces the
// communication tests share: environment variables set for one test, and a
// paced tick loop.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class SimProcess {
 public:
  // Starts rc7sim; Ready() tells whether it came up.
  explicit SimProcess(const std::vector<std::string>& options);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Ready() const { return ready_; }
  // Ends the simulator at once (SIGKILL), as a controller that loses power.
  void Kill();
  const std::string& Pty1() const { return pty1_; }
  const std::string& Pty4() const { return pty4_; }
  // Lines of the request journal (started with --journal JournalPath()).
  std::vector<std::string> Journal() const;
  const std::string& JournalPath() const { return journal_; }

 private:
  void Stop(int signal);

  pid_t pid_ = -1;
  bool ready_ = false;
  std::string pty1_;
  std::string pty4_;
  std::string journal_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();

 private:
  std::string name_;
};

// Runs engine ticks about every 2 ms of real time, as the timer would, until
// `done` returns true or `maxTicks` ran; returns whether `done` was reached.
template <class Done>
bool TickUntil(Done done, int maxTicks);
void TickPaced();

template <class Done>
bool TickUntil(Done done, int maxTicks) {
  for (int i = 0; i < maxTicks; ++i) {
    if (done()) return true;
    TickPaced();
  }
  return done();
}
