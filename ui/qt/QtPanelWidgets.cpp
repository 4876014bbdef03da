#include "ui/qt/QtPanelWidgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QHeaderView>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ui/qt/GraphControl.h"

using Control = QtPanelHost::Control;

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QString Hex(int64_t colour) { return QString("#%1").arg(static_cast<qulonglong>(colour & 0xFFFFFF), 6, 16, QChar('0')); }

void PaintLamp(QLabel* lamp, int64_t colour) {
  const int radius = std::max(2, std::min(lamp->width(), lamp->height()) / 2);
  lamp->setStyleSheet(QString("background-color: %1; border-radius: %2px; border: 1px solid #202020;")
                          .arg(Hex(colour))
                          .arg(radius));
}

void ShowRing(QComboBox* box, const Control& c) {
  const QSignalBlocker block(box);
  bool same = box->count() == static_cast<int>(c.items.size());
  for (int i = 0; same && i < box->count(); ++i)
    same = box->itemText(i) == Q(c.items[static_cast<size_t>(i)].first) &&
           box->itemData(i).toLongLong() == c.items[static_cast<size_t>(i)].second;
  if (!same) {
    box->clear();
    for (const auto& [label, value] : c.items) box->addItem(Q(label), QVariant::fromValue<qlonglong>(value));
  }
  int index = -1;
  for (size_t i = 0; i < c.items.size(); ++i)
    if (c.items[i].second == c.intValue) {
      index = static_cast<int>(i);
      break;
    }
  box->setCurrentIndex(index);
}

// A table of a few fixed rows is no taller than its rows.
void FitHeightToRows(QTableWidget* table) {
  const int header = table->horizontalHeader()->isHidden() ? 0 : table->horizontalHeader()->sizeHint().height();
  table->setMaximumHeight(header + table->verticalHeader()->length() + 2 * table->frameWidth());
}

void ShowTable(QTableWidget* table, const Control& c) {
  const QSignalBlocker block(table);
  const int rows = static_cast<int>(c.cells.size());
  const int columns = rows ? static_cast<int>(c.cells[0].size()) : table->columnCount();
  table->setRowCount(rows);
  table->setColumnCount(columns);
  for (int r = 0; r < rows; ++r)
    for (int col = 0; col < columns; ++col) {
      const QString text = Q(c.cells[static_cast<size_t>(r)][static_cast<size_t>(col)]);
      if (QTableWidgetItem* item = table->item(r, col)) item->setText(text);
      else table->setItem(r, col, new QTableWidgetItem(text));
    }  FitHeightToRows(table);  // the row count may have changed
}

}  // namespace

void ReadInitialValue(Control& c) {
  QObject* o = c.object.data();
  if (auto* spin = qobject_cast<QSpinBox*>(o)) {
    c.integer = true;
    c.minValue = spin->minimum();
    c.maxValue = spin->maximum();
    c.intValue = spin->value();
    c.doubleValue = spin->value();
    spin->setKeyboardTracking(false);  // one commit per entry, not per digit
  } else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(o)) {
    c.integer = false;
    c.minValue = dspin->minimum();
    c.maxValue = dspin->maximum();
    c.doubleValue = dspin->value();
    c.intValue = static_cast<int64_t>(dspin->value());
    dspin->setKeyboardTracking(false);
  } else if (auto* box = qobject_cast<QComboBox*>(o)) {
    // Items of the form carry their value as item data, else their index.
    for (int i = 0; i < box->count(); ++i) {
      const QVariant data = box->itemData(i);
      c.items.emplace_back(box->itemText(i).toStdString(), data.isValid() ? data.toLongLong() : i);
    }
    const int index = box->currentIndex();
    c.intValue = index >= 0 && index < static_cast<int>(c.items.size()) ? c.items[static_cast<size_t>(index)].second : 0;
  } else if (auto* action = qobject_cast<QAction*>(o)) {
    c.checked = action->isChecked();
    c.dimmed = !action->isEnabled();
  } else if (c.spec.kind == ControlKind::Switch) {
    if (auto* button = qobject_cast<QAbstractButton*>(o)) c.intValue = button->isChecked();
  } else if (auto* edit = qobject_cast<QLineEdit*>(o)) {
    c.text = edit->text().toStdString();
  } else if (auto* label = qobject_cast<QLabel*>(o); label && c.spec.kind != ControlKind::Lamp) {
    c.text = label->text().toStdString();
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(o)) {
    c.text = text->toPlainText().toStdString();
  } else if (auto* tab = qobject_cast<QTabWidget*>(o)) {
    c.intValue = tab->currentIndex();
  } else if (auto* progress = qobject_cast<QProgressBar*>(o)) {
    c.intValue = progress->value();
    c.minValue = progress->minimum();
    c.maxValue = progress->maximum();
  } else if (auto* table = qobject_cast<QTableWidget*>(o)) {
    c.cells.assign(static_cast<size_t>(table->rowCount()),
                   std::vector<std::string>(static_cast<size_t>(table->columnCount())));
    for (int r = 0; r < table->rowCount(); ++r)
      for (int col = 0; col < table->columnCount(); ++col)
        if (QTableWidgetItem* item = table->item(r, col))
          c.cells[static_cast<size_t>(r)][static_cast<size_t>(col)] = item->text().toStdString();
  }
  if (auto* w = qobject_cast<QWidget*>(o)) c.dimmed = !w->isEnabled();
  if (c.spec.kind == ControlKind::Lamp)
    if (auto* lamp = qobject_cast<QLabel*>(o)) PaintLamp(lamp, c.offColour);
}

bool IsIntegerControl(const Control& c) { return c.spec.kind != ControlKind::Numeric || c.integer; }

double ClampDouble(const Control& c, double value) {
  if (c.spec.kind != ControlKind::Numeric) return value;
  return std::clamp(value, c.minValue, c.maxValue);
}

int64_t ClampToControl(const Control& c, double value) {
  double v = ClampDouble(c, value);
  if (c.spec.kind == ControlKind::Switch) return v != 0;
  if (c.spec.kind == ControlKind::Progress) v = std::clamp(v, c.minValue, c.maxValue);
  if (!(v > -9.2e18)) return INT64_MIN / 2;  // also NaN
  if (v > 9.2e18) return INT64_MAX / 2;
  return static_cast<int64_t>(IsIntegerControl(c) ? std::llround(v) : std::trunc(v));
}

bool AttributeApplies(const Control& c, PanelAttribute attribute, int64_t value) {
  const ControlKind k = c.spec.kind;
  switch (attribute) {
    case ATTR_DIMMED:
    case ATTR_VISIBLE: return k != ControlKind::Timer;
    case ATTR_ENABLED: return k == ControlKind::Timer;
    case ATTR_INTERVAL_MS: return k == ControlKind::Timer && value > 0 && value <= 3600000;
    case ATTR_CHECKED: return k == ControlKind::Menu;
    case ATTR_ON_COLOR:
    case ATTR_OFF_COLOR: return k == ControlKind::Lamp;
    case ATTR_BAR_COLOR: return k == ControlKind::Progress;
    case ATTR_TEXT_COLOR:
    case ATTR_FRAME_COLOR: return qobject_cast<QWidget*>(c.object.data()) != nullptr && k != ControlKind::Lamp;
    case ATTR_INCR_VALUE: return k == ControlKind::Numeric && value > 0;
    case ATTR_MIN_VALUE:
      return (k == ControlKind::Numeric || k == ControlKind::Progress) && static_cast<double>(value) <= c.maxValue;
    case ATTR_MAX_VALUE:
      return (k == ControlKind::Numeric || k == ControlKind::Progress) && static_cast<double>(value) >= c.minValue;
    default: return false;
  }
}

void ShowValue(const Control& c) {
  QObject* o = c.object.data();
  if (!o) return;
  const QSignalBlocker block(o);
  switch (c.spec.kind) {
    case ControlKind::TextBox:
      if (auto* box = qobject_cast<QPlainTextEdit*>(o)) {
        box->setPlainText(Q(c.text));
        // A log shows its end; an editor starts at its top, cursor on line 0.
        if (box->isReadOnly()) box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
      }
      return;
    case ControlKind::Text:
    case ControlKind::Other:
      if (auto* edit = qobject_cast<QLineEdit*>(o)) edit->setText(Q(c.text));
      else if (auto* label = qobject_cast<QLabel*>(o)) label->setText(Q(c.text));
      return;
    case ControlKind::Numeric:
      if (auto* spin = qobject_cast<QSpinBox*>(o)) spin->setValue(static_cast<int>(c.intValue));
      else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(o)) dspin->setValue(c.doubleValue);
      return;
    case ControlKind::Ring:
      if (auto* box = qobject_cast<QComboBox*>(o)) ShowRing(box, c);
      return;
    case ControlKind::Switch:
      if (auto* button = qobject_cast<QAbstractButton*>(o)) button->setChecked(c.intValue != 0);
      return;
    case ControlKind::Lamp:
      if (auto* lamp = qobject_cast<QLabel*>(o)) PaintLamp(lamp, c.intValue ? c.onColour : c.offColour);
      return;
    case ControlKind::Progress:
      if (auto* bar = qobject_cast<QProgressBar*>(o)) bar->setValue(static_cast<int>(c.intValue));
      return;
    case ControlKind::Tab:
      if (auto* tab = qobject_cast<QTabWidget*>(o)) tab->setCurrentIndex(static_cast<int>(c.intValue));
      return;
    case ControlKind::Table:
      if (auto* table = qobject_cast<QTableWidget*>(o)) ShowTable(table, c);
      return;
    default:
      return;
  }
}

void ShowAttribute(const Control& c, PanelAttribute attribute, int64_t value) {
  QObject* o = c.object.data();
  if (!o) return;
  auto* widget = qobject_cast<QWidget*>(o);
  auto* action = qobject_cast<QAction*>(o);
  switch (attribute) {
    case ATTR_DIMMED:
      if (widget) widget->setEnabled(!c.dimmed);
      if (action) action->setEnabled(!c.dimmed);
      return;
    case ATTR_VISIBLE:
      if (widget) widget->setVisible(c.visible);
      if (action) action->setVisible(c.visible);
      return;
    case ATTR_CHECKED:
      if (action) {
        const QSignalBlocker block(action);
        action->setCheckable(true);
        action->setChecked(c.checked);
      }
      return;
    case ATTR_ENABLED:
      if (auto* timer = qobject_cast<QTimer*>(o)) {
        if (value && !timer->isActive()) timer->start();
        if (!value) timer->stop();
      }
      return;
    case ATTR_INTERVAL_MS:
      if (auto* timer = qobject_cast<QTimer*>(o)) timer->setInterval(static_cast<int>(value));
      return;
    case ATTR_ON_COLOR:
    case ATTR_OFF_COLOR:
      ShowValue(c);
      return;
    case ATTR_BAR_COLOR:
      if (widget) widget->setStyleSheet(QString("QProgressBar::chunk { background-color: %1; }").arg(Hex(value)));
      return;
    case ATTR_TEXT_COLOR:
      if (widget) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, QColor(Hex(value)));
        palette.setColor(QPalette::Text, QColor(Hex(value)));
        widget->setPalette(palette);
      }
      return;
    case ATTR_FRAME_COLOR:
      // A negative colour: transparent.
      if (widget) widget->setStyleSheet(value < 0 ? QString() : QString("background-color: %1;").arg(Hex(value)));
      return;
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE: {
      const QSignalBlocker block(o);
      if (auto* spin = qobject_cast<QSpinBox*>(o)) {
        spin->setRange(static_cast<int>(std::clamp(c.minValue, -2147483648.0, 2147483647.0)),
                       static_cast<int>(std::clamp(c.maxValue, -2147483648.0, 2147483647.0)));
      } else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(o)) {
        dspin->setRange(c.minValue, c.maxValue);
      } else if (auto* bar = qobject_cast<QProgressBar*>(o)) {
        bar->setRange(static_cast<int>(std::clamp(c.minValue, 0.0, 2147483647.0)),
                      static_cast<int>(std::clamp(c.maxValue, 0.0, 2147483647.0)));
      }
      ShowValue(c);
      return;
    }
    case ATTR_INCR_VALUE:
      if (auto* spin = qobject_cast<QSpinBox*>(o))
        spin->setSingleStep(static_cast<int>(std::clamp<int64_t>(value / 1000, 1, 2147483647)));
      else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(o))
        dspin->setSingleStep(static_cast<double>(value) / 1000.0);
      return;
    default:
      return;
  }
}

void ShowLabel(QObject* o, const QString& text) {
  if (auto* button = qobject_cast<QAbstractButton*>(o)) button->setText(text);
  else if (auto* label = qobject_cast<QLabel*>(o)) label->setText(text);
  else if (auto* action = qobject_cast<QAction*>(o)) action->setText(text);
  else if (auto* w = qobject_cast<QWidget*>(o)) w->setToolTip(text);
}

void ShowCell(QObject* o, int row, int column, const QString& text) {
  auto* table = qobject_cast<QTableWidget*>(o);
  if (!table || row >= table->rowCount() || column >= table->columnCount()) return;
  const QSignalBlocker block(table);
  if (QTableWidgetItem* item = table->item(row, column)) item->setText(text);
  else table->setItem(row, column, new QTableWidgetItem(text));
}

// --- what the operator does --------------------------------------------------

bool QtPanelHost::UpdateModel(int panel, int control, const std::function<void(Control&)>& update) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c) return false;
  update(*c);
  return true;
}

void QtPanelHost::Bind(int panel, Control& c) {
  QObject* o = c.object.data();
  const int id = c.spec.id;
  auto commit = [this, panel, id] { Fire(panel, id, EVENT_COMMIT); };
  switch (c.spec.kind) {
    case ControlKind::Timer:
      connect(static_cast<QTimer*>(o), &QTimer::timeout, this, [this, panel, id] { Fire(panel, id, EVENT_TIMER_TICK); });
      return;
    case ControlKind::Button:
      if (auto* b = qobject_cast<QAbstractButton*>(o)) connect(b, &QAbstractButton::clicked, this, commit);
      return;
    case ControlKind::Switch:
      if (auto* b = qobject_cast<QAbstractButton*>(o))
        connect(b, &QAbstractButton::clicked, this, [this, panel, id](bool on) {
          if (UpdateModel(panel, id, [on](Control& m) { m.intValue = on; })) Fire(panel, id, EVENT_COMMIT);
        });
      return;
    case ControlKind::Ring:
      if (auto* box = qobject_cast<QComboBox*>(o)) {
        box->installEventFilter(this);  // the list opening
        connect(box, &QComboBox::activated, this, [this, panel, id](int index) {
          const bool known = UpdateModel(panel, id, [index](Control& m) {
            if (index >= 0 && index < static_cast<int>(m.items.size()))
              m.intValue = m.items[static_cast<size_t>(index)].second;
          });
          if (known) FireChange(panel, id);
        });
      }
      return;
    case ControlKind::Numeric:
      if (auto* spin = qobject_cast<QSpinBox*>(o))
        connect(spin, &QSpinBox::valueChanged, this, [this, panel, id](int v) {
          if (UpdateModel(panel, id, [v](Control& m) { m.intValue = v, m.doubleValue = v; })) FireChange(panel, id);
        });
      else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(o))
        connect(dspin, &QDoubleSpinBox::valueChanged, this, [this, panel, id](double v) {
          if (UpdateModel(panel, id, [v](Control& m) { m.doubleValue = v, m.intValue = static_cast<int64_t>(v); }))
            FireChange(panel, id);
        });
      return;
    case ControlKind::Text:
      if (auto* edit = qobject_cast<QLineEdit*>(o)) {
        connect(edit, &QLineEdit::textEdited, this, [this, panel, id](const QString& t) {
          UpdateModel(panel, id, [t](Control& m) { m.text = t.toStdString(); });
        });
        // After Enter the line stays, selected: typing replaces it, Enter
        // sends it again.
        connect(edit, &QLineEdit::returnPressed, this, [commit, edit] {
          commit();
          edit->selectAll();
        });
        edit->installEventFilter(this);
      }
      return;
    case ControlKind::TextBox:
      // An editable box reports changes of its content (typing, paste, undo,
      // drag and drop), not cursor moves or copies, and where its cursor is.
      if (auto* box = qobject_cast<QPlainTextEdit*>(o); box && !box->isReadOnly()) {
        connect(box, &QPlainTextEdit::textChanged, this, [this, panel, id, box] {
          if (UpdateModel(panel, id, [box](Control& m) { m.text = box->toPlainText().toStdString(); }))
            Fire(panel, id, EVENT_VAL_CHANGED);
        });
        connect(box, &QPlainTextEdit::cursorPositionChanged, this, [this, panel, id, box] {
          const int line = box->textCursor().blockNumber();
          if (UpdateModel(panel, id, [line](Control& m) { m.cursorLine = line; })) Fire(panel, id, EVENT_CURSOR_MOVED);
        });
      }
      return;
    case ControlKind::Menu:
      if (auto* action = qobject_cast<QAction*>(o))
        connect(action, &QAction::triggered, this, [this, panel, id, action] {
          // The check mark is the logic's to move, not the menu's.
          bool checked = false;
          if (!UpdateModel(panel, id, [&checked](Control& m) { checked = m.checked; })) return;
          {
            const QSignalBlocker block(action);
            action->setChecked(checked);
          }
          Fire(panel, id, EVENT_COMMIT);
        });
      return;
    case ControlKind::Tab:
      if (auto* tab = qobject_cast<QTabWidget*>(o))
        connect(tab, &QTabWidget::currentChanged, this, [this, panel, id](int index) {
          if (UpdateModel(panel, id, [index](Control& m) { m.intValue = index; })) Fire(panel, id, EVENT_COMMIT);
        });
      return;
    case ControlKind::Table:
      if (auto* table = qobject_cast<QTableWidget*>(o)) {
        FitHeightToRows(table);
        connect(table, &QTableWidget::cellChanged, this, [this, panel, id, table](int row, int column) {
          const QTableWidgetItem* item = table->item(row, column);
          const std::string text = item ? item->text().toStdString() : std::string();
          const bool known = UpdateModel(panel, id, [&](Control& m) {
            if (static_cast<size_t>(row) < m.cells.size() &&
                static_cast<size_t>(column) < m.cells[static_cast<size_t>(row)].size())
              m.cells[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
          });
          if (known) Fire(panel, id, EVENT_COMMIT, row, column);
        });
      }
      return;
    case ControlKind::Graph:
      if (auto* graph = qobject_cast<QWidget*>(o)) graph->installEventFilter(this);
      return;
    default:
      return;
  }
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
  if (handle) {
    if (hasCallback && PanelEvent(handle, watched, event)) return true;
    return QObject::eventFilter(watched, event);
  }
  if (ControlEvent(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

bool QtPanelHost::PanelEvent(int handle, QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::Close:
      // The panel's callback decides what closing means.
      event->ignore();
      Fire(handle, 0, EVENT_CLOSE);
      return true;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape) Fire(handle, 0, EVENT_KEYPRESS, PANEL_KEY_ESC);
      else if (key == Qt::Key_F1) Fire(handle, 0, EVENT_KEYPRESS, PANEL_KEY_F1);
      return false;
    }
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      if (mouse->button() == Qt::LeftButton) Fire(handle, 0, EVENT_LEFT_CLICK, at.x(), at.y());
      else if (mouse->button() == Qt::RightButton) Fire(handle, 0, EVENT_RIGHT_CLICK, at.x(), at.y());
      return false;
    }
    case QEvent::WindowActivate:
      Fire(handle, 0, EVENT_GOT_FOCUS);
      return false;
    case QEvent::WindowDeactivate:
      Fire(handle, 0, EVENT_LOST_FOCUS);
      return false;
    default:
      return false;
  }
}

bool QtPanelHost::ControlEvent(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::MouseButtonPress) return false;
  int panel = 0, control = 0;
  {
    std::lock_guard<std::mutex> g(lock_);
    for (auto& [h, p] : panels_)
      for (auto& [id, c] : p->controls)
        if (c.object == watched) {
          panel = h;
          control = id;
        }
  }
  if (!panel) return false;
  if (qobject_cast<QComboBox*>(watched)) {
    // Before the combo box opens its list, so the callback can refill it.
    bool opens = false;
    if (event->type() == QEvent::MouseButtonPress) {
      opens = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else {
      const auto* key = static_cast<QKeyEvent*>(event);
      opens = key->key() == Qt::Key_Space || key->key() == Qt::Key_F4 ||
              ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) && (key->modifiers() & Qt::AltModifier));
    }
    if (opens) Fire(panel, control, EVENT_RING_OPEN);
    return false;
  }
  // A click into a text field: a field that opens a dialog acts on it.
  if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && event->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) Fire(panel, control, EVENT_LEFT_CLICK);
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) Fire(panel, control, EVENT_KEYPRESS, PANEL_KEY_UP);
    else if (key == Qt::Key_Down) Fire(panel, control, EVENT_KEYPRESS, PANEL_KEY_DOWN);
    return false;
  }
  // Graph clicks: pixel position inside the plot area.
  auto* graph = qobject_cast<GraphControl*>(watched);
  if (!graph) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint() - graph->PlotArea().topLeft();
  if (mouse->button() == Qt::LeftButton) Fire(panel, control, EVENT_LEFT_CLICK, at.x(), at.y());
  else if (mouse->button() == Qt::RightButton) Fire(panel, control, EVENT_RIGHT_CLICK, at.x(), at.y());
  return false;
}
