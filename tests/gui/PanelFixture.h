// Starts the real panels as the program does (offscreen), with the engine's
// tick stopped so posted signals stay in the queue for the test to read, and
// every popup answered by the test.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "support/SimProcess.h"
#include "ui/qt/QtPanelHost.h"

class PanelFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The command line the panels start with.
  virtual std::vector<std::string> Arguments() { return {}; }
  // Puts files into the program directory before start-up reads it.
  virtual void PrepareProgramDirectory() {}
  // Whether the operator accepts the terms of use before the test.
  virtual bool AcceptTerms() { return true; }

  // Shows what is still queued for the log window, then returns its text.
  std::string Log();
  void ClearLog();
  // Takes every posted signal out of the queue, oldest first.
  std::vector<uint16_t> Signals();
  int Count(const std::string& text, const std::string& what);

  QAbstractButton* Button(int panel, int control);
  QAction* Action(int panel, int control);
  void Click(int panel, int control);
  void Choose(int item);  // a main menu item
  void ChooseScope(int item);  // a scope menu item
  // The operator picks the ring item with `value`.
  void ChooseRing(int panel, int control, int64_t value);
  bool Visible(int panel);
  bool Dimmed(int panel, int control);  // control 0: the panel
  void Process();  // runs queued widget work

  std::unique_ptr<QtPanelHost> host;
  std::vector<PopupRequest> popups;
  PopupAnswer answer;  // what the next popups answer
  std::filesystem::path dir;  // empty program directory (no StrokeDesk.ini)
  std::unique_ptr<ScopedEnv> config;
  int main = 0;
};
