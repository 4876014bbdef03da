// The graph control: plots on an X axis and two Y axes with manual ranges,
// drawn with QPainter. A waveform with more samples than pixel columns is
// drawn from its column envelope (ui/Graph.h), so a 65 535-frame trace costs
// a few thousand line segments per redraw instead of 65 535.
//
// The operator zooms the time axis with the wheel (around the pointer) or a
// rubber band dragged with the left button, pans with the middle button or
// Shift + left, and goes back to the whole X range the logic set with Home
// or Fit(). The value axes keep their ranges. Graphs linked with LinkX show
// the same X view. A redraw by the logic (plots deleted and added again with
// the same X range) keeps the view; waveforms of another length drop it.
#pragma once
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

#include "ui/Graph.h"
#include "ui/GraphView.h"

class QPainter;

struct GraphModel {
  std::vector<std::pair<int, GraphItem>> items;  // (plot handle, item) in drawing order
  double min[3] = {0, 0, 0};                     // by GraphAxis
  double max[3] = {100, 100, 100};
  // The X range the logic set; min/max[X] is the part of it shown. Texts are
  // placed against it: they are messages at a place of the window and stay
  // there however the operator zooms or pans.
  double homeMin = 0, homeMax = 100;
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
  // The X range sets the home range: a new one shows all of it.
  void SetRange(GraphAxis axis, double min, double max);
  const GraphModel& Model() const { return model_; }
  QRect PlotArea() const { return GraphPlotArea(rect(), model_); }
  QSize sizeHint() const override { return {480, 300}; }

  // The X range shown now (the zoomed view or the home range).
  double ViewMin() const { return view_.Min(); }
  double ViewMax() const { return view_.Max(); }
  bool Zoomed() const { return view_.Zoomed(); }
  void Fit();
  // Zooms by `factor` (< 1 in) around the X at pixel column `x` of the widget.
  void ZoomAt(int x, double factor);
  // Both graphs show the same X view from now on.
  void LinkX(GraphControl* other);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Drag { None, Band, Pan };
  double XAt(double pixel) const;
  void ViewChanged();  // shows the view and hands it to the linked graphs
  void Follow(double min, double max);
  double MinSpan() const;
  void Reuse(GraphItem& item);

  GraphModel model_;
  GraphXView view_;
  size_t traceLength_ = 0;  // samples of the last waveform added
  std::vector<GraphItem> recycled_;  // waveforms of the last "delete all", until the next paint
  std::vector<QPointer<GraphControl>> linked_;
  Drag drag_ = Drag::None;
  QPoint dragFrom_, dragTo_;
};
