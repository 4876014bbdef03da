#include "ui/qt/QtPanelHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QThread>
#include <QTimer>

#include "ui/qt/PanelForms.h"

struct QtPanelHost::Control {
  ControlSpec spec;
  QPointer<QObject> object;
  int64_t intValue = 0;
  double doubleValue = 0;
  std::string text;
  int64_t onColour = 0x00C000;
  int64_t offColour = 0x404040;
  PanelCallback callback = nullptr;
  void* data = nullptr;
};

struct QtPanelHost::Panel {
  PanelResource resource;
  QPointer<QWidget> widget;
  std::map<int, Control> controls;
  PanelCallback callback = nullptr;  // panel-level events
  void* data = nullptr;
};

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

void PaintLamp(QLabel* lamp, int64_t colour) {
  lamp->setStyleSheet(QString("background-color: #%1; border-radius: 8px; border: 1px solid #202020;")
                          .arg(static_cast<qulonglong>(colour & 0xFFFFFF), 6, 16, QChar('0')));
}

}  // namespace

QtPanelHost::QtPanelHost() = default;

QtPanelHost::~QtPanelHost() {
  for (auto& [handle, panel] : panels_) delete panel->widget.data();
}

void QtPanelHost::OnGui(std::function<void()> work) {
  if (QThread::currentThread() == thread()) {
    work();
  } else {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
  }
}

QtPanelHost::Control* QtPanelHost::Find(int panel, int control) {
  auto p = panels_.find(panel);
  if (p == panels_.end()) return nullptr;
  auto c = p->second->controls.find(control);
  return c == p->second->controls.end() ? nullptr : &c->second;
}

int QtPanelHost::LoadPanel(PanelResource resource) {
  QWidget* widget = PanelFormCreate(resource);
  if (!widget) return PANEL_ERR_UNKNOWN;
  int handle;
  {
    std::lock_guard<std::mutex> g(lock_);
    handle = nextHandle_++;
  }
  // Widgets are created and looked up without the lock: Qt may deliver events
  // (to our filter, which takes it) while children are added.
  auto panel = std::make_unique<Panel>();
  panel->resource = resource;
  panel->widget = widget;
  for (const ControlSpec& spec : PanelFormControls(resource)) {
    Control c;
    c.spec = spec;
    if (spec.kind == ControlKind::Timer) {
      auto* timer = new QTimer(widget);
      timer->setTimerType(Qt::PreciseTimer);
      timer->setInterval(spec.intervalMs);
      connect(timer, &QTimer::timeout, this, [this, handle, id = spec.id] { Fire(handle, id, EVENT_TIMER_TICK); });
      c.object = timer;
    } else {
      c.object = widget->findChild<QWidget*>(spec.objectName);
      if (!c.object) {
        delete widget;
        return PANEL_ERR_UNKNOWN;  // form and table disagree
      }
    }
    if (spec.kind == ControlKind::Lamp) PaintLamp(static_cast<QLabel*>(c.object.data()), c.offColour);
    panel->controls.emplace(spec.id, c);
  }
  {
    std::lock_guard<std::mutex> g(lock_);
    panels_[handle] = std::move(panel);
  }
  widget->installEventFilter(this);
  return handle;
}

QWidget* QtPanelHost::PanelWidget(int panel) const {
  std::lock_guard<std::mutex> g(lock_);
  auto p = panels_.find(panel);
  return p == panels_.end() ? nullptr : p->second->widget.data();
}

QWidget* QtPanelHost::ControlWidget(int panel, int control) const {
  std::lock_guard<std::mutex> g(lock_);
  auto* self = const_cast<QtPanelHost*>(this);
  Control* c = self->Find(panel, control);
  return c ? qobject_cast<QWidget*>(c->object.data()) : nullptr;
}

void QtPanelHost::SetPopupResponder(PopupResponder responder) {
  std::lock_guard<std::mutex> g(lock_);
  responder_ = std::move(responder);
}

void QtPanelHost::Fire(int panel, int control, int event, int data1, int data2) {
  PanelCallback cb = nullptr;
  void* data = nullptr;
  {
    std::lock_guard<std::mutex> g(lock_);
    if (control == 0) {
      auto p = panels_.find(panel);
      if (p != panels_.end()) {
        cb = p->second->callback;
        data = p->second->data;
      }
    } else if (Control* c = Find(panel, control)) {
      cb = c->callback;
      data = c->data;
    }
  }
  if (cb) cb(panel, control, event, data, data1, data2);
}

int QtPanelHost::SetInt(int panel, int control, int64_t value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  c->intValue = value;
  c->doubleValue = static_cast<double>(value);
  if (c->spec.kind == ControlKind::Lamp) {
    QPointer<QObject> o = c->object;
    const int64_t colour = value ? c->onColour : c->offColour;
    g.unlock();
    OnGui([o, colour] {
      if (auto* lamp = qobject_cast<QLabel*>(o.data())) PaintLamp(lamp, colour);
    });
  }
  return 0;
}

int QtPanelHost::SetDouble(int panel, int control, double value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  c->doubleValue = value;
  c->intValue = static_cast<int64_t>(value);
  return 0;
}

int QtPanelHost::SetString(int panel, int control, const std::string& value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  c->text = value;
  QPointer<QObject> o = c->object;
  const QString text = Q(value);
  g.unlock();
  OnGui([o, text] {
    if (auto* box = qobject_cast<QPlainTextEdit*>(o.data())) box->setPlainText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(o.data())) edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(o.data())) label->setText(text);
  });
  return 0;
}

int QtPanelHost::GetInt(int panel, int control, int64_t& value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  value = c->intValue;
  return 0;
}

int QtPanelHost::GetDouble(int panel, int control, double& value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  value = c->doubleValue;
  return 0;
}

int QtPanelHost::GetString(int panel, int control, std::string& value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  value = c->text;
  return 0;
}

int QtPanelHost::SetAttribute(int panel, int control, PanelAttribute attribute, int64_t value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  switch (attribute) {
    case ATTR_ENABLED:
      if (c->spec.kind != ControlKind::Timer) return PANEL_ERR_UNKNOWN;
      g.unlock();
      OnGui([o, value] {
        auto* timer = qobject_cast<QTimer*>(o.data());
        if (!timer) return;
        if (value && !timer->isActive()) timer->start();
        if (!value) timer->stop();
      });
      return 0;
    case ATTR_INTERVAL_MS:
      if (c->spec.kind != ControlKind::Timer || value <= 0) return PANEL_ERR_UNKNOWN;
      g.unlock();
      OnGui([o, value] {
        if (auto* timer = qobject_cast<QTimer*>(o.data())) timer->setInterval(static_cast<int>(value));
      });
      return 0;
    case ATTR_ON_COLOR: c->onColour = value; return 0;
    case ATTR_OFF_COLOR: c->offColour = value; return 0;
    case ATTR_DIMMED:
    case ATTR_VISIBLE:
      g.unlock();
      OnGui([o, attribute, value] {
        auto* w = qobject_cast<QWidget*>(o.data());
        if (!w) return;
        if (attribute == ATTR_DIMMED) w->setEnabled(value == 0);
        else w->setVisible(value != 0);
      });
      return 0;
    default:
      return PANEL_ERR_UNKNOWN;
  }
}

int QtPanelHost::SetLabel(int panel, int control, const std::string& label) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  const QString text = Q(label);
  g.unlock();
  OnGui([o, text] {
    if (auto* b = qobject_cast<QAbstractButton*>(o.data())) b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(o.data())) l->setText(text);
    else if (auto* w = qobject_cast<QWidget*>(o.data())) w->setToolTip(text);
  });
  return 0;
}

int QtPanelHost::AppendText(int panel, int control, const std::string& text) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  c->text += text;
  QPointer<QObject> o = c->object;
  const QString qtext = Q(text);
  g.unlock();
  OnGui([o, qtext] {
    auto* box = qobject_cast<QPlainTextEdit*>(o.data());
    if (!box) return;
    QScrollBar* bar = box->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(qtext);
    if (atEnd) bar->setValue(bar->maximum());
  });
  return 0;
}

int QtPanelHost::ClearText(int panel, int control) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  c->text.clear();
  QPointer<QObject> o = c->object;
  g.unlock();
  OnGui([o] {
    if (auto* box = qobject_cast<QPlainTextEdit*>(o.data())) box->clear();
  });
  return 0;
}

int QtPanelHost::DeleteLastLine(int panel, int control) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  std::string& t = c->text;
  if (!t.empty() && t.back() == '\n') t.pop_back();
  const size_t cut = t.rfind('\n');
  t.erase(cut == std::string::npos ? 0 : cut + 1);
  QPointer<QObject> o = c->object;
  const QString remaining = Q(t);
  g.unlock();
  OnGui([o, remaining] {
    if (auto* box = qobject_cast<QPlainTextEdit*>(o.data())) box->setPlainText(remaining);
  });
  return 0;
}

int QtPanelHost::InstallCallback(int panel, int control, PanelCallback callback, void* data) {
  std::lock_guard<std::mutex> g(lock_);
  if (control == 0) {
    auto p = panels_.find(panel);
    if (p == panels_.end()) return PANEL_ERR_UNKNOWN;
    p->second->callback = callback;
    p->second->data = data;
    return 0;
  }
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  c->callback = callback;
  c->data = data;
  return 0;
}

int QtPanelHost::Display(int panel) {
  QWidget* w = PanelWidget(panel);
  if (!w) return PANEL_ERR_UNKNOWN;
  QPointer<QWidget> p = w;
  OnGui([p] {
    if (!p) return;
    p->show();
    p->raise();
    p->activateWindow();
  });
  return 0;
}

int QtPanelHost::Hide(int panel) {
  QWidget* w = PanelWidget(panel);
  if (!w) return PANEL_ERR_UNKNOWN;
  QPointer<QWidget> p = w;
  OnGui([p] {
    if (p) p->hide();
  });
  return 0;
}

int QtPanelHost::SetPanelDimmed(int panel, bool dimmed) {
  QWidget* w = PanelWidget(panel);
  if (!w) return PANEL_ERR_UNKNOWN;
  QPointer<QWidget> p = w;
  OnGui([p, dimmed] {
    if (p) p->setEnabled(!dimmed);
  });
  return 0;
}

int QtPanelHost::SetTitle(int panel, const std::string& title) {
  QWidget* w = PanelWidget(panel);
  if (!w) return PANEL_ERR_UNKNOWN;
  QPointer<QWidget> p = w;
  const QString t = Q(title);
  OnGui([p, t] {
    if (p) p->setWindowTitle(t);
  });
  return 0;
}

void QtPanelHost::SetWaitCursor(bool on) {
  OnGui([this, on] {
    // Balanced: the override stack of the application is one deep here.
    if (on && waitCursorDepth_ == 0) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      waitCursorDepth_ = 1;
    } else if (!on && waitCursorDepth_ == 1) {
      QApplication::restoreOverrideCursor();
      waitCursorDepth_ = 0;
    }
  });
}

PopupAnswer QtPanelHost::Ask(const PopupRequest& r) {
  PopupResponder responder;
  {
    std::lock_guard<std::mutex> g(lock_);
    responder = responder_;
  }
  if (responder) return responder(r);
  PopupAnswer a;
  QWidget* parent = QApplication::activeWindow();
  switch (r.kind) {
    case PopupRequest::Message:
      QMessageBox::information(parent, Q(r.title), Q(r.message));
      a.accepted = true;
      break;
    case PopupRequest::Confirm:
      a.accepted = QMessageBox::question(parent, Q(r.title), Q(r.message)) == QMessageBox::Yes;
      break;
    case PopupRequest::FileSelect: {
      const QString start = Q(r.directory.empty() ? r.defaultName : r.directory + "/" + r.defaultName);
      const QString filters = Q(r.message).replace(';', ' ') + ";;All files (*)";
      const QString path = r.forSave ? QFileDialog::getSaveFileName(parent, Q(r.title), start, filters)
                                     : QFileDialog::getOpenFileName(parent, Q(r.title), start, filters);
      a.accepted = !path.isEmpty();
      a.path = path.toStdString();
      break;
    }
    case PopupRequest::DirSelect: {
      const QString path = QFileDialog::getExistingDirectory(parent, Q(r.title), Q(r.directory));
      a.accepted = !path.isEmpty();
      a.path = path.toStdString();
      break;
    }
  }
  return a;
}

void QtPanelHost::MessagePopup(const std::string& title, const std::string& message) {
  PopupRequest r{PopupRequest::Message, title, message, "", "", false};
  // From another thread the message is shown later and does not block.
  OnGui([this, r] { Ask(r); });
}

bool QtPanelHost::ConfirmPopup(const std::string& title, const std::string& message) {
  if (QThread::currentThread() != thread()) return false;
  return Ask({PopupRequest::Confirm, title, message, "", "", false}).accepted;
}

bool QtPanelHost::FileSelectPopup(const std::string& directory, const std::string& defaultName,
                                  const std::string& filters, const std::string& title, bool forSave,
                                  std::string& path) {
  if (QThread::currentThread() != thread()) return false;
  PopupAnswer a = Ask({PopupRequest::FileSelect, title, filters, directory, defaultName, forSave});
  if (a.accepted) path = a.path;
  return a.accepted;
}

bool QtPanelHost::DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) {
  if (QThread::currentThread() != thread()) return false;
  PopupAnswer a = Ask({PopupRequest::DirSelect, title, "", directory, "", false});
  if (a.accepted) path = a.path;
  return a.accepted;
}

void QtPanelHost::QuitEventLoop() {
  OnGui([] { QApplication::quit(); });
}

int QtPanelHost::RingInsert(int panel, int control, int index, const std::string& label, int64_t value) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || !qobject_cast<QComboBox*>(c->object.data())) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  const QString text = Q(label);
  OnGui([o, index, text, value] {
    auto* box = qobject_cast<QComboBox*>(o.data());
    if (!box) return;
    const int at = (index < 0 || index > box->count()) ? box->count() : index;
    box->insertItem(at, text, QVariant::fromValue<qlonglong>(value));
  });
  return 0;
}

int QtPanelHost::RingDeleteItems(int panel, int control, int index, int count) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || !qobject_cast<QComboBox*>(c->object.data()) || index < 0) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  OnGui([o, index, count] {
    auto* box = qobject_cast<QComboBox*>(o.data());
    if (!box) return;
    const int end = (count < 0 || index + count > box->count()) ? box->count() : index + count;
    for (int i = end - 1; i >= index; --i) box->removeItem(i);
  });
  return 0;
}

bool QtPanelHost::eventFilter(QObject* watched, QEvent* event) {
  int handle = 0;
  bool hasCallback = false;
  {
    std::lock_guard<std::mutex> g(lock_);
    for (auto& [h, p] : panels_)
      if (p->widget == watched) {
        handle = h;
        hasCallback = p->callback != nullptr;
      }
  }
  if (!handle || !hasCallback) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Close:
      // The panel's callback decides what closing means.
      event->ignore();
      Fire(handle, 0, EVENT_CLOSE);
      return true;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      int code = 0;
      if (key->key() == Qt::Key_Escape) code = PANEL_KEY_ESC;
      else if (key->key() == Qt::Key_F1) code = PANEL_KEY_F1;
      if (code) Fire(handle, 0, EVENT_KEYPRESS, code);
      break;
    }
    case QEvent::WindowActivate:
      Fire(handle, 0, EVENT_GOT_FOCUS);
      break;
    case QEvent::WindowDeactivate:
      Fire(handle, 0, EVENT_LOST_FOCUS);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
