// The Qt host of the panel layer. Panels are Designer forms; their controls are
// found by object name through the control table (ui/qt/PanelForms). Control
// values live in a model guarded by a mutex, so getters from the tick thread
// never touch widgets; widget updates from other threads are queued to the GUI
// thread. What the operator does to a control updates the model first and then
// calls the control's callback on the GUI thread.
#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui/Panel.h"
#include "ui/PanelIds.h"

class WheelGuard;

enum class ControlKind {
  TextBox,   // QPlainTextEdit
  Timer,     // a QTimer the host creates
  Lamp,      // QLabel painted as a round lamp
  Numeric,   // QSpinBox, QDoubleSpinBox
  Text,      // QLineEdit or QLabel
  Ring,      // QComboBox of (label, value) items
  Button,    // QAbstractButton, commits on click
  Switch,    // checkable QAbstractButton, value 0/1
  Menu,      // QAction, or a QMenu as a whole
  Table,     // QTableWidget of strings
  Graph,     // GraphControl
  Progress,  // QProgressBar, value 0..100
  Tab,       // QTabWidget, value = page index
  Other,     // a QLabel or frame that only takes labels, colours, dimming
};

struct ControlSpec {
  int id;
  const char* objectName;
  ControlKind kind;
  int intervalMs = 0;  // timers
};

// What a popup asked and what the operator (or a test) answered.
struct PopupRequest {
  enum Kind { Message, Confirm, FileSelect, DirSelect, MultiFileSelect, ImageExport } kind;
  std::string title;
  std::string message;     // message text, or the file filters
  std::string directory;
  std::string defaultName;
  bool forSave = false;
  int width = 0, height = 0;  // ImageExport: the size offered
};
struct PopupAnswer {
  bool accepted = false;
  std::string path;
  std::vector<std::string> paths{};  // MultiFileSelect
  int width = 0, height = 0;         // ImageExport: the size chosen
};
using PopupResponder = std::function<PopupAnswer(const PopupRequest&)>;

class QtPanelHost : public QObject, public PanelHost {
  Q_OBJECT
 public:
  QtPanelHost();
  ~QtPanelHost() override;

  // Creates the panel of `resource`; returns its handle (> 0) or a negative
  // code. GUI thread only.
  int LoadPanel(int resource) override;
  int DiscardPanel(int panel) override;
  QWidget* PanelWidget(int panel) const;
  QObject* ControlObject(int panel, int control) const;
  QWidget* ControlWidget(int panel, int control) const;
  // Every popup goes through here: tests answer instead of an operator
  // (nullptr: real dialogs). Thread-safe.
  void SetPopupResponder(PopupResponder responder);

  int SetInt(int panel, int control, int64_t value) override;
  int SetDouble(int panel, int control, double value) override;
  int SetString(int panel, int control, const std::string& value) override;
  int GetInt(int panel, int control, int64_t& value) override;
  int GetDouble(int panel, int control, double& value) override;
  int GetString(int panel, int control, std::string& value) override;
  int SetAttribute(int panel, int control, PanelAttribute attribute, int64_t value) override;
  int GetAttribute(int panel, int control, PanelAttribute attribute, int64_t& value) override;
  int SetLabel(int panel, int control, const std::string& label) override;
  int AppendText(int panel, int control, const std::string& text) override;
  int ClearText(int panel, int control) override;
  int DeleteLastLine(int panel, int control) override;
  int InstallCallback(int panel, int control, PanelCallback callback, void* data) override;
  int Display(int panel) override;
  int Hide(int panel) override;
  int SetPanelDimmed(int panel, bool dimmed) override;
  int SetTitle(int panel, const std::string& title) override;
  int CenterPanel(int panel) override;
  bool ScreenSize(int& width, int& height) override;
  int InsertListItem(int panel, int control, int index, const std::string& label, int64_t value) override;
  int DeleteListItems(int panel, int control, int index, int count) override;
  int GetNumListItems(int panel, int control, int& count) override;
  int SetTableSize(int panel, int control, int rows, int columns) override;
  int SetTableCell(int panel, int control, int row, int column, const std::string& text) override;
  int GetTableCell(int panel, int control, int row, int column, std::string& text) override;
  int MarkTableCell(int panel, int control, int row, int column, bool marked) override;
  int AddPlot(int panel, int control, GraphItem item) override;
  int DeletePlot(int panel, int control, int plot) override;
  int SetAxisRange(int panel, int control, GraphAxis axis, double min, double max) override;
  int GetAxisView(int panel, int control, GraphAxis axis, double& min, double& max) override;
  int GraphFit(int panel, int control) override;
  int GetCursorLine(int panel, int control, int& line) override;
  int SetCursorLine(int panel, int control, int line) override;
  int SetFirstVisibleLine(int panel, int control, int line) override;
  int InsertText(int panel, int control, int line, const std::string& text) override;
  void ProcessEvents() override;
  void SetWaitCursor(bool on) override;
  void MessagePopup(const std::string& title, const std::string& message) override;
  void MessagePopupThen(const std::string& title, const std::string& message, std::function<void()> then) override;
  bool ConfirmPopup(const std::string& title, const std::string& message) override;
  bool FileSelectPopup(const std::string& directory, const std::string& defaultName, const std::string& filters,
                       const std::string& title, bool forSave, std::string& path) override;
  bool DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) override;
  bool MultiFileSelectPopup(const std::string& directory, const std::string& defaultName, const std::string& filters,
                            const std::string& title, std::vector<std::string>& paths) override;
  void QuitEventLoop() override;
  // Pictures of a panel: its GraphControls stacked as on screen, under a
  // strip with its legend labels (object names starting "LEGEND").
  int Print(int panel, std::string& error) override;
  int ExportImage(int panel, const std::string& path, int width, int height, std::string& error) override;
  bool ImageExportPopup(const std::string& title, const std::string& directory, const std::string& defaultName,
                        int& width, int& height, std::string& path) override;

  // The model behind one control.
  struct Control {
    ControlSpec spec{};
    QPointer<QObject> object;
    int64_t intValue = 0;
    double doubleValue = 0;
    std::string text;
    std::vector<std::pair<std::string, int64_t>> items;  // rings
    std::vector<std::vector<std::string>> cells;         // tables
    double minValue = -1e18;  // numeric fields
    double maxValue = 1e18;
    bool integer = true;      // a QSpinBox rather than a QDoubleSpinBox
    int64_t onColour = 0x00C000;
    int64_t offColour = 0x404040;
    bool dimmed = false;
    bool visible = true;
    bool checked = false;
    int nextPlot = 1;
    int cursorLine = 0;       // editable text boxes
    PanelCallback callback = nullptr;
    void* data = nullptr;
  };

  struct Panel {
    int resource = 0;
    QPointer<QWidget> widget;
    std::map<int, Control> controls;
    PanelCallback callback = nullptr;  // panel-level events
    void* data = nullptr;
    bool dimmed = false;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs `work` on the GUI thread: at once when called there, else queued.
  void OnGui(std::function<void()> work);
  // Releases the lock, then runs `work` as OnGui does: widget work never runs
  // under the lock, since widgets send events that come back to the host.
  void Post(std::unique_lock<std::mutex>& held, std::function<void()> work);
  Control* Find(int panel, int control);  // caller holds lock_
  Panel* FindPanel(int panel);            // caller holds lock_
  // Connects what the operator does to a control with the model and its
  // callback (QtPanelWidgets.cpp).
  void Bind(int panel, Control& control);
  void Fire(int panel, int control, int event, int data1 = 0, int data2 = 0);
  // The operator changed a ring or a numeric field: "value changed", then
  // "commit", as callbacks of either kind expect.
  void FireChange(int panel, int control);
  // Applies what the operator did to the model of (panel, control); false
  // when the control is gone.
  bool UpdateModel(int panel, int control, const std::function<void(Control&)>& update);
  bool PanelEvent(int handle, QObject* watched, QEvent* event);
  bool ControlEvent(QObject* watched, QEvent* event);
  PopupAnswer Ask(const PopupRequest& request);
  // The operator's dialog for an image file and its size (QtPanelPrint.cpp).
  static PopupAnswer AskImageExport(const PopupRequest& request, QWidget* parent);
  // A message shown without a nested event loop; `then` (if any) runs once
  // it is acknowledged.
  void ShowMessage(const PopupRequest& request, std::function<void()> then);

  mutable std::mutex lock_;
  std::map<int, std::unique_ptr<Panel>> panels_;
  int nextHandle_ = 1;
  PopupResponder responder_;
  WheelGuard* wheelGuard_;
  int waitCursorDepth_ = 0;
  // Widget work still queued: while any is, work from the GUI thread queues
  // behind it so widgets see changes in the order the model took them.
  std::atomic<int> queued_{0};
};
