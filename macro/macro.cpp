#include "macro/macro.h"

#include "app/Startup.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

std::atomic<uint8_t> ubMacFlag{0};

void MacroInit() {
  struct Lamp {
    int control;
    int64_t colour;
  };
  const Lamp lamps[] = {{MACRO_LED_ERROR, 0xFF0000},
                        {MACRO_LED_SAVED, 0x00FF00},
                        {MACRO_LED_COMPILED, 0x00FF00},
                        {MACRO_LED_LOADED, 0x00FF00}};
  for (const Lamp& l : lamps) {
    PanelSetAttribute(uwMcMacroPanelHandle, l.control, ATTR_ON_COLOR, l.colour);
    PanelSetInt(uwMcMacroPanelHandle, l.control, 0);
  }
}
