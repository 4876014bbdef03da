#include "ui/qt/GraphControl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

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

QString AxisNumber(double v) { return QString::number(v, 'g', 5); }

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
  for (int i = 0; i <= m.yDivisions; ++i) {
    const double f = static_cast<double>(i) / m.yDivisions;
    const int y = area.top() + area.height() - static_cast<int>(area.height() * f);
    const QRect leftBox(0, y - h / 2, area.left() - 4, h);
    p.drawText(leftBox, Qt::AlignRight | Qt::AlignVCenter,
               AxisNumber(m.min[GRAPH_AXIS_LEFT] + f * (m.max[GRAPH_AXIS_LEFT] - m.min[GRAPH_AXIS_LEFT])));
    if (right) {
      const QRect rightBox(area.right() + 4, y - h / 2, 200, h);
      p.drawText(rightBox, Qt::AlignLeft | Qt::AlignVCenter,
                 AxisNumber(m.min[GRAPH_AXIS_RIGHT] + f * (m.max[GRAPH_AXIS_RIGHT] - m.min[GRAPH_AXIS_RIGHT])));
    }
  }
  for (int i = 0; i <= m.xDivisions; i += (m.xDivisions > 10 ? 3 : 1)) {
    const double f = static_cast<double>(i) / m.xDivisions;
    const int x = area.left() + static_cast<int>(area.width() * f);
    const QRect box(x - 40, area.top() + area.height() + 2, 80, h);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop,
               AxisNumber(m.min[GRAPH_AXIS_X] + f * (m.max[GRAPH_AXIS_X] - m.min[GRAPH_AXIS_X])));
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
  if (last - first <= static_cast<size_t>(2 * width)) {
    // Few samples: the line itself, broken where a sample is missing (NaN).
    QPolygonF line;
    line.reserve(static_cast<int>(last - first));
    for (size_t i = first; i < last; ++i) {
      const double v = item.y[i];
      if (std::isnan(v)) {
        p.drawPolyline(line);
        line.clear();
        continue;
      }
      line.append(QPointF(map.X(item.x0 + static_cast<double>(i) * item.dx), map.Y(v)));
    }
    p.drawPolyline(line);
    return;
  }
  // More samples than columns: one vertical stroke per column.
  std::vector<GraphColumn> columns;
  GraphColumnEnvelope(item.y.data(), item.y.size(), item.x0, item.dx, viewMin, viewMax, width, columns);
  QVector<QLineF> strokes;
  strokes.reserve(width);
  for (int c = 0; c < width; ++c) {
    const GraphColumn& col = columns[static_cast<size_t>(c)];
    if (!col.used) continue;
    const double x = area.left() + c + 0.5;
    strokes.append(QLineF(x, map.Y(col.max), x, map.Y(col.min)));
  }
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
      p.drawText(QPointF(map.X(item.x1), map.Y(item.y1) + fm.ascent()), QString::fromStdString(item.text));
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
}

void GraphControl::AddItem(int handle, GraphItem item) {
  model_.items.emplace_back(handle, std::move(item));
  update();
}

void GraphControl::DeleteItem(int handle) {
  if (handle < 0) {
    model_.items.clear();
  } else {
    std::erase_if(model_.items, [handle](const auto& entry) { return entry.first == handle; });
  }
  update();
}

void GraphControl::SetRange(GraphAxis axis, double min, double max) {
  if (axis < GRAPH_AXIS_X || axis > GRAPH_AXIS_RIGHT) return;
  model_.min[axis] = min;
  model_.max[axis] = max;
  update();
}

void GraphControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  GraphPaint(painter, rect(), model_);
}
