// Panel resource ids and control ids. A control id is unique within its
// panel; the Qt host maps each to the widget (or menu action) of the same
// object name in the panel's Designer form (ui/forms).
#pragma once

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

// Macro panel controls.
enum MacroPanelControl : int {
  MACRO_LED_ERROR = 1,
  MACRO_LED_SAVED,
  MACRO_LED_COMPILED,
  MACRO_LED_LOADED,
  MACRO_CMD_TRANSFER_1,          // the two transfer buttons that need a link
  MACRO_CMD_TRANSFER_2,
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
};
