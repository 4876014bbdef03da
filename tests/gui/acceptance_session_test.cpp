// The acceptance run: every menu item and panel button of the main panel,
// the scope panel and the panels they open, chosen in an operator's order
// against rc7sim, each answered with its log line, panel, check mark, file or
// the request the controller saw. The whole table runs on the serial link;
// the items marked for every link run on USB and UDP too.
#include <QAbstractButton>
#include <QAction>
#include <filesystem>

#include "app/Startup.h"
#include "gui/SimSession.h"
#include "support/PrivateNetwork.h"

namespace {

enum class On { None, Main, Scope, Parm, ParmSave, ExtParm, Config, Macro, MacroTest, Wizard, Eval, Help, About,
  ScopeInfo, Comment };

uint16_t Handle(On p) {
  switch (p) {
    case On::Main: return uwMcMainPanelHandle;
    case On::Scope: return uwMcScopePanelHandle;
    case On::Parm: return uwMcParameterPanelHandle;
    case On::ParmSave: return uwMcParmSavePanelHandle;
    case On::ExtParm: return uwMcExtParameterPanelHandle;
    case On::Config: return uwMcConfigPanelHandle;
    case On::Macro: return uwMcMacroPanelHandle;
    case On::MacroTest: return uwMcMacroTestPanelHandle;
    case On::Wizard: return uwMcWizardPanelHandle;
    case On::Eval: return uwMcEvaluationPanelHandle;
    case On::Help: return uwMcHelpPanelHandle;
    case On::About: return uwMcAboutPanelHandle;
    case On::ScopeInfo: return uwMcScopeInfoPanelHandle;
    case On::Comment: return uwMcScopeCommentPanelHandle;
    case On::None: break;
  }
  return 0;
}

struct Item {
  On panel;
  int control;
  const char* file = nullptr;    // what the popup answers: "" yes, else a file in the test's folder; none: no
  const char* says = nullptr;    // in the log window (or the macro message box) afterwards
  const char* sent = nullptr;    // a request the simulator saw meanwhile ("IIII SS DDDDDDDD")
  On shows = On::None;           // the panel it opens
  On hides = On::None;           // the panel it closes
  int mark = 0;                  // the item of its panel that carries the check mark afterwards
  const char* writes = nullptr;  // the file it writes in the test's folder
  int field = 0;                 // a text of its panel ...
  const char* reads = nullptr;   // ... and what it reads afterwards
  bool everyLink = false;
};

constexpr const char* kSent = "Transmission O.K.\n";

// clang-format off
const Item kItems[] = {
    // Main menu: controller, then the options.
    {.panel = On::Main, .control = MAIN_MENU_LINK_TEST, .says = "ComTest: Connection is good\n", .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_DATE_TIME, .says = "\nPC:   20", .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_0_5, .says = "Set Sample Time: 0,5 ms\nTX-SDO: 2B 02 21 00 01", .sent = "2102 00 00000001", .mark = MAIN_MENU_SAMPLE_0_5, .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_1, .says = "Set Sample Time: 1 ms\n", .sent = "2102 00 00000002", .mark = MAIN_MENU_SAMPLE_1},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_2, .says = "Set Sample Time: 2 ms\n", .sent = "2102 00 00000004", .mark = MAIN_MENU_SAMPLE_2},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_4, .says = "Set Sample Time: 4 ms\n", .sent = "2102 00 00000008", .mark = MAIN_MENU_SAMPLE_4},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_10, .says = "Set Sample Time: 10 ms\n", .sent = "2102 00 00000014", .mark = MAIN_MENU_SAMPLE_10},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_20, .says = "Set Sample Time: 20 ms\n", .sent = "2102 00 00000028", .mark = MAIN_MENU_SAMPLE_20},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_40, .says = "Set Sample Time: 40 ms\n", .sent = "2102 00 00000050", .mark = MAIN_MENU_SAMPLE_40},
    {.panel = On::Main, .control = MAIN_MENU_SAMPLE_100, .says = "Set Sample Time: 100 ms\n", .sent = "2102 00 000000C8", .mark = MAIN_MENU_SAMPLE_100},
    {.panel = On::Main, .control = MAIN_MENU_HOME, .says = "Transmit Home Command\n", .sent = "2000 00 00000200", .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_SEEK_POS1, .says = "Transmit Seek Pos1 Command\n", .sent = "2000 00 00000201"},
    {.panel = On::Main, .control = MAIN_MENU_SEEK_POS2, .says = "Transmit Seek Pos2 Command\n", .sent = "2000 00 00000202"},
    {.panel = On::Main, .control = MAIN_MENU_PUNCH, .says = "Transmit Punch Command\n", .sent = "2000 00 00000203"},
    {.panel = On::Main, .control = MAIN_MENU_FORM, .says = "Transmit Form Command\n", .sent = "2A00 03 00000000"},
    {.panel = On::Main, .control = MAIN_MENU_MARK_ON, .says = "Transmit Mark On Command\n", .sent = "2000 00 00000209"},
    {.panel = On::Main, .control = MAIN_MENU_MARK_OFF, .says = "Transmit Mark Off Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_PRESS_ON, .says = "Transmit Press On Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_PRESS_OFF, .says = "Transmit Press Off Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_HOVER_ON, .says = "Transmit Hover On Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_HOVER_OFF, .says = "Transmit Hover Off Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_HOME_ABSOLUT, .says = "Transmit Home Absolut Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_JOG_ON, .says = "Transmit Jog on Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_JOG_OFF, .says = "Transmit Jog off Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_CYCLE_BASIC, .says = "Transmit Cycle Basic Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_CYCLE_FORM2, .says = "Transmit Cycle Form2 Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_CYCLE_FORM3, .says = "Transmit Cycle Form3 Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_MACRO_STOP, .says = "Transmit Macro Stop Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRIGGER, .says = "Transmit Trigger Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRIGGER_BACKWARD, .says = "Transmit Trigger Backward Trace Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRIGGER_FORWARD, .says = "Transmit Trigger Forward Trace Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRIGGER_MCYCLE, .says = "Transmit Trigger Trace Mcycle Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRIGGER_HARDWARE, .says = "Transmit Trigger Trace Hardware Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRACE_FREEZE, .says = "Transmit Trigger Trace Freeze Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_TRACE_UNFREEZE, .says = "Transmit Trigger Trace UnFreeze Command\n"},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_100, .sent = "211F 00 00000064", .mark = MAIN_MENU_SOFT_100, .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_80, .sent = "211F 00 00000050", .mark = MAIN_MENU_SOFT_80},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_60, .sent = "211F 00 0000003C", .mark = MAIN_MENU_SOFT_60},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_40, .sent = "211F 00 00000028", .mark = MAIN_MENU_SOFT_40},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_20, .sent = "211F 00 00000014", .mark = MAIN_MENU_SOFT_20},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_10, .sent = "211F 00 0000000A", .mark = MAIN_MENU_SOFT_10},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_1, .sent = "211F 00 00000001", .mark = MAIN_MENU_SOFT_1},
    {.panel = On::Main, .control = MAIN_MENU_SOFT_OFF, .sent = "2000 00 0000014C", .mark = MAIN_MENU_SOFT_OFF},
    {.panel = On::Main, .control = MAIN_MENU_COM_LOGGING, .says = "Error: Communication logging \n       only avaliable for USB!\n"},
    {.panel = On::Main, .control = MAIN_MENU_SPEED_LOW, .mark = MAIN_MENU_SPEED_LOW},
    {.panel = On::Main, .control = MAIN_MENU_SPEED_HIGH, .mark = MAIN_MENU_SPEED_HIGH},
    {.panel = On::Main, .control = MAIN_MENU_DISPLAY_BW, .mark = MAIN_MENU_DISPLAY_BW},
    {.panel = On::Main, .control = MAIN_MENU_DISPLAY_COLOUR, .mark = MAIN_MENU_DISPLAY_COLOUR},
    {.panel = On::Main, .control = MAIN_MENU_HELP, .shows = On::Help},
    {.panel = On::Main, .control = MAIN_MENU_ABOUT, .shows = On::About},
    // Main panel buttons and switches.
    {.panel = On::Main, .control = MAIN_CMD_HOME, .says = "Transmit Home Command\n", .sent = "2000 00 00000200"},
    {.panel = On::Main, .control = MAIN_CMD_SEEK_POS1, .says = "Transmit Seek Pos1 Command\n"},
    {.panel = On::Main, .control = MAIN_CMD_SEEK_POS2, .says = "Transmit Seek Pos2 Command\n"},
    {.panel = On::Main, .control = MAIN_CMD_PUNCH, .says = "Transmit Punch Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_MARK, .says = "Transmit Mark On Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_MARK, .says = "Transmit Mark Off Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_UDSEL_INHIBIT, .says = "Transmit UDSEL inhibit on Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_UDSEL_INHIBIT, .says = "Transmit UDSEL inhibit off Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_PRESSURE_MON, .says = "Transmit Pressure Monitor on Command\n"},
    {.panel = On::Main, .control = MAIN_BIN_SW_PRESSURE_MON, .says = "Transmit Pressure Monitor off Command\n"},
    {.panel = On::Main, .control = MAIN_CMD_SAVE_LOG, .file = "session.log", .writes = "session.log"},
    // Ethernet configuration.
    {.panel = On::Main, .control = MAIN_MENU_CONFIGURATION, .shows = On::Config},
    {.panel = On::Config, .control = CONF_CMD_READ, .says = "Ethernet Config: Read completed succesfully!\n", .field = CONF_TXT_STATUS, .reads = "Succesful", .everyLink = true},
    {.panel = On::Config, .control = CONF_CMD_WRITE, .says = "Ethernet Config: Memory write\n", .field = CONF_TXT_STATUS, .reads = "Succesful"},
    {.panel = On::Config, .control = CONF_CMD_CLOSE, .hides = On::Config},
    // Parameters, their file, the extended panel, save and recall.
    {.panel = On::Main, .control = MAIN_MENU_PARAMETERS, .shows = On::Parm, .everyLink = true},
    {.panel = On::Parm, .control = PARM_CMD_READ_BACK, .says = "Transmit Parm Readback Command\n", .everyLink = true},
    {.panel = On::Parm, .control = PARM_CMD_SEND, .says = "Transmit Take Parameter Command\n"},
    {.panel = On::Parm, .control = PARM_CMD_SAVE_FILE, .file = "parameters.pms", .writes = "parameters.pms", .everyLink = true},
    {.panel = On::Parm, .control = PARM_CMD_EXTENDED, .shows = On::ExtParm},
    {.panel = On::ExtParm, .control = EXTP_CMD_READBACK, .says = "Transmit Parm Readback Command\n"},
    {.panel = On::ExtParm, .control = EXTP_CMD_SEND, .says = "Transmit Take Parameter Command\n"},
    {.panel = On::ExtParm, .control = EXTP_CMD_MAKE_SCRIPT, .file = "extended.pms", .writes = "extended.pms"},
    {.panel = On::ExtParm, .control = EXTP_CMD_EXIT, .hides = On::ExtParm},
    {.panel = On::Parm, .control = PARM_CMD_SAVE_RECALL, .shows = On::ParmSave},
    {.panel = On::ParmSave, .control = PSAVE_CMD_SAVE, .says = "Parm Save O.K.\n"},
    {.panel = On::ParmSave, .control = PSAVE_CMD_RECALL, .says = "Parm Recall O.K."},
    {.panel = On::ParmSave, .control = PSAVE_CMD_CLOSE, .hides = On::ParmSave},
    {.panel = On::Parm, .control = PARM_CMD_CLOSE, .hides = On::Parm},
    {.panel = On::Main, .control = MAIN_CMD_PARAMETERS, .shows = On::Parm},
    // Scripts: the parameter file just written.
    {.panel = On::Main, .control = MAIN_MENU_RUN_SCRIPT, .file = "parameters.pms", .sent = "2000 00 00000101", .everyLink = true},
    {.panel = On::Main, .control = MAIN_CMD_RUN_SCRIPT, .file = "extended.pms", .sent = "2000 00 00000101"},
    // The scope: download, files, panels, trigger menus.
    {.panel = On::Main, .control = MAIN_MENU_SCOPE, .shows = On::Scope, .everyLink = true},
    {.panel = On::Scope, .control = SCOPE_CMD_DOWNLOAD, .says = "Scope: Download time: ", .everyLink = true},
    {.panel = On::Scope, .control = SCOPE_MENU_SAVE, .file = "trace.loz", .writes = "trace.loz", .everyLink = true},
    {.panel = On::Scope, .control = SCOPE_MENU_EXPORT_CSV, .file = "trace.csv", .says = "Trace: CSV ", .writes = "trace.csv"},
    {.panel = On::Scope, .control = SCOPE_MENU_INFORMATION, .shows = On::ScopeInfo},
    {.panel = On::Scope, .control = SCOPE_MENU_COMMENT, .shows = On::Comment},
    {.panel = On::Comment, .control = COMMENT_CMD_OK, .hides = On::Comment},
    {.panel = On::Scope, .control = SCOPE_MENU_EVALUATE, .shows = On::Eval},
    {.panel = On::Eval, .control = EVAL_CMD_COPY_LOG, .says = "Evaluation data:\n"},
    {.panel = On::Eval, .control = EVAL_CMD_EXIT, .hides = On::Eval},
    {.panel = On::Scope, .control = SCOPE_MENU_LOAD, .file = "trace.loz", .says = "trace.loz"},
    {.panel = On::Main, .control = MAIN_MENU_LOAD_TRACE, .file = "trace.loz", .says = "trace.loz"},
    {.panel = On::Scope, .control = SCOPE_MENU_CONVERT, .file = "trace.loz", .says = "trace.loz -> ", .writes = "trace.log"},
    {.panel = On::Scope, .control = SCOPE_MENU_DOWNLOAD, .says = "Scope: Download time: "},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_TRIGGER, .says = "Transmit Trigger Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_BACKWARD, .says = "Transmit Trigger Backward Trace Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_FORWARD, .says = "Transmit Trigger Forward Trace Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_MCYCLE, .says = "Transmit Trigger Trace Mcycle Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_HARDWARE, .says = "Transmit Trigger Trace Hardware Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_FREEZE, .says = "Transmit Trigger Trace Freeze Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE1_UNFREEZE, .says = "Transmit Trigger Trace UnFreeze Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE2_BACKWARD, .says = "Transmit Trigger Backward Trace Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE2_FORWARD, .says = "Transmit Trigger Forward Trace Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE2_MCYCLE, .says = "Transmit Trigger Trace Mcycle Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE2_HARDWARE, .says = "Transmit Trigger Trace Hardware Command\n"},
    {.panel = On::Scope, .control = SCOPE_MENU_TRACE2_SAMPLE_0_5, .says = "Set Sample Time Trace 2: 0,5 ms\n", .mark = SCOPE_MENU_TRACE2_SAMPLE_0_5},
    {.panel = On::Scope, .control = SCOPE_MENU_BACKTRACE_RESTART, .file = "", .says = kSent},
    {.panel = On::Scope, .control = SCOPE_MENU_BLACK_WHITE, .mark = SCOPE_MENU_BLACK_WHITE},
    {.panel = On::Scope, .control = SCOPE_MENU_COLOUR, .mark = SCOPE_MENU_COLOUR},
    {.panel = On::Main, .control = MAIN_CMD_SCOPE, .shows = On::Scope},
    // Macros: from the template to the controller and back.
    {.panel = On::Main, .control = MAIN_MENU_MACRO, .shows = On::Macro, .everyLink = true},
    {.panel = On::Macro, .control = MACRO_CMD_NEW, .says = "Macro new: Example.mac\n", .everyLink = true},
    {.panel = On::Macro, .control = MACRO_CMD_SAVE, .file = "proj.mac", .says = "Macro saved: ", .writes = "proj.mac", .everyLink = true},
    {.panel = On::Macro, .control = MACRO_CMD_COMPILE, .says = "Macro compiling succesfully!\n", .writes = "proj.mbi", .everyLink = true},
    {.panel = On::Macro, .control = MACRO_CMD_UPLOAD, .file = "", .says = "Memory Upload: Write completed succesfully!\n", .everyLink = true},
    {.panel = On::Main, .control = MAIN_MENU_MACRO_UPLOAD, .file = "proj.mbi", .says = "Memory Upload completed succesfully!\n"},
    {.panel = On::Macro, .control = MACRO_CMD_TEST, .shows = On::MacroTest},
    {.panel = On::MacroTest, .control = MTEST_CMD_CLOSE, .hides = On::MacroTest},
    {.panel = On::Macro, .control = MACRO_CMD_START, .says = "Macro: start macro 0\n"},
    {.panel = On::Macro, .control = MACRO_CMD_STOP, .says = "Macro: stop macros\n"},
    {.panel = On::Macro, .control = MACRO_CMD_SAVE_LOG, .file = "macro.log", .writes = "macro.log"},
    {.panel = On::Macro, .control = MACRO_CMD_WIZARD, .shows = On::Wizard},
    {.panel = On::Macro, .control = MACRO_CMD_CLEAN, .says = "Clean successfully\n"},
    // The image read back becomes the project, without a source.
    {.panel = On::Macro, .control = MACRO_CMD_DOWNLOAD, .file = "back.mbi", .says = "Memory Download: Read completed succesfully!\n", .writes = "back.mbi", .everyLink = true},
    {.panel = On::Macro, .control = MACRO_CMD_ERASE, .says = "Memory Erase: Erasing completed succesfully!\n"},
    {.panel = On::Macro, .control = MACRO_CMD_LOAD, .file = "proj.mac", .says = "proj.mac"},
    {.panel = On::Main, .control = MAIN_CMD_CLEAR_LOG},
};
// clang-format on

class AcceptanceTest : public SimSessionTest, public ::testing::WithParamInterface<SessionLink> {
 protected:
  void PrepareProgramDirectory() override {
    mcModuleHooks = McycleProgramHooks();
    SimSessionTest::PrepareProgramDirectory();
  }
  void StartSims() override { StartSimOn(GetParam(), {"--variant", "p0528", "--scope", "600", "--scope-travel", "params", "--scope-speeds", "20:20"}); }
  static bool Settled() {
    for (const CqElement& e : cqDataQueue)
      if (e.ubStatus != CQ_FREE) return false;
    return Idle() && ubHiQueueCounter == 0;
  }
  // The log window and the macro message box.
  std::string Said() {
    std::string box;
    PanelGetString(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG, box);
    return Log() + box;
  }
  bool Checked(uint16_t panel, int item) {
    int64_t on = 0;
    PanelGetAttribute(panel, item, ATTR_CHECKED, on);
    return on != 0;
  }
  std::string Text(uint16_t panel, int control) {
    std::string text;
    PanelGetString(panel, control, text);
    return text;
  }
  // The file of the test's folder whose name ends with `name` (a saved trace
  // has a time stamp in front), else where `name` would be.
  std::string InFolder(const std::string& name) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string file = entry.path().filename().string();
      if (file.size() >= name.size() && file.compare(file.size() - name.size(), name.size(), name) == 0)
        return entry.path().string();
    }
    return (dir / name).string();
  }
  std::string Asked() {
    std::string asked;
    for (const PopupRequest& r : popups) asked += "\nasked: " + r.title + ": " + r.message;
    return asked;
  }
  bool Done(const Item& item) {
    namespace fs = std::filesystem;
    return Settled() && (!item.says || Said().find(item.says) != std::string::npos) &&
           (!item.sent || Seen(item.sent) > seenBefore) && (item.shows == On::None || Visible(Handle(item.shows))) &&
           (item.hides == On::None || !Visible(Handle(item.hides))) &&
           (!item.mark || Checked(Handle(item.panel), item.mark)) && (!item.writes || fs::exists(InFolder(item.writes))) && (!item.reads || Text(Handle(item.panel), item.field) == item.reads);
  }
  void Run(const Item& item) {
    const uint16_t panel = Handle(item.panel);
    popups.clear();
    const std::string path = item.file && *item.file ? InFolder(item.file) : "";
    answer = {item.file != nullptr, path, {path}};
    ClearLog();
    PanelClearText(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG);
    seenBefore = item.sent ? Seen(item.sent) : 0;
    QObject* o = host->ControlObject(panel, item.control);
    if (auto* a = qobject_cast<QAction*>(o)) a->trigger();
    else if (auto* b = qobject_cast<QAbstractButton*>(o)) b->click();
    else ADD_FAILURE() << "no control";
    EXPECT_TRUE(Until([&] { return Done(item); }, 4000)) << Said() << Asked();
    if (item.file) {
      EXPECT_FALSE(popups.empty()) << "nothing was asked";
    }
    if (item.control == MAIN_CMD_CLEAR_LOG) {
      EXPECT_EQ(Log(), "");
    }
  }
  int seenBefore = 0;
};

TEST_P(AcceptanceTest, EveryMenuItemAndButtonAnswers) {
  if (GetParam() == SessionLink::Udp && !privateNetwork.empty()) GTEST_SKIP() << privateNetwork;
  Connect(GetParam());
  if (HasFatalFailure()) return;
  for (const Item& item : kItems) {
    if (GetParam() != SessionLink::Serial && !item.everyLink) continue;
    SCOPED_TRACE(testing::Message() << "panel " << static_cast<int>(item.panel) << " control " << item.control);
    Run(item);
  }
}

INSTANTIATE_TEST_SUITE_P(Links, AcceptanceTest,
                         ::testing::Values(SessionLink::Serial, SessionLink::Usb, SessionLink::Udp),
                         [](const auto& info) {
                           return info.param == SessionLink::Serial ? "Serial" : info.param == SessionLink::Usb ? "Usb" : "Udp";
                         });

}  // namespace
