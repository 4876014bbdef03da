#include "ui/qt/GraphControl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QColor Rgb(int64_t colour) {
  return QColor(static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>(colour & 0xFF));
}

bool UsesRightAxis(const GraphModel& model) {
  for (const auto& [handle, item] : model.items)
    if (item.axis == GRAPH_AXIS_RIGHT) return true;
  return false;
}

// Maps plot units of one axis pair into the pixels of `area`.
struct Mapping {
  double x0, xScale, y0, yScale;
  double left, bottom;
  Mapping(const QRect& area, const GraphModel& m, GraphAxis yAxis) {
    const int a = yAxis == GRAPH_AXIS_RIGHT ? GRAPH_AXIS_RIGHT : GRAPH_AXIS_LEFT;
    const double xSpan = m.max[GRAPH_AXIS_X] - m.min[GRAPH_AXIS_X];
    const double ySpan = m.max[a] - m.min[a];
    x0 = m.min[GRAPH_AXIS_X];
    y0 = m.min[a];
    xScale = xSpan != 0 ? area.width() / xSpan : 0;
    yScale = ySpan != 0 ? area.height() / ySpan : 0;
    left = area.left();
    bottom = area.top() + area.height();
  }
  double X(double x) const { return left + (x - x0) * xScale; }
  double Y(double y) const { return bottom - (y - y0) * yScale; }
};

// The label of division line i of `divisions` on the axis [min, max].
QString AxisLabel(double min, double max, int divisions, int i, int decimals) {
  return QString::fromStdString(GraphLabel(min + (max - min) * i / divisions, decimals));
}

void PaintGrid(QPainter& p, const QRect& area, const GraphModel& m, bool right) {
  p.setPen(QPen(QColor(0xD8, 0xD8, 0xD8), 0));
  for (int i = 1; i < m.xDivisions; ++i) {
    const double x = area.left() + area.width() * static_cast<double>(i) / m.xDivisions;
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.top() + area.height()));
  }
  for (int i = 1; i < m.yDivisions; ++i) {
    const double y = area.top() + area.height() * static_cast<double>(i) / m.yDivisions;
    p.drawLine(QPointF(area.left(), y), QPointF(area.left() + area.width(), y));
  }
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0));
  p.drawRect(area.adjusted(0, 0, -1, -1));
  const QFontMetrics fm = p.fontMetrics();
  const int h = fm.height();
  int decimals[3];
  const int xEvery = m.xDivisions > 10 ? 3 : 1;
  for (int a : {GRAPH_AXIS_X, GRAPH_AXIS_LEFT, GRAPH_AXIS_RIGHT})
    decimals[a] = GraphLabelDecimals(m.min[a], m.max[a], a == GRAPH_AXIS_X ? m.xDivisions : m.yDivisions,
                                     a == GRAPH_AXIS_X ? xEvery : 1);
  for (int i = 0; i <= m.yDivisions; ++i) {
    const double f = static_cast<double>(i) / m.yDivisions;
    const int y = area.top() + area.height() - static_cast<int>(area.height() * f);
    const QRect leftBox(0, y - h / 2, area.left() - 4, h);
    p.drawText(leftBox, Qt::AlignRight | Qt::AlignVCenter,
               AxisLabel(m.min[GRAPH_AXIS_LEFT], m.max[GRAPH_AXIS_LEFT], m.yDivisions, i, decimals[GRAPH_AXIS_LEFT]));
    if (right) {
      const QRect rightBox(area.right() + 4, y - h / 2, 200, h);
      p.drawText(rightBox, Qt::AlignLeft | Qt::AlignVCenter,
                 AxisLabel(m.min[GRAPH_AXIS_RIGHT], m.max[GRAPH_AXIS_RIGHT], m.yDivisions, i,
                           decimals[GRAPH_AXIS_RIGHT]));
    }
  }
  for (int i = 0; i <= m.xDivisions; i += xEvery) {
    const double f = static_cast<double>(i) / m.xDivisions;
    const int x = area.left() + static_cast<int>(area.width() * f);
    const QRect box(x - 40, area.top() + area.height() + 2, 80, h);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop,
               AxisLabel(m.min[GRAPH_AXIS_X], m.max[GRAPH_AXIS_X], m.xDivisions, i, decimals[GRAPH_AXIS_X]));
  }
}

void PaintWaveform(QPainter& p, const QRect& area, const GraphModel& m, const GraphItem& item) {
  const Mapping map(area, m, item.axis);
  const double viewMin = m.min[GRAPH_AXIS_X];
  const double viewMax = m.max[GRAPH_AXIS_X];
  size_t first = 0, last = 0;
  GraphVisibleRange(item.y.size(), item.x0, item.dx, viewMin, viewMax, first, last);
  if (last <= first) return;
  const int width = area.width();
  const double pixelsPerSample = item.dx * map.xScale;
  if (pixelsPerSample >= 1) {
    // Zoomed in: the exact line, broken where a sample is missing, and a
    // point on every sample once they stand apart.
    const bool points = pixelsPerSample > 4;
    const QColor ink = p.pen().color();
    QPolygonF line;
    line.reserve(static_cast<int>(last - first));
    for (size_t i = first; i < last; ++i) {
      const double v = item.y[i];
      if (!std::isfinite(v)) {
        p.drawPolyline(line);
        line.clear();
        continue;
      }
      line.append(QPointF(map.X(item.x0 + static_cast<double>(i) * item.dx), map.Y(v)));
      if (points) p.fillRect(QRectF(line.back().x() - 1.5, line.back().y() - 1.5, 3, 3), ink);
    }
    p.drawPolyline(line);
    return;
  }
  // More samples than columns: one vertical stroke per column, and one
  // horizontal line over a run of flat columns on the same row (a lane that
  // does not switch costs one line, not one per column).
  thread_local std::vector<GraphColumn> scratch;
  const std::vector<GraphColumn>& columns = GraphItemColumns(item, viewMin, viewMax, width, scratch);
  // Rows far outside the area are clipped anyway; kept to ints near it.
  const double lo = area.top() - 2.0, hi = area.bottom() + 2.0;
  auto row = [lo, hi](double y) { return static_cast<int>(std::lround(std::clamp(y, lo, hi))); };
  QVector<QLine> strokes;
  strokes.reserve(width);
  int runFrom = -1, runTo = -1, runRow = 0;
  auto flush = [&] {
    if (runFrom >= 0) strokes.append(QLine(area.left() + runFrom, runRow, area.left() + runTo, runRow));
    runFrom = -1;
  };
  for (int c = 0; c < width; ++c) {
    const GraphColumn& col = columns[static_cast<size_t>(c)];
    if (!col.used || !std::isfinite(col.min) || !std::isfinite(col.max)) {
      flush();
      continue;
    }
    const int top = row(map.Y(col.max)), bottom = row(map.Y(col.min));
    if (top == bottom && runFrom >= 0 && top == runRow && runTo == c - 1) {
      runTo = c;
      continue;
    }
    flush();
    if (top == bottom) {
      runFrom = runTo = c;
      runRow = top;
    } else {
      strokes.append(QLine(area.left() + c, top, area.left() + c, bottom));
    }
  }
  flush();
  p.drawLines(strokes);
}

void PaintItem(QPainter& p, const QRect& area, const GraphModel& m, const GraphItem& item) {
  p.setPen(QPen(Rgb(item.colour), 0));
  const Mapping map(area, m, item.axis);
  switch (item.kind) {
    case GraphItem::Waveform:
      PaintWaveform(p, area, m, item);
      break;
    case GraphItem::Line:
      p.drawLine(QPointF(map.X(item.x1), map.Y(item.y1)), QPointF(map.X(item.x2), map.Y(item.y2)));
      break;
    case GraphItem::Point:
      p.fillRect(QRectF(map.X(item.x1) - 2, map.Y(item.y1) - 2, 5, 5), Rgb(item.colour));
      break;
    case GraphItem::Text: {
      QFont font = p.font();
      // The tool's own meta font: a bold sans, whatever the platform's default.
      if (item.font == "NORL") {
        font.setFamily("Sans Serif");
        font.setStyleHint(QFont::SansSerif);
      }
      font.setPointSize(item.pointSize > 0 ? item.pointSize : 10);
      font.setBold(item.bold);
      p.save();
      p.setFont(font);
      const QFontMetrics fm(font);
      const double homeSpan = m.homeMax - m.homeMin;
      const double x = area.left() + (homeSpan != 0 ? (item.x1 - m.homeMin) * area.width() / homeSpan : 0);
      p.drawText(QPointF(x, map.Y(item.y1) + fm.ascent()), QString::fromStdString(item.text));
      p.restore();
      break;
    }
  }
}

}  // namespace

QRect GraphPlotArea(const QRect& bounds, const GraphModel& model) {
  const int left = 52;
  const int right = UsesRightAxis(model) ? 52 : 12;
  const int bottom = 22;
  const int top = 8;
  return QRect(bounds.left() + left, bounds.top() + top, std::max(1, bounds.width() - left - right),
               std::max(1, bounds.height() - top - bottom));
}

void GraphPaint(QPainter& painter, const QRect& bounds, const GraphModel& model) {
  painter.fillRect(bounds, Qt::white);
  const QRect area = GraphPlotArea(bounds, model);
  PaintGrid(painter, area, model, UsesRightAxis(model));
  painter.save();
  painter.setClipRect(area);
  for (const auto& [handle, item] : model.items) PaintItem(painter, area, model, item);
  painter.restore();
}

void GraphPaintPolyline(QPainter& painter, const QRect& area, const GraphModel& model, const GraphItem& item) {
  const Mapping map(area, model, item.axis);
  QPolygonF line;
  line.reserve(static_cast<int>(item.y.size()));
  for (size_t i = 0; i < item.y.size(); ++i)
    line.append(QPointF(map.X(item.x0 + static_cast<double>(i) * item.dx), map.Y(item.y[i])));
  painter.setPen(QPen(Rgb(item.colour), 0));
  painter.drawPolyline(line);
}

GraphControl::GraphControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 100);
  setFocusPolicy(Qt::ClickFocus);  // Home after a click into the graph
}

void GraphControl::AddItem(int handle, GraphItem item) {
  if (item.kind == GraphItem::Waveform) {
    // A trace of another length is another trace: its whole range again.
    if (traceLength_ != item.y.size() && view_.Zoomed()) {
      view_.Fit();
      ViewChanged();
    }
    traceLength_ = item.y.size();
    if (!item.envelope) Reuse(item);
    if (!item.envelope) GraphItemPrepare(item);
  }
  model_.items.emplace_back(handle, std::move(item));
  update();
}

// The logic redraws by deleting every plot and adding them again: a
// waveform with the very samples of one just deleted takes its envelope.
void GraphControl::Reuse(GraphItem& item) {
  for (auto it = recycled_.begin(); it != recycled_.end(); ++it) {
    if (it->x0 != item.x0 || it->dx != item.dx || it->y.size() != item.y.size()) continue;
    if (std::memcmp(it->y.data(), item.y.data(), item.y.size() * sizeof(double)) != 0) continue;
    item.envelope = it->envelope;
    recycled_.erase(it);
    return;
  }
}

void GraphControl::DeleteItem(int handle) {
  if (handle < 0) {
    recycled_.clear();
    for (auto& [h, item] : model_.items)
      if (item.envelope) recycled_.push_back(std::move(item));
    model_.items.clear();
  } else {
    std::erase_if(model_.items, [handle](const auto& entry) { return entry.first == handle; });
  }
  update();
}

void GraphControl::SetRange(GraphAxis axis, double min, double max) {
  if (axis < GRAPH_AXIS_X || axis > GRAPH_AXIS_RIGHT) return;
  if (axis == GRAPH_AXIS_X) {
    const bool zoomed = view_.Zoomed();
    view_.SetHome(min, max);
    model_.homeMin = view_.HomeMin();
    model_.homeMax = view_.HomeMax();
    if (zoomed && !view_.Zoomed()) ViewChanged();
    model_.min[axis] = view_.Min();
    model_.max[axis] = view_.Max();
  } else {
    model_.min[axis] = min;
    model_.max[axis] = max;
  }
  update();
}

void GraphControl::Fit() {
  view_.Fit();
  ViewChanged();
}

void GraphControl::ZoomAt(int x, double factor) {
  view_.SetMinSpan(MinSpan());
  view_.Zoom(XAt(x), factor);
  ViewChanged();
}

void GraphControl::LinkX(GraphControl* other) {
  if (!other || other == this) return;
  linked_.emplace_back(other);
  other->linked_.emplace_back(this);
}

double GraphControl::XAt(double pixel) const {
  const QRect area = PlotArea();
  return view_.Min() + (pixel - area.left()) * (view_.Max() - view_.Min()) / area.width();
}

// Four samples of the densest waveform at least, so a zoom never ends on an
// empty view; without waveforms a ten-thousandth of the home range.
double GraphControl::MinSpan() const {
  double dx = 0;
  for (const auto& [handle, item] : model_.items)
    if (item.kind == GraphItem::Waveform && item.dx > 0 && (dx == 0 || item.dx < dx)) dx = item.dx;
  return dx > 0 ? 4 * dx : (view_.HomeMax() - view_.HomeMin()) / 1e4;
}

void GraphControl::ViewChanged() {
  model_.min[GRAPH_AXIS_X] = view_.Min();
  model_.max[GRAPH_AXIS_X] = view_.Max();
  update();
  for (const QPointer<GraphControl>& peer : linked_)
    if (peer) peer->Follow(view_.Min(), view_.Max());
}

void GraphControl::Follow(double min, double max) {
  view_.Show(min, max);
  model_.min[GRAPH_AXIS_X] = view_.Min();
  model_.max[GRAPH_AXIS_X] = view_.Max();
  update();
}

void GraphControl::paintEvent(QPaintEvent*) {
  recycled_.clear();  // the redraw that could have used them is over
  QPainter painter(this);
  GraphPaint(painter, rect(), model_);
  if (drag_ == Drag::Band) {
    const QRect area = PlotArea();
    const int a = std::clamp(dragFrom_.x(), area.left(), area.right());
    const int b = std::clamp(dragTo_.x(), area.left(), area.right());
    const QRect band(QPoint(std::min(a, b), area.top()), QPoint(std::max(a, b), area.bottom()));
    painter.fillRect(band, QColor(0x30, 0x60, 0xC0, 0x30));
    painter.setPen(QPen(QColor(0x30, 0x60, 0xC0), 0, Qt::DashLine));
    painter.drawRect(band);
  }
}

void GraphControl::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return event->ignore();
  // One notch (120) zooms in or out by a fifth; touchpads send parts of one.
  ZoomAt(static_cast<int>(event->position().x()), std::pow(0.8, delta / 120.0));
  event->accept();
}

void GraphControl::mousePressEvent(QMouseEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shift)) drag_ = Drag::Pan;
  else if (event->button() == Qt::LeftButton && PlotArea().contains(event->position().toPoint())) drag_ = Drag::Band;
  else return QWidget::mousePressEvent(event);
  dragFrom_ = dragTo_ = event->position().toPoint();
  event->accept();
}

void GraphControl::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::None) return QWidget::mouseMoveEvent(event);
  const QPoint at = event->position().toPoint();
  if (drag_ == Drag::Pan) {
    // The trace follows the pointer.
    view_.Pan(XAt(dragTo_.x()) - XAt(at.x()));
    dragTo_ = at;
    ViewChanged();
  } else {
    dragTo_ = at;
    update();
  }
}

void GraphControl::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_ == Drag::None) return QWidget::mouseReleaseEvent(event);
  const Drag was = drag_;
  drag_ = Drag::None;
  dragTo_ = event->position().toPoint();
  // A band of a few pixels is a click, not a zoom.
  if (was == Drag::Band && std::abs(dragTo_.x() - dragFrom_.x()) >= 4) {
    view_.SetMinSpan(MinSpan());
    view_.Show(XAt(dragFrom_.x()), XAt(dragTo_.x()));
    ViewChanged();
  }
  update();
}

void GraphControl::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Home) return QWidget::keyPressEvent(event);
  Fit();
}
