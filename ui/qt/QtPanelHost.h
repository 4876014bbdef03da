// The Qt host of the panel layer. Panels are Designer forms; their controls are
// found by object name through the control table. Control values live in a
// model guarded by a mutex, so getters from the tick thread never touch
// widgets; widget updates from other threads are queued to the GUI thread.
#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "ui/Panel.h"
#include "ui/PanelIds.h"

class QTimer;

enum class ControlKind { TextBox, Timer, Lamp, Numeric, Text, Ring, Button, Switch, Menu, Other };

struct ControlSpec {
  int id;
  const char* objectName;
  ControlKind kind;
  int intervalMs = 0;  // timers
};

// What a popup asked and what the operator (or a test) answered.
struct PopupRequest {
  enum Kind { Message, Confirm, FileSelect, DirSelect } kind;
  std::string title;
  std::string message;     // message text, or the file filters
  std::string directory;
  std::string defaultName;
  bool forSave = false;
};
struct PopupAnswer {
  bool accepted = false;
  std::string path;
};
using PopupResponder = std::function<PopupAnswer(const PopupRequest&)>;

class QtPanelHost : public QObject, public PanelHost {
  Q_OBJECT
 public:
  QtPanelHost();
  ~QtPanelHost() override;

  // Creates the panel of `resource`; returns its handle (> 0) or a negative
  // code. GUI thread only.
  int LoadPanel(PanelResource resource);
  QWidget* PanelWidget(int panel) const;
  QWidget* ControlWidget(int panel, int control) const;
  // Tests answer popups here instead of an operator (nullptr: real dialogs).
  void SetPopupResponder(PopupResponder responder);

  int SetInt(int panel, int control, int64_t value) override;
  int SetDouble(int panel, int control, double value) override;
  int SetString(int panel, int control, const std::string& value) override;
  int GetInt(int panel, int control, int64_t& value) override;
  int GetDouble(int panel, int control, double& value) override;
  int GetString(int panel, int control, std::string& value) override;
  int SetAttribute(int panel, int control, PanelAttribute attribute, int64_t value) override;
  int SetLabel(int panel, int control, const std::string& label) override;
  int AppendText(int panel, int control, const std::string& text) override;
  int ClearText(int panel, int control) override;
  int DeleteLastLine(int panel, int control) override;
  int InstallCallback(int panel, int control, PanelCallback callback, void* data) override;
  int Display(int panel) override;
  int Hide(int panel) override;
  int SetPanelDimmed(int panel, bool dimmed) override;
  int SetTitle(int panel, const std::string& title) override;
  void SetWaitCursor(bool on) override;
  void MessagePopup(const std::string& title, const std::string& message) override;
  bool ConfirmPopup(const std::string& title, const std::string& message) override;
  bool FileSelectPopup(const std::string& directory, const std::string& defaultName, const std::string& filters,
                       const std::string& title, bool forSave, std::string& path) override;
  bool DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) override;
  void QuitEventLoop() override;
  int RingInsert(int panel, int control, int index, const std::string& label, int64_t value) override;
  int RingDeleteItems(int panel, int control, int index, int count) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Control;
  struct Panel;
  // Runs `work` on the GUI thread: at once when called there, else queued.
  void OnGui(std::function<void()> work);
  Control* Find(int panel, int control);  // caller holds lock_
  void Fire(int panel, int control, int event, int data1 = 0, int data2 = 0);
  PopupAnswer Ask(const PopupRequest& request);

  mutable std::mutex lock_;
  std::map<int, std::unique_ptr<Panel>> panels_;
  int nextHandle_ = 1;
  PopupResponder responder_;
  int waitCursorDepth_ = 0;
};
