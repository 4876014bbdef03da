// One wizard insertion (the 20-line Form3 block through MacroWizCreate and
// the panel layer) into a 20 000-line source in the macro editor, against a
// plain insertion of the same 20 lines into the same editor, alternating in
// one run (Qt, offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <chrono>

#include "app/Startup.h"
#include "macro/MacroWizard.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/QtPanelHost.h"

namespace {

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_WizardInsertion(benchmark::State& state) {
  QtPanelHost host;
  PanelSetHost(&host);
  const int panel = host.LoadPanel(PANEL_MACRO);
  uwMcMacroPanelHandle = static_cast<uint16_t>(panel);
  std::string source;
  for (int i = 0; i < 20000; ++i) source += "    OBJ_WRW 0x2008, 0x00,    200        ; line " + std::to_string(i) + "\n";
  PanelSetString(panel, MACRO_TXT_EDITOR, source);
  QCoreApplication::processEvents();
  auto* editor = qobject_cast<QPlainTextEdit*>(host.ControlObject(panel, MACRO_TXT_EDITOR));
  const uint32_t block[MAC_WIZ_BLOCK_SIZE] = {200, 2000, 2200, 2400, 2500, 2150, 400, 400,
                                              400, 400,  400,  400,  20,   150,  5000};
  std::vector<std::string> lines;
  MacroWizLines(MAC_WIZ_FORM3, block, 0, lines);
  QString plain;
  for (const std::string& l : lines) plain += QString::fromStdString(l) + "\n";
  double wizardMs = 0, plainMs = 0;
  for (auto _ : state) {
    PanelSetCursorLine(panel, MACRO_TXT_EDITOR, 10000);
    QCoreApplication::processEvents();
    auto t0 = std::chrono::steady_clock::now();
    MacroWizCreate(MAC_WIZ_FORM3, block, 0);
    QCoreApplication::processEvents();
    auto t1 = std::chrono::steady_clock::now();
    QTextCursor cursor(editor->document()->findBlockByNumber(10000));
    cursor.insertText(plain);
    QCoreApplication::processEvents();
    auto t2 = std::chrono::steady_clock::now();
    wizardMs += Ms(t1 - t0);
    plainMs += Ms(t2 - t1);
  }
  PanelSetHost(nullptr);
  const double n = static_cast<double>(state.iterations());
  state.counters["wizard_ms"] = wizardMs / n;
  state.counters["plain_ms"] = plainMs / n;
  state.counters["wizard_per_plain"] = wizardMs / plainMs;
}

}  // namespace

BENCHMARK(BM_WizardInsertion)->Iterations(50)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
