// Printing and image export of a panel. The picture is painted afresh at the
// size of the page or image instead of being copied from the screen, so a PDF,
// an SVG or a large PNG stays sharp; files are written whole or not at all.
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QThread>
#include <algorithm>

#include "platform/FileUtil.h"
#include "ui/qt/GraphControl.h"
#include "ui/qt/QtPanelHost.h"

namespace {

// What a picture of a panel shows, as the panel shows it now.
struct Picture {
  std::vector<GraphControl*> graphs;  // top to bottom
  std::vector<QWidget*> legends;      // left to right
  QSize size;                         // the window's
};

Picture PictureOf(QWidget* panel) {
  Picture picture;
  picture.size = panel->size();
  // Only the panel's own widgets, not those of windows parented to it.
  auto own = [panel](QWidget* w) { return w->window() == panel->window(); };
  for (GraphControl* g : panel->findChildren<GraphControl*>())
    if (own(g)) picture.graphs.push_back(g);
  for (QWidget* w : panel->findChildren<QWidget*>(QRegularExpression("^LEGEND")))
    if (own(w)) picture.legends.push_back(w);
  auto at = [panel](QWidget* w) { return w->mapTo(panel, QPoint()); };
  std::stable_sort(picture.graphs.begin(), picture.graphs.end(),
                   [&](QWidget* a, QWidget* b) { return at(a).y() < at(b).y(); });
  std::stable_sort(picture.legends.begin(), picture.legends.end(),
                   [&](QWidget* a, QWidget* b) { return at(a).x() < at(b).x(); });
  return picture;
}

// The legend in a strip along the top, the graphs below it sharing the rest
// of the height as they share the window's.
void PaintPicture(QPainter& painter, const QRect& bounds, const Picture& picture) {
  painter.fillRect(bounds, Qt::white);
  int top = bounds.top();
  if (!picture.legends.empty()) {
    int x = GraphPlotArea(bounds, GraphModel{}).left();  // in line with the plot areas
    int strip = 0;
    for (QWidget* legend : picture.legends) {
      legend->render(&painter, QPoint(x, top + 2));
      x += legend->width() + 6;
      strip = std::max(strip, legend->height());
    }
    top += strip + 4;
  }
  const size_t n = picture.graphs.size();
  const int room = std::max(0, bounds.top() + bounds.height() - top);
  int total = 0;
  for (GraphControl* g : picture.graphs) total += g->height();
  for (size_t i = 0; i < n; ++i) {
    const int share = total > 0 ? static_cast<int>(static_cast<int64_t>(room) * picture.graphs[i]->height() / total)
                                : room / static_cast<int>(n);
    const int h = i + 1 == n ? bounds.top() + bounds.height() - top : share;
    GraphPaint(painter, QRect(bounds.left(), top, bounds.width(), std::max(1, h)), picture.graphs[i]->Model());
    top += h;
  }
}

// One page, the picture scaled to fit it with its proportions kept. The
// device resolves fonts at the screen's resolution (see Print), so text keeps
// its size against the graphs.
bool PrintPage(QPagedPaintDevice& device, const Picture& picture, std::string& error) {
  QPainter painter;
  if (!painter.begin(&device)) {
    error = "the printer could not be started";
    return false;
  }
  const QSize logical = picture.size.isEmpty() ? QSize(900, 600) : picture.size;
  const double scale = std::min(device.width() / static_cast<double>(logical.width()),
                                device.height() / static_cast<double>(logical.height()));
  painter.scale(scale, scale);
  PaintPicture(painter, QRect(QPoint(), logical), picture);
  if (!painter.end()) {
    error = "the page could not be finished";
    return false;
  }
  return true;
}

int WriteFile(const std::string& path, const QByteArray& bytes, std::string& error) {
  std::string why;
  if (FileWriteAtomically(path, std::string(bytes.constData(), static_cast<size_t>(bytes.size())), why)) return 0;
  error = "cannot write \"" + path + "\": " + why;
  return PANEL_ERR_FILE;
}

}  // namespace

int QtPanelHost::Print(int panel, std::string& error) {
  QWidget* widget = QThread::currentThread() == thread() ? PanelWidget(panel) : nullptr;
  if (!widget) {
    error = "no such panel on the GUI thread";
    return PANEL_ERR_UNKNOWN;
  }
  const Picture picture = PictureOf(widget);
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    const PopupAnswer a = Ask({PopupRequest::FileSelect, "Print to PDF file", "*.pdf", "", "print.pdf", true});
    if (!a.accepted || a.path.empty()) return 0;
    std::string path = a.path;
    if (QFileInfo(QString::fromStdString(path)).suffix().compare("pdf", Qt::CaseInsensitive) != 0) path += ".pdf";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(widget->logicalDpiY());
      pdf.setTitle(widget->windowTitle());
      pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                    QPageLayout::Millimeter));
      if (!PrintPage(pdf, picture, error)) return PANEL_ERR_FILE;
    }
    return WriteFile(path, bytes, error);
  }
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(widget->windowTitle());
  QPrintDialog dialog(&printer, widget);
  if (dialog.exec() != QDialog::Accepted) return 0;
  return PrintPage(printer, picture, error) ? 0 : PANEL_ERR_FILE;
}

int QtPanelHost::ExportImage(int panel, const std::string& path, int width, int height, std::string& error) {
  QWidget* widget = QThread::currentThread() == thread() ? PanelWidget(panel) : nullptr;
  if (!widget) {
    error = "no such panel on the GUI thread";
    return PANEL_ERR_UNKNOWN;
  }
  const Picture picture = PictureOf(widget);
  const QSize size(width > 0 ? width : picture.size.width(), height > 0 ? height : picture.size.height());
  if (size.width() < 1 || size.height() < 1 || size.width() > PANEL_IMAGE_MAX_SIDE ||
      size.height() > PANEL_IMAGE_MAX_SIDE) {
    error = "an image of " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
            " pixels is not made (1 to " + std::to_string(PANEL_IMAGE_MAX_SIDE) + " each way)";
    return PANEL_ERR_FILE;
  }
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (suffix == "png") {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
      error = "not enough memory for an image of that size";
      return PANEL_ERR_FILE;
    }
    {
      QPainter painter(&image);
      PaintPicture(painter, image.rect(), picture);
    }
    if (!image.save(&buffer, "PNG")) {
      error = "the PNG image could not be encoded";
      return PANEL_ERR_FILE;
    }
  } else if (suffix == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(), size));
    svg.setTitle(widget->windowTitle());
    {
      QPainter painter(&svg);
      PaintPicture(painter, QRect(QPoint(), size), picture);
    }
    // The generator gives the size in millimetres at its own resolution,
    // which readers turn back into pixels at theirs; pixels say it exactly.
    static const QRegularExpression header(R"(<svg width="[^"]*" height="[^"]*")");
    const QRegularExpressionMatch m = header.match(QString::fromUtf8(bytes.left(512)));
    if (m.hasMatch())
      bytes.replace(m.capturedStart(), m.capturedLength(),
                    QString("<svg width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()).toUtf8());
  } else {
    error = "\"" + path + "\" is neither a .png nor a .svg file";
    return PANEL_ERR_FILE;
  }
  return WriteFile(path, bytes, error);
}

bool QtPanelHost::ImageExportPopup(const std::string& title, const std::string& directory,
                                   const std::string& defaultName, int& width, int& height, std::string& path) {
  if (QThread::currentThread() != thread()) return false;
  const PopupAnswer a =
      Ask({PopupRequest::ImageExport, title, "*.png;*.svg", directory, defaultName, true, width, height});
  if (!a.accepted || a.path.empty()) return false;
  path = a.path;
  width = a.width;
  height = a.height;
  return true;
}

PopupAnswer QtPanelHost::AskImageExport(const PopupRequest& r, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(r.title));
  const std::string start = r.directory.empty() ? r.defaultName : r.directory + "/" + r.defaultName;
  auto* file = new QLineEdit(QString::fromStdString(start));
  auto* browse = new QPushButton("Browse...");
  auto* row = new QHBoxLayout;
  row->addWidget(file, 1);
  row->addWidget(browse);
  QSpinBox* sides[2];
  const int offered[2] = {r.width, r.height};
  for (int i = 0; i < 2; ++i) {
    sides[i] = new QSpinBox;
    sides[i]->setRange(1, PANEL_IMAGE_MAX_SIDE);
    sides[i]->setSuffix(" px");
    sides[i]->setValue(offered[i] > 0 ? offered[i] : 600);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* form = new QFormLayout(&dialog);
  form->addRow("File:", row);
  form->addRow("Width:", sides[0]);
  form->addRow("Height:", sides[1]);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(file, &QLineEdit::textChanged, &dialog, [buttons](const QString& text) {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
  });
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, file, &r] {
    const QString png = "PNG image (*.png)", svg = "SVG image (*.svg)";
    QString chosen = png;
    QString name = QFileDialog::getSaveFileName(&dialog, QString::fromStdString(r.title), file->text(),
                                                png + ";;" + svg, &chosen);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += chosen == svg ? ".svg" : ".png";
    file->setText(name);
  });
  if (dialog.exec() != QDialog::Accepted) return {};
  PopupAnswer a;
  a.accepted = true;
  a.path = file->text().trimmed().toStdString();
  a.width = sides[0]->value();
  a.height = sides[1]->value();
  return a;
}
