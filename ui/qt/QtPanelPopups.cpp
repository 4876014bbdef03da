// Popups and the wait cursor of the Qt host: every question to the operator
// goes through Ask, which a test can answer instead.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "ui/qt/QtPanelHost.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// "*.pms;*.scr" becomes "*.pms *.scr;;All files (*)".
QString FileFilters(const std::string& patterns) {
  QString list = Q(patterns).replace(';', ' ').simplified();
  return list.isEmpty() ? QString("All files (*)") : list + ";;All files (*)";
}

}  // namespace

void QtPanelHost::SetPopupResponder(PopupResponder responder) {
  std::lock_guard<std::mutex> g(lock_);
  responder_ = std::move(responder);
}

PopupAnswer QtPanelHost::Ask(const PopupRequest& r) {
  PopupResponder responder;
  {
    std::lock_guard<std::mutex> g(lock_);
    responder = responder_;
  }
  if (responder) return responder(r);
  PopupAnswer a;
  QWidget* parent = QApplication::activeWindow();
  switch (r.kind) {
    case PopupRequest::Message:
      ShowMessage(r, nullptr);
      a.accepted = true;
      break;
    case PopupRequest::Confirm:
      a.accepted = QMessageBox::question(parent, Q(r.title), Q(r.message)) == QMessageBox::Yes;
      break;
    case PopupRequest::FileSelect: {
      const QString start = Q(r.directory.empty() ? r.defaultName : r.directory + "/" + r.defaultName);
      const QString path = r.forSave ? QFileDialog::getSaveFileName(parent, Q(r.title), start, FileFilters(r.message))
                                     : QFileDialog::getOpenFileName(parent, Q(r.title), start, FileFilters(r.message));
      a.accepted = !path.isEmpty();
      a.path = path.toStdString();
      break;
    }
    case PopupRequest::MultiFileSelect: {
      const QString start = Q(r.directory.empty() ? r.defaultName : r.directory + "/" + r.defaultName);
      for (const QString& p : QFileDialog::getOpenFileNames(parent, Q(r.title), start, FileFilters(r.message)))
        a.paths.push_back(p.toStdString());
      a.accepted = !a.paths.empty();
      break;
    }
    case PopupRequest::DirSelect: {
      const QString path = QFileDialog::getExistingDirectory(parent, Q(r.title), Q(r.directory));
      a.accepted = !path.isEmpty();
      a.path = path.toStdString();
      break;
    }
    case PopupRequest::ImageExport: a = AskImageExport(r, parent); break;
  }
  return a;
}

void QtPanelHost::ShowMessage(const PopupRequest& r, std::function<void()> then) {
  // A message needs no answer: it is shown without a nested event loop, so a
  // message raised in an engine step never runs the tick inside it.
  // A message with a continuation stands on its own: the window that asked
  // for it may be on its way out.
  QWidget* parent = then ? nullptr : QApplication::activeWindow();
  auto* box = new QMessageBox(QMessageBox::Information, Q(r.title), Q(r.message), QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  if (then) connect(box, &QDialog::finished, this, [then = std::move(then)](int) { then(); });
  box->open();
}

void QtPanelHost::MessagePopup(const std::string& title, const std::string& message) {
  PopupRequest r{PopupRequest::Message, title, message, "", "", false};
  // From another thread the message is shown later and does not block.
  OnGui([this, r] { Ask(r); });
}

void QtPanelHost::MessagePopupThen(const std::string& title, const std::string& message, std::function<void()> then) {
  PopupRequest r{PopupRequest::Message, title, message, "", "", false};
  OnGui([this, r, then = std::move(then)]() mutable {
    bool answered = false;
    {
      std::lock_guard<std::mutex> g(lock_);
      answered = responder_ != nullptr;
    }
    if (!answered) {
      ShowMessage(r, std::move(then));
      return;
    }
    Ask(r);
    then();
  });
}

bool QtPanelHost::ConfirmPopup(const std::string& title, const std::string& message) {
  if (QThread::currentThread() != thread()) return false;
  return Ask({PopupRequest::Confirm, title, message, "", "", false}).accepted;
}

bool QtPanelHost::FileSelectPopup(const std::string& directory, const std::string& defaultName,
                                  const std::string& filters, const std::string& title, bool forSave,
                                  std::string& path) {
  if (QThread::currentThread() != thread()) return false;
  PopupAnswer a = Ask({PopupRequest::FileSelect, title, filters, directory, defaultName, forSave});
  if (a.accepted) path = a.path;
  return a.accepted;
}

bool QtPanelHost::MultiFileSelectPopup(const std::string& directory, const std::string& defaultName,
                                       const std::string& filters, const std::string& title,
                                       std::vector<std::string>& paths) {
  if (QThread::currentThread() != thread()) return false;
  PopupAnswer a = Ask({PopupRequest::MultiFileSelect, title, filters, directory, defaultName, false});
  if (a.accepted) paths = a.paths;
  return a.accepted;
}

bool QtPanelHost::DirSelectPopup(const std::string& directory, const std::string& title, std::string& path) {
  if (QThread::currentThread() != thread()) return false;
  PopupAnswer a = Ask({PopupRequest::DirSelect, title, "", directory, "", false});
  if (a.accepted) path = a.path;
  return a.accepted;
}

void QtPanelHost::SetWaitCursor(bool on) {
  OnGui([this, on] {
    // Balanced: the override stack of the application is one deep here.
    if (on && waitCursorDepth_ == 0) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      waitCursorDepth_ = 1;
    } else if (!on && waitCursorDepth_ == 1) {
      QApplication::restoreOverrideCursor();
      waitCursorDepth_ = 0;
    }
  });
}
