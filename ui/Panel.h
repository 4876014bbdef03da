// The panel layer: handle-based access to panels and controls for the logic.
// Panels are addressed by the handle PanelLoad returned, controls by the ids
// of ui/PanelIds.h. The functions forward to the installed PanelHost (the Qt
// one in the program); with none installed (batch mode, unit tests) they do
// nothing and return 0. An unknown handle or id is refused with
// PANEL_ERR_UNKNOWN. Any thread may call; a host queues widget work to the GUI
// thread and answers getters from its own copy of the control values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int PANEL_ERR_UNKNOWN = -1;
inline constexpr int PANEL_ERR_NOT_LOADED = -2;

enum PanelEventCode : int {
  EVENT_COMMIT = 1,
  EVENT_VAL_CHANGED = 2,
  EVENT_LEFT_CLICK = 3,
  EVENT_LEFT_DOUBLE_CLICK = 4,
  EVENT_RIGHT_CLICK = 5,
  EVENT_KEYPRESS = 6,
  EVENT_GOT_FOCUS = 7,
  EVENT_LOST_FOCUS = 8,
  EVENT_CLOSE = 9,
  EVENT_TIMER_TICK = 15,
};

// Keys delivered with EVENT_KEYPRESS in eventData1.
inline constexpr int PANEL_KEY_ESC = 0x1B;
inline constexpr int PANEL_KEY_F1 = 0x1001;
inline constexpr int PANEL_KEY_UP = 0x1002;
inline constexpr int PANEL_KEY_DOWN = 0x1003;
inline constexpr int PANEL_KEY_ENTER = 0x0D;

enum PanelAttribute : int {
  ATTR_DIMMED = 1,
  ATTR_VISIBLE = 2,
  ATTR_ENABLED = 3,       // timer controls
  ATTR_TEXT_COLOR = 4,    // 0xRRGGBB
  ATTR_ON_COLOR = 5,      // lamps
  ATTR_OFF_COLOR = 6,
  ATTR_FRAME_COLOR = 7,
  ATTR_INTERVAL_MS = 8,   // timer controls
  ATTR_CHECKED = 9,       // menu items
  ATTR_HEIGHT = 10,       // panels
  ATTR_WIDTH = 11,
};

using PanelCallback = int (*)(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// What a host offers. Return codes as the free functions below.
class PanelHost {
 public:
  virtual ~PanelHost() = default;
  virtual int SetInt(int panel, int control, int64_t value) = 0;
  virtual int SetDouble(int panel, int control, double value) = 0;
  virtual int SetString(int panel, int control, const std::string& value) = 0;
  virtual int GetInt(int panel, int control, int64_t& value) = 0;
  virtual int GetDouble(int panel, int control, double& value) = 0;
  virtual int GetString(int panel, int control, std::string& value) = 0;
  virtual int SetAttribute(int panel, int control, PanelAttribute attribute, int64_t value) = 0;
  virtual int SetLabel(int panel, int control, const std::string& label) = 0;
  virtual int AppendText(int panel, int control, const std::string& text) = 0;
  virtual int ClearText(int panel, int control) = 0;
  virtual int DeleteLastLine(int panel, int control) = 0;
  virtual int InstallCallback(int panel, int control, PanelCallback callback, void* data) = 0;
  virtual int Display(int panel) = 0;
  virtual int Hide(int panel) = 0;
  virtual int SetPanelDimmed(int panel, bool dimmed) = 0;
  virtual int SetTitle(int panel, const std::string& title) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void MessagePopup(const std::string& title, const std::string& message) = 0;
  virtual bool ConfirmPopup(const std::string& title, const std::string& message) = 0;
  // Returns true with the chosen path, false on cancel.
  virtual bool FileSelectPopup(const std::string& directory, const std::string& defaultName,
                               const std::string& filters, const std::string& title, bool forSave,
                               std::string& path) = 0;
  virtual bool DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) = 0;
  virtual void QuitEventLoop() = 0;
  // Ring items: insert one item (label, value) before position `index`
  // (-1 or the item count: at the end); delete `count` items from `index`
  // (-1: to the end).
  virtual int RingInsert(int panel, int control, int index, const std::string& label, int64_t value) = 0;
  virtual int RingDeleteItems(int panel, int control, int index, int count) = 0;
};

// Installs the host (nullptr: no panels). Not thread-safe: set it once at
// start-up, before the tick runs, and remove it after the timer is closed.
void PanelSetHost(PanelHost* host);
PanelHost* PanelGetHost();

int PanelSetInt(int panel, int control, int64_t value);
int PanelSetDouble(int panel, int control, double value);
int PanelSetString(int panel, int control, const std::string& value);
int PanelGetInt(int panel, int control, int64_t& value);
int PanelGetDouble(int panel, int control, double& value);
int PanelGetString(int panel, int control, std::string& value);
int PanelSetAttribute(int panel, int control, PanelAttribute attribute, int64_t value);
int PanelSetLabel(int panel, int control, const std::string& label);
int PanelAppendText(int panel, int control, const std::string& text);
int PanelClearText(int panel, int control);
int PanelDeleteLastLine(int panel, int control);
int PanelInstallCallback(int panel, int control, PanelCallback callback, void* data);
int PanelDisplay(int panel);
int PanelHide(int panel);
int PanelSetDimmed(int panel, bool dimmed);
int PanelSetTitle(int panel, const std::string& title);
void PanelSetWaitCursor(bool on);
void PanelMessagePopup(const std::string& title, const std::string& message);
// Without panels a confirmation is answered "no".
bool PanelConfirmPopup(const std::string& title, const std::string& message);
bool PanelFileSelectPopup(const std::string& directory, const std::string& defaultName, const std::string& filters,
                          const std::string& title, bool forSave, std::string& path);
bool PanelDirSelectPopup(const std::string& directory, const std::string& title, std::string& path);
void PanelQuitEventLoop();
int PanelRingInsert(int panel, int control, int index, const std::string& label, int64_t value);
int PanelRingDeleteItems(int panel, int control, int index, int count);
