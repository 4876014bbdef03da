#include "gui/PanelFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <algorithm>
#include <unistd.h>

#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/PanelStartup.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "macro/macro.h"
#include "scope/scope.h"
#include "ui/Panel.h"

void PanelFixture::SetUp() {
  ubMcFlag = ubMcFlag1 = ubMcFlag2 = ubMcFlag3 = ubMcFlag4 = ubMcFlag5 = 0;
  ubCqDataChannel = 0;
  ubScopeFlag = 0;
  ubMacFlag = 0;
  iStMaComChan = 0;
  udCqNorlTimeout = 200;
  mcModuleHooks = {};
  uwMcycleState = 0;
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
  dir = std::filesystem::temp_directory_path() / ("sd_gui_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  // The user's own StrokeDesk.ini takes no part.
  config = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", (dir / "config").string());
  PrepareProgramDirectory();

  host = std::make_unique<QtPanelHost>();
  PanelSetHost(host.get());
  host->SetPopupResponder([this](const PopupRequest& r) {
    popups.push_back(r);
    return answer;
  });
  std::vector<std::string> args = Arguments();
  args.insert(args.begin(), "strokedesk");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  McStartOptions options;
  std::string error;
  ASSERT_EQ(McycleParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error), 0);
  McycleApplyStartFlags(options);
  std::string why;
  ASSERT_EQ(McycleStartPanels(options, dir.string(), why), 0) << why;
  main = uwMcMainPanelHandle;
  // The tests play the engine's part themselves.
  TimerClose();
  if (AcceptTerms()) Click(uwMcIntroPanelHandle, INTRO_CMD_ACCEPT);
  Process();
}

void PanelFixture::TearDown() {
  TimerClose();
  PanelSetHost(nullptr);
  host.reset();
  Process();
  mcModuleHooks = {};
  ubMcFlag3 = 0;
  config.reset();
  std::filesystem::remove_all(dir);
}

void PanelFixture::Process() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

std::string PanelFixture::Log() {
  while (ubHiQueueCounter != 0) HmiGetQueue();
  std::string text;
  PanelGetString(main, MAIN_TXTBOX_LOG, text);
  return text;
}

void PanelFixture::ClearLog() {
  Log();
  HmiClearLogWindow();
}

std::vector<uint16_t> PanelFixture::Signals() {
  std::vector<uint16_t> s;
  while (uint16_t signal = McycleSignalQueueGet()) s.push_back(signal);
  return s;
}

int PanelFixture::Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

QAbstractButton* PanelFixture::Button(int panel, int control) {
  return qobject_cast<QAbstractButton*>(host->ControlObject(panel, control));
}

QAction* PanelFixture::Action(int panel, int control) {
  return qobject_cast<QAction*>(host->ControlObject(panel, control));
}

void PanelFixture::Click(int panel, int control) {
  QAbstractButton* b = Button(panel, control);
  ASSERT_NE(b, nullptr) << control;
  b->click();
}

void PanelFixture::Choose(int item) {
  QAction* a = Action(main, item);
  ASSERT_NE(a, nullptr) << item;
  a->trigger();
}

void PanelFixture::ChooseScope(int item) {
  QAction* a = Action(uwMcScopePanelHandle, item);
  ASSERT_NE(a, nullptr) << item;
  a->trigger();
}

void PanelFixture::ChooseRing(int panel, int control, int64_t value) {
  auto* box = qobject_cast<QComboBox*>(host->ControlObject(panel, control));
  ASSERT_NE(box, nullptr);
  const int index = box->findData(QVariant::fromValue<qlonglong>(value));
  ASSERT_GE(index, 0) << value;
  box->setCurrentIndex(index);
  emit box->activated(index);
}

bool PanelFixture::Visible(int panel) {
  QWidget* w = host->PanelWidget(panel);
  return w && w->isVisible();
}

bool PanelFixture::Dimmed(int panel, int control) {
  if (control == 0) {  // the panel: its own widgets, not the windows over it
    QWidget* w = host->PanelWidget(panel);
    for (QObject* child : w ? w->children() : QObjectList{})
      if (auto* c = qobject_cast<QWidget*>(child); c && !c->isWindow() && c->isEnabled()) return false;
    return w != nullptr;
  }
  QObject* o = host->ControlObject(panel, control);
  if (auto* a = qobject_cast<QAction*>(o)) return !a->isEnabled();
  if (auto* w = qobject_cast<QWidget*>(o)) return !w->isEnabled();
  return false;
}
