#include "engine/McycleVariant.h"

#include <cstdio>
#include <string>

#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleCheckMenu.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

// Data-container entries.
constexpr int kSampleTimeEntry = 1;
constexpr int kStatusEntry = 4;
constexpr int kRamtypeEntry = 5;
constexpr int kMode0Entry = 6;
constexpr int kMode1Entry = 7;

constexpr uint16_t kQuillFamily = 0x80;

constexpr const char* kHalfMsLabel = "0.5 ms";
// Start-up puts the 0.5 ms item first on the sample-time ring.
bool halfMsItemShown = true;
McFwVariant identified = McFwVariant::None;

// Scope captions: the thirteen digital lanes and the four analogue channels.
struct Caption {
  int lane;
  const char* text;
};
constexpr Caption kP0417Captions[] = {{12, "      I:RUN"}};
constexpr Caption kPressOkCaption[] = {{10, " O:PRESS_OK"}};
constexpr int kP0528SignalLanes[6] = {4, 7, 8, 9, 11, 12};
constexpr const char* kP0528Inputs[6] = {"   I:START2", "  I:SELCYC2", "  I:SELCYC1",
                                         "  I:SELCYC0", "      O:ACK", "      I:REQ"};
constexpr const char* kP0528Outputs[6] = {"  O:DOWN_HP", "  O:SLOW_DN", "  O:FAST_UP",
                                          "  O:FAST_DN", "  O:SLOW_UP", "O:SEEK_FAST"};
constexpr const char* kQuillCaptions[13] = {"   I:NOTAUS", "   I:VSHALT", "  I:CLAMP_O", "  I:CLAMP_C", "     I:UEMI",
                                            "       I:OT", "       I:UT", "     I:UEPL", "    I:START", "  O:DAUER_D",
                                            " O:ABSTREIF", " O:WECHSELL", "    O:READY"};
constexpr const char* kAnalogCaptions[4] = {"Press HP [400 Bar]", "Press LP [250 Bar]", "Press A1 [400 Bar]", "X9-11"};
constexpr const char* kQuillAnalogCaptions[4] = {"Press HP [400 Bar]", "Press LP [160 Bar]", "Press A1 [400 Bar]",
                                                 "Press STD [160 Bar]"};
// Quill pressure channels at 20 mA in 1/100 bar (scope-data entries 7..9).
constexpr uint32_t kQuillFullScale[3] = {40000, 16000, 40000};

uint16_t DataEntry(int entry) { return static_cast<uint16_t>(sDataContainer.entries[entry].udData); }

void SetCaption(int lane, const char* text) { PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_LANE_0 + lane, text); }

void SetAnalogCaptions(const char* const (&texts)[4]) {
  for (int i = 0; i < 4; ++i) PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_ANALOG_0 + i, texts[i]);
}

template <size_t N>
void SetCaptions(const Caption (&captions)[N]) {
  for (const Caption& c : captions) SetCaption(c.lane, c.text);
}

// The six P0528 signal lanes show the alternative group's outputs in expert
// mode, else inputs.
void SetP0528SignalCaptions(uint16_t ramtype) {
  McycleSetSignalCaptions(McycleRamtypeAltGroup(ramtype) && (ubMcFlag4 & MC_FLAG4_EXPERT_MODE));
}

void ShowHalfMsItem(bool show) {
  if (show == halfMsItemShown) return;
  if (show)
    PanelInsertListItem(uwMcMainPanelHandle, MAIN_RING_SAMPLE_TIME, 0, kHalfMsLabel, 1);
  else
    PanelDeleteListItems(uwMcMainPanelHandle, MAIN_RING_SAMPLE_TIME, 0, 1);
  halfMsItemShown = show;
}

void SetScopeView(double yPosition) {
  PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_AXIS_POS, yPosition);
  PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_TIME_AXIS, 50.0);
}

void SetUpQuill(uint16_t ramtype) {
  ubMcFlag3 |= MC_FLAG3_FW_QUILL;
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  ubMcFlag4 |= MC_FLAG4_EXPERT_MODE;
  CtrlCmdLogDataContainerQuillInit(0);
  if (ramtype <= kQuillFamily) {
    CtrlCmdScopeDataContainerInit(SCOPE_VARIANT_QUILL);
  } else {
    ubMcFlag5 |= MC_FLAG5_QUILL_TWO_TRACES;
    CtrlCmdScopeDataContainerInit(SCOPE_VARIANT_P0528);
  }
  for (int i = 0; i < 3; ++i) sScopeDataContainer.entries[7 + i].udData = kQuillFullScale[i];
  ShowHalfMsItem(true);
  PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_AXIS_POS, 80.0);
}

}  // namespace

bool McycleRamtypeAltGroup(uint16_t ramtype) {
  const unsigned family = (ramtype >> 4) & 0x0F;
  return family <= 2 || (family >= 4 && family <= 6);
}

void McycleSetSignalCaptions(bool outputs) {
  for (int i = 0; i < 6; ++i) SetCaption(kP0528SignalLanes[i], outputs ? kP0528Outputs[i] : kP0528Inputs[i]);
}

McFwVariant McycleFwVariant(uint32_t version, uint16_t ramtype, bool expert) {
  const uint32_t product = version >> 16;
  if (product == MC_PRODUCT_P0417) return McFwVariant::P0417;
  if (product == MC_PRODUCT_P0528) return McFwVariant::P0528;
  if ((ramtype & 0xF0) == kQuillFamily) return McFwVariant::Quill;
  return expert ? McFwVariant::Other : McFwVariant::None;
}

McFwVariant McycleIdentifiedVariant() { return identified; }

void McycleSetScopeCaptions(McFwVariant variant, uint16_t ramtype) {
  switch (variant) {
    case McFwVariant::P0417:
      SetCaptions(kP0417Captions);
      SetAnalogCaptions(kAnalogCaptions);
      break;
    case McFwVariant::Quill:
      for (int lane = 0; lane < 13; ++lane) SetCaption(lane, kQuillCaptions[lane]);
      SetAnalogCaptions(kQuillAnalogCaptions);
      break;
    default:
      SetCaptions(kPressOkCaption);
      if (variant == McFwVariant::P0528) {
        SetAnalogCaptions(kAnalogCaptions);
        SetP0528SignalCaptions(ramtype);
      }
      break;
  }
}

void McycleFwVariantSetUp(McFwVariant variant) {
  identified = variant;
  const uint16_t ramtype = DataEntry(kRamtypeEntry);
  // A new controller: nothing of the previous one's variant stays.
  ubMcFlag3 &= static_cast<uint8_t>(~(MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL));
  ubMcFlag5 &= static_cast<uint8_t>(~MC_FLAG5_QUILL_TWO_TRACES);
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  switch (variant) {
    case McFwVariant::P0417:
      ubMcFlag3 |= MC_FLAG3_FW_P0417;
      CtrlCmdLogDataContainerP417Init();
      CtrlCmdScopeDataContainerInit(SCOPE_VARIANT_P0417);
      ShowHalfMsItem(false);
      SetScopeView(0.0);
      break;
    case McFwVariant::Quill: SetUpQuill(ramtype); break;
    default:  // P0528 and, in expert mode, any other product
      CtrlCmdLogDataContainerP528Init(0);
      CtrlCmdScopeDataContainerInit(SCOPE_VARIANT_P0528);
      ShowHalfMsItem(true);
      SetScopeView(0.0);
      break;
  }
  McycleSetScopeCaptions(variant, ramtype);

  uwScopeMsSampleTime = DataEntry(kSampleTimeEntry);
  uwScopeStatus0 = DataEntry(kStatusEntry);
  uwScopeRamtype = ramtype;
  uwScopeMode0 = DataEntry(kMode0Entry);
  uwScopeMode1 = DataEntry(kMode1Entry);

  char version[32];
  std::snprintf(version, sizeof version, "P%04u-%02u\n", static_cast<unsigned>(udScopeFwVersion >> 16),
                static_cast<unsigned>(udScopeFwVersion & 0xFFFF));
  McycleLogf("Target Firmware: %s", version);
  McycleLogf("Target Ramtype:  %s\n\n", McycleRamtypeText(ramtype).c_str());

  McycleSetSampleTimeRing(uwScopeMsSampleTime);
  McycleSetRamtypeRing(ramtype);
  McycleSetTriggerRing(uwScopeMode1 & 0xFF);
  McycleSetModeWordControls(uwScopeMode0, uwScopeMode1, variant == McFwVariant::P0417, variant == McFwVariant::Quill);

  HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_OFF);
  // Nobody can acknowledge the ram-type panel in batch mode.
  if (!(ubMcFlag3 & MC_FLAG3_BATCH_MODE)) {
    ubMcFlag4 |= MC_FLAG4_RAMTYPE_UNACKNOWLEDGED;
    McycleOpenRamtypePanel(ramtype);
  }
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_1, ATTR_DIMMED, 0);
  PanelSetAttribute(uwMcMacroPanelHandle, MACRO_CMD_TRANSFER_2, ATTR_DIMMED, 0);
  CqSetLinkAnswers(true);  // a controller is identified on the link
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD, ATTR_DIMMED, 0);
}
