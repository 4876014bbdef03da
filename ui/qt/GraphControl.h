// The graph control: plots on an X axis and two Y axes with manual ranges,
// drawn with QPainter. A waveform with more samples than pixel columns is
// drawn from its column envelope (ui/Graph.h), so a 65 535-frame trace costs
// a few thousand line segments per redraw instead of 65 535.
#pragma once
#include <QWidget>
#include <utility>
#include <vector>

#include "ui/Graph.h"

class QPainter;

struct GraphModel {
  std::vector<std::pair<int, GraphItem>> items;  // (plot handle, item) in drawing order
  double min[3] = {0, 0, 0};                     // by GraphAxis
  double max[3] = {100, 100, 100};
  int xDivisions = 15;
  int yDivisions = 10;
};

// The plot area inside a graph of `bounds` (room left for the axis labels).
QRect GraphPlotArea(const QRect& bounds, const GraphModel& model);
// Draws grid, axis labels and every item of `model` into `bounds`.
void GraphPaint(QPainter& painter, const QRect& bounds, const GraphModel& model);
// Draws one waveform into `area` the straightforward way: one segment per
// sample. Kept as the reference the envelope drawing is measured against.
void GraphPaintPolyline(QPainter& painter, const QRect& area, const GraphModel& model, const GraphItem& item);

class GraphControl : public QWidget {
  Q_OBJECT
 public:
  explicit GraphControl(QWidget* parent = nullptr);

  void AddItem(int handle, GraphItem item);
  // handle -1: all.
  void DeleteItem(int handle);
  void SetRange(GraphAxis axis, double min, double max);
  const GraphModel& Model() const { return model_; }
  QRect PlotArea() const { return GraphPlotArea(rect(), model_); }
  QSize sizeHint() const override { return {480, 300}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  GraphModel model_;
};
