// Interactive start-up over the panel layer: loads every panel, starts the
// cycle timer and the engine, writes the start banner, reads StrokeDesk.ini
// and shows the terms of use. The caller then runs the event loop.
#pragma once
#include <string>

#include "app/CommandLine.h"

// The panel resources in the order start-up loads them, with their handles.
struct McPanelSlot {
  int resource;
  uint16_t* handle;
};
extern const McPanelSlot kMcPanels[20];

// Returns 0, or -1 with the reason in `why` when a panel cannot be loaded.
// `iniSearchDirectory` is the program directory (where StrokeDesk.ini is
// looked for first). GUI thread, with a panel host installed.
int McycleStartPanels(const McStartOptions& options, const std::string& iniSearchDirectory, std::string& why);
