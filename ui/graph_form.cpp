// "Graph" (TGrange): the graph dialog's nine pages over its model. Each box
// writes its model field as it changes; number boxes are evaluated when
// left and show the value back; a double click on a range box points at the
// range on the sheet.
#include "ui/graph_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include "graphs/graph_dialog.h"
#include "ui/range_box.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

const char* kColourNames[16] = {"Black", "Navy",    "Green",  "Teal", "Maroon", "Purple",
                                "Olive", "Silver",  "Grey",   "Blue", "Lime",   "Aqua",
                                "Red",   "Fuchsia", "Yellow", "White"};

class Builder {
 public:
  Builder(QDialog& d, GraphDialogModel& m) : d_(d), m_(m) {}

  // A text box over a field; number boxes are evaluated when left.
  QLineEdit* text(QFormLayout* f, const char* caption, const std::string& field,
                  bool number = false) {
    auto* e = new QLineEdit(toQt(m_.field(field)));
    f->addRow(caption, e);
    bind(e, field, number);
    return e;
  }
  QLineEdit* range(QFormLayout* f, const char* caption, const std::string& field) {
    auto* e = new RangeBox(nullptr, [this, field] {
      m_.pointField = field;
      d_.accept();
    });
    e->setText(toQt(m_.field(field)));
    f->addRow(caption, e);
    bind(e, field, false);
    return e;
  }
  void bind(QLineEdit* e, const std::string& field, bool number) {
    QObject::connect(e, &QLineEdit::editingFinished, &d_, [this, e, field, number] {
      if (!m_.setField(field, fromQt(e->text()))) {
        e->setStyleSheet("color: red");
        return;
      }
      e->setStyleSheet({});
      if (number) e->setText(toQt(m_.field(field)));
    });
    refreshers_.push_back([this, e, field] { e->setText(toQt(m_.field(field))); });
  }
  QComboBox* choice(QFormLayout* f, const char* caption, const std::string& field,
                    const std::vector<std::string>& items, int first) {
    auto* c = new QComboBox;
    for (const std::string& i : items) c->addItem(toQt(i));
    auto current = [this, field, first] {
      try {
        return std::stoi(m_.field(field)) - first;
      } catch (...) {
        return 0;
      }
    };
    c->setCurrentIndex(current());
    f->addRow(caption, c);
    QObject::connect(c, &QComboBox::currentIndexChanged, &d_, [this, field, first](int i) {
      m_.setField(field, std::to_string(i + first));
    });
    refreshers_.push_back([c, current] {
      QSignalBlocker b(c);
      c->setCurrentIndex(current());
    });
    return c;
  }
  QComboBox* colour(QFormLayout* f, const char* caption, const std::string& field) {
    std::vector<std::string> names(std::begin(kColourNames), std::end(kColourNames));
    return choice(f, caption, field, names, 0);
  }
  // Radio buttons that set a field to one of the values.
  void radios(QBoxLayout* row, const std::string& field,
              const std::vector<std::pair<const char*, std::string>> choices) {
    auto* group = new QButtonGroup(&d_);
    for (const auto& [caption, value] : choices) {
      auto* r = new QRadioButton(caption);
      group->addButton(r);
      row->addWidget(r);
      std::string v = value;
      r->setChecked(sameValue(m_.field(field), v));
      QObject::connect(r, &QRadioButton::toggled, &d_, [this, field, v](bool on) {
        if (on) m_.setField(field, v);
      });
      refreshers_.push_back([this, r, field, v] {
        QSignalBlocker b(r);
        r->setChecked(sameValue(m_.field(field), v));
      });
    }
  }
  void refresh() {
    for (auto& f : refreshers_) f();
  }

 private:
  static bool sameValue(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
  }
  QDialog& d_;
  GraphDialogModel& m_;
  std::vector<std::function<void()>> refreshers_;
};

QWidget* typePage(Builder&, GraphDialogModel& m, QDialog& d) {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* tabs = new QTabWidget(page);
  auto* group = new QButtonGroup(&d);  // one group: a choice in one tab clears the other
  auto add = [&](QWidget* tab, const std::vector<std::pair<const char*, int>>& buttons) {
    auto* grid = new QGridLayout(tab);
    int i = 0;
    for (const auto& [caption, type] : buttons) {
      auto* b = new QPushButton(caption, tab);
      b->setCheckable(true);
      b->setChecked(m.graph.type == type);
      b->setMinimumSize(72, 40);
      group->addButton(b, type);
      grid->addWidget(b, i / 4, i % 4);
      ++i;
    }
  };
  auto* two = new QWidget;
  add(two, {{"&Xy", 0},
            {"&Bar", 1},
            {"&Pie", 2},
            {"&Stack", 3},
            {"&Line", 4},
            {"Cu&m", 5},
            {"&Hilo", 6},
            {"&Radar", 7},
            {"&Area", 8},
            {"&Delta", 9},
            {"P&olar", 10},
            {"&Contour", 13}});
  auto* three = new QWidget;
  add(three,
      {{"&Strip", 11}, {"&Pie", 14}, {"&Donut", 15}, {"&Wall", 12}, {"&Bar", 16}, {"S&tack", 17}});
  tabs->addTab(two, "&2D");
  tabs->addTab(three, "&3D");
  tabs->setCurrentIndex(isThreeD(m.graph.type) ? 1 : 0);
  QObject::connect(group, &QButtonGroup::idClicked, &d,
                   [&m](int id) { m.graph.type = static_cast<uint8_t>(id); });
  v->addWidget(tabs);
  return page;
}

QWidget* rangesPage(Builder& b, GraphDialogModel& m) {
  auto* tabs = new QTabWidget;
  auto* series = new QWidget;
  auto* sf = new QFormLayout(series);
  const char* fields[] = {"x", "a", "b", "c", "d", "e", "f"};
  const char* captions[] = {"&X: ", "&1: ", "&2: ", "&3: ", "&4: ", "&5: ", "&6: "};
  for (int i = 0; i < 7; ++i) b.range(sf, captions[i], fields[i]);
  auto* resetRanges = new QPushButton("&Reset Ranges");
  sf->addRow(resetRanges);
  QObject::connect(resetRanges, &QPushButton::clicked, series, [&b, &m] {
    m.graph.ranges.fill(kEmptyRange);
    b.refresh();
  });
  tabs->addTab(series, "&Series");
  auto* labels = new QWidget;
  auto* lf = new QFormLayout(labels);
  for (int s = 0; s < 6; ++s) {
    std::string n = std::to_string(s + 1);
    b.range(lf, captions[s + 1], "label" + n);
  }
  // Where each series' labels go.
  for (int s = 0; s < 6; ++s) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QString::number(s + 1) + ":"));
    b.radios(row, "place" + std::to_string(s + 1),
             {{"&Above", "above"},
              {"&Below", "below"},
              {"&Left", "left"},
              {"&Right", "right"},
              {"&None", "none"}});
    lf->addRow(row);
  }
  auto* resetLabels = new QPushButton("&Reset Labels");
  lf->addRow(resetLabels);
  QObject::connect(resetLabels, &QPushButton::clicked, labels, [&b, &m] {
    m.graph.labelRanges.fill(kEmptyRange);
    b.refresh();
  });
  tabs->addTab(labels, "&Labels");
  return tabs;
}

QWidget* optionsPage(Builder& b, GraphDialogModel& m) {
  auto* tabs = new QTabWidget;
  std::vector<std::string> marks, hatches = {"Solid",   "Horizontal", "Vertical",       "Cross",
                                             "Forward", "Backward",   "Diagonal cross", "None"};
  for (int k = 1; k <= 16; ++k) marks.push_back("Mark " + std::to_string(k));
  std::vector<std::string> thickness = {"1", "2", "3", "4", "5"};
  std::vector<std::string> styles = {"Solid", "Dash", "Dot", "Dash dot", "Dash dot dot", "None"};
  for (int s = 0; s < 6; ++s) {
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    std::string p = "s" + std::to_string(s + 1);
    b.choice(f, "&Marks:", p + "mark", marks, 1);
    b.choice(f, "&Hatchs:", p + "hatch", hatches, 1);
    QComboBox* thick = b.choice(f, "&Thickness:", p + "thick", thickness, 1);
    QComboBox* style = b.choice(f, "&Style:", p + "style", styles, 1);
    // A thickness resets the style to its first entry, and the reverse.
    QObject::connect(thick, &QComboBox::activated, page,
                     [style](int) { style->setCurrentIndex(0); });
    QObject::connect(style, &QComboBox::activated, page,
                     [thick](int) { thick->setCurrentIndex(0); });
    b.colour(f, "&Fore ", p + "fore");
    b.colour(f, " &Back ", p + "back");
    auto* options = new QHBoxLayout;
    b.radios(options, p + "option",
             {{"None", "0"}, {"Lines", "1"}, {"Symbols", "2"}, {"Both", "3"}});
    auto* optionsBox = new QGroupBox("&Options");
    optionsBox->setLayout(options);
    f->addRow(optionsBox);
    tabs->addTab(page, "&" + QString::number(s + 1));
  }
  auto* other = new QWidget;
  auto* of = new QFormLayout(other);
  auto* style = new QHBoxLayout;
  b.radios(style, "gridstyle", {{"&Solid", "solid"}, {"&Dots", "dots"}});
  of->addRow("Grid style:", style);
  auto* grid = new QHBoxLayout;
  b.radios(grid, "grid",
           {{"&None", "none"}, {"&Horiz", "horiz"}, {"&Vert", "vert"}, {"&Both", "both"}});
  of->addRow("Grid:", grid);
  b.colour(of, " Inside ", "inside");
  b.colour(of, " Outside ", "outside");
  tabs->addTab(other, "&Other");
  tabs->setCurrentIndex(std::clamp(m.seriesTab, 0, 6));
  return tabs;
}

QWidget* scalesPage(Builder& b, GraphDialogModel& m, QDialog& d) {
  auto* tabs = new QTabWidget;
  for (int axis = 0; axis < 2; ++axis) {
    std::string a = axis == 0 ? "x" : "y";
    auto* page = new QWidget;
    auto* f = new QFormLayout(page);
    b.text(f, "&Lower: ", a + "lower", true);
    b.text(f, "&Upper: ", a + "upper", true);
    b.text(f, "&Step: ", a + "step", true);
    b.text(f, "&Div: ", a + "div", true);
    b.text(f, "Format:", a + "format");
    auto* kind = new QHBoxLayout;
    b.radios(kind, a + "exp", {{"&Normal", "0"}, {"&Exp", "1"}});
    auto* kindBox = new QGroupBox(" Axis");
    kindBox->setLayout(kind);
    f->addRow(kindBox);
    auto* scaling = new QHBoxLayout;
    b.radios(scaling, a + "manual", {{"&Manual", "1"}, {"&Auto", "0"}});
    auto* scalingBox = new QGroupBox(" Scaling ");
    scalingBox->setLayout(scaling);
    f->addRow(scalingBox);
    tabs->addTab(page, axis == 0 ? "&X-Axis" : "&Y-Axis");
  }
  tabs->setCurrentIndex(m.scaleTab);
  QObject::connect(tabs, &QTabWidget::currentChanged, &d, [&m, &d](int i) {
    m.scaleTab = i;
    d.setWindowTitle(toQt(m.caption()));
  });
  return tabs;
}

QWidget* namesPage(Builder&, GraphDialogModel& m, QDialog& d) {
  auto* page = new QGroupBox(" Graph Names ");
  auto* v = new QVBoxLayout(page);
  auto* f = new QFormLayout;
  auto* name = new QLineEdit(toQt(m.name));
  f->addRow("N&ame:", name);
  v->addLayout(f);
  auto* list = new QListWidget;
  v->addWidget(list);
  auto* message = new QLabel;
  v->addWidget(message);
  auto* row = new QHBoxLayout;
  auto* create = new QPushButton("&New");
  auto* remove = new QPushButton("&Delete");
  auto* use = new QPushButton("&Use");
  auto* merge = new QPushButton("&Merge");
  auto* reset = new QPushButton("&Reset");
  for (QPushButton* p : {create, remove, use, merge, reset}) row->addWidget(p);
  v->addLayout(row);
  auto show = [=, &m] {
    list->clear();
    for (const std::string& n : m.names()) list->addItem(toQt(n));
    message->setText(toQt(m.message));
    reset->setEnabled(!m.graph.overlay.empty());
  };
  show();
  auto press = [=, &m, &d](void (GraphDialogModel::*action)(), bool closes) {
    m.name = fromQt(name->text()).substr(0, kMaxGraphName);
    (m.*action)();
    show();
    if (closes && m.showWindow) d.accept();
  };
  QObject::connect(create, &QPushButton::clicked, page,
                   [=] { press(&GraphDialogModel::pressNew, false); });
  QObject::connect(remove, &QPushButton::clicked, page,
                   [=] { press(&GraphDialogModel::pressDelete, false); });
  QObject::connect(use, &QPushButton::clicked, page,
                   [=] { press(&GraphDialogModel::pressUse, true); });
  QObject::connect(merge, &QPushButton::clicked, page,
                   [=] { press(&GraphDialogModel::pressMerge, true); });
  QObject::connect(reset, &QPushButton::clicked, page,
                   [=] { press(&GraphDialogModel::pressReset, false); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, page, [=](QListWidgetItem* item) {
    if (list->row(item) == 0) return;  // "* Default *"
    name->setText(item->text());
    press(&GraphDialogModel::pressUse, true);
  });
  return page;
}

QWidget* headingsPage(Builder& b) {
  auto* page = new QWidget;
  auto* f = new QFormLayout(page);
  b.text(f, "&Main: ", "main");
  b.text(f, "&Second: ", "second");
  b.text(f, "&X-Axis: ", "xtitle");
  b.text(f, "&Y-Axis: ", "ytitle");
  return page;
}

QWidget* coloursPage(Builder& b) {
  auto* page = new QWidget;
  auto* f = new QFormLayout(page);
  for (int s = 1; s <= 6; ++s) {
    std::string p = "s" + std::to_string(s);
    b.colour(f, s == 1 ? "Series &1 fore:" : "Series fore:", p + "fore");
    b.colour(f, "Series back:", p + "back");
  }
  b.colour(f, "Background:", "outside");
  b.colour(f, "Plot area:", "inside");
  return page;
}

QWidget* fontsPage(Builder& b, QDialog& d) {
  auto* page = new QWidget;
  auto* f = new QFormLayout(page);
  const char* captions[] = {"&Main",   "&Second", "&X-axis", "&Y-Axis",
                            "&Values", "&Labels", "L&egend"};
  for (int i = 0; i < kGraphFontCount; ++i) {
    std::string field = "font" + std::to_string(i);
    QLineEdit* e = b.text(f, captions[i], field);
    auto* choose = new QPushButton("...");
    f->addRow(choose);
    QObject::connect(choose, &QPushButton::clicked, &d, [e, &d] {
      QStringList parts = e->text().split(',');
      QFont start(parts.value(0), parts.value(1).toInt() > 0 ? parts.value(1).toInt() : 12);
      bool ok = false;
      QFont chosen = QFontDialog::getFont(&ok, start, &d);
      if (!ok) return;
      int style =
          (chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0);
      e->setText(chosen.family() + "," + QString::number(chosen.pointSize()) + "," +
                 QString::number(style));
      emit e->editingFinished();
    });
  }
  return page;
}

QWidget* legendsPage(Builder& b, GraphDialogModel& m) {
  auto* page = new QGroupBox(" L&egend ");
  auto* f = new QFormLayout(page);
  const char* captions[] = {"&1: ", "&2: ", "&3: ", "&4: ", "&5: ", "&6: "};
  for (int s = 0; s < 6; ++s) b.text(f, captions[s], "legend" + std::to_string(s + 1));
  auto* clear = new QPushButton("&Clear");
  f->addRow(clear);
  QObject::connect(clear, &QPushButton::clicked, page, [&b, &m] {
    for (std::string& l : m.graph.legends) l.clear();
    b.refresh();
  });
  auto* type = new QHBoxLayout;
  b.radios(type, "legendtype", {{"&Row", "row"}, {"&Table", "table"}});
  auto* typeBox = new QGroupBox(" Type ");
  typeBox->setLayout(type);
  f->addRow(typeBox);
  return page;
}

}  // namespace

bool graphForm(QWidget* parent, GraphDialogModel& m) {
  QDialog d(parent);
  Builder b(d, m);
  auto* v = new QVBoxLayout(&d);
  auto* pages = new QTabWidget(&d);
  pages->addTab(typePage(b, m, d), "Type");
  pages->addTab(rangesPage(b, m), "Ranges");
  pages->addTab(optionsPage(b, m), "Options");
  pages->addTab(scalesPage(b, m, d), "Scales");
  pages->addTab(namesPage(b, m, d), "Names");
  pages->addTab(headingsPage(b), "Headings");
  pages->addTab(coloursPage(b), "Colors");
  pages->addTab(fontsPage(b, d), "Fonts");
  pages->addTab(legendsPage(b, m), "Legends");
  pages->setCurrentIndex(m.page);
  v->addWidget(pages);
  d.setMinimumWidth(720);  // every page's tab in view
  d.setWindowTitle(toQt(m.caption()));
  QObject::connect(pages, &QTabWidget::currentChanged, &d, [&](int i) {
    m.page = i;
    d.setWindowTitle(toQt(m.caption()));
  });
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", &d);
  auto* cancel = new QPushButton("&Cancel", &d);
  ok->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  v->addLayout(buttons);
  QObject::connect(ok, &QPushButton::clicked, &d, [&] {
    // A box still being edited gives its text first.
    if (auto* focus = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
      emit focus->editingFinished();
    d.accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  return d.exec() == QDialog::Accepted;
}

}  // namespace tw
