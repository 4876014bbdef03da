#include "ui/Panel.h"

namespace {
PanelHost* panelHost = nullptr;
}

void PanelSetHost(PanelHost* host) { panelHost = host; }
PanelHost* PanelGetHost() { return panelHost; }

int PanelSetInt(int p, int c, int64_t v) { return panelHost ? panelHost->SetInt(p, c, v) : 0; }
int PanelSetDouble(int p, int c, double v) { return panelHost ? panelHost->SetDouble(p, c, v) : 0; }
int PanelSetString(int p, int c, const std::string& v) { return panelHost ? panelHost->SetString(p, c, v) : 0; }
int PanelGetInt(int p, int c, int64_t& v) { return panelHost ? panelHost->GetInt(p, c, v) : 0; }
int PanelGetDouble(int p, int c, double& v) { return panelHost ? panelHost->GetDouble(p, c, v) : 0; }
int PanelGetString(int p, int c, std::string& v) { return panelHost ? panelHost->GetString(p, c, v) : 0; }
int PanelSetAttribute(int p, int c, PanelAttribute a, int64_t v) {
  return panelHost ? panelHost->SetAttribute(p, c, a, v) : 0;
}
int PanelSetLabel(int p, int c, const std::string& l) { return panelHost ? panelHost->SetLabel(p, c, l) : 0; }
int PanelAppendText(int p, int c, const std::string& t) { return panelHost ? panelHost->AppendText(p, c, t) : 0; }
int PanelClearText(int p, int c) { return panelHost ? panelHost->ClearText(p, c) : 0; }
int PanelDeleteLastLine(int p, int c) { return panelHost ? panelHost->DeleteLastLine(p, c) : 0; }
int PanelInstallCallback(int p, int c, PanelCallback cb, void* d) {
  return panelHost ? panelHost->InstallCallback(p, c, cb, d) : 0;
}
int PanelDisplay(int p) { return panelHost ? panelHost->Display(p) : 0; }
int PanelHide(int p) { return panelHost ? panelHost->Hide(p) : 0; }
int PanelSetDimmed(int p, bool d) { return panelHost ? panelHost->SetPanelDimmed(p, d) : 0; }
int PanelSetTitle(int p, const std::string& t) { return panelHost ? panelHost->SetTitle(p, t) : 0; }
void PanelSetWaitCursor(bool on) {
  if (panelHost) panelHost->SetWaitCursor(on);
}
void PanelMessagePopup(const std::string& title, const std::string& message) {
  if (panelHost) panelHost->MessagePopup(title, message);
}
void PanelMessagePopupThen(const std::string& title, const std::string& message, std::function<void()> then) {
  if (panelHost) panelHost->MessagePopupThen(title, message, std::move(then));
  else then();
}
bool PanelConfirmPopup(const std::string& title, const std::string& message) {
  return panelHost ? panelHost->ConfirmPopup(title, message) : false;
}
bool PanelFileSelectPopup(const std::string& dir, const std::string& name, const std::string& filters,
                          const std::string& title, bool forSave, std::string& path) {
  return panelHost ? panelHost->FileSelectPopup(dir, name, filters, title, forSave, path) : false;
}
bool PanelDirSelectPopup(const std::string& dir, const std::string& title, std::string& path) {
  return panelHost ? panelHost->DirSelectPopup(dir, title, path) : false;
}
bool PanelMultiFileSelectPopup(const std::string& dir, const std::string& name, const std::string& filters,
                               const std::string& title, std::vector<std::string>& paths) {
  return panelHost ? panelHost->MultiFileSelectPopup(dir, name, filters, title, paths) : false;
}
void PanelQuitEventLoop() {
  if (panelHost) panelHost->QuitEventLoop();
}

int PanelLoad(int resource) { return panelHost ? panelHost->LoadPanel(resource) : 0; }
int PanelDiscard(int p) { return panelHost ? panelHost->DiscardPanel(p) : 0; }
int PanelGetAttribute(int p, int c, PanelAttribute a, int64_t& v) {
  return panelHost ? panelHost->GetAttribute(p, c, a, v) : 0;
}
int PanelCenter(int p) { return panelHost ? panelHost->CenterPanel(p) : 0; }
bool PanelGetScreenSize(int& width, int& height) { return panelHost && panelHost->ScreenSize(width, height); }
int PanelInsertListItem(int p, int c, int index, const std::string& label, int64_t value) {
  return panelHost ? panelHost->InsertListItem(p, c, index, label, value) : 0;
}
int PanelDeleteListItems(int p, int c, int index, int count) {
  return panelHost ? panelHost->DeleteListItems(p, c, index, count) : 0;
}
int PanelGetNumListItems(int p, int c, int& count) { return panelHost ? panelHost->GetNumListItems(p, c, count) : 0; }
int PanelSetTableSize(int p, int c, int rows, int columns) {
  return panelHost ? panelHost->SetTableSize(p, c, rows, columns) : 0;
}
int PanelSetTableCell(int p, int c, int row, int column, const std::string& text) {
  return panelHost ? panelHost->SetTableCell(p, c, row, column, text) : 0;
}
int PanelGetTableCell(int p, int c, int row, int column, std::string& text) {
  return panelHost ? panelHost->GetTableCell(p, c, row, column, text) : 0;
}
int PanelMarkTableCell(int p, int c, int row, int column, bool marked) {
  return panelHost ? panelHost->MarkTableCell(p, c, row, column, marked) : 0;
}

namespace {
int AddPlot(int p, int c, GraphItem&& item) { return panelHost ? panelHost->AddPlot(p, c, std::move(item)) : 0; }
}  // namespace

int PanelPlotWaveform(int p, int c, const double* y, size_t count, double x0, double dx, int64_t colour,
                      GraphAxis axis) {
  if (!panelHost) return 0;
  GraphItem item;
  item.kind = GraphItem::Waveform;
  item.axis = axis;
  item.colour = colour;
  if (y && count) item.y.assign(y, y + count);
  item.x0 = x0;
  item.dx = dx;
  return AddPlot(p, c, std::move(item));
}

int PanelPlotLine(int p, int c, double x1, double y1, double x2, double y2, int64_t colour, GraphAxis axis) {
  GraphItem item;
  item.kind = GraphItem::Line;
  item.axis = axis;
  item.colour = colour;
  item.x1 = x1;
  item.y1 = y1;
  item.x2 = x2;
  item.y2 = y2;
  return AddPlot(p, c, std::move(item));
}

int PanelPlotPoint(int p, int c, double x, double y, int64_t colour, GraphAxis axis) {
  GraphItem item;
  item.kind = GraphItem::Point;
  item.axis = axis;
  item.colour = colour;
  item.x1 = x;
  item.y1 = y;
  return AddPlot(p, c, std::move(item));
}

int PanelPlotText(int p, int c, double x, double y, const std::string& text, int64_t colour, int pointSize, bool bold,
                  GraphAxis axis, const std::string& font) {
  GraphItem item;
  item.kind = GraphItem::Text;
  item.axis = axis;
  item.colour = colour;
  item.x1 = x;
  item.y1 = y;
  item.text = text;
  item.pointSize = pointSize;
  item.bold = bold;
  item.font = font;
  return AddPlot(p, c, std::move(item));
}

int PanelDeleteGraphPlot(int p, int c, int plot) { return panelHost ? panelHost->DeletePlot(p, c, plot) : 0; }
int PanelSetAxisRange(int p, int c, GraphAxis axis, double min, double max) {
  return panelHost ? panelHost->SetAxisRange(p, c, axis, min, max) : 0;
}
int PanelGetAxisView(int p, int c, GraphAxis axis, double& min, double& max) {
  return panelHost ? panelHost->GetAxisView(p, c, axis, min, max) : 0;
}
int PanelGraphFit(int p, int c) { return panelHost ? panelHost->GraphFit(p, c) : 0; }

int PanelGetCursorLine(int p, int c, int& line) { return panelHost ? panelHost->GetCursorLine(p, c, line) : 0; }
int PanelSetCursorLine(int p, int c, int line) { return panelHost ? panelHost->SetCursorLine(p, c, line) : 0; }
int PanelSetFirstVisibleLine(int p, int c, int line) {
  return panelHost ? panelHost->SetFirstVisibleLine(p, c, line) : 0;
}
int PanelInsertText(int p, int c, int line, const std::string& text) {
  return panelHost ? panelHost->InsertText(p, c, line, text) : 0;
}
void PanelProcessEvents() {
  if (panelHost) panelHost->ProcessEvents();
}

size_t PanelInsertOffset(const std::string& text, int line, bool& lineFeedFirst) {
  lineFeedFirst = false;
  size_t offset = 0;
  for (int i = 0; i < line; ++i) {
    const size_t feed = text.find('\n', offset);
    if (feed == std::string::npos) {
      lineFeedFirst = offset < text.size();  // the last line has text
      return text.size();
    }
    offset = feed + 1;
  }
  return offset;
}
int PanelPrint(int p, std::string& error) { return panelHost ? panelHost->Print(p, error) : 0; }
int PanelExportImage(int p, const std::string& path, int width, int height, std::string& error) {
  return panelHost ? panelHost->ExportImage(p, path, width, height, error) : 0;
}
bool PanelImageExportPopup(const std::string& title, const std::string& dir, const std::string& name, int& width,
                           int& height, std::string& path) {
  return panelHost ? panelHost->ImageExportPopup(title, dir, name, width, height, path) : false;
}
