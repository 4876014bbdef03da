// A panel host that records what the logic asked of the panels.
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/Panel.h"

class FakePanelHost : public PanelHost {
 public:
  using Key = std::pair<int, int>;

  int SetInt(int p, int c, int64_t v) override { return Record(p, c, [&] { ints[{p, c}] = v; }); }
  int SetDouble(int p, int c, double v) override { return Record(p, c, [&] { doubles[{p, c}] = v; }); }
  int SetString(int p, int c, const std::string& v) override { return Record(p, c, [&] { texts[{p, c}] = v; }); }
  int GetInt(int p, int c, int64_t& v) override { return Record(p, c, [&] { v = ints[{p, c}]; }); }
  int GetDouble(int p, int c, double& v) override { return Record(p, c, [&] { v = doubles[{p, c}]; }); }
  int GetString(int p, int c, std::string& v) override { return Record(p, c, [&] { v = texts[{p, c}]; }); }
  int SetAttribute(int p, int c, PanelAttribute a, int64_t v) override;
  int GetAttribute(int p, int c, PanelAttribute a, int64_t& v) override {
    return Record(p, c, [&] { v = attributes[{p, c}][a]; });
  }
  int SetLabel(int p, int c, const std::string& l) override { return Record(p, c, [&] { labels[{p, c}] = l; }); }
  int AppendText(int p, int c, const std::string& t) override {
    if (onAppendText) onAppendText(t);
    return Record(p, c, [&] { texts[{p, c}] += t; });
  }
  int ClearText(int p, int c) override { return Record(p, c, [&] { texts[{p, c}].clear(); }); }
  int DeleteLastLine(int p, int c) override;
  int InstallCallback(int p, int c, PanelCallback cb, void*) override {
    return Record(p, c, [&] { callbacks[{p, c}] = cb; });
  }
  int Display(int) override { return 0; }
  int SetPanelDimmed(int p, bool dimmed) override { return Record(p, 0, [&] { panelDimmed[p] = dimmed; }); }
  int SetTitle(int, const std::string&) override { return 0; }
  void SetWaitCursor(bool on) override {
    std::lock_guard<std::mutex> g(lock);
    waitCursor = on;
    ++waitCursorCalls;
  }
  void MessagePopup(const std::string& title, const std::string& message) override {
    std::lock_guard<std::mutex> g(lock);
    popups.push_back(title + ": " + message);
  }
  bool ConfirmPopup(const std::string&, const std::string&) override { return confirmAnswer; }
  bool FileSelectPopup(const std::string&, const std::string& defaultName, const std::string& filters,
                       const std::string& title, bool, std::string& path) override {
    fileAsked = {defaultName, filters, title};
    path = fileAnswer;
    return !fileAnswer.empty();
  }
  bool MultiFileSelectPopup(const std::string&, const std::string& defaultName, const std::string& filters,
                            const std::string& title, std::vector<std::string>& paths) override {
    fileAsked = {defaultName, filters, title};
    paths = filesAnswer;
    return !filesAnswer.empty();
  }
  bool DirSelectPopup(const std::string&, const std::string&, std::string& path) override {
    path = fileAnswer;
    return !fileAnswer.empty();
  }
  void QuitEventLoop() override { quitRequested = true; }
  int SetTableCell(int p, int c, int row, int column, const std::string& text) override {
    return Record(p, c, [&] { cells[{p, c}][{row, column}] = text; });
  }
  int GetTableCell(int p, int c, int row, int column, std::string& text) override {
    return Record(p, c, [&] { text = cells[{p, c}][{row, column}]; });
  }
  int AddPlot(int p, int c, GraphItem item) override {
    if (Record(p, c, [&] { plots[{p, c}].push_back(std::move(item)); }) != 0) return PANEL_ERR_UNKNOWN;
    plotIds[{p, c}].push_back(++plotHandles);
    return plotHandles;
  }
  int DeletePlot(int p, int c, int plot) override {
    return Record(p, c, [&] {
      auto& items = plots[{p, c}];
      auto& ids = plotIds[{p, c}];
      if (plot < 0) {
        items.clear();
        ids.clear();
      }
      for (size_t i = 0; i < ids.size() && i < items.size(); ++i)
        if (ids[i] == plot) {
          items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
          ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(i));
          break;
        }
    });
  }
  int SetAxisRange(int p, int c, GraphAxis axis, double min, double max) override {
    return Record(p, c, [&] { ranges[{p, c}][axis] = {min, max}; });
  }
  // The operator's zoom: `views` when set; refused otherwise, so the logic
  // takes the range of its axis controls.
  int GetAxisView(int p, int c, GraphAxis axis, double& min, double& max) override {
    const auto v = views.find({p, c});
    if (axis != GRAPH_AXIS_X || v == views.end()) return PANEL_ERR_UNKNOWN;
    return Record(p, c, [&] { std::tie(min, max) = v->second; });
  }
  int GraphFit(int p, int c) override { return Record(p, c, [&] { views.erase({p, c}); }); }
  int Hide(int p) override { return Record(p, 0, [&] { hidden.push_back(p); }); }
  // Editable text boxes keep their text in `texts`.
  int GetCursorLine(int p, int c, int& line) override { return Record(p, c, [&] { line = cursorLines[{p, c}]; }); }
  int SetCursorLine(int p, int c, int line) override { return Record(p, c, [&] { cursorLines[{p, c}] = line; }); }
  int SetFirstVisibleLine(int p, int c, int line) override {
    return Record(p, c, [&] { firstVisible[{p, c}] = line; });
  }
  int InsertText(int p, int c, int line, const std::string& text) override {
    return Record(p, c, [&] {
      std::string& t = texts[{p, c}];
      bool lineFeedFirst = false;
      const size_t at = PanelInsertOffset(t, line, lineFeedFirst);
      t.insert(at, (lineFeedFirst ? "\n" : "") + text);
    });
  }
  int InsertListItem(int p, int c, int index, const std::string& label, int64_t value) override;
  int DeleteListItems(int p, int c, int index, int count) override;
  // Panels: handles 1, 2, ... in the order asked for; `failResource` is refused.
  int LoadPanel(int resource) override {
    std::lock_guard<std::mutex> g(lock);
    if (resource == failResource) return PANEL_ERR_UNKNOWN;
    loadedResources.push_back(resource);
    return static_cast<int>(loadedResources.size());
  }
  bool ScreenSize(int& width, int& height) override {
    width = screenWidth;
    height = screenHeight;
    return true;
  }

  std::string Cell(int p, int c, int row, int column) {
    std::lock_guard<std::mutex> g(lock);
    return cells[{p, c}][{row, column}];
  }
  std::string Text(int p, int c) {
    std::lock_guard<std::mutex> g(lock);
    return texts[{p, c}];
  }

  std::mutex lock;
  std::map<Key, int64_t> ints;
  std::map<Key, double> doubles;
  std::map<Key, std::string> texts;
  std::map<Key, std::string> labels;
  std::map<Key, int> cursorLines;
  std::map<Key, int> firstVisible;
  std::map<Key, std::map<PanelAttribute, int64_t>> attributes;
  std::map<Key, PanelCallback> callbacks;
  // Table cells by (row, column).
  std::map<Key, std::map<std::pair<int, int>, std::string>> cells;
  // Panels hidden, in order.
  std::vector<int> hidden;
  struct RingItem {
    std::string label;
    int64_t value;
  };
  std::map<Key, std::vector<RingItem>> rings;
  std::vector<std::string> popups;
  // Plots on each graph, in order (DeletePlot(-1) empties the list).
  std::map<Key, std::vector<GraphItem>> plots;
  std::map<Key, std::vector<int>> plotIds;  // the handle of each of `plots`
  std::map<Key, std::map<GraphAxis, std::pair<double, double>>> ranges;
  std::map<Key, std::pair<double, double>> views;  // X views zoomed by the operator
  int plotHandles = 0;
  std::map<int, bool> panelDimmed;
  bool waitCursor = false;
  int waitCursorCalls = 0;
  bool confirmAnswer = false;
  std::string fileAnswer;
  std::vector<std::string> filesAnswer;  // the multi-file dialog
  // Default name, filters and title of the last file dialog.
  std::vector<std::string> fileAsked;
  bool quitRequested = false;
  // Called (without the lock) before text is appended to a text box.
  std::function<void(const std::string& text)> onAppendText;
  std::vector<int> loadedResources;
  int failResource = 0;
  int screenWidth = 1920, screenHeight = 1080;
  // Called (without the lock) whenever a timer control is switched.
  std::function<void(int panel, int control, bool on)> onTimerSwitch;

 private:
  template <class F>
  int Record(int p, int c, F f) {
    std::lock_guard<std::mutex> g(lock);
    if (p <= 0) return PANEL_ERR_UNKNOWN;
    (void)c;
    f();
    return 0;
  }
};
