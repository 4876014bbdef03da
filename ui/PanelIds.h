// Panel resource ids and control ids. A control id is unique within its
// panel; the Qt host maps each to the widget of the same object name in the
// panel's Designer form (ui/forms).
#pragma once

// Panel resources (the argument of the host's load).
enum PanelResource : int {
  PANEL_MAIN = 1,
};

// Main panel.
enum MainPanelControl : int {
  MAIN_TXTBOX_LOG = 30,   // the message log window
  MAIN_TIMER_TICK = 100,  // the engine tick timer (2 ms)
  MAIN_TIMER_RAM = 101,   // the periodic check (cyclic monitor pacing, USB watch)
  MAIN_LED_READY = 102,   // ready lamp of the cyclic monitor
};

// Macro panel.
enum MacroPanelControl : int {
  MACRO_LED_ERROR = 1,
  MACRO_LED_SAVED = 2,
  MACRO_LED_COMPILED = 3,
  MACRO_LED_LOADED = 4,
};
