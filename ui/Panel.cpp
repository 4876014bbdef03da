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
void PanelQuitEventLoop() {
  if (panelHost) panelHost->QuitEventLoop();
}
int PanelRingInsert(int p, int c, int index, const std::string& label, int64_t value) {
  return panelHost ? panelHost->RingInsert(p, c, index, label, value) : 0;
}
int PanelRingDeleteItems(int p, int c, int index, int count) {
  return panelHost ? panelHost->RingDeleteItems(p, c, index, count) : 0;
}
