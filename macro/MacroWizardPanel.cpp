#include "macro/MacroWizardPanel.h"

#include <algorithm>
#include <climits>

#include "app/PanelCallbacks.h"
#include "app/Ramtype.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleParameter.h"
#include "macro/MacroWizard.h"
#include "macro/macro.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr int64_t kNoRamtype = 0xFF;
constexpr uint32_t kMarkSpeed = 400;
constexpr uint16_t kFirstObject = 0x2000;
constexpr int kSampleChoices = 8;
constexpr const char* kSampleLabels[kSampleChoices] = {"0.5 ms", "1 ms", "2 ms", "4 ms",
                                                      "10 ms", "20 ms", "40 ms", "100 ms"};

int Wizard() { return uwMcWizardPanelHandle; }
bool Has(int page, int entry) { return kWizardPageFields[page] & (1u << entry); }

int64_t Get(int control) {
  int64_t v = 0;
  PanelGetInt(Wizard(), control, v);
  return v;
}

// The page's fields into a zeroed block, each 0..65535; Mark has fixed SPD2
// and SPD5.
void Create(int page) {
  uint32_t block[MAC_WIZ_BLOCK_SIZE] = {};
  for (int entry = 0; entry < MAC_WIZ_BLOCK_SIZE; ++entry)
    if (Has(page, entry)) block[entry] = static_cast<uint32_t>(std::clamp<int64_t>(Get(WizardField(page, entry)), 0, 0xFFFF));
  if (page == WIZ_PAGE_MARK) block[MAC_WIZ_SPD2] = block[MAC_WIZ_SPD5] = kMarkSpeed;
  MacroWizCreate(page + 1, block, 0);  // the pages are in the order of the kinds
}

// Asks machine 8 for the extended set; its last step fills this page only.
void Read(int page) {
  if (ubCqDataChannel == CQ_LINK_NONE) {
    MacroMessage("Target not connected!\n");
    return;
  }
  if (!McycleEngineIdle()) {
    MacroMessage("Wizard: parameters not read, an operation is running\n");
    return;
  }
  uwMcMacWizParmPanelHandle = static_cast<uint16_t>(Wizard());
  for (int k = 0; k < MC_WIZARD_PARM_CONTROLS; ++k)
    ubMcMacWizParmNum[k] = Has(page, k) ? static_cast<uint8_t>(WizardField(page, k)) : MC_WIZARD_NO_CONTROL;
  const uint8_t flag = ubMcFlag, flag1 = ubMcFlag1;
  ubMcFlag1 |= MC_FLAG1_PARM_EXTENDED;
  ubMcFlag |= MC_FLAG_WIZARD_PARM_REQUEST;
  if (McycleSignalQueuePut(MC_SIG_PARM_READBACK)) return;
  ubMcFlag = flag;
  ubMcFlag1 = flag1;
  MacroMessage("Wizard: parameters not read, an operation is running\n");
}

int CreateOn(int page, int event) {
  if (event == EVENT_COMMIT) Create(page);
  return 0;
}
int ReadOn(int page, int event) {
  if (event == EVENT_COMMIT) Read(page);
  return 0;
}

void Refuse(const char* message) { PanelMessagePopup("Error", message); }

// The largest value an access of width code 1..4 writes (a read writes none).
int64_t WidthMax(int64_t width) { return width == 1 ? 0xFF : width == 2 ? 0xFFFF : width == 3 ? INT32_MAX : 0; }

// The value field holds what the chosen access width holds.
void LimitValue() {
  const int64_t width = Get(WIZ_ADV_RING_WIDTH);
  PanelSetAttribute(Wizard(), WIZ_ADV_NUM_VALUE, ATTR_MAX_VALUE, WidthMax(width));
  PanelSetAttribute(Wizard(), WIZ_ADV_NUM_VALUE, ATTR_DIMMED, width == 4);
}

void Advanced(int control) {
  uint32_t block[MAC_WIZ_BLOCK_SIZE] = {};
  switch (control) {
    case WIZ_ADV_CMD_RAMTYPE:
      if (Get(WIZ_ADV_RING_RAMTYPE) == kNoRamtype) return Refuse("No Ramtype selected!");
      block[0] = static_cast<uint32_t>(Get(WIZ_ADV_RING_RAMTYPE));
      MacroWizCreate(MAC_WIZ_RAMTYPE, block, 0);
      return;
    case WIZ_ADV_CMD_SAMPLE: {
      uint8_t code = 0;
      char line[64];
      if (!McycleSampleTimeChoice(static_cast<int>(Get(WIZ_ADV_RING_SAMPLE)), code, line, sizeof line))
        return Refuse("No Sample Time selected!");
      block[0] = code;
      MacroWizCreate(MAC_WIZ_SAMPLE_TIME, block, 0);
      return;
    }
    case WIZ_ADV_CMD_COMMAND:
      if (Get(WIZ_ADV_RING_COMMAND) == 0) return Refuse("No Command selected!");
      block[0] = static_cast<uint32_t>(Get(WIZ_ADV_RING_COMMAND));
      MacroWizCreate(MAC_WIZ_COMMAND, block, 0);
      return;
    case WIZ_ADV_CMD_DELAY:
      block[0] = static_cast<uint32_t>(std::clamp<int64_t>(Get(WIZ_ADV_NUM_DELAY), 0, 0xFFFF));
      MacroWizCreate(MAC_WIZ_DELAY, block, 0);
      return;
    case WIZ_ADV_CMD_STOP: MacroWizCreate(MAC_WIZ_STOP, block, 0); return;
    case WIZ_ADV_CMD_AUTOSTART: MacroWizCreate(MAC_WIZ_AUTOSTART, block, 0); return;
    case WIZ_ADV_CMD_OBJECT: {
      const int64_t index = std::clamp<int64_t>(Get(WIZ_ADV_NUM_INDEX), 0, 0xFFFF);
      if (index < kFirstObject) return Refuse("Invalid address!");
      const int64_t width = std::clamp<int64_t>(Get(WIZ_ADV_RING_WIDTH), 1, 4);
      const int64_t max = WidthMax(width);
      block[0] = static_cast<uint32_t>(width);
      block[1] = static_cast<uint32_t>(index);
      block[2] = static_cast<uint32_t>(std::clamp<int64_t>(Get(WIZ_ADV_NUM_SUB), 0, 0xFF));
      MacroWizCreate(MAC_WIZ_OBJECT, block, static_cast<uint32_t>(std::clamp<int64_t>(Get(WIZ_ADV_NUM_VALUE), 0, max)));
      return;
    }
    case WIZ_ADV_CMD_REPEAT:
      if (Get(WIZ_ADV_RING_REP_COMMAND) == 0) return Refuse("No Command selected!");
      block[0] = static_cast<uint32_t>(Get(WIZ_ADV_RING_REP_COMMAND));
      block[1] = static_cast<uint32_t>(std::clamp<int64_t>(Get(WIZ_ADV_NUM_REP_DELAY), 0, 0xFFFF));
      block[2] = static_cast<uint32_t>(std::clamp<int64_t>(Get(WIZ_ADV_NUM_REP_COUNTER), 0, 0xFFFF));
      MacroWizCreate(MAC_WIZ_REPEAT, block, 0);
      return;
    default: return;
  }
}

void FillRings() {
  const int p = Wizard();
  for (int ring : {WIZ_ADV_RING_RAMTYPE, WIZ_ADV_RING_SAMPLE, WIZ_ADV_RING_COMMAND, WIZ_ADV_RING_REP_COMMAND,
                   WIZ_ADV_RING_WIDTH})
    PanelDeleteListItems(p, ring, 0, -1);
  PanelInsertListItem(p, WIZ_ADV_RING_RAMTYPE, -1, "none", kNoRamtype);
  for (const McRamtypeName& r : kRamtypeNames) PanelInsertListItem(p, WIZ_ADV_RING_RAMTYPE, -1, r.name, r.code);
  PanelInsertListItem(p, WIZ_ADV_RING_SAMPLE, -1, "none", 0);
  for (int i = 0; i < kSampleChoices; ++i) PanelInsertListItem(p, WIZ_ADV_RING_SAMPLE, -1, kSampleLabels[i], i + 1);
  for (int ring : {WIZ_ADV_RING_COMMAND, WIZ_ADV_RING_REP_COMMAND}) {
    PanelInsertListItem(p, ring, -1, "none", 0);
    for (const MacroWizCommand* c = kMacroWizCommands; c->name; ++c) PanelInsertListItem(p, ring, -1, c->name, c->code);
    PanelSetInt(p, ring, 0);
  }
  const char* widths[4] = {"Write byte", "Write word", "Write double word", "Read"};
  for (int w = 1; w <= 4; ++w) PanelInsertListItem(p, WIZ_ADV_RING_WIDTH, -1, widths[w - 1], w);
  PanelSetInt(p, WIZ_ADV_RING_RAMTYPE, kNoRamtype);
  PanelSetInt(p, WIZ_ADV_RING_SAMPLE, 0);
  PanelSetInt(p, WIZ_ADV_RING_WIDTH, 2);
  LimitValue();
}

}  // namespace

int CMD_WIZ_PUNCH_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_PUNCH, event); }
int CMD_WIZ_PUNCH_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_PUNCH, event); }
int CMD_WIZ_FORM1_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_FORM1, event); }
int CMD_WIZ_FORM1_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_FORM1, event); }
int CMD_WIZ_FORM2_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_FORM2, event); }
int CMD_WIZ_FORM2_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_FORM2, event); }
int CMD_WIZ_FORM3_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_FORM3, event); }
int CMD_WIZ_FORM3_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_FORM3, event); }
int CMD_WIZ_HOVER_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_HOVER, event); }
int CMD_WIZ_HOVER_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_HOVER, event); }
int CMD_WIZ_PRESS_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_PRESS, event); }
int CMD_WIZ_PRESS_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_PRESS, event); }
int CMD_WIZ_MARK_CREATE_Callback(int, int, int event, void*, int, int) { return CreateOn(WIZ_PAGE_MARK, event); }
int CMD_WIZ_MARK_READ_Callback(int, int, int event, void*, int, int) { return ReadOn(WIZ_PAGE_MARK, event); }

int CMD_WIZ_ADV_CREATE_Callback(int, int control, int event, void*, int, int) {
  if (control == WIZ_ADV_RING_WIDTH && (event == EVENT_COMMIT || event == EVENT_VAL_CHANGED)) LimitValue();
  else if (event == EVENT_COMMIT) Advanced(control);
  return 0;
}

int WizardEventCallback(int panel, int, int event, void*, int eventData1, int) {
  if (event == EVENT_CLOSE || (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_ESC)) PanelHide(panel);
  return 0;
}

void MacroWizardPanelSetUp() {
  const int p = Wizard();
  FillRings();
  const PanelCallback create[WIZ_CYCLE_PAGES] = {CMD_WIZ_PUNCH_CREATE_Callback, CMD_WIZ_FORM1_CREATE_Callback,
                                                 CMD_WIZ_FORM2_CREATE_Callback, CMD_WIZ_FORM3_CREATE_Callback,
                                                 CMD_WIZ_HOVER_CREATE_Callback, CMD_WIZ_PRESS_CREATE_Callback,
                                                 CMD_WIZ_MARK_CREATE_Callback};
  const PanelCallback read[WIZ_CYCLE_PAGES] = {CMD_WIZ_PUNCH_READ_Callback, CMD_WIZ_FORM1_READ_Callback,
                                               CMD_WIZ_FORM2_READ_Callback, CMD_WIZ_FORM3_READ_Callback,
                                               CMD_WIZ_HOVER_READ_Callback, CMD_WIZ_PRESS_READ_Callback,
                                               CMD_WIZ_MARK_READ_Callback};
  for (int page = 0; page < WIZ_CYCLE_PAGES; ++page) {
    PanelInstallCallback(p, WizardCreate(page), create[page], nullptr);
    PanelInstallCallback(p, WizardRead(page), read[page], nullptr);
  }
  for (int c = WIZ_ADV_RING_RAMTYPE; c <= WIZ_ADV_CMD_AUTOSTART; ++c)
    PanelInstallCallback(p, c, CMD_WIZ_ADV_CREATE_Callback, nullptr);
  PanelInstallCallback(p, 0, WizardEventCallback, nullptr);
}
