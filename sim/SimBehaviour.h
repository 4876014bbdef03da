// Parts of the simulated controller beyond its plain object dictionary: the
// clock, command codes, parameter sets, moving values. Each lives in a file
// of its own and registers one SimBehaviour object at start-up; the
// controller asks them in registration order before its dictionary.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class SimController;

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
};

// Registers a behaviour (static storage) and returns true; call from a
// namespace-scope initialiser of the behaviour's file.
bool SimRegisterBehaviour(SimBehaviour* behaviour);
const std::vector<SimBehaviour*>& SimBehaviours();
