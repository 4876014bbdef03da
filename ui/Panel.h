// The panel layer: handle-based access to panels and controls for the logic.
// Panels are addressed by the handle PanelLoad returned, controls by the ids
// of ui/PanelIds.h; control 0 stands for the panel itself where a function
// says so. The functions forward to the installed PanelHost (the Qt one in the
// program); with none installed (batch mode, unit tests) they do nothing and
// return 0. An unknown handle or id, or a control of the wrong kind, is
// refused with PANEL_ERR_UNKNOWN. Any thread may call; a host queues widget
// work to the GUI thread and answers getters from its own copy of the control
// values. Popups block and are answered on the GUI thread only.
//
// Control kinds and their values: numeric fields, rings, switches and lamps
// hold an integer or a double; text boxes and text fields a string; rings
// list items of (label, value) and show the item whose value is set (none
// when no item has it); tables hold strings by row and column; menu items
// are controls too (commit on choice, ATTR_CHECKED for the check mark); graph
// controls hold plots (ui/Graph.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Graph.h"

inline constexpr int PANEL_ERR_UNKNOWN = -1;
inline constexpr int PANEL_ERR_NOT_LOADED = -2;
inline constexpr int PANEL_ERR_FILE = -3;  // a file could not be written, or is of a kind not offered
// The largest side of an exported picture, in pixels.
inline constexpr int PANEL_IMAGE_MAX_SIDE = 8192;

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
  EVENT_RING_OPEN = 16,  // a ring's list is about to open (click or key)
  EVENT_CURSOR_MOVED = 20,  // editable text boxes: the text cursor went to another place
};

// Keys delivered with EVENT_KEYPRESS in eventData1.
inline constexpr int PANEL_KEY_ESC = 0x300;
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
  ATTR_MIN_VALUE = 12,    // numeric fields
  ATTR_MAX_VALUE = 13,
  ATTR_BAR_COLOR = 14,    // progress bars, 0xRRGGBB
  ATTR_PLOT_WIDTH = 15,   // graphs: width of the plot area in pixels (GUI thread)
  ATTR_INCR_VALUE = 16,   // numeric fields: step of the arrows and keys, in thousandths of the unit
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
  // Shows the message and runs `then` once it has been acknowledged.
  virtual void MessagePopupThen(const std::string& title, const std::string& message, std::function<void()> then) {
    MessagePopup(title, message);
    then();
  }
  virtual bool ConfirmPopup(const std::string& title, const std::string& message) = 0;
  // Returns true with the chosen path, false on cancel.
  virtual bool FileSelectPopup(const std::string& directory, const std::string& defaultName,
                               const std::string& filters, const std::string& title, bool forSave,
                               std::string& path) = 0;
  virtual bool DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) = 0;
  virtual void QuitEventLoop() = 0;

  // Added later; a host without the kind of control refuses.
  // Creates a panel from its resource (ui/PanelIds.h); handle > 0 or < 0.
  virtual int LoadPanel(int /*resource*/) { return PANEL_ERR_UNKNOWN; }
  virtual int DiscardPanel(int /*panel*/) { return PANEL_ERR_UNKNOWN; }
  // Control 0: the panel (ATTR_DIMMED, ATTR_VISIBLE, ATTR_HEIGHT, ATTR_WIDTH).
  virtual int GetAttribute(int /*panel*/, int /*control*/, PanelAttribute, int64_t& /*value*/) {
    return PANEL_ERR_UNKNOWN;
  }
  virtual int CenterPanel(int /*panel*/) { return PANEL_ERR_UNKNOWN; }
  // Size of the screen the panels show on; false without a screen.
  virtual bool ScreenSize(int& /*width*/, int& /*height*/) { return false; }
  // Several existing files at once; false on cancel.
  virtual bool MultiFileSelectPopup(const std::string& /*directory*/, const std::string& /*defaultName*/,
                                    const std::string& /*filters*/, const std::string& /*title*/,
                                    std::vector<std::string>& /*paths*/) {
    return false;
  }
  // Rings: index -1 appends; count -1 deletes to the end.
  virtual int InsertListItem(int, int, int /*index*/, const std::string& /*label*/, int64_t /*value*/) {
    return PANEL_ERR_UNKNOWN;
  }
  virtual int DeleteListItems(int, int, int /*index*/, int /*count*/) { return PANEL_ERR_UNKNOWN; }
  virtual int GetNumListItems(int, int, int& /*count*/) { return PANEL_ERR_UNKNOWN; }
  // Tables.
  virtual int SetTableSize(int, int, int /*rows*/, int /*columns*/) { return PANEL_ERR_UNKNOWN; }
  virtual int SetTableCell(int, int, int /*row*/, int /*column*/, const std::string&) { return PANEL_ERR_UNKNOWN; }
  virtual int GetTableCell(int, int, int /*row*/, int /*column*/, std::string&) { return PANEL_ERR_UNKNOWN; }
  virtual int MarkTableCell(int, int, int /*row*/, int /*column*/, bool /*marked*/) { return PANEL_ERR_UNKNOWN; }
  // Graphs: AddPlot returns the plot's handle (> 0); plot -1 deletes all.
  virtual int AddPlot(int, int, GraphItem /*item*/) { return PANEL_ERR_UNKNOWN; }
  virtual int DeletePlot(int, int, int /*plot*/) { return PANEL_ERR_UNKNOWN; }
  virtual int SetAxisRange(int, int, GraphAxis, double /*min*/, double /*max*/) { return PANEL_ERR_UNKNOWN; }
  // The range an axis shows now: the X axis may be zoomed by the operator.
  // Unchanged on failure. GUI thread.
  virtual int GetAxisView(int, int, GraphAxis, double& /*min*/, double& /*max*/) { return PANEL_ERR_UNKNOWN; }
  // Back to the whole X range set (and of the graphs linked with it).
  virtual int GraphFit(int, int) { return PANEL_ERR_UNKNOWN; }
  // Editable text boxes: lines count from 0, a line feed ends each but the
  // last. InsertText puts `text` at the start of `line` (at the end when the
  // box has fewer lines, after a line feed when its last line is not empty).
  virtual int GetCursorLine(int, int, int& /*line*/) { return PANEL_ERR_UNKNOWN; }
  virtual int SetCursorLine(int, int, int /*line*/) { return PANEL_ERR_UNKNOWN; }
  virtual int SetFirstVisibleLine(int, int, int /*line*/) { return PANEL_ERR_UNKNOWN; }
  virtual int InsertText(int, int, int /*line*/, const std::string& /*text*/) { return PANEL_ERR_UNKNOWN; }
  // Runs pending events other than the operator's input (timers, queued
  // work), for a caller on the GUI thread that waits.
  virtual void ProcessEvents() {}
  // Pictures of a panel's graphs (see PanelPrint); `error` says why one failed.
  virtual int Print(int /*panel*/, std::string& /*error*/) { return PANEL_ERR_UNKNOWN; }
  virtual int ExportImage(int /*panel*/, const std::string& /*path*/, int /*width*/, int /*height*/,
                          std::string& /*error*/) {
    return PANEL_ERR_UNKNOWN;
  }
  virtual bool ImageExportPopup(const std::string& /*title*/, const std::string& /*directory*/,
                                const std::string& /*defaultName*/, int& /*width*/, int& /*height*/,
                                std::string& /*path*/) {
    return false;
  }
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
// Shown without waiting for the operator: the call returns at once.
void PanelMessagePopup(const std::string& title, const std::string& message);
// The same; `then` runs once the operator has acknowledged the message (at
// once without panels). GUI thread.
void PanelMessagePopupThen(const std::string& title, const std::string& message, std::function<void()> then);
// Without panels a confirmation is answered "no".
bool PanelConfirmPopup(const std::string& title, const std::string& message);
bool PanelFileSelectPopup(const std::string& directory, const std::string& defaultName, const std::string& filters,
                          const std::string& title, bool forSave, std::string& path);
bool PanelDirSelectPopup(const std::string& directory, const std::string& title, std::string& path);
bool PanelMultiFileSelectPopup(const std::string& directory, const std::string& defaultName,
                               const std::string& filters, const std::string& title, std::vector<std::string>& paths);
void PanelQuitEventLoop();

int PanelLoad(int resource);
int PanelDiscard(int panel);
int PanelGetAttribute(int panel, int control, PanelAttribute attribute, int64_t& value);
int PanelCenter(int panel);
// False in batch mode or without a screen.
bool PanelGetScreenSize(int& width, int& height);
int PanelInsertListItem(int panel, int control, int index, const std::string& label, int64_t value);
int PanelDeleteListItems(int panel, int control, int index, int count);
int PanelGetNumListItems(int panel, int control, int& count);
int PanelSetTableSize(int panel, int control, int rows, int columns);
int PanelSetTableCell(int panel, int control, int row, int column, const std::string& text);
int PanelGetTableCell(int panel, int control, int row, int column, std::string& text);
// Marks a cell as refused (or takes the mark away); its text stays.
int PanelMarkTableCell(int panel, int control, int row, int column, bool marked);
// Editable text boxes (see PanelHost).
int PanelGetCursorLine(int panel, int control, int& line);
int PanelSetCursorLine(int panel, int control, int line);
int PanelSetFirstVisibleLine(int panel, int control, int line);
int PanelInsertText(int panel, int control, int line, const std::string& text);
// Where InsertText puts its text into `text` (the hosts share this): the
// byte offset, and in `lineFeedFirst` whether a line feed must go first.
size_t PanelInsertOffset(const std::string& text, int line, bool& lineFeedFirst);
// Lets timers and queued work run while the GUI thread waits, without the
// operator's input; nothing without panels.
void PanelProcessEvents();
// Plots on a graph control; each returns the plot handle (> 0) or < 0.
int PanelPlotWaveform(int panel, int control, const double* y, size_t count, double x0, double dx, int64_t colour,
                      GraphAxis axis = GRAPH_AXIS_LEFT);
int PanelPlotLine(int panel, int control, double x1, double y1, double x2, double y2, int64_t colour,
                  GraphAxis axis = GRAPH_AXIS_LEFT);
int PanelPlotPoint(int panel, int control, double x, double y, int64_t colour, GraphAxis axis = GRAPH_AXIS_LEFT);
int PanelPlotText(int panel, int control, double x, double y, const std::string& text, int64_t colour, int pointSize,
                  bool bold, GraphAxis axis = GRAPH_AXIS_LEFT, const std::string& font = {});
// plot -1: every plot of the graph.
int PanelDeleteGraphPlot(int panel, int control, int plot);
// A manual range for the X axis or one of the two Y axes.
int PanelSetAxisRange(int panel, int control, GraphAxis axis, double min, double max);
// Pictures of a panel: its graphs as on screen, with their axes, cursor line
// and the panel's legend. PanelPrint offers the print dialog, or asks for a
// PDF file when the system has no printer; the operator's cancel returns 0.
// PanelExportImage writes PNG or SVG by the extension of `path`, at
// width x height pixels (0: the window's). Failures return < 0 with the
// reason in `error`, and leave no file behind. GUI thread.
int PanelPrint(int panel, std::string& error);
int PanelExportImage(int panel, const std::string& path, int width, int height, std::string& error);
// Asks for an image file and its size, offered as `width` x `height`; false
// on cancel (and without panels).
bool PanelImageExportPopup(const std::string& title, const std::string& directory, const std::string& defaultName,
                           int& width, int& height, std::string& path);
// The range the axis shows now, zoomed or not; min and max stay as they are
// when the graph cannot tell (no panels).
int PanelGetAxisView(int panel, int control, GraphAxis axis, double& min, double& max);
// Undoes the operator's zoom: the whole X range set.
int PanelGraphFit(int panel, int control);
