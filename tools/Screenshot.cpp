// Starts the panels as the program does, accepts the terms of use, connects
// to the controller on COM1 (the simulator) and saves pictures of the panels
// as they paint themselves into a folder: the ram-type panel after
// identification, the parameter panel after a read-back, the save/recall
// panel after a recall of set 2, the macro panel after a compile, the
// progress panel during an upload, the configuration panel after a read of
// the controller's Ethernet settings, the wizard's pages, the extended
// parameter panel, the main window with the session's log and the position
// monitor running, the main window after three typed commands and after the
// shipped example script, then the scope: a download that fails (the
// simulator spoils one block four times), the download panel during the next
// download, the scope panel with its trace, the trace information of the
// trace saved and loaded back, and the evaluation panel. Run it on a virtual
// display (scripts/screenshot.sh).
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPixmap>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PanelCallbacks.h"
#include "app/PanelStartup.h"
#include "app/Shutdown.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"
#include "macro/macro.h"
#include "platform/Paths.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeDownload.h"
#include "scope/ScopeEval.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/GraphControl.h"
#include "ui/qt/QtPanelHost.h"

namespace {

// Pictures are the panels as they paint themselves, not what the X server
// shows of them: a window just mapped, or repainted a moment ago, may not be
// on the screen yet when a step takes its picture.
bool Save(const QPixmap& shot, const QString& path) {
  if (!shot.save(path)) return false;
  std::printf("screenshot: %s\n", path.toLocal8Bit().constData());
  return true;
}

bool Grab(QtPanelHost& host, int panel, const QString& path) {
  QWidget* widget = host.PanelWidget(panel);
  return widget && Save(widget->grab(), path);
}

// Several panels in one picture, placed as on the screen (later ones on top).
bool GrabTogether(QtPanelHost& host, std::initializer_list<int> panels, const QString& path) {
  QRect region;
  for (const int panel : panels) {
    QWidget* widget = host.PanelWidget(panel);
    if (!widget) return false;
    region |= widget->geometry();
  }
  QPixmap shot(region.size());
  shot.fill(Qt::black);
  QPainter painter(&shot);
  for (const int panel : panels) {
    QWidget* widget = host.PanelWidget(panel);
    painter.drawPixmap(widget->geometry().topLeft() - region.topLeft(), widget->grab());
  }
  painter.end();
  return Save(shot, path);
}

// Where the evaluated stroke is half-way from OT1 to OT2, as a share of the
// graph's time axis (frame numbers).
double BottomOfStroke(QtPanelHost& host) {
  auto* graph = qobject_cast<GraphControl*>(host.ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
  const double period = ScopeSamplePeriod(ScopeSelectedTrace());
  if (!graph || period <= 0) return 0.5;
  const double frame = (edScopeEvalData.lfStartTime + edScopeEvalData.lfRunTime / 2) / period;
  const double x0 = graph->Model().min[GRAPH_AXIS_X], x1 = graph->Model().max[GRAPH_AXIS_X];
  return x1 > x0 ? std::clamp((frame - x0) / (x1 - x0), 0.0, 1.0) : 0.5;
}

// A right click on a graph at `share` of its plot width, half-way up.
bool RightClick(QtPanelHost& host, int panel, int control, double share) {
  auto* graph = qobject_cast<GraphControl*>(host.ControlObject(panel, control));
  if (!graph) return false;
  const QRect area = graph->PlotArea();
  const QPointF at(area.left() + share * area.width(), area.center().y());
  QMouseEvent press(QEvent::MouseButtonPress, at, graph->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(graph, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, graph->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(graph, &release);
  return true;
}

// One notch of the mouse wheel away from the operator over pixel column `x`.
void WheelIn(QWidget* graph, int x) {
  const QPointF at(x, graph->height() / 2);
  QWheelEvent wheel(at, graph->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(graph, &wheel);
}

// A button is clicked, a menu item triggered, as the operator would.
void Press(QtPanelHost& host, int panel, int control) {
  QObject* object = host.ControlObject(panel, control);
  if (auto* button = qobject_cast<QAbstractButton*>(object)) button->click();
  else if (auto* action = qobject_cast<QAction*>(object)) action->trigger();
}

// Types a line into the main window's command line and presses Enter.
void Type(QtPanelHost& host, const char* line) {
  auto* edit = qobject_cast<QLineEdit*>(host.ControlObject(uwMcMainPanelHandle, MAIN_TXT_CMDLINE));
  if (!edit) return;
  edit->setFocus();
  edit->clear();
  edit->insert(QString::fromLatin1(line));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(edit, &enter);
}

bool Idle() { return uwMcycleState == MC_STATE_IDLE; }
bool Downloading() { return ubMcFlag1 & MC_FLAG1_TRACE_DOWNLOAD_RUNNING; }
bool LogHas(const char* text);

bool Visible(QtPanelHost& host, int panel) {
  QWidget* w = host.PanelWidget(panel);
  return w && w->isVisible();
}

std::string Text(int panel, int control) {
  std::string text;
  PanelGetString(panel, control, text);
  return text;
}

bool LogHas(const char* text) { return Text(uwMcMainPanelHandle, MAIN_TXTBOX_LOG).find(text) != std::string::npos; }

// A step acts once its condition holds; the steps run in order, each
// checked every 100 ms, all of them within the time limit.
struct Step {
  std::function<bool()> ready;
  std::function<bool()> act;  // false: give up
};

int RunSteps(std::vector<Step> steps, int limitMs) {
  int rc = 1;
  size_t next = 0;
  int waited = 0;
  QTimer timer;
  // Ends the run once: no step is looked at after this.
  const auto finish = [&](int code) {
    timer.stop();
    rc = code;
    McycleShutdown(McShutdown::Close);
  };
  QObject::connect(&timer, &QTimer::timeout, [&] {
    waited += 100;
    if (waited > limitMs) {
      std::fprintf(stderr, "screenshot: step %zu did not happen in time; the log window says:\n%s\n", next + 1,
                   Text(uwMcMainPanelHandle, MAIN_TXTBOX_LOG).c_str());
      finish(1);
      return;
    }
    if (!steps[next].ready()) return;
    if (!steps[next].act()) finish(1);
    else if (++next == steps.size()) finish(0);
  });
  timer.start(100);
  QApplication::exec();
  return rc;
}

std::vector<Step> SessionSteps(QtPanelHost& host, const QString& folder, const std::string& project) {
  const int main = uwMcMainPanelHandle;
  const int parm = uwMcParameterPanelHandle;
  const int psave = uwMcParmSavePanelHandle;
  std::vector<Step> steps = {
      {[] { return true; },
       [&host, main] {
         auto* ring = qobject_cast<QComboBox*>(host.ControlObject(main, MAIN_RING_COM_CHANNEL));
         const int index = ring ? ring->findData(QVariant::fromValue<qlonglong>(1)) : -1;
         if (index < 0) {
           std::fprintf(stderr, "screenshot: no COM1 on the channel ring (is STROKEDESK_COM1 set?)\n");
           return false;
         }
         ring->setCurrentIndex(index);
         emit ring->activated(index);
         return true;
       }},
      {[&host] { return Visible(host, uwMcRamtypePanelHandle); },
       [&host, folder] {
         const bool ok = Grab(host, uwMcRamtypePanelHandle, folder + "/ramtype-panel.png");
         Press(host, uwMcRamtypePanelHandle, RTYPE_CMD_OK);
         return ok;
       }},
      {Idle,
       [&host, parm] {
         PanelDisplay(parm);
         Press(host, parm, PARM_CMD_READ_BACK);
         return true;
       }},
      {[parm] {
         std::string pos1;
         PanelGetTableCell(parm, PARM_TABLE_1, 0, 0, pos1);
         return Idle() && !pos1.empty();
       },
       [&host, parm, folder] {
         return Grab(host, parm, folder + "/parameter-panel.png");
       }},
      {Idle,
       [&host, psave] {
         PanelDisplay(psave);
         PanelSetInt(psave, PSAVE_NUM_SET, 2);
         Press(host, psave, PSAVE_CMD_RECALL);
         return true;
       }},
      {[psave] { return Idle() && !Text(psave, PSAVE_TXT_RAMTYPE).empty(); },
       [&host, psave, folder] {
         const bool ok = Grab(host, psave, folder + "/save-recall-panel.png");
         PanelHide(psave);
         PanelHide(uwMcParameterPanelHandle);
         PanelHide(uwMcExtParameterPanelHandle);
         return ok;
       }},
      // The macro panel after compiling the example, the progress panel
      // during its upload, the configuration panel after a read.
      {Idle,
       [&host, project] {
         PanelDisplay(uwMcMacroPanelHandle);
         Press(host, uwMcMacroPanelHandle, MACRO_CMD_NEW);
         MacroSetProjectDir(project);
         Press(host, uwMcMacroPanelHandle, MACRO_CMD_COMPILE);
         return true;
       }},
      {[] { return (ubMacFlag & MAC_FLAG_COMPILED) != 0; },
       [&host, folder] {
         const bool ok = Grab(host, uwMcMacroPanelHandle, folder + "/macro-panel.png");
         Press(host, uwMcMacroPanelHandle, MACRO_CMD_UPLOAD);
         return ok;
       }},
      {[] {
         int64_t bar = 0;
         PanelGetInt(uwMcMacroLoadPanelHandle, MACRO_LOAD_PROGRESS, bar);
         return bar >= 6;
       },
       [&host, folder] { return Grab(host, uwMcMacroLoadPanelHandle, folder + "/macro-upload-progress.png"); }},
      {[] { return Idle() && !(ubMcFlag & MC_FLAG_MEMORY_TRANSFER); },
       [&host] {
         PanelHide(uwMcMacroPanelHandle);
         PanelDisplay(uwMcConfigPanelHandle);
         Press(host, uwMcConfigPanelHandle, CONF_CMD_READ);
         return true;
       }},
      {[] { return Idle() && Text(uwMcConfigPanelHandle, CONF_TXT_STATUS) == "Succesful"; },
       [&host, folder] {
         const bool ok = Grab(host, uwMcConfigPanelHandle, folder + "/config-panel.png");
         PanelHide(uwMcConfigPanelHandle);
         return ok;
       }},
      // The macro wizard's pages, one after the other.
      {[] { return true; },
       [] {
         PanelDisplay(uwMcWizardPanelHandle);
         return true;
       }},
  };
  const char* pages[WIZARD_PAGE_COUNT] = {"punch", "form1", "form2", "form3", "hover", "press", "mark", "advanced"};
  for (int page = 0; page < WIZARD_PAGE_COUNT; ++page) {
    steps.push_back({[] { return true; }, [page] {
                       PanelSetInt(uwMcWizardPanelHandle, WIZARD_TAB, page);
                       return true;
                     }});
    steps.push_back({[] { return true; }, [&host, folder, page, pages] {
                       return Grab(host, uwMcWizardPanelHandle,
                                   folder + "/wizard-" + pages[page] + ".png");
                     }});
  }
  std::vector<Step> rest = {
      // The extended parameter panel after the Punch 5 mm preset.
      {[] { return true; },
       [&host] {
         PanelHide(uwMcWizardPanelHandle);
         PanelDisplay(uwMcExtParameterPanelHandle);
         Press(host, uwMcExtParameterPanelHandle, EXTP_CMD_PUNCH_5MM);
         return true;
       }},
      {[] { return true; },
       [&host, folder] {
         const bool ok = Grab(host, uwMcExtParameterPanelHandle, folder + "/ext-parameter-panel.png");
         PanelHide(uwMcExtParameterPanelHandle);
         return ok;
       }},
      // A few more polls of the position monitor, then the main window.
      {[polls = 0]() mutable { return ++polls > 10; },
       [&host, folder] {
         const bool ok = Grab(host, uwMcMainPanelHandle, folder + "/main-window.png");
         PanelSetInt(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, 0);
         MAIN_BIN_SW_POS_MON_ON_Callback(uwMcMainPanelHandle, MAIN_BIN_SW_POS_MON_ON, EVENT_COMMIT, nullptr, 0, 0);
         return ok;
       }},
      // Objects read and written from the command line, one after the other.
      {Idle,
       [&host] {
         Press(host, uwMcMainPanelHandle, MAIN_CMD_CLEAR_LOG);
         Type(host, "rd 0x2002 0");
         return true;
       }},
      {[] { return Idle() && LogHas("RD(W)  2002"); }, [&host] { return Type(host, "wrw 0x2000 0 0x0123"), true; }},
      {[] { return Idle() && LogHas("RX-SDO: 60 00 20"); }, [&host] { return Type(host, "rd 0x2000 0"), true; }},
      {[] { return Idle() && LogHas("RD(W)  2000"); },
       [&host, folder] { return Grab(host, uwMcMainPanelHandle, folder + "/command-line.png"); }},
      // The shipped example script, chosen with Run script... (the answer
      // to the file question below).
      {Idle,
       [&host] {
         Press(host, uwMcMainPanelHandle, MAIN_CMD_CLEAR_LOG);
         Press(host, uwMcMainPanelHandle, MAIN_CMD_RUN_SCRIPT);
         return true;
       }},
      {[] { return Idle() && LogHas("IF 0x"); },
       [&host, folder] { return Grab(host, uwMcMainPanelHandle, folder + "/script-run.png"); }},
      // The scope: the first download meets a block spoilt four times.
      {Idle,
       [&host] {
         McycleShowScopePanel();
         Press(host, uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD);
         return true;
       }},
      {[] {
         return Idle() && !Downloading() &&
                Text(uwMcMainPanelHandle, MAIN_TXTBOX_LOG).find("Transmission Error") != std::string::npos;
       },
       [&host, folder] {
         const bool ok = Grab(host, uwMcScopePanelHandle, folder + "/scope-transmission-error.png");
         Press(host, uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD);
         return ok;
       }},
      {[] { return Downloading() && uwMcScopeBlockCnt >= 60; },
       [&host, folder] { return Grab(host, uwMcDownloadPanelHandle, folder + "/download-panel.png"); }},
      {[] { return Idle() && !Downloading() && (ubMcFlag2 & MC_FLAG2_TRACE_PRESENT); },
       [&host, folder] {
         const bool ok = Grab(host, uwMcScopePanelHandle, folder + "/scope-panel.png");
         Press(host, uwMcScopePanelHandle, SCOPE_MENU_SAVE);
         return ok;
       }},
      // The trace saved, loaded back and its information shown.
      {Idle,
       [&host] {
         Press(host, uwMcScopePanelHandle, SCOPE_MENU_LOAD);
         return true;
       }},
      {[] { return Idle() && Text(uwMcScopePanelHandle, SCOPE_TXT_FILENAME).find("stroke") != std::string::npos; },
       [&host] {
         Press(host, uwMcScopePanelHandle, SCOPE_MENU_INFORMATION);
         return true;
       }},
      {[&host] { return Visible(host, uwMcScopeInfoPanelHandle); },
       [&host] {
         // From its first line; the picture is taken once that is painted.
         if (QWidget* panel = host.PanelWidget(uwMcScopeInfoPanelHandle))
           for (auto* area : panel->findChildren<QAbstractScrollArea*>()) area->verticalScrollBar()->setValue(0);
         return true;
       }},
      {[] { return true; },
       [&host, folder] {
         const bool ok = Grab(host, uwMcScopeInfoPanelHandle, folder + "/trace-information.png");
         PanelHide(uwMcScopeInfoPanelHandle);
         return ok;
       }},
      // The evaluation of the stroke shown.
      {Idle,
       [] {
         ScopeEvaluateCommand();
         return true;
       }},
      {[&host] { return Visible(host, uwMcEvaluationPanelHandle); },
       [&host, folder] { return Grab(host, uwMcEvaluationPanelHandle, folder + "/evaluation-panel.png"); }},
      // In expert mode the engineer places the cursor near the bottom of the
      // stroke with the evaluation open beside the scope.
      {[] { return true; },
       [] {
         McStartOptions expert;
         expert.expert = true;
         McycleApplyStartFlags(expert);
         // The whole stroke on the time axis's fifteen divisions.
         const ScopeTraceDesc& trace = ScopeSelectedTrace();
         PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_TIME_AXIS,
                        std::ceil(trace.uwFrames * ScopeSamplePeriod(trace) / 15 / 100) * 100);
         ScopeEvaluateCommand();
         return true;
       }},
      {[&host] { return Visible(host, uwMcEvaluationPanelHandle); },
       [&host] {
         QWidget* scope = host.PanelWidget(uwMcScopePanelHandle);
         QWidget* eval = host.PanelWidget(uwMcEvaluationPanelHandle);
         if (!scope || !eval) return false;
         eval->move(scope->frameGeometry().right() + 8, scope->frameGeometry().top());
         return RightClick(host, uwMcScopePanelHandle, SCOPE_GRAPH, BottomOfStroke(host));
       }},
      // The cursor's readout opens over the scope; the picture is of the
      // cursor line and the evaluation.
      {[&host] { return Visible(host, uwMcTraceInfoPanelHandle); },
       [] {
         PanelHide(uwMcTraceInfoPanelHandle);
         return true;
       }},
      {[] { return true; },
       [&host, folder] {
         return GrabTogether(host, {uwMcScopePanelHandle, uwMcEvaluationPanelHandle},
                             folder + "/scope-cursor-evaluation.png");
       }},
      // Twelve wheel notches in at the bottom of the stroke.
      {[] { return true; },
       [&host] {
         PanelHide(uwMcEvaluationPanelHandle);
         auto* graph = qobject_cast<GraphControl*>(host.ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
         if (!graph) return false;
         const QRect area = graph->PlotArea();
         const int x = area.left() + static_cast<int>(BottomOfStroke(host) * area.width());
         for (int notch = 0; notch < 12; ++notch) WheelIn(graph, x);
         return graph->Zoomed();
       }},
      {[] { return true; },
       [&host, folder] { return Grab(host, uwMcScopePanelHandle, folder + "/scope-zoomed.png"); }},
  };
  steps.insert(steps.end(), rest.begin(), rest.end());
  return steps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>   (the controller on COM1: STROKEDESK_COM1)\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QDir().mkpath(folder);
  QtPanelHost host;
  PanelSetHost(&host);
  std::string why;
  if (McycleStartPanels(McStartOptions{}, ProgramDirectory(), why) != 0) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
  }
  INTRO_CMD_ACCEPT_Callback(uwMcIntroPanelHandle, INTRO_CMD_ACCEPT, EVENT_COMMIT, nullptr, 0, 0);
  // Questions are answered yes, so the example is saved into a folder of
  // its own before it is compiled; no box waits for a click.
  // The file questions are answered with the example script, and with a
  // trace file in the scratch folder, which is also where the script's
  // object log goes.
  // scripts/screenshot.sh starts the tool in the source tree.
  const std::string example = QDir::current().absoluteFilePath("resources/example.scr").toStdString();
  QTemporaryDir project;
  QDir::setCurrent(project.path());
  const std::string scratch = project.path().toStdString();
  host.SetPopupResponder([scratch, example](const PopupRequest& request) {
    if (request.kind != PopupRequest::FileSelect) return PopupAnswer{true, ""};
    if (request.title == "Select Scripfile") return PopupAnswer{true, example};
    if (request.forSave) return PopupAnswer{true, scratch + "/stroke.loz"};
    const QStringList saved = QDir(QString::fromStdString(scratch)).entryList({"*stroke.loz"}, QDir::Files);
    return PopupAnswer{!saved.isEmpty(), saved.isEmpty() ? "" : scratch + "/" + saved.first().toStdString()};
  });
  const int rc = RunSteps(SessionSteps(host, folder, project.path().toStdString()), 180000);
  PanelSetHost(nullptr);
  if (rc != 0) std::fprintf(stderr, "not every picture was saved\n");
  return rc;
}
