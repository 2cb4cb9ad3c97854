#include "ui/dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "core/cell.h"
#include "core/display_format.h"
#include "graphs/graph_dialog.h"
#include "shell/audit_dialog.h"
#include "shell/data_dialog.h"
#include "shell/data_form.h"
#include "shell/dialog_models.h"
#include "shell/find_dialog.h"
#include "shell/justify_dialog.h"
#include "shell/range_name_dialog.h"
#include "shell/transfer_dialog.h"
#include "shell/user_buttons.h"
#include "ui/audit_form.h"
#include "ui/data_forms.h"
#include "ui/form_binder.h"
#include "ui/graph_form.h"
#include "ui/macro_bar.h"
#include "ui/print_forms.h"
#include "ui/text_codec.h"
#include "ui/text_tools_forms.h"
#include "ui/transfer_forms.h"
#include "ui/user_button.h"

namespace tw {

namespace {

bool formatForm(QWidget* parent, FormatModel& m) {
  QDialog d(parent);
  auto* v = new QVBoxLayout(&d);
  auto* list = new QListWidget(&d);
  for (const NamedFormat& f : m.formats()) list->addItem(toQt(f.code) + "\t" + toQt(f.description));
  auto* code = new QLineEdit(toQt(m.code), &d);
  code->setPlaceholderText("F2, C0, P1, D4, T1, E2, M2, G, +, H, T, L, R");
  auto* shown = new QLabel(&d);
  auto sample = [&] {
    m.code = fromQt(code->text());
    shown->setText("Sample: " + toQt(m.sample()));
  };
  QObject::connect(list, &QListWidget::currentRowChanged, &d, [&](int row) {
    m.choose(row);
    code->setText(toQt(m.code));
  });
  QObject::connect(code, &QLineEdit::textChanged, &d, sample);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &d, [&] {
    m.code = fromQt(code->text());
    d.accept();
  });
  v->addWidget(list);
  auto* codeLabel = new QLabel("&Code:", &d);
  codeLabel->setBuddy(code);  // the mnemonic, not an ampersand, is shown
  v->addWidget(codeLabel);
  v->addWidget(code);
  v->addWidget(shown);
  if (m.chosen() >= 0) list->setCurrentRow(m.chosen());
  sample();
  return runChecked(d, m, [&] { m.code = fromQt(code->text()); });
}

bool widthHeightForm(QWidget* parent, WidthHeightModel& m) {
  QDialog d(parent);
  auto* form = new QFormLayout(&d);
  auto* column = new QRadioButton("Column &width (characters)", &d);
  auto* row = new QRadioButton("Row &height (pixels)", &d);
  column->setChecked(m.column());
  row->setChecked(!m.column());
  auto* value = new QSpinBox(&d);
  value->setRange(m.lowest(), m.highest());
  value->setValue(m.value);
  QObject::connect(column, &QRadioButton::toggled, &d, [&](bool on) {
    m.setColumn(on);
    value->setRange(m.lowest(), m.highest());
    value->setValue(m.value);
  });
  form->addRow(column);
  form->addRow(row);
  form->addRow("&Size:", value);
  return runChecked(d, m, [&] { m.value = value->value(); });
}

bool generalSettingsForm(QWidget* parent, GeneralSettingsModel& m) {
  GeneralSettings& g = m.values;
  QDialog d(parent);
  auto* v = new QVBoxLayout(&d);
  auto* options = new QGroupBox("Options", &d);
  auto* ov = new QVBoxLayout(options);
  std::vector<std::pair<QCheckBox*, bool*>> boxes;
  auto box = [&](const char* caption, bool& flag) {
    auto* c = new QCheckBox(caption, options);
    c->setChecked(flag);
    ov->addWidget(c);
    boxes.push_back({c, &flag});
  };
  box("&Protect Locked Cells", g.protection);
  box("Color &Negative Values", g.negativeInColour);
  box("Show &Zero Values", g.showZeros);
  box("Apply &Banding Color ", g.banding);
  box("&Auto Recalc Cells", g.automaticRecalc);
  box("a<= x <b", g.binsLowerInclusive);
  box("Mark &Unprotected Cells", g.markUnprotected);
  box("U&ndo", g.undo);
  box("&Backups", g.backups);
  box("&US Dates (month first)", g.usDates);
  box("Show &Tips at Start", g.tips);
  box("W&in Control Keys", g.windowsControlKeys);
  box("Win3 FileDlg", g.oldFileDialogs);
  box("Print as Blac&k", g.printBlack);
  box("T&wo-Digit Years", g.twoDigitYears);
  v->addWidget(options);
  auto* chars = new QGroupBox("Characters", &d);
  auto* cf = new QFormLayout(chars);
  auto field = [&](const char* caption, const std::string& value, int length) {
    auto* e = new QLineEdit(toQt(value), chars);
    e->setMaxLength(length);
    cf->addRow(caption, e);
    return e;
  };
  QLineEdit* prefix = field("Label &prefix:", std::string(1, g.labelPrefix), 1);
  QLineEdit* sep = field("Argument &separator:", std::string(1, g.argumentSeparator), 1);
  QLineEdit* comma = field("&Thousands separator:", std::string(1, g.thousandsSeparator), 1);
  QLineEdit* period = field("&Decimal separator:", std::string(1, g.decimalSeparator), 1);
  QLineEdit* curr = field("Currency &before:", g.currencyPrefix, 2);
  QLineEdit* curs = field("Currency &after:", g.currencySuffix, 2);
  v->addWidget(chars);
  auto* files = new QGroupBox("Files", &d);
  auto* fh = new QHBoxLayout(files);
  auto* toolbar = new QLineEdit(toQt(g.toolbarFile), files);
  toolbar->setObjectName("ToolbarFile");
  auto* toolbarLabel = new QLabel("T&oolbar file:", files);
  toolbarLabel->setBuddy(toolbar);
  auto* browse = new QPushButton("...", files);
  browse->setObjectName("ToolbarBrowse");
  fh->addWidget(toolbarLabel);
  fh->addWidget(toolbar, 1);
  fh->addWidget(browse);
  QObject::connect(browse, &QPushButton::clicked, &d, [&] {
    g.toolbarFile = fromQt(toolbar->text());
    m.chooseToolbarFile();
    toolbar->setText(toQt(g.toolbarFile));
  });
  v->addWidget(files);
  return runChecked(d, m, [&] {
    for (auto [c, flag] : boxes) *flag = c->isChecked();
    g.toolbarFile = fromQt(toolbar->text()).empty() ? "TALWAY.MAC" : fromQt(toolbar->text());
    auto one = [](QLineEdit* e, char fallback) {
      std::string t = fromQt(e->text());
      return t.empty() ? fallback : t[0];
    };
    g.labelPrefix = one(prefix, '\'');
    g.argumentSeparator = one(sep, ',');
    g.thousandsSeparator = one(comma, ',');
    g.decimalSeparator = one(period, '.');
    g.currencyPrefix = fromQt(curr->text());
    g.currencySuffix = fromQt(curs->text());
  });
}

bool copyForm(QWidget* parent, CopyModel& m) {
  QDialog d(parent);
  auto* form = new QFormLayout(&d);
  auto* from = new QLineEdit(toQt(m.from), &d);
  auto* to = new QLineEdit(toQt(m.to), &d);
  form->addRow("F&rom:", from);
  form->addRow("T&o:", to);
  // The radio buttons in the dialog's order; each carries its kind.
  const std::pair<const char*, int> kinds[] = {
      {"&Value", 1}, {"&Transpose", 2}, {"&Invert", 4}, {"&Formula", 0}, {"&Scale", 3}};
  std::vector<std::pair<QRadioButton*, int>> buttons;
  for (const auto& [caption, kind] : kinds) {
    auto* b = new QRadioButton(caption, &d);
    b->setChecked(kind == m.kind);
    form->addRow(b);
    buttons.push_back({b, kind});
  }
  auto* factor = new QLineEdit(toQt(m.factor), &d);
  form->addRow("F&actor:", factor);
  return runChecked(d, m, [&] {
    m.from = fromQt(from->text());
    m.to = fromQt(to->text());
    m.factor = fromQt(factor->text());
    for (const auto& [b, kind] : buttons)
      if (b->isChecked()) m.kind = kind;
  });
}

// A line edit that asks for pointing on the sheet when double-clicked.
class PointEdit : public QLineEdit {
 public:
  PointEdit(const std::string& text, QWidget* parent, std::function<void()> onDouble)
      : QLineEdit(toQt(text), parent), onDouble_(std::move(onDouble)) {}

 protected:
  void mouseDoubleClickEvent(QMouseEvent*) override { onDouble_(); }

 private:
  std::function<void()> onDouble_;
};

bool rangeNameForm(QWidget* parent, RangeNameModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* list = new QTreeWidget(&d);
  list->setColumnCount(2);
  list->setHeaderLabels({"Name", "Range"});
  list->setRootIsDecorated(false);
  auto* total = new QLabel(&d);
  auto* message = new QLabel(&d);
  auto* tabs = new QTabWidget(&d);
  v->addWidget(list);
  v->addWidget(total);
  v->addWidget(tabs);
  v->addWidget(message);

  auto pointAt = [&](RangeNameModel::Point field) {
    m.requestPoint(field);
    d.accept();
  };
  auto* namesPage = new QWidget(tabs);
  auto* nf = new QFormLayout(namesPage);
  auto* name = new QLineEdit(toQt(m.name), namesPage);
  auto* range = new PointEdit(m.range, namesPage, [&] { pointAt(RangeNameModel::Point::Range); });
  nf->addRow("&Name: ", name);
  nf->addRow("&Range: ", range);
  auto* create = new QPushButton("&Create", namesPage);
  auto* remove = new QPushButton("&Delete", namesPage);
  auto* reset = new QPushButton("&Reset...", namesPage);
  auto* row = new QHBoxLayout;
  row->addWidget(create);
  row->addWidget(remove);
  row->addWidget(reset);
  nf->addRow(row);
  tabs->addTab(namesPage, "Names");

  auto* buildPage = new QWidget(tabs);
  auto* bf = new QFormLayout(buildPage);
  auto* source =
      new PointEdit(m.source, buildPage, [&] { pointAt(RangeNameModel::Point::Source); });
  auto* build = new QPushButton("&Build", buildPage);
  bf->addRow("&Source: ", source);
  bf->addRow(build);
  tabs->addTab(buildPage, "Build");

  auto* tablePage = new QWidget(tabs);
  auto* tf = new QFormLayout(tablePage);
  auto* target =
      new PointEdit(m.target, tablePage, [&] { pointAt(RangeNameModel::Point::Target); });
  auto* table = new QPushButton("&Table", tablePage);
  tf->addRow("&Target: ", target);
  tf->addRow(table);
  tabs->addTab(tablePage, "Table");
  tabs->setCurrentIndex(m.page);

  auto take = [&] {
    m.name = fromQt(name->text());
    m.range = fromQt(range->text());
    m.source = fromQt(source->text());
    m.target = fromQt(target->text());
    m.page = tabs->currentIndex();
  };
  auto show = [&] {
    list->clear();
    for (const auto& [n, r] : m.entries())
      list->addTopLevelItem(new QTreeWidgetItem(QStringList{toQt(n), toQt(r)}));
    total->setText(toQt(m.total()));
    message->setText(toQt(m.message));
    name->setText(toQt(m.name));
    range->setText(toQt(m.range));
    remove->setEnabled(m.canDelete());
  };
  auto button = [&](QPushButton* b, void (RangeNameModel::*action)()) {
    QObject::connect(b, &QPushButton::clicked, &d, [&, action] {
      take();
      (m.*action)();
      show();
    });
  };
  button(create, &RangeNameModel::create);
  button(remove, &RangeNameModel::remove);
  button(reset, &RangeNameModel::reset);
  button(build, &RangeNameModel::build);
  button(table, &RangeNameModel::table);
  QObject::connect(name, &QLineEdit::textEdited, &d, [&] {
    m.name = fromQt(name->text());
    remove->setEnabled(m.canDelete());
  });
  // The Delete key on a list entry deletes that name.
  auto* del =
      new QShortcut(QKeySequence(Qt::Key_Delete), list, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(del, &QShortcut::activated, &d, [&] {
    if (QTreeWidgetItem* item = list->currentItem()) {
      m.pick(list->indexOfTopLevelItem(item));
      m.remove();
      show();
    }
  });
  QObject::connect(list, &QTreeWidget::itemClicked, &d, [&](QTreeWidgetItem* item) {
    m.pick(list->indexOfTopLevelItem(item));
    show();
  });
  auto* ok = new QPushButton("&Ok", &d);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  v->addWidget(ok);
  show();
  d.exec();
  take();
  return true;
}

bool propertiesForm(QWidget* parent, PropertiesModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  Properties& p = m.values;
  auto* v = new QVBoxLayout(&d);
  auto* rangeRow = new QFormLayout;
  auto* range = new PointEdit(m.range, &d, [&] {
    m.pointAtRange = true;
    d.accept();
  });
  rangeRow->addRow("&Range: ", range);
  v->addLayout(rangeRow);
  auto* tabs = new QTabWidget(&d);
  v->addWidget(tabs);
  QPushButton* ok = nullptr;
  auto mark = [&](uint8_t bit) {
    m.changed(bit);
    if (ok) ok->setEnabled(true);
  };

  auto* formatPage = new QWidget(tabs);
  auto* ff = new QFormLayout(formatPage);
  auto* format = new QLineEdit(formatPage);
  format->setPlaceholderText("F2, C0, P1, D4 ...");
  ff->addRow("Format &code:", format);
  QObject::connect(format, &QLineEdit::textEdited, &d, [&] {
    p.format = ParseFormatCode(fromQt(format->text()).substr(0, 8)) & kFormatMask;
    mark(kPageFormat);
  });

  auto* shadePage = new QWidget(tabs);
  auto* sf = new QVBoxLayout(shadePage);
  auto* pick = new QPushButton("Background &colour...", shadePage);
  auto* automatic = new QCheckBox("&Default", shadePage);
  automatic->setChecked(p.defaultShade);
  sf->addWidget(pick);
  sf->addWidget(automatic);
  QObject::connect(pick, &QPushButton::clicked, &d, [&] {
    QColor c = QColorDialog::getColor(QColor(QRgb(p.background)), &d);
    if (!c.isValid()) return;
    p.background = uint32_t(c.rgb()) & 0xFFFFFF;
    mark(kPageShade);
  });
  QObject::connect(automatic, &QCheckBox::toggled, &d, [&](bool on) {
    p.defaultShade = on;
    mark(kPageShade);
  });

  auto* facePage = new QWidget(tabs);
  auto* tf = new QFormLayout(facePage);
  auto* face = new QComboBox(facePage);
  face->addItem("(the window's)", 255);
  for (size_t i = 0; i < m.typefaces.size() && i < 255; ++i)
    face->addItem(toQt(m.typefaces[i]), int(i));
  face->setCurrentIndex(std::max(0, face->findData(int(p.font))));
  auto* size = new QSpinBox(facePage);
  size->setRange(0, 72);
  size->setValue(p.size);
  auto* bold = new QCheckBox("&Bold", facePage);
  auto* italic = new QCheckBox("&Italic", facePage);
  auto* underline = new QCheckBox("&Underline", facePage);
  bold->setChecked(p.styleBits & 1);
  italic->setChecked(p.styleBits & 2);
  underline->setChecked(p.styleBits & 4);
  auto* colour = new QSpinBox(facePage);
  colour->setRange(0, 15);
  colour->setValue(p.textColour);
  tf->addRow("T&ypeface:", face);
  tf->addRow("&Size (0 = the window's):", size);
  tf->addRow(bold);
  tf->addRow(italic);
  tf->addRow(underline);
  tf->addRow("Text c&olour (0 to 15):", colour);
  auto typeface = [&] {
    p.font = uint8_t(face->currentData().toInt());
    p.size = uint8_t(size->value());
    p.styleBits = uint8_t((bold->isChecked() ? 1 : 0) | (italic->isChecked() ? 2 : 0) |
                          (underline->isChecked() ? 4 : 0));
    p.textColour = uint8_t(colour->value());
    mark(kPageTypeface);
  };
  QObject::connect(face, &QComboBox::activated, &d, typeface);
  QObject::connect(size, &QSpinBox::valueChanged, &d, typeface);
  QObject::connect(colour, &QSpinBox::valueChanged, &d, typeface);
  for (QCheckBox* b : {bold, italic, underline})
    QObject::connect(b, &QCheckBox::toggled, &d, typeface);

  auto radios = [&](QWidget* page, const char* title, std::vector<const char*> captions, int chosen,
                    std::function<void(int)> set) {
    auto* box = new QGroupBox(title, page);
    auto* bv = new QVBoxLayout(box);
    for (size_t i = 0; i < captions.size(); ++i) {
      auto* b = new QRadioButton(captions[i], box);
      b->setChecked(int(i) == chosen);
      bv->addWidget(b);
      QObject::connect(b, &QRadioButton::toggled, &d, [set, i](bool on) {
        if (on) set(int(i));
      });
    }
    return box;
  };
  auto* prefixPage = new QWidget(tabs);
  (new QVBoxLayout(prefixPage))
      ->addWidget(
          radios(prefixPage, " Label Prefix ", {"&Left", "&Center", "&Right"}, 0, [&](int i) {
            p.prefix = static_cast<PrefixChoice>(i);
            mark(kPagePrefix);
          }));
  auto* lockPage = new QWidget(tabs);
  (new QVBoxLayout(lockPage))
      ->addWidget(radios(lockPage, " Cell Protection ", {"&Enable", "&Disable"}, p.locked ? 0 : -1,
                         [&](int i) {
                           p.locked = i == 0;
                           mark(kPageLock);
                         }));
  auto* borderPage = new QWidget(tabs);
  auto* bl = new QHBoxLayout(borderPage);
  bl->addWidget(radios(borderPage, " Types ", {"&None", "&Single", "&Thick"}, 0, [&](int i) {
    p.line = static_cast<BorderLine>(i);
    mark(kPageBorder);
  }));
  bl->addWidget(radios(borderPage, " Apply ", {"&In", "&Out", "&All", "&Clear"}, 3, [&](int i) {
    p.where = static_cast<BorderWhere>(i);
    mark(kPageBorder);
  }));

  const std::pair<QWidget*, std::pair<const char*, uint8_t>> pages[] = {
      {formatPage, {"&Format", kPageFormat}},   {shadePage, {"&Shade", kPageShade}},
      {facePage, {"&Typeface", kPageTypeface}}, {prefixPage, {"&Prefix", kPagePrefix}},
      {lockPage, {"&Lock", kPageLock}},         {borderPage, {"&Border", kPageBorder}}};
  for (const auto& [w, page] : pages) {
    if (m.page == 0 || m.page == page.second)
      tabs->addTab(w, page.first);
    else
      w->hide();
  }
  tabs->tabBar()->setVisible(m.page == 0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(m.canApply());
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    m.range = fromQt(range->text());
    std::string message;
    if (!m.check(message)) {
      QMessageBox::warning(&d, toQt(m.caption()), toQt(message));
      return;
    }
    d.accept();
  });
  v->addWidget(buttons);
  bool accepted = d.exec() == QDialog::Accepted;
  m.range = fromQt(range->text());
  return accepted;
}

bool documentInfoForm(QWidget* parent, DocumentInfoModel& m) {
  QDialog d(parent);
  auto* form = new QFormLayout(&d);
  auto* title = new QLineEdit(toQt(m.title), &d);
  title->setMaxLength(80);
  auto* comments = new QPlainTextEdit(toQt(m.comments), &d);
  form->addRow("&Title:", title);
  form->addRow("&Comments:", comments);
  form->addRow("File:", new QLabel(toQt(m.file), &d));
  form->addRow("User:", new QLabel(toQt(m.user), &d));
  form->addRow("Created:", new QLabel(toQt(m.created), &d));
  return runChecked(d, m, [&] {
    m.title = fromQt(title->text()).substr(0, 80);
    m.comments = fromQt(comments->toPlainText()).substr(0, 255);
  });
}

bool systemInfoForm(QWidget* parent, SystemInfoModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* form = new QFormLayout(&d);
  for (const SystemInfoModel::Fact& f : m.facts)
    form->addRow(toQt(f.label) + ":", new QLabel(toQt(f.value), &d));
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  QObject::connect(ok, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  form->addRow(ok);
  return d.exec() == QDialog::Accepted;
}

}  // namespace

bool showDialogForm(QWidget* parent, DialogModel& model) {
  if (auto* m = dynamic_cast<FormatModel*>(&model)) return formatForm(parent, *m);
  if (auto* m = dynamic_cast<WidthHeightModel*>(&model)) return widthHeightForm(parent, *m);
  if (auto* m = dynamic_cast<CopyModel*>(&model)) return copyForm(parent, *m);
  if (auto* m = dynamic_cast<RangeNameModel*>(&model)) return rangeNameForm(parent, *m);
  if (auto* m = dynamic_cast<PropertiesModel*>(&model)) return propertiesForm(parent, *m);
  if (auto* m = dynamic_cast<GeneralSettingsModel*>(&model)) return generalSettingsForm(parent, *m);
  if (auto* m = dynamic_cast<DocumentInfoModel*>(&model)) return documentInfoForm(parent, *m);
  if (auto* m = dynamic_cast<SystemInfoModel*>(&model)) return systemInfoForm(parent, *m);
  if (isPrintForm(model)) return showPrintForm(parent, model);
  if (auto* m = dynamic_cast<GraphDialogModel*>(&model)) return graphForm(parent, *m);
  if (auto* m = dynamic_cast<DataDialogModel*>(&model)) return dataDialogForm(parent, *m);
  if (auto* m = dynamic_cast<FindDialogModel*>(&model)) return findReplaceForm(parent, *m);
  if (auto* m = dynamic_cast<JustifyDialogModel*>(&model)) return justifyForm(parent, *m);
  if (auto* m = dynamic_cast<WordDialogModel*>(&model)) return wordForm(parent, *m);
  if (auto* m = dynamic_cast<ArrayDialogModel*>(&model)) return arrayDialogForm(parent, *m);
  if (auto* m = dynamic_cast<DataFormModel*>(&model)) return dataFormDialog(parent, *m);
  if (auto* m = dynamic_cast<TransferModel*>(&model)) return transferForm(parent, *m);
  if (auto* m = dynamic_cast<AuditModel*>(&model)) return auditForm(parent, *m);
  if (auto* m = dynamic_cast<MergeModel*>(&model)) return mergeForm(parent, *m);
  if (auto* m = dynamic_cast<UserButtonModel*>(&model)) return userButtonForm(parent, *m);
  if (auto* m = dynamic_cast<MacroButtonDialogModel*>(&model)) return macroButtonForm(parent, *m);
  return false;
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
