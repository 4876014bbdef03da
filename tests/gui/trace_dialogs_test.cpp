// The trace-file dialogs on the real panels, every popup answered by the
// test: name rules, overwrite, extensions, rejected files, batch conversion
// and the scope panel's file menu.
#include <deque>
#include <fstream>

#include "app/ModuleHooks.h"
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "engine/Timer.h"
#include "gui/PanelFixture.h"
#include "scope/ScopeFile.h"
#include "scope/Scope_hmi.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"
#include "ui/PanelIds.h"
#include "ui/qt/GraphControl.h"

namespace {

class TraceDialogs : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    host->SetPopupResponder([this](const PopupRequest& r) {
      asked.push_back(r);
      if (r.kind == PopupRequest::Confirm) timerDuringQuestion = TimerEnabled();
      if (r.kind == PopupRequest::Message || answers.empty()) return PopupAnswer{r.kind == PopupRequest::Message, "", {}};
      PopupAnswer a = answers.front();
      answers.pop_front();
      return a;
    });
    TimerInit(TIMER_SEL_PANEL);
    TimerStart();
  }
  void TearDown() override {
    TraceClearAll();
    PanelFixture::TearDown();
  }
  std::string Folder() { return dir.string(); }
  std::vector<std::string> Messages() {
    std::vector<std::string> m;
    for (const auto& r : asked)
      if (r.kind == PopupRequest::Message) m.push_back(r.title + " " + r.message);
    return m;
  }
  std::string GraphText() {
    auto* graph = qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
    for (const auto& item : graph->Model().items)
      if (item.second.kind == GraphItem::Text) return item.second.text;
    return "";
  }

  std::deque<PopupAnswer> answers;
  std::vector<PopupRequest> asked;
  bool timerDuringQuestion = true;
};

TEST_F(TraceDialogs, SaveRefusesBadNamesAndWritesTheExtensionInLowerCase) {
  TraceMake(TraceVariant::P0528, 20);
  answers = {{true, Folder() + "/a_name_of_25_characters.loz", {}},
             {true, Folder() + "/stroke 7.loz", {}},
             {true, Folder() + "/Stroke_7.LOZ", {}}};
  EXPECT_EQ(ScopeHmiSave("240305-142209"), SCOPE_HMI_DONE);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"ERROR! only 20 chars", "ERROR! only 0-9, A-Z, a-z, _, -, ."}));
  const std::string saved = Folder() + "/240305-142209_Stroke_7.loz";
  EXPECT_FALSE(ReadFileBytes(saved).empty());
  std::string shown;
  PanelGetString(uwMcScopePanelHandle, SCOPE_TXT_FILENAME, shown);
  EXPECT_EQ(shown, saved);
  EXPECT_TRUE(TimerEnabled());
  TraceClearAll();
  EXPECT_EQ(ScopeLoadFile(saved), 20) << ScopeFileReason();
}

TEST_F(TraceDialogs, OverwriteAnsweredNoLeavesTheFileAndTheTimerRunning) {
  TraceMake(TraceVariant::P0528, 20);
  const std::string existing = Folder() + "/240305-142209_stroke.loz";
  std::ofstream(existing) << "old";
  answers = {{true, Folder() + "/stroke.loz", {}}, {false, "", {}}};
  EXPECT_EQ(ScopeHmiSave("240305-142209"), SCOPE_HMI_NOTHING);
  ASSERT_EQ(asked.back().kind, PopupRequest::Confirm);
  EXPECT_EQ(asked.back().message, "File '240305-142209_stroke.loz' allready exist!\nOverwrite file?");
  EXPECT_FALSE(timerDuringQuestion);
  EXPECT_TRUE(TimerEnabled());
  EXPECT_EQ(ReadFileBytes(existing), "old");
}

TEST_F(TraceDialogs, UnknownExtensionsAndRejectedFilesChangeNothing) {
  std::ofstream(Folder() + "/notes.txt") << "x";
  ClearLog();
  EXPECT_EQ(ScopeHmiLoad(Folder() + "/notes.txt", true), SCOPE_HMI_NOTHING);
  Process();
  EXPECT_EQ(GraphText(), "ERROR: Scope invalid file");
  EXPECT_NE(Log().find("ERROR: Scope invalid file"), std::string::npos);

  // A connected P0528 controller and a damaged P0417 file.
  TraceMake(TraceVariant::P0417, 20);
  std::string text;
  ScopeSaveTraceToMem(text, SCOPE_TEXT_LOG);
  text.resize(text.size() - 300);
  std::ofstream(Folder() + "/broken.log") << text;
  TraceClearAll();
  udScopeFwVersion = 235u << 16 | 11;
  ubMcFlag1 |= MC_FLAG1_LINK_ESTABLISHED;
  ClearLog();
  EXPECT_EQ(ScopeHmiLoad(Folder() + "/broken.log", true), SCOPE_HMI_FAILED);
  EXPECT_FALSE(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL));
  EXPECT_FALSE(ubScopeFlag & SCOPE_FLAG_P0417_TRACE);
  EXPECT_EQ(udScopeFwVersion, 235u << 16 | 11);
  EXPECT_FALSE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  const std::string rejected = Log();
  EXPECT_NE(rejected.find("broken.log: trace 0 frame 17: not a data line"), std::string::npos) << rejected;

  // A good ".log", then the load item: it proposes ".log" and shows the
  // loading error of the damaged file on the graph.
  TraceMake(TraceVariant::P0528, 20);
  ASSERT_EQ(ScopeSaveTraceToFile((Folder() + "/good.log").c_str()), SCOPE_SAVE_OK);
  TraceClearAll();
  EXPECT_EQ(ScopeHmiLoad(Folder() + "/good.log", true), SCOPE_HMI_DONE);
  EXPECT_TRUE(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT);
  answers = {{true, Folder() + "/broken.log", {}}};
  mcModuleHooks.loadTraceFile = ScopeHmiLoadHook;  // as the program installs it
  ClearLog();
  asked.clear();
  ChooseScope(SCOPE_MENU_LOAD);
  Process();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked.back().message, "*.loz;*.lo1;*.log");
  EXPECT_EQ(asked.back().defaultName, "*.log");  // the last load was a ".log"
  EXPECT_NE(Log().find("ERROR: Scope loading file error"), std::string::npos);
}

TEST_F(TraceDialogs, BatchConversionInADottedFolderNamesTheBadFile) {
  const std::filesystem::path folder = dir / "run.v1.2";
  std::filesystem::create_directories(folder);
  TraceMake(TraceVariant::P0528, 30);
  ASSERT_EQ(ScopeSaveTraceToFile((folder / "a.loz").c_str()), SCOPE_SAVE_OK);
  const TraceSnapshot a = TraceCapture();
  TraceMake(TraceVariant::Quill, 30);
  ASSERT_EQ(ScopeSaveTraceToFile((folder / "b.loz").c_str()), SCOPE_SAVE_OK);
  std::filesystem::rename(folder / "b.loz", folder / "b.logzip");
  const TraceSnapshot b = TraceCapture();
  std::ofstream(folder / "c.loz") << "\x06\x10";
  std::ofstream(folder / "d.log") << "keep";
  TraceClearAll();
  ubMcFlag3 |= MC_FLAG3_FW_P0417;  // the connected controller

  answers = {{true, "", {(folder / "a.loz").string(), (folder / "c.loz").string(), (folder / "b.logzip").string(),
                         (folder / "d.log").string()}}};
  ClearLog();
  ChooseScope(SCOPE_MENU_CONVERT);
  Process();
  const std::string log = Log();
  EXPECT_NE(log.find("c.loz not converted: LZW stream corrupt (no end code)"), std::string::npos) << log;
  EXPECT_NE(log.find("d.log not converted"), std::string::npos) << log;
  EXPECT_NE(log.find("ERROR: Scope loading file error"), std::string::npos);
  EXPECT_EQ(ReadFileBytes((folder / "d.log").string()), "keep");
  EXPECT_FALSE(std::filesystem::exists(dir / "run.log"));
  EXPECT_FALSE(std::filesystem::exists(folder / "c.log"));
  EXPECT_EQ(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL), MC_FLAG3_FW_P0417);
  for (const auto& [name, want, twoTraces] : {std::tuple{"a.log", a, true}, std::tuple{"b.log", b, false}}) {
    SCOPED_TRACE(name);
    TraceClearAll();
    ASSERT_GE(ScopeLoadFile((folder / name).string()), 0) << ScopeFileReason();
    TraceExpectSame(want, TraceCapture(), twoTraces);
  }
}

TEST_F(TraceDialogs, MenuExportsCsvShowsInformationAndKeepsTheComment) {
  TraceMake(TraceVariant::P0528, 10);
  answers = {{true, Folder() + "/stroke", {}}};
  ChooseScope(SCOPE_MENU_EXPORT_CSV);
  Process();
  EXPECT_EQ(ReadFileBytes(Folder() + "/stroke.csv").substr(0, 5), "Trace");

  ChooseScope(SCOPE_MENU_INFORMATION);
  Process();
  EXPECT_TRUE(Visible(uwMcScopeInfoPanelHandle));
  std::string info;
  PanelGetString(uwMcScopeInfoPanelHandle, SCOPE_INFO_TXTBOX, info);
  EXPECT_NE(info.find("Firmware:    P0235-11\n"), std::string::npos) << info;

  ChooseScope(SCOPE_MENU_COMMENT);
  Process();
  std::string comment;
  PanelGetString(uwMcScopeCommentPanelHandle, COMMENT_TXTBOX, comment);
  EXPECT_EQ(comment, "stroke 10, tool 7");
  PanelSetString(uwMcScopeCommentPanelHandle, COMMENT_TXTBOX, "second stroke, die worn");
  Click(uwMcScopeCommentPanelHandle, COMMENT_CMD_OK);
  Process();
  EXPECT_STREQ(ubScopeCommentBuffer, "second stroke, die worn");
  EXPECT_FALSE(Visible(uwMcScopeCommentPanelHandle));
}

}  // namespace
