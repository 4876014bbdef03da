#include "ui/qt/PanelForms.h"

#include <QFont>
#include <QFontDatabase>
#include <QMainWindow>
#include <QPlainTextEdit>

#include "ui_MainPanel.h"

namespace {

QWidget* CreateMain() {
  auto* window = new QMainWindow;
  Ui::MainPanel form;
  form.setupUi(window);
  // A fixed-pitch font keeps frame dumps and tables in the log aligned.
  window->findChild<QPlainTextEdit*>("TXTBOX_LOG")->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return window;
}

const std::vector<ControlSpec> kMainControls = {
    {MAIN_TXTBOX_LOG, "TXTBOX_LOG", ControlKind::TextBox},
    {MAIN_TIMER_TICK, "TIMER_TICK", ControlKind::Timer, 2},
    {MAIN_TIMER_RAM, "TIMER_RAM", ControlKind::Timer, 500},
    {MAIN_LED_READY, "LED_READY", ControlKind::Lamp},
};

const std::vector<ControlSpec> kNone;

}  // namespace

QWidget* PanelFormCreate(PanelResource resource) {
  switch (resource) {
    case PANEL_MAIN: return CreateMain();
    default: break;
  }
  return nullptr;
}

const std::vector<ControlSpec>& PanelFormControls(PanelResource resource) {
  switch (resource) {
    case PANEL_MAIN: return kMainControls;
    default: break;
  }
  return kNone;
}
