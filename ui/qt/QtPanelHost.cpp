#include "ui/qt/QtPanelHost.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ui/qt/GraphControl.h"
#include "ui/qt/PanelForms.h"
#include "ui/qt/QtPanelWidgets.h"
#include "ui/qt/WheelGuard.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The QObject a control table entry names: a widget, an action, or the
// action of a whole menu.
QObject* FindControlObject(QWidget* panel, const ControlSpec& spec) {
  if (spec.kind == ControlKind::Menu) {
    if (auto* menu = panel->findChild<QMenu*>(spec.objectName)) return menu->menuAction();
    return panel->findChild<QAction*>(spec.objectName);
  }
  return panel->findChild<QWidget*>(spec.objectName);
}

// Work windows stand on their own; every other panel is a window of the main
// panel's, shown over it.
bool OpensOverTheMainPanel(int resource) {
  return resource != PANEL_MAIN && resource != PANEL_SCOPE && resource != PANEL_MACRO &&
         resource != PANEL_MACRO_WIZARD;
}

// A panel about to open: no larger than the screen it opens on, centred over
// the main panel when it belongs to it, and wholly on the screen.
void FitAndPlace(QWidget* w) {
  QWidget* over = w->parentWidget() ? w->parentWidget()->window() : nullptr;
  QScreen* screen = over && over->screen() ? over->screen() : w->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect avail = screen->availableGeometry();
  const QSize decoration = w->frameGeometry().size() - w->geometry().size();
  w->resize(w->size().boundedTo(avail.size() - decoration));
  QRect frame(w->frameGeometry().topLeft(), w->size() + decoration);
  if (over && over->isVisible()) frame.moveCenter(over->frameGeometry().center());
  frame.moveLeft(std::clamp(frame.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - frame.width())));
  frame.moveTop(std::clamp(frame.top(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - frame.height())));
  w->move(frame.topLeft());
}

// A dimmed panel takes no input, but the panels shown over it stay usable:
// its own widgets are dimmed, its child windows are not.
void DimPanel(QWidget* w, bool dimmed) {
  for (QObject* child : w->children())
    if (auto* c = qobject_cast<QWidget*>(child); c && !c->isWindow()) c->setEnabled(!dimmed);
}

bool HoldsNumbers(ControlKind k) {
  return k == ControlKind::Numeric || k == ControlKind::Ring || k == ControlKind::Switch || k == ControlKind::Lamp ||
         k == ControlKind::Progress || k == ControlKind::Tab || k == ControlKind::Text;
}

}  // namespace

QtPanelHost::QtPanelHost() : wheelGuard_(new WheelGuard(this)) {}

QtPanelHost::~QtPanelHost() {
  for (auto& [handle, panel] : panels_) delete panel->widget.data();
}

void QtPanelHost::OnGui(std::function<void()> work) {
  if (QThread::currentThread() == thread() && queued_ == 0) {
    work();
    return;
  }
  ++queued_;
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)] {
        --queued_;
        work();
      },
      Qt::QueuedConnection);
}

void QtPanelHost::Post(std::unique_lock<std::mutex>& held, std::function<void()> work) {
  held.unlock();
  OnGui(std::move(work));
}

QtPanelHost::Panel* QtPanelHost::FindPanel(int panel) {
  auto p = panels_.find(panel);
  return p == panels_.end() ? nullptr : p->second.get();
}

QtPanelHost::Control* QtPanelHost::Find(int panel, int control) {
  Panel* p = FindPanel(panel);
  if (!p) return nullptr;
  auto c = p->controls.find(control);
  return c == p->controls.end() ? nullptr : &c->second;
}

int QtPanelHost::LoadPanel(int resource) {
  QWidget* widget = PanelFormCreate(resource);
  if (!widget) return PANEL_ERR_UNKNOWN;
  // Built before it is published, so nothing here needs the lock (creating
  // children sends events that the filter would take the lock for).
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
      c.object = timer;
    } else {
      c.object = FindControlObject(widget, spec);
      if (!c.object) {
        delete widget;
        return PANEL_ERR_UNKNOWN;  // form and table disagree
      }
    }
    ReadInitialValue(c);
    panel->controls.emplace(spec.id, c);
  }
  Panel* published = panel.get();
  int handle;
  QPointer<QWidget> mainPanel;
  {
    std::lock_guard<std::mutex> g(lock_);
    handle = nextHandle_++;
    for (auto& [h, p] : panels_)
      if (p->resource == PANEL_MAIN) mainPanel = p->widget;
    panels_[handle] = std::move(panel);
  }
  if (mainPanel && OpensOverTheMainPanel(resource)) widget->setParent(mainPanel, Qt::Window);
  for (auto& [id, c] : published->controls) Bind(handle, c);
  widget->installEventFilter(this);
  wheelGuard_->Guard(widget);
  return handle;
}

int QtPanelHost::DiscardPanel(int panel) {
  QPointer<QWidget> w;
  {
    std::lock_guard<std::mutex> g(lock_);
    auto p = panels_.find(panel);
    if (p == panels_.end()) return PANEL_ERR_UNKNOWN;
    w = p->second->widget;
    panels_.erase(p);
  }
  // Later: the panel may be discarded from inside one of its own callbacks.
  OnGui([w] {
    if (w) {
      w->hide();
      w->deleteLater();
    }
  });
  return 0;
}

QWidget* QtPanelHost::PanelWidget(int panel) const {
  std::lock_guard<std::mutex> g(lock_);
  auto p = panels_.find(panel);
  return p == panels_.end() ? nullptr : p->second->widget.data();
}

QObject* QtPanelHost::ControlObject(int panel, int control) const {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = const_cast<QtPanelHost*>(this)->Find(panel, control);
  return c ? c->object.data() : nullptr;
}

QWidget* QtPanelHost::ControlWidget(int panel, int control) const {
  return qobject_cast<QWidget*>(ControlObject(panel, control));
}

void QtPanelHost::Fire(int panel, int control, int event, int data1, int data2) {
  PanelCallback cb = nullptr;
  void* data = nullptr;
  {
    std::lock_guard<std::mutex> g(lock_);
    if (control == 0) {
      if (Panel* p = FindPanel(panel)) {
        cb = p->callback;
        data = p->data;
      }
    } else if (Control* c = Find(panel, control)) {
      cb = c->callback;
      data = c->data;
    }
  }
  if (cb) cb(panel, control, event, data, data1, data2);
}

void QtPanelHost::FireChange(int panel, int control) {
  Fire(panel, control, EVENT_VAL_CHANGED);
  Fire(panel, control, EVENT_COMMIT);
}

int QtPanelHost::SetInt(int panel, int control, int64_t value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || !HoldsNumbers(c->spec.kind)) return PANEL_ERR_UNKNOWN;
  if (c->spec.kind == ControlKind::Text) {
    c->text = std::to_string(value);
  } else {
    c->intValue = ClampToControl(*c, static_cast<double>(value));
    c->doubleValue = static_cast<double>(c->intValue);
  }
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::SetDouble(int panel, int control, double value) {
  if (!std::isfinite(value)) return PANEL_ERR_UNKNOWN;
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Numeric) return PANEL_ERR_UNKNOWN;
  c->intValue = ClampToControl(*c, value);
  c->doubleValue = IsIntegerControl(*c) ? static_cast<double>(c->intValue) : ClampDouble(*c, value);
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::SetString(int panel, int control, const std::string& value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  if (c->spec.kind != ControlKind::Text && c->spec.kind != ControlKind::TextBox && c->spec.kind != ControlKind::Other)
    return PANEL_ERR_UNKNOWN;
  c->text = value;
  c->cursorLine = 0;  // a new text shows from its top
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::GetInt(int panel, int control, int64_t& value) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || !HoldsNumbers(c->spec.kind)) return PANEL_ERR_UNKNOWN;
  if (c->spec.kind == ControlKind::Text) {
    value = std::strtoll(c->text.c_str(), nullptr, 10);
  } else {
    value = c->intValue;
  }
  return 0;
}

int QtPanelHost::GetDouble(int panel, int control, double& value) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || !HoldsNumbers(c->spec.kind)) return PANEL_ERR_UNKNOWN;
  value = c->spec.kind == ControlKind::Text ? std::strtod(c->text.c_str(), nullptr) : c->doubleValue;
  return 0;
}

int QtPanelHost::GetString(int panel, int control, std::string& value) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  if (c->spec.kind == ControlKind::Ring) {
    // The label of the item shown.
    value.clear();
    for (const auto& [label, v] : c->items)
      if (v == c->intValue) {
        value = label;
        break;
      }
    return 0;
  }
  value = c->text;
  return 0;
}

int QtPanelHost::SetAttribute(int panel, int control, PanelAttribute attribute, int64_t value) {
  std::unique_lock<std::mutex> g(lock_);
  if (control == 0) {
    Panel* p = FindPanel(panel);
    if (!p) return PANEL_ERR_UNKNOWN;
    QPointer<QWidget> w = p->widget;
    switch (attribute) {
      case ATTR_DIMMED:
        p->dimmed = value != 0;
        Post(g, [w, value] {
          if (w) DimPanel(w, value != 0);
        });
        return 0;
      case ATTR_VISIBLE:
        Post(g, [w, value] {
          if (w) w->setVisible(value != 0);
        });
        return 0;
      case ATTR_HEIGHT:
      case ATTR_WIDTH:
        if (value <= 0 || value > 100000) return PANEL_ERR_UNKNOWN;
        Post(g, [w, attribute, value] {
          if (!w) return;
          const int v = static_cast<int>(value);
          if (attribute == ATTR_HEIGHT) w->resize(w->width(), v);
          else w->resize(v, w->height());
        });
        return 0;
      default:
        return PANEL_ERR_UNKNOWN;
    }
  }
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  if (!AttributeApplies(*c, attribute, value)) return PANEL_ERR_UNKNOWN;
  switch (attribute) {
    case ATTR_DIMMED: c->dimmed = value != 0; break;
    case ATTR_VISIBLE: c->visible = value != 0; break;
    case ATTR_CHECKED: c->checked = value != 0; break;
    case ATTR_ON_COLOR: c->onColour = value; break;
    case ATTR_OFF_COLOR: c->offColour = value; break;
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
      if (attribute == ATTR_MIN_VALUE) c->minValue = static_cast<double>(value);
      else c->maxValue = static_cast<double>(value);
      c->intValue = ClampToControl(*c, c->doubleValue);
      c->doubleValue = IsIntegerControl(*c) ? static_cast<double>(c->intValue) : ClampDouble(*c, c->doubleValue);
      break;
    default: break;
  }
  Post(g, [snapshot = *c, attribute, value] { ShowAttribute(snapshot, attribute, value); });
  return 0;
}

int QtPanelHost::GetAttribute(int panel, int control, PanelAttribute attribute, int64_t& value) {
  QPointer<QWidget> w;
  {
    std::lock_guard<std::mutex> g(lock_);
    if (control != 0) {
      Control* c = Find(panel, control);
      if (!c) return PANEL_ERR_UNKNOWN;
      if (attribute == ATTR_PLOT_WIDTH) {
        auto* graph = qobject_cast<GraphControl*>(c->object.data());
        if (!graph || QThread::currentThread() != thread()) return PANEL_ERR_UNKNOWN;
        value = graph->PlotArea().width();
        return 0;
      }
      switch (attribute) {
        case ATTR_DIMMED: value = c->dimmed; return 0;
        case ATTR_VISIBLE: value = c->visible; return 0;
        case ATTR_CHECKED:
          if (c->spec.kind != ControlKind::Menu) return PANEL_ERR_UNKNOWN;
          value = c->checked;
          return 0;
        case ATTR_ON_COLOR: value = c->onColour; return 0;
        case ATTR_OFF_COLOR: value = c->offColour; return 0;
        default: return PANEL_ERR_UNKNOWN;
      }
    }
    Panel* p = FindPanel(panel);
    if (!p) return PANEL_ERR_UNKNOWN;
    if (attribute == ATTR_DIMMED) {
      value = p->dimmed;
      return 0;
    }
    w = p->widget;
  }
  // Geometry and visibility belong to the widget: GUI thread only.
  if (QThread::currentThread() != thread() || !w) return PANEL_ERR_UNKNOWN;
  switch (attribute) {
    case ATTR_VISIBLE: value = w->isVisible(); return 0;
    case ATTR_HEIGHT: value = w->height(); return 0;
    case ATTR_WIDTH: value = w->width(); return 0;
    default: return PANEL_ERR_UNKNOWN;
  }
}

int QtPanelHost::SetLabel(int panel, int control, const std::string& label) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  const QString text = Q(label);
  Post(g, [o, text] { ShowLabel(o.data(), text); });
  return 0;
}

int QtPanelHost::AppendText(int panel, int control, const std::string& text) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  c->text += text;
  QPointer<QObject> o = c->object;
  const QString qtext = Q(text);
  Post(g, [o, qtext] {
    auto* box = qobject_cast<QPlainTextEdit*>(o.data());
    if (!box) return;
    const QSignalBlocker block(box);
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
  if (!c || (c->spec.kind != ControlKind::TextBox && c->spec.kind != ControlKind::Text)) return PANEL_ERR_UNKNOWN;
  c->text.clear();
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
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
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::InstallCallback(int panel, int control, PanelCallback callback, void* data) {
  std::lock_guard<std::mutex> g(lock_);
  if (control == 0) {
    Panel* p = FindPanel(panel);
    if (!p) return PANEL_ERR_UNKNOWN;
    p->callback = callback;
    p->data = data;
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
  bool help = false;
  {
    std::lock_guard<std::mutex> g(lock_);
    if (Panel* found = FindPanel(panel)) help = found->resource == PANEL_HELP;
  }
  OnGui([p, help] {
    if (!p) return;
    if (!p->isVisible()) {
      FitAndPlace(p);
      // Help is read from its beginning.
      if (help)
        for (QPlainTextEdit* text : p->findChildren<QPlainTextEdit*>()) text->verticalScrollBar()->setValue(0);
    }
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

int QtPanelHost::SetPanelDimmed(int panel, bool dimmed) { return SetAttribute(panel, 0, ATTR_DIMMED, dimmed); }

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

int QtPanelHost::CenterPanel(int panel) {
  QWidget* w = PanelWidget(panel);
  if (!w) return PANEL_ERR_UNKNOWN;
  QPointer<QWidget> p = w;
  OnGui([p] {
    if (!p) return;
    QScreen* screen = p->screen() ? p->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = p->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    p->move(frame.topLeft());
  });
  return 0;
}

bool QtPanelHost::ScreenSize(int& width, int& height) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  const QSize size = screen->size();
  width = size.width();
  height = size.height();
  return true;
}

int QtPanelHost::InsertListItem(int panel, int control, int index, const std::string& label, int64_t value) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Ring) return PANEL_ERR_UNKNOWN;
  const int size = static_cast<int>(c->items.size());
  if (index < -1 || index > size) return PANEL_ERR_UNKNOWN;
  c->items.insert(index < 0 ? c->items.end() : c->items.begin() + index, {label, value});
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::DeleteListItems(int panel, int control, int index, int count) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Ring) return PANEL_ERR_UNKNOWN;
  const int size = static_cast<int>(c->items.size());
  if (index < 0 || index > size || count < -1) return PANEL_ERR_UNKNOWN;
  const int end = (count < 0 || count > size - index) ? size : index + count;
  c->items.erase(c->items.begin() + index, c->items.begin() + end);
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::GetNumListItems(int panel, int control, int& count) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Ring) return PANEL_ERR_UNKNOWN;
  count = static_cast<int>(c->items.size());
  return 0;
}

int QtPanelHost::SetTableSize(int panel, int control, int rows, int columns) {
  if (rows < 0 || columns < 0 || rows > 100000 || columns > 1000) return PANEL_ERR_UNKNOWN;
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Table) return PANEL_ERR_UNKNOWN;
  c->cells.resize(static_cast<size_t>(rows));
  for (auto& row : c->cells) row.resize(static_cast<size_t>(columns));
  Post(g, [snapshot = *c] { ShowValue(snapshot); });
  return 0;
}

int QtPanelHost::SetTableCell(int panel, int control, int row, int column, const std::string& text) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Table) return PANEL_ERR_UNKNOWN;
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= c->cells.size() ||
      static_cast<size_t>(column) >= c->cells[static_cast<size_t>(row)].size())
    return PANEL_ERR_UNKNOWN;
  c->cells[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
  QPointer<QObject> o = c->object;
  const QString t = Q(text);
  Post(g, [o, row, column, t] { ShowCell(o.data(), row, column, t); });
  return 0;
}

int QtPanelHost::GetTableCell(int panel, int control, int row, int column, std::string& text) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Table) return PANEL_ERR_UNKNOWN;
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= c->cells.size() ||
      static_cast<size_t>(column) >= c->cells[static_cast<size_t>(row)].size())
    return PANEL_ERR_UNKNOWN;
  text = c->cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
  return 0;
}

int QtPanelHost::MarkTableCell(int panel, int control, int row, int column, bool marked) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::Table) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  Post(g, [o, row, column, marked] {
    auto* table = qobject_cast<QTableWidget*>(o.data());
    QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
    if (!item) return;
    const QSignalBlocker block(table);
    item->setBackground(marked ? QBrush(QColor(0xFF, 0xC8, 0xC8)) : QBrush());
  });
  return 0;
}

int QtPanelHost::AddPlot(int panel, int control, GraphItem item) {
  int handle;
  QPointer<QObject> o;
  {
    std::lock_guard<std::mutex> g(lock_);
    Control* c = Find(panel, control);
    if (!c || c->spec.kind != ControlKind::Graph) return PANEL_ERR_UNKNOWN;
    if (item.axis != GRAPH_AXIS_LEFT && item.axis != GRAPH_AXIS_RIGHT) return PANEL_ERR_UNKNOWN;
    handle = c->nextPlot++;
    o = c->object;
  }
  OnGui([o, handle, item = std::move(item)]() mutable {
    if (auto* graph = qobject_cast<GraphControl*>(o.data())) graph->AddItem(handle, std::move(item));
  });
  return handle;
}

int QtPanelHost::DeletePlot(int panel, int control, int plot) {
  QPointer<QObject> o;
  {
    std::lock_guard<std::mutex> g(lock_);
    Control* c = Find(panel, control);
    if (!c || c->spec.kind != ControlKind::Graph || plot == 0 || plot < -1) return PANEL_ERR_UNKNOWN;
    o = c->object;
  }
  OnGui([o, plot] {
    if (auto* graph = qobject_cast<GraphControl*>(o.data())) graph->DeleteItem(plot);
  });
  return 0;
}

int QtPanelHost::SetAxisRange(int panel, int control, GraphAxis axis, double min, double max) {
  if (!std::isfinite(min) || !std::isfinite(max) || !(max > min)) return PANEL_ERR_UNKNOWN;
  if (axis < GRAPH_AXIS_X || axis > GRAPH_AXIS_RIGHT) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o;
  {
    std::lock_guard<std::mutex> g(lock_);
    Control* c = Find(panel, control);
    if (!c || c->spec.kind != ControlKind::Graph) return PANEL_ERR_UNKNOWN;
    o = c->object;
  }
  OnGui([o, axis, min, max] {
    if (auto* graph = qobject_cast<GraphControl*>(o.data())) graph->SetRange(axis, min, max);
  });
  return 0;
}

int QtPanelHost::GetAxisView(int panel, int control, GraphAxis axis, double& min, double& max) {
  if (axis < GRAPH_AXIS_X || axis > GRAPH_AXIS_RIGHT || QThread::currentThread() != thread()) return PANEL_ERR_UNKNOWN;
  GraphControl* graph = nullptr;
  {
    std::lock_guard<std::mutex> g(lock_);
    Control* c = Find(panel, control);
    if (!c || c->spec.kind != ControlKind::Graph) return PANEL_ERR_UNKNOWN;
    graph = qobject_cast<GraphControl*>(c->object.data());
  }
  if (!graph) return PANEL_ERR_UNKNOWN;
  min = axis == GRAPH_AXIS_X ? graph->ViewMin() : graph->Model().min[axis];
  max = axis == GRAPH_AXIS_X ? graph->ViewMax() : graph->Model().max[axis];
  return 0;
}

int QtPanelHost::GraphFit(int panel, int control) {
  QPointer<QObject> o;
  {
    std::lock_guard<std::mutex> g(lock_);
    Control* c = Find(panel, control);
    if (!c || c->spec.kind != ControlKind::Graph) return PANEL_ERR_UNKNOWN;
    o = c->object;
  }
  OnGui([o] {
    if (auto* graph = qobject_cast<GraphControl*>(o.data())) graph->Fit();
  });
  return 0;
}

void QtPanelHost::QuitEventLoop() {
  // exit(), not quit(): quit() first asks every window to close, and the main
  // panel answers a close by shutting down, not by closing.
  OnGui([] { QCoreApplication::exit(0); });
}
