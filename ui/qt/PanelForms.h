// Designer forms of the panels and the controls each one offers.
#pragma once
#include <QWidget>
#include <vector>

#include "ui/qt/QtPanelHost.h"

// A new top-level widget for the panel, or nullptr for an unknown resource.
QWidget* PanelFormCreate(int resource);
// The control table of a panel resource (empty for an unknown one).
const std::vector<ControlSpec>& PanelFormControls(int resource);
