// Help, about and trace information panels.
#include "app/PanelCallbacks.h"
#include "ui/Panel.h"

int HelpEventCallback(int panel, int, int event, void*, int eventData1, int) {
  if (event == EVENT_CLOSE || (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_ESC)) PanelHide(panel);
  return 0;
}

int AboutEventCallback(int panel, int, int event, void*, int eventData1, int) {
  switch (event) {
    case EVENT_LEFT_CLICK:
    case EVENT_RIGHT_CLICK:
    case EVENT_LOST_FOCUS:
    case EVENT_CLOSE:
      PanelHide(panel);
      break;
    case EVENT_KEYPRESS:
      if (eventData1 == PANEL_KEY_ESC) PanelHide(panel);
      break;
    default:
      break;
  }
  return 0;
}

// The button is there for the operator to acknowledge; the panel goes when the
// scope panel takes the focus back.
int CMD_TRACE_INFO_Callback(int, int, int, void*, int, int) { return 0; }
