// Parts of the simulated controller beyond its plain object dictionary: the
// clock, command codes, parameter sets, moving values. Each lives in a file
// of its own and registers one SimBehaviour object at start-up; the
// controller asks them in registration order before its dictionary.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class SimController;

// A raw block of the scope memory as it goes on the wire.
struct SimBlock {
  std::vector<uint8_t> data;
  bool send = true;      // false: withheld
  bool corrupt = false;  // a wrong CRC
};

// What a behaviour makes of a request in place of the normal answer.
enum class SimIntercept {
  None,    // answer as usual
  Abort,   // answer with an abort
  Silent,  // answer nothing
  HangUp,  // close the line the request came on (a vanished device), answer nothing
  Exit,    // end the simulator at once
};

class SimBehaviour {
 public:
  virtual ~SimBehaviour() = default;
  // Lines for the usage text (each "  --option ARG   what it does\n").
  virtual const char* Usage() const { return ""; }
  // A command-line option with its value; true when it is this behaviour's
  // (`ok` false for a bad value).
  virtual bool Option(const std::string& /*name*/, const std::string& /*value*/, bool& /*ok*/) { return false; }
  // Answers a read: true with value and width (1..4) when this behaviour owns
  // the object.
  virtual bool Read(SimController&, uint16_t /*index*/, uint8_t /*sub*/, uint32_t& /*value*/, uint8_t& /*width*/) {
    return false;
  }
  // Takes a write: true when this behaviour owns the object (`accepted` false
  // answers with an abort).
  virtual bool Write(SimController&, uint16_t /*index*/, uint8_t /*sub*/, uint32_t /*value*/, bool& /*accepted*/) {
    return false;
  }
  // Asked before every request is answered; `request` counts all requests
  // from 1. The first behaviour that does not say None decides.
  virtual SimIntercept Intercept(unsigned /*request*/, uint16_t /*index*/, uint8_t /*sub*/) {
    return SimIntercept::None;
  }
  // Text the controller sends of its own accord on pseudo-terminal link
  // `link` (1 or 4): after answering `request` with `answer` (8-byte
  // payloads), and now and then with nothing asked (`nowMs` from SimNowMs).
  // Empty: nothing.
  virtual std::string TextAfterAnswer(int /*link*/, const uint8_t* /*request*/, const uint8_t* /*answer*/) {
    return {};
  }
  virtual std::string TextUnasked(int /*link*/, int64_t /*nowMs*/) { return {}; }
  // The block a write of 0x1000 + `number` to the command object asks for;
  // true when this behaviour holds the memory.
  virtual bool Block(SimController&, int /*number*/, SimBlock& /*block*/) { return false; }
  // True when this behaviour holds block `number`, so that a command write of
  // 0x1000 + `number` it claimed is answered with the block.
  virtual bool HoldsBlock(int /*number*/) const { return false; }
};

// Registers a behaviour (static storage) and returns true; call from a
// namespace-scope initialiser of the behaviour's file.
bool SimRegisterBehaviour(SimBehaviour* behaviour);
// The same, asked before every behaviour registered so far and later by
// SimRegisterBehaviour: for one that takes over objects of others while on.
bool SimRegisterBehaviourFirst(SimBehaviour* behaviour);
const std::vector<SimBehaviour*>& SimBehaviours();
