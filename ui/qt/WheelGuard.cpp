#include "ui/qt/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QWidget>

void WheelGuard::Guard(QWidget* panel) {
  QList<QWidget*> fields;
  for (QComboBox* box : panel->findChildren<QComboBox*>()) fields.append(box);
  for (QAbstractSpinBox* spin : panel->findChildren<QAbstractSpinBox*>()) fields.append(spin);
  for (QWidget* field : fields) {
    // The wheel alone must not give the focus.
    field->setFocusPolicy(Qt::StrongFocus);
    field->installEventFilter(this);
  }
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  auto* field = qobject_cast<QWidget*>(watched);
  if (!field || field->hasFocus()) return false;
  // Not accepted: the event goes on to the parents, the scroll area among them.
  event->ignore();
  return true;
}
