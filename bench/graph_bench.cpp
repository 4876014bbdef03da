// One redraw of the scope's graph with 65 535-frame waveforms: the column
// envelope against drawing every sample as a polyline, in the same run, and
// as a share of one 60 Hz frame (16.7 ms).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "ui/qt/GraphControl.h"

namespace {

constexpr int kFrames = 65535;
constexpr double kFrameSeconds = 0.0167;
const QRect kBounds(0, 0, 1200, 500);

// `channels` waveforms of a press stroke with noise, over the full trace.
GraphModel Trace(int channels) {
  GraphModel m;
  m.min[GRAPH_AXIS_X] = 0;
  m.max[GRAPH_AXIS_X] = kFrames;
  m.min[GRAPH_AXIS_LEFT] = 0;
  m.max[GRAPH_AXIS_LEFT] = 100;
  uint32_t seed = 12345;
  for (int c = 0; c < channels; ++c) {
    GraphItem w;
    w.kind = GraphItem::Waveform;
    w.colour = 0x0000FF + 0x202000 * c;
    w.y.resize(kFrames);
    for (int i = 0; i < kFrames; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = static_cast<double>(seed >> 24) / 255.0 - 0.5;
      w.y[static_cast<size_t>(i)] = 50 + 40 * std::sin(i * 0.0003 + c) + 3 * noise;
    }
    m.items.emplace_back(c + 1, std::move(w));
  }
  return m;
}

void Share(benchmark::State& state) {
  // Inverted rate: seconds per redraw divided by the frame time.
  state.counters["frame_share"] = benchmark::Counter(
      kFrameSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RedrawEnvelope(benchmark::State& state) {
  const GraphModel model = Trace(static_cast<int>(state.range(0)));
  QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter p(&image);
    GraphPaint(p, kBounds, model);
  }
  Share(state);
}

void BM_RedrawPolyline(benchmark::State& state) {
  const GraphModel model = Trace(static_cast<int>(state.range(0)));
  GraphModel frame = model;
  frame.items.clear();
  QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
  const QRect area = GraphPlotArea(kBounds, model);
  for (auto _ : state) {
    QPainter p(&image);
    GraphPaint(p, kBounds, frame);  // the same grid and labels
    p.setClipRect(area);
    for (const auto& [handle, item] : model.items) GraphPaintPolyline(p, area, model, item);
  }
  Share(state);
}

BENCHMARK(BM_RedrawEnvelope)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedrawPolyline)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints, after the usual table, how many times faster the envelope redraw is
// than the polyline in this run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // Single runs, or the median when repetitions are asked for.
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
        seconds_[r.run_name.str()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    for (const char* arg : {"1", "7"}) {
      const auto e = seconds_.find(std::string("BM_RedrawEnvelope/") + arg + "/real_time");
      const auto p = seconds_.find(std::string("BM_RedrawPolyline/") + arg + "/real_time");
      if (e == seconds_.end() || p == seconds_.end() || e->second <= 0) continue;
      std::printf("%s waveform(s): polyline / envelope = %.1f\n", arg, p->second / e->second);
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // fonts for the axis labels
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
