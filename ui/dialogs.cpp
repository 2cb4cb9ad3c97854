#include "ui/dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QVBoxLayout>

#include "core/day_serial.h"
#include "core/display_format.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/system_memory.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

QDialogButtonBox* okCancel(QDialog& d) {
  auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QObject::connect(b, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(b, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  return b;
}

}  // namespace

std::optional<uint8_t> FormatDialog::ask(QWidget* parent, const std::vector<NamedFormat>& formats) {
  QDialog d(parent);
  d.setWindowTitle("Format");
  auto* v = new QVBoxLayout(&d);
  auto* list = new QListWidget(&d);
  for (const NamedFormat& f : formats) list->addItem(toQt(f.code) + "\t" + toQt(f.description));
  auto* code = new QLineEdit(&d);
  code->setPlaceholderText("F2, C0, P1, D4, T1, E2, M2, G, +, H, T, L, R");
  auto* shown = new QLabel(&d);
  QObject::connect(list, &QListWidget::currentRowChanged, &d, [&](int row) {
    if (row >= 0 && row < static_cast<int>(formats.size())) code->setText(toQt(formats[row].code));
  });
  QObject::connect(code, &QLineEdit::textChanged, &d, [&](const QString& t) {
    uint8_t f = ParseFormatCode(fromQt(t));
    shown->setText("Sample: " + toQt(FormatNumber(12, f, -1234.5678, FormatOptions{})));
  });
  QObject::connect(list, &QListWidget::itemDoubleClicked, &d, &QDialog::accept);
  v->addWidget(list);
  v->addWidget(new QLabel("&Code:", &d));
  v->addWidget(code);
  v->addWidget(shown);
  v->addWidget(okCancel(d));
  if (!formats.empty()) list->setCurrentRow(0);
  if (d.exec() != QDialog::Accepted || code->text().isEmpty()) return std::nullopt;
  return ParseFormatCode(fromQt(code->text()));
}

std::optional<WidthDialog::Answer> WidthDialog::ask(QWidget* parent, int width, int height) {
  QDialog d(parent);
  d.setWindowTitle("Width / Height");
  auto* form = new QFormLayout(&d);
  auto* column = new QRadioButton("Column &width (characters)", &d);
  auto* row = new QRadioButton("Row &height (pixels)", &d);
  column->setChecked(true);
  auto* value = new QSpinBox(&d);
  value->setRange(1, 31);
  value->setValue(width);
  QObject::connect(column, &QRadioButton::toggled, &d, [&](bool on) {
    value->setRange(on ? 1 : 8, on ? 31 : 254);
    value->setValue(on ? width : height);
  });
  form->addRow(column);
  form->addRow(row);
  form->addRow("&Size:", value);
  form->addRow(okCancel(d));
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return Answer{column->isChecked(), value->value()};
}

bool GeneralSettingsDialog::edit(QWidget* parent, ProgramSettings& settings, Worksheet* ws) {
  WorksheetSettings& flags = ws ? ws->settings : settings.worksheetDefaults;
  QDialog d(parent);
  d.setWindowTitle("General Settings");
  auto* v = new QVBoxLayout(&d);
  auto* options = new QGroupBox("Options", &d);
  auto* ov = new QVBoxLayout(options);
  auto box = [&](const char* caption, bool on) {
    auto* c = new QCheckBox(caption, options);
    c->setChecked(on);
    ov->addWidget(c);
    return c;
  };
  QCheckBox* protect = box("&Protect Locked Cells", flags.protection);
  QCheckBox* negative = box("Color &Negative Values", flags.negativeInColour);
  QCheckBox* zeros = box("Show &Zero Values", !flags.zerosHidden);
  QCheckBox* banding = box("Apply &Banding Color ", flags.banding);
  QCheckBox* autoCalc = box("&Auto Recalc Cells", !flags.manualRecalc);
  QCheckBox* bins = box("a<= x <b", flags.binsLowerInclusive);
  QCheckBox* unprotected = box("Mark &Unprotected Cells", flags.showUnprotected);
  QCheckBox* undo = box("U&ndo", flags.undoEnabled);
  QCheckBox* backups = box("&Backups", settings.backups);
  QCheckBox* usDates = box("&US Dates (month first)", settings.usDates);
  QCheckBox* tips = box("Show &Tips at Start", settings.tips);
  QCheckBox* controlKeys = box("W&in Control Keys", settings.windowsControlKeys);
  QCheckBox* oldDialogs = box("Win3 FileDlg", settings.oldFileDialogs);
  QCheckBox* black = box("Print as Blac&k", settings.printBlack);
  QCheckBox* twoDigit = box("T&wo-Digit Years", settings.twoDigitYears);
  v->addWidget(options);

  auto* chars = new QGroupBox("Characters", &d);
  auto* cf = new QFormLayout(chars);
  auto field = [&](const char* caption, const std::string& value, int length) {
    auto* e = new QLineEdit(toQt(value), chars);
    e->setMaxLength(length);
    cf->addRow(caption, e);
    return e;
  };
  QLineEdit* prefix = field("Label &prefix:", std::string(1, flags.labelPrefix), 1);
  QLineEdit* sep = field("Argument &separator:", std::string(1, settings.argumentSeparator), 1);
  QLineEdit* comma = field("&Thousands separator:", std::string(1, settings.thousandsSeparator), 1);
  QLineEdit* period = field("&Decimal separator:", std::string(1, settings.decimalSeparator), 1);
  QLineEdit* curr = field("Currency &before:", flags.currencyPrefix, 2);
  QLineEdit* curs = field("Currency &after:", flags.currencySuffix, 2);
  v->addWidget(chars);
  v->addWidget(okCancel(d));

  for (;;) {
    if (d.exec() != QDialog::Accepted) return false;
    auto one = [](QLineEdit* e, char fallback) {
      std::string t = fromQt(e->text());
      return t.empty() ? fallback : t[0];
    };
    char p = one(prefix, '\'');
    char s = one(sep, ','), c = one(comma, ','), dot = one(period, '.');
    if (std::string("'\"^\\|").find(p) == std::string::npos) {
      QMessageBox::warning(&d, "General Settings", "The label prefix is one of ' \" ^ \\ |");
      continue;
    }
    if (s == dot) {
      QMessageBox::warning(&d, "General Settings",
                           "The argument separator must differ from the decimal separator.");
      continue;
    }
    for (WorksheetSettings* target : {&flags, &settings.worksheetDefaults}) {
      target->protection = protect->isChecked();
      target->negativeInColour = negative->isChecked();
      target->zerosHidden = !zeros->isChecked();
      target->banding = banding->isChecked();
      target->manualRecalc = !autoCalc->isChecked();
      target->binsLowerInclusive = bins->isChecked();
      target->labelPrefix = p;
      target->currencyPrefix = fromQt(curr->text());
      target->currencySuffix = fromQt(curs->text());
    }
    flags.showUnprotected = unprotected->isChecked();
    flags.undoEnabled = undo->isChecked();
    settings.undo = undo->isChecked();
    settings.backups = backups->isChecked();
    settings.usDates = usDates->isChecked();
    settings.tips = tips->isChecked();
    settings.windowsControlKeys = controlKeys->isChecked();
    settings.oldFileDialogs = oldDialogs->isChecked();
    settings.printBlack = black->isChecked();
    settings.twoDigitYears = twoDigit->isChecked();
    settings.argumentSeparator = s;
    settings.thousandsSeparator = c;
    settings.decimalSeparator = dot;
    if (ws) ws->modified = true;
    return true;
  }
}

void DocumentInfoDialog::edit(QWidget* parent, Worksheet& ws) {
  QDialog d(parent);
  d.setWindowTitle("Document Information");
  auto* form = new QFormLayout(&d);
  auto* title = new QLineEdit(toQt(ws.settings.title), &d);
  title->setMaxLength(80);
  auto* comments = new QPlainTextEdit(toQt(ws.settings.comments), &d);
  form->addRow("&Title:", title);
  form->addRow("&Comments:", comments);
  form->addRow("File:", new QLabel(toQt(ws.hasFileName ? ws.fileName : ws.name), &d));
  form->addRow("User:", new QLabel(toQt(ws.settings.userName), &d));
  QString created = "not saved yet";
  if (ws.settings.creationDate != 0) {
    created = toQt(DateText(2, ws.settings.creationDate)) + " " +
              toQt(FormatNumber(12, 0x77, ws.settings.creationTime, FormatOptions{}));
  }
  form->addRow("Created:", new QLabel(created, &d));
  form->addRow(okCancel(d));
  if (d.exec() != QDialog::Accepted) return;
  std::string newTitle = fromQt(title->text()).substr(0, 80);
  std::string newComments = fromQt(comments->toPlainText()).substr(0, 255);
  if (newTitle != ws.settings.title || newComments != ws.settings.comments) {
    ws.settings.title = newTitle;
    ws.settings.comments = newComments;
    ws.modified = true;
  }
}

void SystemInfoDialog::show(QWidget* parent, Session& session) {
  QDialog d(parent);
  d.setWindowTitle("System Information");
  auto* form = new QFormLayout(&d);
  size_t cells = 0;
  for (const auto& ws : session.worksheets()) cells += ws->pool().liveCells();
  form->addRow("Program:", new QLabel("TALLOWAY 1.601", &d));
  form->addRow("Operating system:", new QLabel(QSysInfo::prettyProductName(), &d));
  form->addRow("Kernel:", new QLabel(QSysInfo::kernelVersion(), &d));
  form->addRow("Processor:", new QLabel(QSysInfo::currentCpuArchitecture(), &d));
  form->addRow("User:", new QLabel(toQt(session.host().userName()), &d));
  form->addRow("Free memory:",
               new QLabel(QString::number(availableMemoryBytes() / (1024 * 1024)) + " MB", &d));
  form->addRow("Open worksheets:", new QLabel(QString::number(session.worksheets().size()), &d));
  form->addRow("Cells in use:", new QLabel(QString::number(cells), &d));
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  QObject::connect(ok, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  form->addRow(ok);
  d.exec();
}

}  // namespace tw

#include <QRandomGenerator>
#include <fstream>

namespace tw {

void TipDialog::show(QWidget* parent, const std::string& tipsFile, bool& showAtStart) {
  std::vector<std::string> tips;
  std::ifstream in(tipsFile, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) tips.push_back(line);
  }
  if (tips.empty()) {
    tips = {"Type a number, a label or a formula into the current cell and press Enter.",
            "After an operator such as + or *, the arrow keys point at the cell to use.",
            "F2 edits the current cell; F9 recalculates every open worksheet.",
            "End and an arrow jump to the edge of the next block of filled cells.",
            "F5 goes to a cell or a named range; the slash key opens the menus.",
            "Range > Format gives the selected cells a number format such as F2 or C0."};
  }
  QDialog d(parent);
  d.setWindowTitle("Tip of the Day");
  auto* v = new QVBoxLayout(&d);
  auto* text = new QLabel(
      toQt(tips[QRandomGenerator::global()->bounded(static_cast<quint32>(tips.size()))]), &d);
  text->setWordWrap(true);
  text->setMinimumWidth(360);
  auto* again = new QCheckBox("&Show tips at start", &d);
  again->setChecked(showAtStart);
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  QObject::connect(ok, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  v->addWidget(text);
  v->addWidget(again);
  v->addWidget(ok);
  d.exec();
  showAtStart = again->isChecked();
}

}  // namespace tw
