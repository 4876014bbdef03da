// The firmware variants of the controller and what the tool sets up for
// each once identification has read the data container.
#pragma once
#include <cstdint>

enum class McFwVariant : uint8_t {
  None,   // not recognised: refused
  P0417,  // product 135
  P0528,  // product 235
  Quill,  // ram type 0x8x
  Other,  // any other product, accepted in expert mode and handled as P0528
};

inline constexpr uint16_t MC_PRODUCT_P0417 = 135;
inline constexpr uint16_t MC_PRODUCT_P0528 = 235;

// The firmware version (product << 16 | revision) of the controller's version
// word 0x200F: the product in its high byte, the revision in its low byte.
inline uint32_t McycleFwVersionFromWord(uint16_t word) {
  return static_cast<uint32_t>(word & 0xFF00) << 8 | (word & 0xFFu);
}

// The variant of a controller with firmware version `version` (product <<
// 16 | revision) and ram type `ramtype`; expert mode accepts any product.
McFwVariant McycleFwVariant(uint32_t version, uint16_t ramtype, bool expert);
// P0528 and the variants handled like it read the trace mode words and the
// clock after identification.
inline bool McycleFwVariantLikeP0528(McFwVariant v) { return v == McFwVariant::P0528 || v == McFwVariant::Other; }

// The scope panel's digital-lane and analogue captions of a variant; in
// expert mode `ramtype` chooses the P0528 signal captions.
void McycleSetScopeCaptions(McFwVariant variant, uint16_t ramtype);

// The ram-type groups 0x00, 0x10, 0x20, 0x40, 0x50 and 0x60: their six
// P0528 signal lanes carry outputs, and the scope's lane map differs.
bool McycleRamtypeAltGroup(uint16_t ramtype);
// The captions of the six P0528 signal lanes: the alternative group's
// outputs, or the inputs.
void McycleSetSignalCaptions(bool outputs);

// Sets up the tool for an identified controller (data container read,
// udScopeFwVersion set): flags, log-data and scope containers, scope
// captions, the main panel's rings, switches and menus, the firmware and ram
// type lines, and the ram-type panel (not in batch mode, where nobody could
// acknowledge it).
void McycleFwVariantSetUp(McFwVariant variant);
// The variant set up last (None before the first identification). A trace
// file of another variant changes the variant flags, not this.
McFwVariant McycleIdentifiedVariant();
