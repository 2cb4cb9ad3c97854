#include "ui/qt_host.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSysInfo>
#include <QVBoxLayout>
#include <cstdlib>

#include "core/canvas.h"
#include "core/cell_address.h"
#include "core/char_case.h"
#include "core/dialog_model.h"
#include "shell/file_filters.h"
#include "shell/frame.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/picture_writer.h"
#include "ui/text_codec.h"

namespace tw {

QtHost::QtHost(TForm1& main) : main_(main) {}

// One key per turn of the event loop. The next turn is asked for before a
// key is sent, so that a modal dialog or menu the key opens, with its own
// loop, receives the keys that follow.
void QtHost::scheduleDelivery() {
  if (deliveryScheduled_ || keys_.empty()) return;
  deliveryScheduled_ = true;
  QTimer::singleShot(0, &main_, [this] {
    deliveryScheduled_ = false;
    deliverNext();
  });
}

void QtHost::showErrorBox(const std::string& message) {
  shown.push_back(message);
  if (quiet) return;
  QMessageBox box(QMessageBox::NoIcon, "TALLOWAY", "Error:" + toQt(message), QMessageBox::Ok,
                  &main_);
  box.exec();
}

void QtHost::beep() {
  QApplication::beep();
}

void QtHost::showMode(Mode mode) {
  main_.showModeIndicator(mode);
}

void QtHost::showProgress(int percent) {
  main_.showGauge(percent);
}

void QtHost::cellsChanged(const Worksheet& ws, const CellRange& range) {
  main_.repaintCells(ws, range);
}

std::optional<std::string> QtHost::nextScripted() {
  if (scripted.empty()) return std::nullopt;
  std::string a = std::move(scripted.front());
  scripted.pop_front();
  if (sameText(a, "{ESC}")) return std::nullopt;
  return a;
}

Answer QtHost::askYesNoCancel(const std::string& question, const std::string& caption) {
  asked.push_back(question);
  if (quiet) {
    if (answers.empty()) return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  // The question's line break is a carriage return where the program was born.
  QString text = toQt(question).replace('\r', '\n');
  auto r = QMessageBox::question(&main_, toQt(caption), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return r == QMessageBox::Yes ? Answer::Yes : (r == QMessageBox::No ? Answer::No : Answer::Cancel);
}

std::optional<std::string> QtHost::inputBox(const std::string& caption, const std::string& prompt,
                                            const std::string& initial) {
  asked.push_back(prompt);
  if (quiet) return nextScripted();
  bool ok = false;
  QInputDialog box(&main_);
  box.setWindowTitle(toQt(caption));
  box.setLabelText(toQt(prompt));
  box.setTextValue(toQt(initial));
  ok = box.exec() == QDialog::Accepted;
  if (!ok) return std::nullopt;
  return fromQt(box.textValue()).substr(0, 255);
}

namespace {

std::optional<std::string> fileDialog(QWidget* parent, const FileRequest& r, bool save) {
  QFileDialog d(parent, toQt(r.title), pathToQt(r.directory));
  // The program's own dialog, so that keys a macro plays reach it.
  d.setOption(QFileDialog::DontUseNativeDialog);
  d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters;
  for (const std::string& f : r.filters) filters << toQt(filterInEitherCase(f));
  d.setNameFilters(filters);
  if (r.filter > 0 && r.filter < filters.size()) d.selectNameFilter(filters[r.filter]);
  if (!r.name.empty() && r.name.find('*') == std::string::npos) d.selectFile(pathToQt(r.name));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  // Two filters may show the same pattern: the choice goes by position.
  r.filter = std::max<int>(0, static_cast<int>(filters.indexOf(d.selectedNameFilter())));
  return pathFromQt(d.selectedFiles().first());
}

}  // namespace

std::optional<std::string> QtHost::openFileName(const FileRequest& request) {
  asked.push_back(request.title);
  if (quiet) {
    std::optional<std::string> a = nextScripted();
    return a ? std::optional<std::string>(takeFilterChoice(*a, request)) : a;
  }
  return fileDialog(&main_, request, false);
}

std::optional<std::string> QtHost::saveFileName(const FileRequest& request) {
  asked.push_back(request.title);
  if (quiet) {
    std::optional<std::string> a = nextScripted();
    return a ? std::optional<std::string>(takeFilterChoice(*a, request)) : a;
  }
  return fileDialog(&main_, request, true);
}

bool QtHost::renderPicture(int width, int height, const std::function<void(Canvas&)>& draw,
                           Bitmap& out) {
  return renderPixels(width, height, draw, out);
}

bool QtHost::writePicture(const std::string& path, PictureFile kind, int width, int height,
                          const std::function<void(Canvas&)>& draw) {
  return writePictureFile(path, kind == PictureFile::Png ? PictureKind::Png : PictureKind::Svg,
                          width, height, draw);
}

void QtHost::setClipboardBitmap(const Bitmap& b) {
  QImage image(reinterpret_cast<const uchar*>(b.pixels.data()), b.width, b.height, b.width * 4,
               QImage::Format_ARGB32);
  QGuiApplication::clipboard()->setImage(image.copy());
}

bool QtHost::printerPage(bool landscape, PageMetrics& page) {
  page = printers_.page(landscape);
  return page.width > 0 && page.height > 0;
}

bool QtHost::printerSetup() {
  if (quiet) return false;
  return printers_.setup(&main_);
}

std::unique_ptr<PageDevice> QtHost::openPrintJob(const PrintRequest& request) {
  std::string pdf;
  if (quiet || printers_.toPdf()) {
    FileRequest r;
    r.title = "Print to PDF";
    r.directory = currentDirectory();
    r.filters = {"PDF (*.pdf)"};
    std::optional<std::string> name = saveFileName(r);
    if (!name || name->empty()) return nullptr;
    pdf = *name;
    std::string base = pdf.substr(pdf.find_last_of('/') + 1);
    if (base.find('.') == std::string::npos) pdf += ".pdf";
  }
  std::unique_ptr<QPrinter> printer = printers_.make(request.landscape);
  if (!pdf.empty()) printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setDocName(toQt(request.title));
  std::string name = pdf.empty() ? printers_.current() : "PDF: " + pdf;
  return std::make_unique<QtPageDevice>(std::move(printer), name, pdf);
}

bool QtHost::printStatus(const PrintStatus& status) {
  if (quiet) {
    printStatuses.push_back(status);
    return true;
  }
  if (!status_) status_ = std::make_unique<TAbortForm>(&main_);
  status_->show(status);
  QCoreApplication::processEvents();
  return !status_->cancelled();
}

void QtHost::printStatusDone() {
  status_.reset();
}

bool QtHost::runDialog(DialogModel& model) {
  asked.push_back(model.caption());
  if (quiet) {
    std::optional<std::string> a = nextScripted();
    std::string reason;
    if (!a) return false;
    if (!applyAnswer(model, *a, reason) || !model.check(reason)) {
      shown.push_back(reason);
      return false;
    }
    return true;
  }
  return showDialogForm(&main_, model);
}

int QtHost::macroMenu(const MenuRequest& request) {
  int escape = static_cast<int>(request.items.size()) + 1;
  asked.push_back(request.title);
  if (quiet) {
    std::optional<std::string> a = nextScripted();
    if (!a) return escape;
    for (size_t i = 0; i < request.items.size(); ++i)
      if (sameText(request.items[i], *a)) return static_cast<int>(i) + 1;
    return escape;
  }
  QDialog d(&main_);
  d.setWindowTitle("Macro Menu");
  d.setMinimumWidth(108);
  auto* v = new QVBoxLayout(&d);
  if (!request.title.empty()) v->addWidget(new QLabel(toQt(request.title), &d));
  auto* list = new QListWidget(&d);
  for (size_t i = 0; i < request.items.size(); ++i) {
    auto* item = new QListWidgetItem(toQt(request.items[i]), list);
    if (i < request.descriptions.size()) item->setToolTip(toQt("*  " + request.descriptions[i]));
  }
  list->setCurrentRow(0);
  v->addWidget(list);
  QObject::connect(list, &QListWidget::itemActivated, &d, &QDialog::accept);
  if (d.exec() != QDialog::Accepted || list->currentRow() < 0) return escape;
  return list->currentRow() + 1;
}

namespace {

// The Qt key and text of a key of the program.
std::pair<int, QString> qtKey(const KeyPress& k) {
  switch (k.key) {
    case Key::Character:
      return {QChar(toQt(std::string(1, k.ch))[0]).toUpper().unicode(), toQt(std::string(1, k.ch))};
    case Key::Enter:
      return {Qt::Key_Return, "\r"};
    case Key::Escape:
      return {Qt::Key_Escape, QString(QChar(27))};
    case Key::Tab:
      return {Qt::Key_Tab, "\t"};
    case Key::Backspace:
      return {Qt::Key_Backspace, QString(QChar(8))};
    case Key::Delete:
      return {Qt::Key_Delete, {}};
    case Key::Insert:
      return {Qt::Key_Insert, {}};
    case Key::Left:
      return {Qt::Key_Left, {}};
    case Key::Right:
      return {Qt::Key_Right, {}};
    case Key::Up:
      return {Qt::Key_Up, {}};
    case Key::Down:
      return {Qt::Key_Down, {}};
    case Key::Home:
      return {Qt::Key_Home, {}};
    case Key::End:
      return {Qt::Key_End, {}};
    case Key::PageUp:
      return {Qt::Key_PageUp, {}};
    case Key::PageDown:
      return {Qt::Key_PageDown, {}};
    case Key::BigLeft:  // Ctrl is held with it below
      return {Qt::Key_Left, {}};
    case Key::BigRight:
      return {Qt::Key_Right, {}};
    case Key::Alt:
      return {Qt::Key_Alt, {}};
    case Key::Break:
      return {Qt::Key_Pause, {}};
    default:
      if (k.key >= Key::F1 && k.key <= Key::F12)
        return {Qt::Key_F1 + (static_cast<int>(k.key) - static_cast<int>(Key::F1)), {}};
      return {0, {}};
  }
}

}  // namespace

void QtHost::deliverKeys(const std::vector<KeyPress>& keys) {
  for (KeyPress k : keys) {
    k.synthetic = true;
    keys_.push_back(k);
  }
  scheduleDelivery();
}

void QtHost::deliverNext() {
  if (keys_.empty()) return;
  KeyPress k = keys_.front();
  keys_.pop_front();
  scheduleDelivery();
  // The open popup menu, else the focus of the active modal window, else the focus.
  QWidget* target = QApplication::activePopupWidget();
  if (!target)
    if (QWidget* modal = QApplication::activeModalWidget()) {
      target = modal->focusWidget();
      // A dialog that has not been given the keyboard yet: its first field.
      if (!target) {
        for (QWidget* child : modal->findChildren<QWidget*>())
          if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocus();
            target = child;
            break;
          }
      }
      if (!target) target = modal;
    }
  if (!target) target = QApplication::focusWidget();
  if (!target) target = &main_;
  auto [code, text] = qtKey(k);
  Qt::KeyboardModifiers mods;
  if (k.shift) mods |= Qt::ShiftModifier;
  if (k.ctrl || k.key == Key::BigLeft || k.key == Key::BigRight) mods |= Qt::ControlModifier;
  if (k.alt) mods |= Qt::AltModifier;
  main_.markSynthetic(true);
  QKeyEvent press(QEvent::KeyPress, code, mods, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, code, mods, text);
  QApplication::sendEvent(target, &release);
  main_.markSynthetic(false);
}

// Often enough for Esc to be felt at once, seldom enough to cost nothing.
void QtHost::pollEvents() {
  if (sincePoll_.isValid() && sincePoll_.elapsed() < 20) return;
  sincePoll_.start();
  QApplication::processEvents();
}

void QtHost::settleKeys() {
  if (keys_.empty()) return;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (keys_.empty()) loop.quit();
  });
  poll.start(1);
  loop.exec();
}

// The program's own form travels under a private type beside the plain text.
namespace {
constexpr const char* kPrivateMime = "application/x-talloway-tlw32d";
}

void QtHost::setClipboard(const ClipboardData& data) {
  auto* mime = new QMimeData;
  if (data.hasPrivate)
    mime->setData(kPrivateMime, QByteArray(data.privateForm.data(),
                                           static_cast<qsizetype>(data.privateForm.size())));
  if (data.hasText) mime->setText(toQt(data.text));
  QGuiApplication::clipboard()->setMimeData(mime);
}

ClipboardData QtHost::clipboard() {
  ClipboardData out;
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return out;
  if (mime->hasFormat(kPrivateMime)) {
    QByteArray bytes = mime->data(kPrivateMime);
    out.hasPrivate = true;
    out.privateForm.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  }
  if (mime->hasText()) {
    out.hasText = true;
    out.text = fromQt(mime->text());
  }
  return out;
}

// Sound through the system's player of wave files (aplay, else paplay).
void QtHost::playSound(const std::string& file, int mode) {
  if (sound_) {
    looping_ = false;
    sound_->kill();
    sound_->waitForFinished(1000);
    sound_.reset();
  }
  if (mode < 1 || mode > 4 || file.empty()) return;
  if (mode == 4) {
    QProcess::startDetached("xdg-open", {pathToQt(file)});
    return;
  }
  sound_ = std::make_unique<QProcess>();
  QString player = QStandardPaths::findExecutable("aplay");
  if (player.isEmpty()) player = QStandardPaths::findExecutable("paplay");
  if (player.isEmpty()) {
    beep();
    sound_.reset();
    return;
  }
  looping_ = mode == 3;
  QProcess* p = sound_.get();
  QObject::connect(p, &QProcess::finished, p, [this, p, player, file] {
    if (looping_ && sound_.get() == p) p->start(player, {"-q", pathToQt(file)});
  });
  p->start(player, {"-q", pathToQt(file)});
  if (mode == 1) p->waitForFinished(-1);
}

std::optional<KeyPress> QtHost::waitForKey() {
  awaiting_ = true;
  awaited_.reset();
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (awaited_ || !awaiting_) loop.quit();
  });
  poll.start(10);
  loop.exec();
  awaiting_ = false;
  return awaited_;
}

bool QtHost::takeAwaitedKey(const KeyPress& k) {
  if (!awaiting_) return false;
  awaited_ = k;
  return true;
}

void QtHost::runLater(int milliseconds, std::function<void()> fn) {
  QTimer::singleShot(milliseconds, &main_, std::move(fn));
}

bool QtHost::currentSelection(CellRange& range) {
  WindowState* w = main_.frame().active();
  if (!w) return false;
  range = w->selection();
  return true;
}

bool QtHost::currentCell(int& row, int& col) {
  WindowState* w = main_.frame().active();
  if (!w) return false;
  row = w->row();
  col = w->col();
  return true;
}

std::string QtHost::userName() {
  for (const char* key : {"USER", "LOGNAME"})
    if (const char* u = std::getenv(key); u && *u) return u;
  return "user";
}

std::string QtHost::osVersion() {
  return QSysInfo::kernelVersion().toStdString();
}

// Measured in the font as the screen shows it, as the worksheet's cells are.
int QtHost::textWidth(std::string_view text, const Font& font) {
  QFont q = QApplication::font();
  if (!font.typeface.empty()) q.setFamily(toQt(font.typeface));
  if (font.size > 0) q.setPointSizeF(font.size);
  q.setBold(font.bold);
  q.setItalic(font.italic);
  q.setUnderline(font.underline);
  return QFontMetrics(q).horizontalAdvance(toQt(text));
}

}  // namespace tw
