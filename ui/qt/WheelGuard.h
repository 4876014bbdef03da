// Rings, numeric fields and spin boxes take the mouse wheel only while they
// have the keyboard focus (a click or Tab gives it); otherwise the wheel
// scrolls the window they sit in, so scrolling over a panel never changes a
// value and never sends a command.
#pragma once
#include <QObject>

class QWidget;

class WheelGuard : public QObject {
 public:
  explicit WheelGuard(QObject* parent) : QObject(parent) {}
  // Guards every ring and spin box of `panel`.
  void Guard(QWidget* panel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
