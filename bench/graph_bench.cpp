// The scope panel with the largest trace (65 535 frames, sixteen generated
// strokes) and every channel the display draws at once: expert mode with the
// alternative ram-type group (ram, thirteen lanes, the four status bands),
// the four analog channels on, both graphs painted into a 1920 x 1080 image.
// Each step is given as a share of one 60 Hz frame (16.7 ms); in the same run
// the same graphs painted with every sample as a polyline are the reference.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeTrace.h"
#include "scope/scope.h"
#include "sim/SimStroke.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/GraphControl.h"
#include "ui/qt/QtPanelHost.h"

namespace {

constexpr size_t kFrames = 65535;
constexpr double kFrameSeconds = 0.0167;

// The trace record: one generated stroke of 4096 frames at 0.5 ms, sixteen
// times, through the real P0528 conversion.
void LoadTrace() {
  SimStrokeShape shape;
  const auto stroke = SimStrokeGenerate(SimScopeTraceModel(SimScopeLayout::P0528, 0, false, shape), 4096, 0.5);
  SimScopeEncoding encoding;
  encoding.ramtype = 0x31;
  encoding.interleaved = false;  // the alternative group: word 0 is the position word
  std::vector<uint8_t> raw(stroke.size() * 16);
  SimStrokeEncode(stroke, encoding, raw.data());
  ScopeTraceDesc& t = scScope[0];
  if (!ScopeFramesReplace(t, kFrames)) std::abort();
  for (size_t i = 0; i < kFrames; ++i) std::memcpy(t.pFrames[i].aubRaw, &raw[(i % stroke.size()) * 16], 16);
  t.uwFrames = static_cast<uint16_t>(kFrames);
  t.uwSampleTime = 1;
  t.udStatus = SCOPE_STATUS_BACKWARD;
  t.ubFileFormat = SCOPE_FORMAT_P0528;
  ScopeFrameConvertP0528(t);
  ubScopeNumOfTraces = 1;
  uwScopeRamtype = 0x31;
  uwScopePostTrgTime = 1000;
  ubMcFlag2 |= MC_FLAG2_TRACE_PRESENT | MC_FLAG2_EXPERT_MODE;
  ubMcFlag3 |= MC_FLAG3_ANALOG_SHOWN;
  ubMcFlag4 |= MC_FLAG4_EXPERT_MODE | MC_FLAG4_ALT_DIGITAL_CAPTIONS;
}

// The scope panel at 1920 x 1080 with the time axis over the whole trace.
struct Scene {
  QtPanelHost host;
  QWidget* panel = nullptr;
  GraphControl* graphs[2] = {nullptr, nullptr};
  QImage image{1920, 1080, QImage::Format_ARGB32_Premultiplied};

  Scene() {
    PanelSetHost(&host);
    uwMcScopePanelHandle = static_cast<uint16_t>(PanelLoad(PANEL_SCOPE));
    uwMcTraceInfoPanelHandle = static_cast<uint16_t>(PanelLoad(PANEL_TRACE_INFO));
    panel = host.PanelWidget(uwMcScopePanelHandle);
    graphs[0] = qobject_cast<GraphControl*>(host.ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
    graphs[1] = qobject_cast<GraphControl*>(host.ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH_DIGITAL));
    if (!panel || !graphs[0] || !graphs[1]) std::abort();
    panel->resize(image.size());
    PanelDisplay(uwMcScopePanelHandle);
    QApplication::processEvents();
    LoadTrace();
    PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_TIME_AXIS, kFrames * 0.5 / 15);
    ScopeTraceDisplay(0);
  }
  // Both graphs where the panel has them.
  void Paint() {
    QPainter p(&image);
    for (GraphControl* g : graphs) g->render(&p, g->mapTo(panel, QPoint(0, 0)));
  }
  int Middle() const { return graphs[0]->PlotArea().center().x(); }
};

Scene* scene = nullptr;

void Share(benchmark::State& state) {
  // Inverted rate: seconds per step divided by the frame time.
  state.counters["frame_share"] = benchmark::Counter(
      kFrameSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A new trace shown: plots built from the record, then painted.
void BM_FullRedraw(benchmark::State& state) {
  scene->graphs[0]->Fit();
  for (auto _ : state) {
    ScopeTraceDisplay(0);
    scene->Paint();
  }
  Share(state);
}

// One wheel notch in or out around the middle.
void BM_ZoomStep(benchmark::State& state) {
  scene->graphs[0]->Fit();
  bool in = true;
  for (auto _ : state) {
    scene->graphs[0]->ZoomAt(scene->Middle(), in ? 0.8 : 1.25);
    in = !in;
    scene->Paint();
  }
  Share(state);
  scene->graphs[0]->Fit();
}

// Dragging a quarter of the trace 40 px to and fro with the middle button.
void BM_PanStep(benchmark::State& state) {
  GraphControl* g = scene->graphs[0];
  g->Fit();
  g->ZoomAt(scene->Middle(), 0.25);
  const QPointF from(scene->Middle(), 50);
  auto send = [g](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, g->mapToGlobal(at), Qt::MiddleButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(g, &e);
  };
  send(QEvent::MouseButtonPress, from, Qt::MiddleButton);
  int step = 0;
  for (auto _ : state) {
    send(QEvent::MouseMove, from + QPointF(step++ % 2 ? 0 : 40, 0), Qt::MiddleButton);
    scene->Paint();
  }
  send(QEvent::MouseButtonRelease, from, Qt::NoButton);
  Share(state);
  g->Fit();
}

// A right click: the frame's readout, the analog plots again, the cursor
// line on both graphs, painted.
void BM_CursorClick(benchmark::State& state) {
  scene->graphs[0]->Fit();
  const double width = scene->graphs[0]->PlotArea().width();
  int step = 0;
  for (auto _ : state) {
    ScopeDisplayMouseData(step++ % 2 ? 300 : 900, 50, width);
    scene->Paint();
  }
  Share(state);
}

// The reference: every sample of every waveform as one polyline.
void BM_PolylinePaint(benchmark::State& state) {
  scene->graphs[0]->Fit();
  for (auto _ : state) {
    QPainter p(&scene->image);
    for (GraphControl* g : scene->graphs) {
      const QRect bounds(g->mapTo(scene->panel, QPoint(0, 0)), g->size());
      GraphModel frame = g->Model();
      frame.items.clear();
      GraphPaint(p, bounds, frame);  // the same grid and labels
      const QRect area = GraphPlotArea(bounds, g->Model());
      p.save();
      p.setClipRect(area);
      for (const auto& [handle, item] : g->Model().items)
        if (item.kind == GraphItem::Waveform) GraphPaintPolyline(p, area, g->Model(), item);
      p.restore();
    }
  }
  Share(state);
}

BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CursorClick)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PolylinePaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints, after the usual table, how many times faster each step is than
// the polyline paint in this run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // Single runs, or the median when repetitions are asked for.
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
        seconds_[r.run_name.function_name] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const auto reference = seconds_.find("BM_PolylinePaint");
    if (reference == seconds_.end()) return;
    for (const auto& [name, seconds] : seconds_)
      if (name != reference->first && seconds > 0)
        std::printf("%s: polyline paint / step = %.1f\n", name.c_str(), reference->second / seconds);
  }

 private:
  std::map<std::string, double> seconds_;
};

// Resident memory of this process in MB (0 where /proc is missing).
double ResidentMb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    double kb = 0;
    if (key == "VmRSS:" && status >> kb) return kb / 1024;
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Scene s;
  scene = &s;
  s.Paint();
  std::printf("resident memory with the trace shown: %.1f MB\n", ResidentMb());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  PanelSetHost(nullptr);
  return 0;
}
