// Editable text boxes of the Qt host: the text cursor's line, insertion of
// whole lines and the first line shown. The model's text follows every change.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QThread>

#include "ui/qt/QtPanelHost.h"

namespace {

QPlainTextEdit* Editor(QObject* o) { return qobject_cast<QPlainTextEdit*>(o); }

void MoveCursorToLine(QPlainTextEdit* box, int line) {
  QTextDocument* doc = box->document();
  QTextCursor cursor(doc);
  if (line >= doc->blockCount()) cursor.movePosition(QTextCursor::End);
  else cursor.setPosition(doc->findBlockByNumber(std::max(0, line)).position());
  box->setTextCursor(cursor);
}

}  // namespace

int QtPanelHost::GetCursorLine(int panel, int control, int& line) {
  std::lock_guard<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  line = c->cursorLine;
  return 0;
}

int QtPanelHost::SetCursorLine(int panel, int control, int line) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  c->cursorLine = std::max(0, line);
  QPointer<QObject> o = c->object;
  Post(g, [o, line] {
    if (auto* box = Editor(o.data())) {
      const QSignalBlocker block(box);
      MoveCursorToLine(box, line);
    }
  });
  return 0;
}

int QtPanelHost::SetFirstVisibleLine(int panel, int control, int line) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  QPointer<QObject> o = c->object;
  // A plain text edit scrolls by whole lines: the bar's value is the first
  // line shown.
  Post(g, [o, line] {
    if (auto* box = Editor(o.data())) box->verticalScrollBar()->setValue(std::max(0, line));
  });
  return 0;
}

int QtPanelHost::InsertText(int panel, int control, int line, const std::string& text) {
  std::unique_lock<std::mutex> g(lock_);
  Control* c = Find(panel, control);
  if (!c || c->spec.kind != ControlKind::TextBox) return PANEL_ERR_UNKNOWN;
  bool lineFeedFirst = false;
  const size_t offset = PanelInsertOffset(c->text, line, lineFeedFirst);
  const std::string insert = (lineFeedFirst ? "\n" : "") + text;
  c->text.insert(offset, insert);
  QPointer<QObject> o = c->object;
  const QString qtext = QString::fromStdString(insert);
  Post(g, [o, qtext, line] {
    auto* box = Editor(o.data());
    if (!box) return;
    const QSignalBlocker block(box);
    QTextDocument* doc = box->document();
    QTextCursor cursor(doc);
    if (line >= doc->blockCount()) cursor.movePosition(QTextCursor::End);
    else cursor.setPosition(doc->findBlockByNumber(std::max(0, line)).position());
    cursor.insertText(qtext);
  });
  return 0;
}

void QtPanelHost::ProcessEvents() {
  if (QThread::currentThread() != thread()) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
