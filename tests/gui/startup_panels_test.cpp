// Interactive start-up: every panel loaded, the main panel prepared, and the
// terms of use deciding whether the program goes on.
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <fstream>
#include <set>

#include "app/HelpText.h"
#include "app/ModuleHooks.h"
#include "app/PanelCallbacks.h"
#include "app/PanelStartup.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "gui/PanelFixture.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

class StartupTest : public PanelFixture {
 protected:
  bool AcceptTerms() override { return false; }
};

TEST_F(StartupTest, EveryPanelIsLoadedInOrder) {
  std::set<uint16_t> handles;
  int previous = 0;
  for (const McPanelSlot& slot : kMcPanels) {
    EXPECT_GT(*slot.handle, previous) << slot.resource;  // loaded one after the other
    previous = *slot.handle;
    handles.insert(*slot.handle);
    EXPECT_NE(host->PanelWidget(*slot.handle), nullptr) << slot.resource;
  }
  EXPECT_EQ(handles.size(), 20u);
  EXPECT_EQ(qobject_cast<QTabWidget*>(host->ControlWidget(uwMcWizardPanelHandle, WIZARD_TAB))->count(),
            WIZARD_PAGE_COUNT);
  EXPECT_NE(ubPtrMacPath, nullptr);
  EXPECT_EQ(std::string(ubPtrMacPath, MAC_PATH_BUFFER_SIZE), std::string(MAC_PATH_BUFFER_SIZE, '\0'));
}

TEST_F(StartupTest, MainPanelWaitsForTheTermsOfUse) {
  EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_TERMS_PENDING);
  int64_t dimmed = 0;
  PanelGetAttribute(main, 0, ATTR_DIMMED, dimmed);
  EXPECT_EQ(dimmed, 1);
  EXPECT_TRUE(Dimmed(main, 0));
  EXPECT_TRUE(Visible(main));
  EXPECT_TRUE(Visible(uwMcIntroPanelHandle));

  // Coming to the front while dimmed brings the terms to the front instead.
  host->PanelWidget(uwMcIntroPanelHandle)->hide();
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(host->PanelWidget(main), &activate);
  Process();
  EXPECT_TRUE(Visible(uwMcIntroPanelHandle));
}

TEST_F(StartupTest, BannerTitleHelpAndMenus) {
  const std::string log = Log();
  EXPECT_EQ(log.rfind(std::string("Software Rev. S0712-22  ") + McycleBuildStamp() + "\nDate: ", 0), 0u) << log;
  EXPECT_NE(log.find("\nOperating system: Linux "), std::string::npos);
  EXPECT_NE(log.find(")\n\n\nFile not found: StrokeDesk.ini\nUsing default parameters and settings\n\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(host->PanelWidget(main)->windowTitle().toStdString(), McycleMainTitle());
  EXPECT_EQ(std::string(McycleMainTitle()).find(" - StrokeDesk   Rev. S0712-22    "), 17u);

  std::string help;
  PanelGetString(uwMcHelpPanelHandle, HELP_TXTBOX, help);
  EXPECT_EQ(help, McycleHelpPanelText());
  EXPECT_TRUE(Dimmed(main, MAIN_MENU_MANUAL));
  EXPECT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_MENU_PRINT));
  EXPECT_FALSE(Dimmed(uwMcScopePanelHandle, SCOPE_MENU_EXPORT_IMAGE));
  EXPECT_FALSE(Action(main, MAIN_MENU_RESERVED_CHECK)->isVisible());
  for (int c = EVAL_EXPERT_FIRST; c < EVAL_EXPERT_FIRST + EVAL_EXPERT_COUNT; ++c) {
    int64_t visible = 1;
    PanelGetAttribute(uwMcEvaluationPanelHandle, c, ATTR_VISIBLE, visible);
    EXPECT_EQ(visible, 0) << c;
  }
  auto* legend = qobject_cast<QLabel*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_LEGEND_1));
  EXPECT_TRUE(legend->styleSheet().contains("#ff00ff"));
  auto* periodic = qobject_cast<QTimer*>(host->ControlObject(main, MAIN_TIMER_RAM));
  EXPECT_TRUE(periodic->isActive());
}

TEST_F(StartupTest, SmallScreensGetSmallPanels) {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const QSize size = host->PanelWidget(main)->size();
  if (screen.width() <= 800 && screen.height() <= 600) {
    EXPECT_EQ(size, QSize(437, 448));
    EXPECT_EQ(host->PanelWidget(uwMcScopePanelHandle)->size(), QSize(645, 528));
  } else {
    EXPECT_NE(size, QSize(437, 448));
  }
}

TEST_F(StartupTest, DiscardingTheTermsEndsTheProgramOnceTheMessageIsRead) {
  static bool linkClosed = false;
  mcModuleHooks.closeLink = [](bool) { linkClosed = true; };
  host->SetPopupResponder(nullptr);  // the real message box
  bool timedOut = false;
  QString shown;
  bool closedBeforeRead = true;
  QTimer::singleShot(0, [this] { Click(uwMcIntroPanelHandle, INTRO_CMD_DISCARD); });
  QTimer::singleShot(200, [&] {
    closedBeforeRead = linkClosed;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
      }
  });
  QTimer::singleShot(5000, [&] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(shown, "Terms of use not accepted !\nProgram will be terminated.");
  EXPECT_FALSE(closedBeforeRead);  // the program waited for the operator
  EXPECT_TRUE(linkClosed);
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_TERMS_PENDING);
  EXPECT_EQ(uwMcIntroPanelHandle, 0);
}

TEST_F(StartupTest, AcceptingTheTermsOpensTheMainPanel) {
  const int intro = uwMcIntroPanelHandle;
  Click(intro, INTRO_CMD_ACCEPT);
  Process();
  EXPECT_FALSE(Dimmed(main, 0));
  EXPECT_FALSE(ubMcFlag1 & MC_FLAG1_TERMS_PENDING);
  EXPECT_EQ(host->PanelWidget(intro), nullptr);
  EXPECT_EQ(PanelDisplay(intro), PANEL_ERR_UNKNOWN);  // the handle is gone for good
}

class StartupOptionsTest : public PanelFixture {
 protected:
  std::vector<std::string> Arguments() override { return {"-EXPERT", "-TMOUT:500", "-tmout:zz"}; }
  void PrepareProgramDirectory() override {
    std::ofstream(dir / "StrokeDesk.ini") << "[Options]\nip_addr=10.1.2.3\n[OptionsEnd]\n";
  }
};

TEST_F(StartupOptionsTest, ExpertModeTimeoutWarningsAndTheIniFile) {
  EXPECT_EQ(udCqNorlTimeout, 500u);  // applied after the start step
  for (int c = EVAL_EXPERT_FIRST; c < EVAL_EXPERT_FIRST + EVAL_EXPERT_COUNT; ++c) {
    int64_t visible = 0;
    PanelGetAttribute(uwMcEvaluationPanelHandle, c, ATTR_VISIBLE, visible);
    EXPECT_EQ(visible, 1) << c;
  }
  const std::string log = Log();
  EXPECT_NE(log.find("Option -tmout:zz ignored"), std::string::npos);
  EXPECT_NE(log.find("Init file: StrokeDesk.ini\n"), std::string::npos);
  EXPECT_NE(log.find("IP-Address:  10.1.2.3\n"), std::string::npos);
  // The address reached the widgets, not only the model.
  const int fields[4] = {MAIN_NUM_IP_1, MAIN_NUM_IP_2, MAIN_NUM_IP_3, MAIN_NUM_IP_4};
  const int expected[4] = {10, 1, 2, 3};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(qobject_cast<QSpinBox*>(host->ControlObject(main, fields[i]))->value(), expected[i]) << i;
}

}  // namespace
