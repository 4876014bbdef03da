#include "ui/qt/PanelForms.h"

#include <QFontDatabase>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>
#include <type_traits>

#include <string>

#include "macro/MacroWizard.h"
#include "ui/qt/GraphControl.h"
#include "ui_AboutPanel.h"
#include "ui_ConfigPanel.h"
#include "ui_DownloadPanel.h"
#include "ui_EvaluationPanel.h"
#include "ui_ExtParameterPanel.h"
#include "ui_HelpPanel.h"
#include "ui_IntroPanel.h"
#include "ui_MacroLoadPanel.h"
#include "ui_MacroPanel.h"
#include "ui_MacroTestPanel.h"
#include "ui_MacroWizardPanel.h"
#include "ui_MainPanel.h"
#include "ui_ParameterPanel.h"
#include "ui_ParmSavePanel.h"
#include "ui_RamtypePanel.h"
#include "ui_SavePanel.h"
#include "ui_ScopeCommentPanel.h"
#include "ui_ScopeInfoPanel.h"
#include "ui_ScopePanel.h"
#include "ui_TraceInfoPanel.h"

namespace {

// Control table entries: the object name is the id without its panel prefix.
#define CTRL(prefix, name, kind) ControlSpec{prefix##name, #name, ControlKind::kind}

// The content of a panel scrolls inside its window, so the window fits any
// screen, also where the content cannot shrink.
QScrollArea* Scrolling(QWidget* content) {
  auto* area = new QScrollArea;
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(content);
  return area;
}

template <class Form, class Window = QWidget>
QWidget* Create() {
  Form form;
  if constexpr (std::is_same_v<Window, QMainWindow>) {
    auto* window = new QMainWindow;
    form.setupUi(window);
    if (QWidget* central = window->takeCentralWidget()) window->setCentralWidget(Scrolling(central));
    return window;
  } else {
    auto* content = new QWidget;
    form.setupUi(content);
    auto* window = new QWidget;
    window->setWindowTitle(content->windowTitle());
    window->resize(content->size());
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Scrolling(content));
    return window;
  }
}

// Frame dumps and tables in these boxes stay aligned in a fixed-pitch font.
QWidget* WithFixedFont(QWidget* panel, const char* textBox) {
  if (auto* box = panel->findChild<QPlainTextEdit*>(textBox))
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return panel;
}

// Graphs over one time axis zoom and pan together.
QWidget* WithLinkedGraphs(QWidget* panel, const char* a, const char* b) {
  auto* first = panel->findChild<GraphControl*>(a);
  if (first) first->LinkX(panel->findChild<GraphControl*>(b));
  return panel;
}

const std::vector<ControlSpec> kMain = {
    CTRL(MAIN_, TXTBOX_LOG, TextBox),
    {MAIN_TIMER_TICK, "TIMER_TICK", ControlKind::Timer, 2},
    // The periodic check: the position monitor's poll period and the USB watch.
    {MAIN_TIMER_RAM, "TIMER_RAM", ControlKind::Timer, 250},
    CTRL(MAIN_, LED_READY, Lamp),
    CTRL(MAIN_, LED_STATUS, Lamp),
    CTRL(MAIN_, LED_LOGGING, Lamp),
    CTRL(MAIN_, LED_LINK, Lamp),
    CTRL(MAIN_, TXT_CMDLINE, Text),
    CTRL(MAIN_, RING_COM_CHANNEL, Ring),
    CTRL(MAIN_, NUM_IP_1, Numeric),
    CTRL(MAIN_, NUM_IP_2, Numeric),
    CTRL(MAIN_, NUM_IP_3, Numeric),
    CTRL(MAIN_, NUM_IP_4, Numeric),
    CTRL(MAIN_, RING_SAMPLE_TIME, Ring),
    CTRL(MAIN_, RING_RAMTYPE, Ring),
    CTRL(MAIN_, CMD_PARAMETERS, Button),
    CTRL(MAIN_, CMD_HOME, Button),
    CTRL(MAIN_, CMD_SEEK_POS1, Button),
    CTRL(MAIN_, CMD_SEEK_POS2, Button),
    CTRL(MAIN_, CMD_PUNCH, Button),
    CTRL(MAIN_, CMD_SCOPE, Button),
    CTRL(MAIN_, CMD_RUN_SCRIPT, Button),
    CTRL(MAIN_, CMD_CLEAR_LOG, Button),
    CTRL(MAIN_, CMD_SAVE_LOG, Button),
    CTRL(MAIN_, BIN_SW_MARK, Switch),
    CTRL(MAIN_, BIN_SW_UDSEL_INHIBIT, Switch),
    CTRL(MAIN_, BIN_SW_PRESSURE_MON, Switch),
    CTRL(MAIN_, BIN_SW_POS_MON_ON, Switch),
    CTRL(MAIN_, NUM_RAM_POS, Numeric),
    CTRL(MAIN_, NUM_MOT_POS, Numeric),
    CTRL(MAIN_, TXT_STATUS0, Text),
    CTRL(MAIN_, NUM_PRESS_ND, Numeric),
    CTRL(MAIN_, NUM_PRESS_HD, Numeric),
    CTRL(MAIN_, TXT_STATUS1, Text),
    CTRL(MAIN_, MENU_RUN_SCRIPT, Menu),
    CTRL(MAIN_, MENU_LOAD_TRACE, Menu),
    CTRL(MAIN_, MENU_EXIT, Menu),
    CTRL(MAIN_, MENU_CONFIGURATION, Menu),
    CTRL(MAIN_, MENU_DISPLAY_COLOUR, Menu),
    CTRL(MAIN_, MENU_DISPLAY_BW, Menu),
    CTRL(MAIN_, MENU_LINK_TEST, Menu),
    CTRL(MAIN_, MENU_SPEED_HIGH, Menu),
    CTRL(MAIN_, MENU_SPEED_LOW, Menu),
    CTRL(MAIN_, MENU_COM_LOGGING, Menu),
    CTRL(MAIN_, MENU_DATE_TIME, Menu),
    CTRL(MAIN_, MENU_RESERVED_CHECK, Menu),
    CTRL(MAIN_, MENU_SAMPLE_0_5, Menu),
    CTRL(MAIN_, MENU_SAMPLE_1, Menu),
    CTRL(MAIN_, MENU_SAMPLE_2, Menu),
    CTRL(MAIN_, MENU_SAMPLE_4, Menu),
    CTRL(MAIN_, MENU_SAMPLE_10, Menu),
    CTRL(MAIN_, MENU_SAMPLE_20, Menu),
    CTRL(MAIN_, MENU_SAMPLE_40, Menu),
    CTRL(MAIN_, MENU_SAMPLE_100, Menu),
    CTRL(MAIN_, MENU_HOME, Menu),
    CTRL(MAIN_, MENU_SEEK_POS1, Menu),
    CTRL(MAIN_, MENU_SEEK_POS2, Menu),
    CTRL(MAIN_, MENU_PUNCH, Menu),
    CTRL(MAIN_, MENU_FORM, Menu),
    CTRL(MAIN_, MENU_MARK_ON, Menu),
    CTRL(MAIN_, MENU_MARK_OFF, Menu),
    CTRL(MAIN_, MENU_PRESS_ON, Menu),
    CTRL(MAIN_, MENU_PRESS_OFF, Menu),
    CTRL(MAIN_, MENU_HOVER_ON, Menu),
    CTRL(MAIN_, MENU_HOVER_OFF, Menu),
    CTRL(MAIN_, MENU_HOME_ABSOLUT, Menu),
    CTRL(MAIN_, MENU_JOG_ON, Menu),
    CTRL(MAIN_, MENU_JOG_OFF, Menu),
    CTRL(MAIN_, MENU_CYCLE_BASIC, Menu),
    CTRL(MAIN_, MENU_CYCLE_FORM2, Menu),
    CTRL(MAIN_, MENU_CYCLE_FORM3, Menu),
    CTRL(MAIN_, MENU_MACRO_STOP, Menu),
    CTRL(MAIN_, MENU_TRIGGER, Menu),
    CTRL(MAIN_, MENU_TRIGGER_BACKWARD, Menu),
    CTRL(MAIN_, MENU_TRIGGER_FORWARD, Menu),
    CTRL(MAIN_, MENU_TRIGGER_MCYCLE, Menu),
    CTRL(MAIN_, MENU_TRIGGER_HARDWARE, Menu),
    CTRL(MAIN_, MENU_TRACE_FREEZE, Menu),
    CTRL(MAIN_, MENU_TRACE_UNFREEZE, Menu),
    CTRL(MAIN_, MENU_SOFT_OFF, Menu),
    CTRL(MAIN_, MENU_SOFT_100, Menu),
    CTRL(MAIN_, MENU_SOFT_80, Menu),
    CTRL(MAIN_, MENU_SOFT_60, Menu),
    CTRL(MAIN_, MENU_SOFT_40, Menu),
    CTRL(MAIN_, MENU_SOFT_20, Menu),
    CTRL(MAIN_, MENU_SOFT_10, Menu),
    CTRL(MAIN_, MENU_SOFT_1, Menu),
    CTRL(MAIN_, MENU_PARAMETERS, Menu),
    CTRL(MAIN_, MENU_SCOPE, Menu),
    CTRL(MAIN_, MENU_MACRO, Menu),
    CTRL(MAIN_, MENU_MACRO_UPLOAD, Menu),
    CTRL(MAIN_, MENU_HELP, Menu),
    CTRL(MAIN_, MENU_ABOUT, Menu),
    CTRL(MAIN_, MENU_MANUAL, Menu),
    CTRL(MAIN_, MENU_COMMANDS, Menu),
    CTRL(MAIN_, MENU_TRACE, Menu),
    CTRL(MAIN_, MENU_SOFT, Menu),
};

const std::vector<ControlSpec> kIntro = {
    CTRL(INTRO_, TXTBOX_TERMS, TextBox),
    CTRL(INTRO_, CMD_ACCEPT, Button),
    CTRL(INTRO_, CMD_DISCARD, Button),
};

const std::vector<ControlSpec> kScope = {
    CTRL(SCOPE_, CMD_DOWNLOAD, Button),
    CTRL(SCOPE_, RING_TRACE, Ring),
    CTRL(SCOPE_, NUM_TIME_AXIS, Numeric),
    CTRL(SCOPE_, NUM_AXIS_POS, Numeric),
    CTRL(SCOPE_, NUM_AXIS_GAIN, Numeric),
    CTRL(SCOPE_, TXT_FILENAME, Text),
    CTRL(SCOPE_, GRAPH, Graph),
    CTRL(SCOPE_, LEGEND_1, Other),
    CTRL(SCOPE_, LEGEND_2, Other),
    CTRL(SCOPE_, LEGEND_3, Other),
    CTRL(SCOPE_, MENU_COLOUR, Menu),
    CTRL(SCOPE_, MENU_BLACK_WHITE, Menu),
    CTRL(SCOPE_, MENU_PRINT, Menu),
    CTRL(SCOPE_, MENU_EXPORT_IMAGE, Menu),
    CTRL(SCOPE_, MENU_FIT, Menu),
    CTRL(SCOPE_, GRAPH_DIGITAL, Graph),
    CTRL(SCOPE_, NUM_ANA_ZERO, Numeric),
    CTRL(SCOPE_, NUM_ANA_GAIN, Numeric),
    CTRL(SCOPE_, NUM_TIME_ZERO, Numeric),
    CTRL(SCOPE_, NUM_SAMPLE_TIME, Numeric),
    CTRL(SCOPE_, TXT_RAMTYPE, Text),
    CTRL(SCOPE_, TXT_MCYCLE, Text),
    CTRL(SCOPE_, SW_ANALOG, Switch),
    CTRL(SCOPE_, MENU_SAVE, Menu),
    CTRL(SCOPE_, MENU_LOAD, Menu),
    CTRL(SCOPE_, MENU_CONVERT, Menu),
    CTRL(SCOPE_, MENU_EXPORT_CSV, Menu),
    CTRL(SCOPE_, MENU_INFORMATION, Menu),
    CTRL(SCOPE_, MENU_COMMENT, Menu),
    CTRL(SCOPE_, MENU_EVALUATE, Menu),
    CTRL(SCOPE_, MENU_DOWNLOAD, Menu),
    CTRL(SCOPE_, MENU_EXIT, Menu),
    CTRL(SCOPE_, MENU_BACKTRACE_RESTART, Menu),
    CTRL(SCOPE_, MENU_TRACE1_TRIGGER, Menu),
    CTRL(SCOPE_, MENU_TRACE1_BACKWARD, Menu),
    CTRL(SCOPE_, MENU_TRACE1_FORWARD, Menu),
    CTRL(SCOPE_, MENU_TRACE1_MCYCLE, Menu),
    CTRL(SCOPE_, MENU_TRACE1_HARDWARE, Menu),
    CTRL(SCOPE_, MENU_TRACE1_FREEZE, Menu),
    CTRL(SCOPE_, MENU_TRACE1_UNFREEZE, Menu),
    CTRL(SCOPE_, MENU_TRACE2_BACKWARD, Menu),
    CTRL(SCOPE_, MENU_TRACE2_FORWARD, Menu),
    CTRL(SCOPE_, MENU_TRACE2_MCYCLE, Menu),
    CTRL(SCOPE_, MENU_TRACE2_HARDWARE, Menu),
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 0, "MENU_TRACE2_SAMPLE_0", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 1, "MENU_TRACE2_SAMPLE_1", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 2, "MENU_TRACE2_SAMPLE_2", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 3, "MENU_TRACE2_SAMPLE_3", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 4, "MENU_TRACE2_SAMPLE_4", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 5, "MENU_TRACE2_SAMPLE_5", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 6, "MENU_TRACE2_SAMPLE_6", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 7, "MENU_TRACE2_SAMPLE_7", ControlKind::Menu},
    ControlSpec{SCOPE_MENU_TRACE2_SAMPLE_0_5 + 8, "MENU_TRACE2_SAMPLE_8", ControlKind::Menu},
};
const std::vector<ControlSpec> kScopeInfo = {CTRL(SCOPE_INFO_, TXTBOX, TextBox)};
const std::vector<ControlSpec> kScopeComment = {CTRL(COMMENT_, TXTBOX, TextBox), CTRL(COMMENT_, CMD_OK, Button)};

const std::vector<ControlSpec> kDownload = {
    CTRL(DOWNLOAD_, PROGRESS, Progress),
    CTRL(DOWNLOAD_, CMD_ABORT, Button),
};

const std::vector<ControlSpec> kRamtype = {
    CTRL(RTYPE_, TXT_TITLE, Text),
    CTRL(RTYPE_, TXTBOX_MESSAGE, TextBox),
    CTRL(RTYPE_, CMD_OK, Button),
};

const std::vector<ControlSpec> kEvaluation = {
    CTRL(EVAL_, NUM_SPEED_UP, Numeric),   CTRL(EVAL_, NUM_SPEED_DOWN, Numeric), CTRL(EVAL_, NUM_UT, Numeric),
    CTRL(EVAL_, NUM_OT2, Numeric),        CTRL(EVAL_, NUM_OT1, Numeric),        CTRL(EVAL_, NUM_POS2, Numeric),
    CTRL(EVAL_, NUM_POS5, Numeric),       CTRL(EVAL_, NUM_RUN_TIME, Numeric),   CTRL(EVAL_, NUM_START_TIME, Numeric),
    CTRL(EVAL_, CMD_EXIT, Button),        CTRL(EVAL_, CMD_COPY_LOG, Button),    CTRL(EVAL_, TXT_EXPERT, Other),
    CTRL(EVAL_, NUM_IDX_START, Numeric),  CTRL(EVAL_, NUM_IDX_UT, Numeric),     CTRL(EVAL_, NUM_IDX_OT2, Numeric),
    CTRL(EVAL_, NUM_IDX_DOWN_A, Numeric), CTRL(EVAL_, NUM_IDX_DOWN_B, Numeric), CTRL(EVAL_, NUM_IDX_UP_A, Numeric),
    CTRL(EVAL_, NUM_IDX_UP_B, Numeric),   CTRL(EVAL_, NUM_IDX_EVENT, Numeric),  CTRL(EVAL_, NUM_EVENT_TIME, Numeric),
    CTRL(EVAL_, NUM_EVENT_POS, Numeric),
};

const std::vector<ControlSpec> kConfig = {
    CTRL(CONF_, NUM_IP_1, Numeric),  CTRL(CONF_, NUM_IP_2, Numeric),  CTRL(CONF_, NUM_IP_3, Numeric),
    CTRL(CONF_, NUM_IP_4, Numeric),  CTRL(CONF_, NUM_MAC_1, Numeric), CTRL(CONF_, NUM_MAC_2, Numeric),
    CTRL(CONF_, NUM_MAC_3, Numeric), CTRL(CONF_, NUM_MAC_4, Numeric), CTRL(CONF_, NUM_MAC_5, Numeric),
    CTRL(CONF_, NUM_MAC_6, Numeric), CTRL(CONF_, CMD_READ, Button),   CTRL(CONF_, CMD_WRITE, Button),
    CTRL(CONF_, CMD_CLOSE, Button),  CTRL(CONF_, TXT_STATUS, Text),
};

const std::vector<ControlSpec> kParameter = {
    CTRL(PARM_, TABLE_1, Table),          CTRL(PARM_, TABLE_2, Table),        CTRL(PARM_, CMD_PRESET_1, Button),
    CTRL(PARM_, CMD_PRESET_2, Button),    CTRL(PARM_, CMD_PRESET_3, Button),  CTRL(PARM_, CMD_READ_BACK, Button),
    CTRL(PARM_, CMD_SEND, Button),        CTRL(PARM_, CMD_SAVE_FILE, Button), CTRL(PARM_, CMD_EXTENDED, Button),
    CTRL(PARM_, CMD_CLOSE, Button),       CTRL(PARM_, CMD_SAVE_RECALL, Button), CTRL(PARM_, TXT_CELLS, Text),
    CTRL(PARM_, TXT_NOTE, Text),
};
const std::vector<ControlSpec> kParmSave = {
    CTRL(PSAVE_, NUM_SET, Numeric),  CTRL(PSAVE_, CMD_SAVE, Button),  CTRL(PSAVE_, CMD_RECALL, Button),
    CTRL(PSAVE_, CMD_CLOSE, Button), CTRL(PSAVE_, TXT_RAMTYPE, Text),
};
const std::vector<ControlSpec> kExtParameter = {
    CTRL(EXTP_, TABLE_1, Table),
    CTRL(EXTP_, TABLE_2, Table),
    CTRL(EXTP_, TABLE_3, Table),
    CTRL(EXTP_, RING_CYCLE, Ring),
    CTRL(EXTP_, CMD_SEND, Button),
    CTRL(EXTP_, CMD_READBACK, Button),
    CTRL(EXTP_, CMD_MAKE_SCRIPT, Button),
    CTRL(EXTP_, CMD_EXIT, Button),
    CTRL(EXTP_, CMD_PUNCH_5MM, Button),
    CTRL(EXTP_, CMD_PUNCH_10MM, Button),
    CTRL(EXTP_, CMD_FORM_10MM, Button),
    CTRL(EXTP_, TXT_CELLS, Text),
};
const std::vector<ControlSpec> kTraceInfo = {CTRL(TRACE_INFO_, CMD_OK, Button), CTRL(TRACE_INFO_, NUM_FRAME, Numeric), CTRL(TRACE_INFO_, NUM_TIME, Numeric), CTRL(TRACE_INFO_, NUM_MOTOR, Numeric), CTRL(TRACE_INFO_, NUM_RAM, Numeric), CTRL(TRACE_INFO_, NUM_CMD, Numeric), CTRL(TRACE_INFO_, NUM_DIGIN, Numeric), CTRL(TRACE_INFO_, NUM_DIGOUT, Numeric), CTRL(TRACE_INFO_, NUM_BAR_0, Numeric), CTRL(TRACE_INFO_, NUM_BAR_1, Numeric), CTRL(TRACE_INFO_, NUM_BAR_2, Numeric), CTRL(TRACE_INFO_, NUM_BAR_3, Numeric), CTRL(TRACE_INFO_, NUM_VOLT_0, Numeric), CTRL(TRACE_INFO_, NUM_VOLT_1, Numeric), CTRL(TRACE_INFO_, NUM_VOLT_2, Numeric), CTRL(TRACE_INFO_, NUM_VOLT_3, Numeric), CTRL(TRACE_INFO_, NUM_SPEED, Numeric), CTRL(TRACE_INFO_, TXT_MOTOR, Other), CTRL(TRACE_INFO_, TXT_RAM, Other), CTRL(TRACE_INFO_, TXT_CMD, Other)};
const std::vector<ControlSpec> kAbout = {CTRL(ABOUT_, TXT_VERSION, Text)};
const std::vector<ControlSpec> kHelp = {CTRL(HELP_, TXTBOX, TextBox)};
const std::vector<ControlSpec> kMacro = {
    CTRL(MACRO_, LED_ERROR, Lamp),         CTRL(MACRO_, LED_SAVED, Lamp),         CTRL(MACRO_, LED_COMPILED, Lamp),
    CTRL(MACRO_, LED_LOADED, Lamp),        CTRL(MACRO_, CMD_TRANSFER_1, Button), CTRL(MACRO_, CMD_TRANSFER_2, Button),
    CTRL(MACRO_, TXT_EDITOR, TextBox),     CTRL(MACRO_, STR_NAME, Text),          CTRL(MACRO_, STR_PATH, Text),
    CTRL(MACRO_, NUM_LINE, Numeric),       CTRL(MACRO_, TXTBOX_MSG, TextBox),     CTRL(MACRO_, NUM_MACRO, Numeric),
    CTRL(MACRO_, CMD_NEW, Button),         CTRL(MACRO_, CMD_LOAD, Button),        CTRL(MACRO_, CMD_SAVE, Button),
    CTRL(MACRO_, CMD_WIZARD, Button),      CTRL(MACRO_, CMD_COMPILE, Button),     CTRL(MACRO_, CMD_CLEAN, Button),
    CTRL(MACRO_, CMD_ERASE, Button),       CTRL(MACRO_, CMD_START, Button),       CTRL(MACRO_, CMD_STOP, Button),
    CTRL(MACRO_, CMD_SAVE_LOG, Button),    CTRL(MACRO_, CMD_TEST, Button),
};
const std::vector<ControlSpec> kMacroTest = {CTRL(MTEST_, TXTBOX, TextBox), CTRL(MTEST_, CMD_CLOSE, Button)};
// The tab, the fields and buttons of the cycle pages, the Advanced page.
const std::vector<ControlSpec>& WizardControls() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (int page = 0; page < WIZ_CYCLE_PAGES; ++page) {
      for (int entry = 0; entry < MAC_WIZ_BLOCK_SIZE; ++entry)
        n.push_back(std::string(kWizardPageNames[page]) + "_" + MacroWizParameterName(entry));
      n.push_back(std::string(kWizardPageNames[page]) + "_CREATE");
      n.push_back(std::string(kWizardPageNames[page]) + "_READ");
    }
    return n;
  }();
  static const std::vector<ControlSpec> controls = [] {
    std::vector<ControlSpec> c = {
        CTRL(WIZARD_, TAB, Tab),
        CTRL(WIZ_, ADV_RING_RAMTYPE, Ring),     CTRL(WIZ_, ADV_CMD_RAMTYPE, Button),
        CTRL(WIZ_, ADV_RING_SAMPLE, Ring),      CTRL(WIZ_, ADV_CMD_SAMPLE, Button),
        CTRL(WIZ_, ADV_RING_COMMAND, Ring),     CTRL(WIZ_, ADV_CMD_COMMAND, Button),
        CTRL(WIZ_, ADV_NUM_DELAY, Numeric),     CTRL(WIZ_, ADV_CMD_DELAY, Button),
        CTRL(WIZ_, ADV_RING_WIDTH, Ring),       CTRL(WIZ_, ADV_NUM_INDEX, Numeric),
        CTRL(WIZ_, ADV_NUM_SUB, Numeric),       CTRL(WIZ_, ADV_NUM_VALUE, Numeric),
        CTRL(WIZ_, ADV_CMD_OBJECT, Button),     CTRL(WIZ_, ADV_RING_REP_COMMAND, Ring),
        CTRL(WIZ_, ADV_NUM_REP_DELAY, Numeric), CTRL(WIZ_, ADV_NUM_REP_COUNTER, Numeric),
        CTRL(WIZ_, ADV_CMD_REPEAT, Button),     CTRL(WIZ_, ADV_CMD_STOP, Button),
        CTRL(WIZ_, ADV_CMD_AUTOSTART, Button),
    };
    size_t name = 0;
    for (int page = 0; page < WIZ_CYCLE_PAGES; ++page) {
      for (int entry = 0; entry < MAC_WIZ_BLOCK_SIZE; ++entry, ++name)
        if (kWizardPageFields[page] & (1u << entry))
          c.push_back({WizardField(page, entry), names[name].c_str(), ControlKind::Numeric});
      c.push_back({WizardCreate(page), names[name++].c_str(), ControlKind::Button});
      c.push_back({WizardRead(page), names[name++].c_str(), ControlKind::Button});
    }
    return c;
  }();
  return controls;
}
const std::vector<ControlSpec> kMacroLoad = {
    CTRL(MACRO_LOAD_, PROGRESS, Progress),
    CTRL(MACRO_LOAD_, TXT_STATUS, Text),
};
const std::vector<ControlSpec> kNone;

#undef CTRL

}  // namespace

QWidget* PanelFormCreate(int resource) {
  switch (resource) {
    case PANEL_MAIN: return WithFixedFont(Create<Ui::MainPanel, QMainWindow>(), "TXTBOX_LOG");
    case PANEL_INTRO: return Create<Ui::IntroPanel>();
    case PANEL_SCOPE: return WithLinkedGraphs(Create<Ui::ScopePanel, QMainWindow>(), "GRAPH", "GRAPH_DIGITAL");
    case PANEL_DOWNLOAD: return Create<Ui::DownloadPanel>();
    case PANEL_PARM_SAVE: return Create<Ui::ParmSavePanel>();
    case PANEL_PARAMETER: return Create<Ui::ParameterPanel>();
    case PANEL_EXT_PARAMETER: return Create<Ui::ExtParameterPanel>();
    case PANEL_RAMTYPE: return Create<Ui::RamtypePanel>();
    case PANEL_EVALUATION: return Create<Ui::EvaluationPanel>();
    case PANEL_CONFIG: return Create<Ui::ConfigPanel>();
    case PANEL_TRACE_INFO: return Create<Ui::TraceInfoPanel>();
    case PANEL_ABOUT: return Create<Ui::AboutPanel>();
    case PANEL_SCOPE_INFO: return WithFixedFont(Create<Ui::ScopeInfoPanel>(), "TXTBOX");
    case PANEL_MACRO: return WithFixedFont(WithFixedFont(Create<Ui::MacroPanel>(), "TXT_EDITOR"), "TXTBOX_MSG");
    case PANEL_MACRO_TEST: return WithFixedFont(Create<Ui::MacroTestPanel>(), "TXTBOX");
    case PANEL_MACRO_WIZARD: return Create<Ui::MacroWizardPanel>();
    case PANEL_MACRO_LOAD: return Create<Ui::MacroLoadPanel>();
    case PANEL_SCOPE_COMMENT: return Create<Ui::ScopeCommentPanel>();
    case PANEL_HELP: return WithFixedFont(Create<Ui::HelpPanel>(), "TXTBOX");
    case PANEL_SAVE: return Create<Ui::SavePanel>();
    default: return nullptr;
  }
}

const std::vector<ControlSpec>& PanelFormControls(int resource) {
  switch (resource) {
    case PANEL_MAIN: return kMain;
    case PANEL_INTRO: return kIntro;
    case PANEL_SCOPE: return kScope;
    case PANEL_DOWNLOAD: return kDownload;
    case PANEL_PARM_SAVE: return kParmSave;
    case PANEL_PARAMETER: return kParameter;
    case PANEL_EXT_PARAMETER: return kExtParameter;
    case PANEL_RAMTYPE: return kRamtype;
    case PANEL_EVALUATION: return kEvaluation;
    case PANEL_CONFIG: return kConfig;
    case PANEL_TRACE_INFO: return kTraceInfo;
    case PANEL_ABOUT: return kAbout;
    case PANEL_MACRO: return kMacro;
    case PANEL_MACRO_WIZARD: return WizardControls();
    case PANEL_MACRO_LOAD: return kMacroLoad;
    case PANEL_MACRO_TEST: return kMacroTest;
    case PANEL_HELP: return kHelp;
    case PANEL_SCOPE_INFO: return kScopeInfo;
    case PANEL_SCOPE_COMMENT: return kScopeComment;
    default: return kNone;
  }
}
