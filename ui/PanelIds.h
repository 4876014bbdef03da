// Panel resource ids and control ids. A control id is unique within its
// panel; the Qt host maps each to the widget (or menu action) of the same
// object name in the panel's Designer form (ui/forms).
#pragma once
#include <cstdint>

// Panel resources, in the order start-up loads them.
enum PanelResource : int {
  PANEL_MAIN = 1,
  PANEL_INTRO,            // terms of use
  PANEL_SCOPE,
  PANEL_DOWNLOAD,         // trace download progress
  PANEL_PARM_SAVE,        // parameter save/recall
  PANEL_PARAMETER,
  PANEL_EXT_PARAMETER,
  PANEL_RAMTYPE,
  PANEL_EVALUATION,
  PANEL_CONFIG,
  PANEL_TRACE_INFO,
  PANEL_ABOUT,
  PANEL_SCOPE_INFO,
  PANEL_MACRO,
  PANEL_MACRO_WIZARD,
  PANEL_MACRO_LOAD,
  PANEL_SCOPE_COMMENT,
  PANEL_HELP,
  PANEL_SAVE,
  PANEL_MACRO_TEST,       // view of the macro image
};

// Main panel controls.
enum MainPanelControl : int {
  MAIN_TXTBOX_LOG = 30,          // the message log window
  MAIN_TIMER_TICK = 100,         // the engine tick timer (2 ms)
  MAIN_TIMER_RAM,                // the periodic check (cyclic monitor pacing, USB watch)
  MAIN_LED_READY,                // ready lamp of the cyclic monitor
  MAIN_LED_STATUS,               // second status lamp of the cyclic monitor
  MAIN_LED_LOGGING,              // communication logging lamp
  MAIN_LED_LINK,                 // link indicator
  MAIN_TXT_CMDLINE,              // command line
  MAIN_RING_COM_CHANNEL,         // channel ring: 0 none, 1..18 serial, 20 UDP, 30 USB
  MAIN_NUM_IP_1,                 // target IP address, first to last field
  MAIN_NUM_IP_2,
  MAIN_NUM_IP_3,
  MAIN_NUM_IP_4,
  MAIN_RING_SAMPLE_TIME,
  MAIN_RING_RAMTYPE,
  MAIN_CMD_PARAMETERS,
  MAIN_CMD_HOME,
  MAIN_CMD_SEEK_POS1,
  MAIN_CMD_SEEK_POS2,
  MAIN_CMD_PUNCH,
  MAIN_CMD_SCOPE,
  MAIN_CMD_RUN_SCRIPT,
  MAIN_CMD_CLEAR_LOG,
  MAIN_CMD_SAVE_LOG,
  MAIN_BIN_SW_MARK,
  MAIN_BIN_SW_UDSEL_INHIBIT,
  MAIN_BIN_SW_PRESSURE_MON,
  MAIN_BIN_SW_POS_MON_ON,        // position monitor (cyclic monitor) switch
  MAIN_NUM_RAM_POS,              // cyclic monitor readouts
  MAIN_NUM_MOT_POS,
  MAIN_TXT_STATUS0,
  MAIN_NUM_PRESS_ND,
  MAIN_NUM_PRESS_HD,
  MAIN_TXT_STATUS1,
};

// Main menu: items and the three sub-menus that hold operation items. Menu
// items are controls of the main panel; they commit when chosen.
enum MainMenuItem : int {
  MAIN_MENU_RUN_SCRIPT = 200,
  MAIN_MENU_LOAD_TRACE,
  MAIN_MENU_EXIT,
  MAIN_MENU_CONFIGURATION,
  MAIN_MENU_DISPLAY_COLOUR,      // display option A: colour plots
  MAIN_MENU_DISPLAY_BW,          // display option B: black and white
  MAIN_MENU_LINK_TEST,
  MAIN_MENU_SPEED_HIGH,          // speed A: ubMcComSpeed 1
  MAIN_MENU_SPEED_LOW,           // speed B: ubMcComSpeed 0
  MAIN_MENU_COM_LOGGING,
  MAIN_MENU_DATE_TIME,
  MAIN_MENU_RESERVED_CHECK,      // removed at start-up: its signals are ignored
  MAIN_MENU_SAMPLE_0_5,          // sample time 0.5 .. 100 ms, in this order
  MAIN_MENU_SAMPLE_1,
  MAIN_MENU_SAMPLE_2,
  MAIN_MENU_SAMPLE_4,
  MAIN_MENU_SAMPLE_10,
  MAIN_MENU_SAMPLE_20,
  MAIN_MENU_SAMPLE_40,
  MAIN_MENU_SAMPLE_100,
  MAIN_MENU_HOME,
  MAIN_MENU_SEEK_POS1,
  MAIN_MENU_SEEK_POS2,
  MAIN_MENU_PUNCH,
  MAIN_MENU_FORM,
  MAIN_MENU_MARK_ON,
  MAIN_MENU_MARK_OFF,
  MAIN_MENU_PRESS_ON,
  MAIN_MENU_PRESS_OFF,
  MAIN_MENU_HOVER_ON,
  MAIN_MENU_HOVER_OFF,
  MAIN_MENU_HOME_ABSOLUT,
  MAIN_MENU_JOG_ON,
  MAIN_MENU_JOG_OFF,
  MAIN_MENU_CYCLE_BASIC,
  MAIN_MENU_CYCLE_FORM2,
  MAIN_MENU_CYCLE_FORM3,
  MAIN_MENU_MACRO_STOP,
  MAIN_MENU_TRIGGER,
  MAIN_MENU_TRIGGER_BACKWARD,
  MAIN_MENU_TRIGGER_FORWARD,
  MAIN_MENU_TRIGGER_MCYCLE,
  MAIN_MENU_TRIGGER_HARDWARE,
  MAIN_MENU_TRACE_FREEZE,
  MAIN_MENU_TRACE_UNFREEZE,
  MAIN_MENU_SOFT_OFF,            // soft value off, 100, 80, 60, 40, 20, 10, 1
  MAIN_MENU_SOFT_100,
  MAIN_MENU_SOFT_80,
  MAIN_MENU_SOFT_60,
  MAIN_MENU_SOFT_40,
  MAIN_MENU_SOFT_20,
  MAIN_MENU_SOFT_10,
  MAIN_MENU_SOFT_1,
  MAIN_MENU_PARAMETERS,
  MAIN_MENU_SCOPE,
  MAIN_MENU_MACRO,
  MAIN_MENU_MACRO_UPLOAD,
  MAIN_MENU_HELP,
  MAIN_MENU_ABOUT,
  MAIN_MENU_MANUAL,              // dimmed for good
  MAIN_MENU_COMMANDS,            // the sub-menus as a whole
  MAIN_MENU_TRACE,
  MAIN_MENU_SOFT,
};

// Terms-of-use panel.
enum IntroPanelControl : int {
  INTRO_TXTBOX_TERMS = 1,
  INTRO_CMD_ACCEPT,
  INTRO_CMD_DISCARD,
};

// Ram-type panel.
enum RamtypePanelControl : int {
  RTYPE_TXT_TITLE = 1,           // "Ramtype %s"
  RTYPE_TXTBOX_MESSAGE,
  RTYPE_CMD_OK,
};

// Configuration panel: the target's Ethernet settings.
enum ConfigPanelControl : int {
  CONF_NUM_IP_1 = 1,             // first to last IP field
  CONF_NUM_IP_2,
  CONF_NUM_IP_3,
  CONF_NUM_IP_4,
  CONF_NUM_MAC_1,                // first to last MAC field
  CONF_NUM_MAC_2,
  CONF_NUM_MAC_3,
  CONF_NUM_MAC_4,
  CONF_NUM_MAC_5,
  CONF_NUM_MAC_6,
  CONF_CMD_READ,
  CONF_CMD_WRITE,
  CONF_CMD_CLOSE,
  CONF_TXT_STATUS,               // "Busy", "Succesful", "Error", "Invalid"
};

// Help and about panels.
enum HelpPanelControl : int {
  HELP_TXTBOX = 1,
};
enum AboutPanelControl : int {
  ABOUT_TXT_VERSION = 1,
};

// Parameter panel: the two parameter tables, what a refused cell takes, and
// the note that the values shown are not the controller's.
enum ParameterPanelControl : int {
  PARM_TABLE_1 = 1,
  PARM_TABLE_2,
  PARM_TXT_CELLS,
  PARM_TXT_NOTE,
};

// Trace information panel.
enum TraceInfoPanelControl : int {
  TRACE_INFO_CMD_OK = 1,
  TRACE_INFO_NUM_FRAME,
  TRACE_INFO_NUM_TIME,
  TRACE_INFO_NUM_MOTOR,
  TRACE_INFO_NUM_RAM,
  TRACE_INFO_NUM_CMD,
  TRACE_INFO_NUM_DIGIN,
  TRACE_INFO_NUM_DIGOUT,
  TRACE_INFO_NUM_BAR_0,
  TRACE_INFO_NUM_BAR_1,
  TRACE_INFO_NUM_BAR_2,
  TRACE_INFO_NUM_BAR_3,
  TRACE_INFO_NUM_VOLT_0,
  TRACE_INFO_NUM_VOLT_1,
  TRACE_INFO_NUM_VOLT_2,
  TRACE_INFO_NUM_VOLT_3,
  TRACE_INFO_NUM_SPEED,
  TRACE_INFO_TXT_MOTOR,          // captions of the three positions, coloured by target
  TRACE_INFO_TXT_RAM,
  TRACE_INFO_TXT_CMD,
};

// Evaluation panel.
enum EvaluationPanelControl : int {
  EVAL_NUM_SPEED_UP = 1,
  EVAL_NUM_SPEED_DOWN,
  EVAL_NUM_UT,
  EVAL_NUM_OT2,
  EVAL_NUM_OT1,
  EVAL_NUM_POS2,
  EVAL_NUM_POS5,
  EVAL_NUM_RUN_TIME,
  EVAL_NUM_START_TIME,
  EVAL_CMD_EXIT,
  EVAL_CMD_COPY_LOG,
  EVAL_TXT_EXPERT,               // the eleven expert-only controls, from here
  EVAL_NUM_IDX_START,
  EVAL_NUM_IDX_UT,
  EVAL_NUM_IDX_OT2,
  EVAL_NUM_IDX_DOWN_A,
  EVAL_NUM_IDX_DOWN_B,
  EVAL_NUM_IDX_UP_A,
  EVAL_NUM_IDX_UP_B,
  EVAL_NUM_IDX_EVENT,
  EVAL_NUM_EVENT_TIME,
  EVAL_NUM_EVENT_POS,
};
inline constexpr int EVAL_EXPERT_FIRST = EVAL_TXT_EXPERT;
inline constexpr int EVAL_EXPERT_COUNT = 11;

// Trace download and macro load progress panels.
enum DownloadPanelControl : int {
  DOWNLOAD_PROGRESS = 1,
  DOWNLOAD_CMD_ABORT,
};
enum MacroLoadPanelControl : int {
  MACRO_LOAD_PROGRESS = 1,
  MACRO_LOAD_TXT_STATUS,         // "Upload Status" and the like
};

// Macro wizard: a tab control with the eight wizard pages. The seven cycle
// pages hold one field for each cycle-block entry they use (object name
// "<PAGE>_<ENTRY>", e.g. "PUNCH_POS1"; entry order of macro/MacroWizard.h),
// a read and an insert button; field ids fit a byte, as the read-back's
// control list keeps them.
enum WizardPanelControl : int {
  WIZARD_TAB = 1,
};
inline constexpr int WIZARD_PAGE_COUNT = 8;
enum WizardPage : int {
  WIZ_PAGE_PUNCH, WIZ_PAGE_FORM1, WIZ_PAGE_FORM2, WIZ_PAGE_FORM3, WIZ_PAGE_HOVER, WIZ_PAGE_PRESS, WIZ_PAGE_MARK,
  WIZ_PAGE_ADVANCED,
};
inline constexpr int WIZ_CYCLE_PAGES = 7;
inline constexpr const char* kWizardPageNames[WIZ_CYCLE_PAGES] = {"PUNCH", "FORM1", "FORM2", "FORM3",
                                                                  "HOVER", "PRESS", "MARK"};
// Entries each cycle page has, one bit per entry.
inline constexpr uint16_t kWizardPageFields[WIZ_CYCLE_PAGES] = {0x64D3, 0x74D3, 0x77DF, 0x7FFF, 0x64D3, 0x64D3, 0x6053};
inline constexpr int WizardField(int page, int entry) { return 20 + page * 32 + entry; }
inline constexpr int WizardCreate(int page) { return WizardField(page, 15); }
inline constexpr int WizardRead(int page) { return WizardField(page, 16); }
// The Advanced page.
enum WizardAdvancedControl : int {
  WIZ_ADV_RING_RAMTYPE = 240,
  WIZ_ADV_CMD_RAMTYPE,
  WIZ_ADV_RING_SAMPLE,
  WIZ_ADV_CMD_SAMPLE,
  WIZ_ADV_RING_COMMAND,
  WIZ_ADV_CMD_COMMAND,
  WIZ_ADV_NUM_DELAY,
  WIZ_ADV_CMD_DELAY,
  WIZ_ADV_RING_WIDTH,            // 1..3 write 1, 2, 4 bytes, 4 read
  WIZ_ADV_NUM_INDEX,
  WIZ_ADV_NUM_SUB,
  WIZ_ADV_NUM_VALUE,
  WIZ_ADV_CMD_OBJECT,
  WIZ_ADV_RING_REP_COMMAND,
  WIZ_ADV_NUM_REP_DELAY,
  WIZ_ADV_NUM_REP_COUNTER,
  WIZ_ADV_CMD_REPEAT,
  WIZ_ADV_CMD_STOP,
  WIZ_ADV_CMD_AUTOSTART,
};

// Macro panel controls.
enum MacroPanelControl : int {
  MACRO_LED_ERROR = 1,
  MACRO_LED_SAVED,
  MACRO_LED_COMPILED,
  MACRO_LED_LOADED,
  MACRO_CMD_TRANSFER_1,          // the two transfer buttons that need a link
  MACRO_CMD_TRANSFER_2,
  MACRO_TXT_EDITOR,              // the source
  MACRO_STR_NAME,                // project name (file name without extension)
  MACRO_STR_PATH,                // project directory; a click chooses another
  MACRO_NUM_LINE,                // line of the text cursor, from 1
  MACRO_TXTBOX_MSG,              // the macro message box
  MACRO_NUM_MACRO,               // macro number for Start macro
  MACRO_CMD_NEW,
  MACRO_CMD_LOAD,
  MACRO_CMD_SAVE,
  MACRO_CMD_WIZARD,
  MACRO_CMD_COMPILE,
  MACRO_CMD_CLEAN,
  MACRO_CMD_ERASE,
  MACRO_CMD_START,
  MACRO_CMD_STOP,
  MACRO_CMD_SAVE_LOG,
  MACRO_CMD_TEST,
};
inline constexpr int MACRO_CMD_UPLOAD = MACRO_CMD_TRANSFER_1;
inline constexpr int MACRO_CMD_DOWNLOAD = MACRO_CMD_TRANSFER_2;

// Macro image view.
enum MacroTestPanelControl : int {
  MTEST_TXTBOX = 1,
  MTEST_CMD_CLOSE,
};

// Scope panel controls used outside the scope subsystem.
enum ScopePanelControl : int {
  SCOPE_CMD_DOWNLOAD = 1,
  SCOPE_NUM_TIME_AXIS,           // time-axis control (script SCOPE_SAMPLE_TIME)
  SCOPE_NUM_AXIS_POS,            // axis position (script SCOPE_AXIS_POS)
  SCOPE_NUM_AXIS_GAIN,           // axis gain (script SCOPE_AXIS_GAIN)
  SCOPE_TXT_FILENAME,            // file name of the trace shown
  SCOPE_GRAPH,
  SCOPE_LEGEND_1,
  SCOPE_LEGEND_2,
  SCOPE_LEGEND_3,
  SCOPE_MENU_COLOUR = 200,       // display options on the scope menu
  SCOPE_MENU_BLACK_WHITE,
  SCOPE_MENU_PRINT,              // the graphs on paper, or into a PDF file without a printer
  SCOPE_MENU_EXPORT_IMAGE,       // the graphs as a PNG or SVG picture
};

// Parameter panel: the commands beside its two tables.
enum ParameterPanelCommand : int {
  PARM_CMD_PRESET_1 = 10,        // three presets of the five parameters
  PARM_CMD_PRESET_2,
  PARM_CMD_PRESET_3,
  PARM_CMD_READ_BACK,
  PARM_CMD_SEND,
  PARM_CMD_SAVE_FILE,            // the parameter script file
  PARM_CMD_EXTENDED,             // shows the extended parameter panel
  PARM_CMD_CLOSE,
  PARM_CMD_SAVE_RECALL,          // shows the save/recall panel
};

// Parameter save/recall panel.
enum ParmSavePanelControl : int {
  PSAVE_NUM_SET = 1,             // set number 0..7
  PSAVE_CMD_SAVE,
  PSAVE_CMD_RECALL,
  PSAVE_CMD_CLOSE,
  PSAVE_TXT_RAMTYPE,             // ram type read after a save or recall
};

// Extended parameter panel: its three tables of eight values and the cycle
// command sent with the set.
enum ExtParameterPanelControl : int {
  EXTP_TABLE_1 = 1,
  EXTP_TABLE_2,
  EXTP_TABLE_3,
  EXTP_RING_CYCLE,               // 0x110, 0x111, 0x12C
  EXTP_CMD_SEND,
  EXTP_CMD_READBACK,
  EXTP_CMD_MAKE_SCRIPT,
  EXTP_CMD_EXIT,
  EXTP_CMD_PUNCH_5MM,
  EXTP_CMD_PUNCH_10MM,
  EXTP_CMD_FORM_10MM,
  EXTP_TXT_CELLS,                // what a refused cell takes
};

// Main panel: the second status check box (mode word 1 bit 11; the first is
// the UDSEL inhibit switch).
enum MainStatusControl : int {
  MAIN_CHK_STATUS_BIT11 = 400,
};

// Scope panel: the trace-file items of its menu.
enum ScopeFileMenuItem : int {
  SCOPE_MENU_SAVE = 500,
  SCOPE_MENU_LOAD,
  SCOPE_MENU_CONVERT,            // batch conversion of compressed trace files
  SCOPE_MENU_EXPORT_CSV,
  SCOPE_MENU_INFORMATION,        // the scope information panel
  SCOPE_MENU_COMMENT,            // the comment panel
  SCOPE_MENU_EVALUATE,           // the cycle evaluation, as the panel's command
  SCOPE_MENU_DOWNLOAD,           // a new download, as the panel's button
  SCOPE_MENU_EXIT,               // ends the program as the main menu's Exit
  SCOPE_MENU_TRACE1_TRIGGER,     // first trace: trigger now
  SCOPE_MENU_BACKTRACE_RESTART,  // second trace: restart the backward trace
};

// Scope panel: the view items of its menu.
enum ScopeViewMenuItem : int {
  SCOPE_MENU_FIT = 520,          // both graphs back to the whole time axis
};

// Scope information panel.
enum ScopeInfoPanelControl : int {
  SCOPE_INFO_TXTBOX = 1,
};

// Scope comment panel.
enum ScopeCommentPanelControl : int {
  COMMENT_TXTBOX = 1,
  COMMENT_CMD_OK,
};

// Scope panel: what identification and the trigger commands show.
enum ScopeSetupControl : int {
  SCOPE_TXT_TRIGGER = 300,       // trigger direction: "Backward" / "Forward"
  SCOPE_TXT_LANE_0,              // captions of the thirteen digital lanes 0..12
  SCOPE_TXT_LANE_12 = SCOPE_TXT_LANE_0 + 12,
  SCOPE_TXT_ANALOG_0,            // captions of the four analogue channels 0..3
  SCOPE_TXT_ANALOG_3 = SCOPE_TXT_ANALOG_0 + 3,
  SCOPE_MENU_TRACE1_BACKWARD,    // first-trace menu: trigger direction, source, freeze
  SCOPE_MENU_TRACE1_FORWARD,
  SCOPE_MENU_TRACE1_MCYCLE,
  SCOPE_MENU_TRACE1_HARDWARE,
  SCOPE_MENU_TRACE1_FREEZE,
  SCOPE_MENU_TRACE1_UNFREEZE,
  SCOPE_MENU_TRACE2_BACKWARD,    // second-trace menu, the same items
  SCOPE_MENU_TRACE2_FORWARD,
  SCOPE_MENU_TRACE2_MCYCLE,
  SCOPE_MENU_TRACE2_HARDWARE,
  SCOPE_MENU_TRACE2_FREEZE,
  SCOPE_MENU_TRACE2_UNFREEZE,
  SCOPE_MENU_TRACE2_SAMPLE_0_5,  // second-trace sample times 0.5 .. 200 ms, nine items
  SCOPE_MENU_TRACE2_SAMPLE_200 = SCOPE_MENU_TRACE2_SAMPLE_0_5 + 8,
  SCOPE_RING_TRACE,              // trace selector: 0 first trace, 1 second trace
  SCOPE_GRAPH_DIGITAL,           // the thirteen on/off lanes, same time axis as SCOPE_GRAPH
  SCOPE_NUM_ANA_ZERO,            // analog axis zero [%]
  SCOPE_NUM_ANA_GAIN,            // analog axis gain [%/div]
  SCOPE_NUM_TIME_ZERO,           // time axis start [ms]
  SCOPE_NUM_SAMPLE_TIME,         // sample time of the trace shown [ms]
  SCOPE_TXT_RAMTYPE,             // ram-type name of the trace
  SCOPE_TXT_MCYCLE,              // machine cycle of the trace's first frame
  SCOPE_TXT_ANA_MIN,             // right-axis labels: bottom and top
  SCOPE_TXT_ANA_MAX,
  SCOPE_TXT_YLABEL_0,            // the position axis: zero, then ten labels bottom to top
  SCOPE_TXT_YLABEL_10 = SCOPE_TXT_YLABEL_0 + 10,
  SCOPE_SW_ANALOG,               // analog channels shown
};
