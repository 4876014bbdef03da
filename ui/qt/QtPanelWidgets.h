// How the Qt host shows a control's model on its widget. GUI thread only,
// except the pure helpers on the model (Clamp*, IsIntegerControl,
// AttributeApplies), which the host calls under its lock.
#pragma once
#include <QString>

#include "ui/qt/QtPanelHost.h"

// Takes the value, range, items and check state the form gave the widget.
void ReadInitialValue(QtPanelHost::Control& control);
bool IsIntegerControl(const QtPanelHost::Control& control);
// A numeric field's value held inside its range (other kinds unchanged).
double ClampDouble(const QtPanelHost::Control& control, double value);
int64_t ClampToControl(const QtPanelHost::Control& control, double value);
// Whether `attribute` means something for this kind of control.
bool AttributeApplies(const QtPanelHost::Control& control, PanelAttribute attribute, int64_t value);

// Puts the model's value (text, number, items, cells) on the widget without
// raising the widget's own change signals.
void ShowValue(const QtPanelHost::Control& control);
void ShowAttribute(const QtPanelHost::Control& control, PanelAttribute attribute, int64_t value);
void ShowLabel(QObject* object, const QString& text);
void ShowCell(QObject* object, int row, int column, const QString& text);
