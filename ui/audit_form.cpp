// Four tabs over the audit model: the tree of references, the map of the
// used area, the shaded bars of the kinds, and the cross reference list.
#include "ui/audit_form.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "core/session.h"
#include "shell/audit_dialog.h"
#include "ui/qt_canvas.h"
#include "ui/range_box.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

// A page drawn by the model on a canvas.
class DrawnPage : public QWidget {
 public:
  explicit DrawnPage(std::function<void(Canvas&, int, int)> draw) : draw_(std::move(draw)) {
    setMinimumSize(420, 280);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QtCanvas canvas(p, cache_);
    draw_(canvas, width(), height());
  }

 private:
  std::function<void(Canvas&, int, int)> draw_;
  QtCanvasCache cache_;
};

}  // namespace

bool auditForm(QWidget* parent, AuditModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* tabs = new QTabWidget(&d);
  v->addWidget(tabs);
  auto point = [&](const char* field) {
    m.pointField = field;
    d.done(2);
  };

  // Tree.
  auto* treePage = new QWidget;
  auto* tf = new QFormLayout(treePage);
  auto* cell = new RangeBox(nullptr, [&] { point("cell"); });
  cell->setText(toQt(m.cell));
  tf->addRow("&Cell: ", cell);
  auto* depth = new QSpinBox;
  depth->setRange(1, 1000);
  depth->setValue(m.depth);
  tf->addRow("&Depth: ", depth);
  auto* tree = new QTreeWidget;
  tree->setHeaderHidden(true);
  tf->addRow(tree);
  auto* total = new QLabel;
  auto* deepest = new QLabel;
  tf->addRow(total);
  tf->addRow(deepest);
  tabs->addTab(treePage, "&Tree");

  // Overview.
  auto* overview = new QWidget;
  auto* of = new QVBoxLayout(overview);
  auto* used = new QLabel;
  auto* cells = new QLabel;
  of->addWidget(used);
  of->addWidget(cells);
  of->addWidget(new DrawnPage([&m](Canvas& c, int w, int h) { m.drawOverview(c, w, h); }), 1);
  tabs->addTab(overview, "&Overview");

  // Stats.
  tabs->addTab(new DrawnPage([&m](Canvas& c, int w, int h) { m.drawStats(c, w, h, 14); }),
               "&Stats");

  // XRef.
  auto* xrefPage = new QWidget;
  auto* xf = new QFormLayout(xrefPage);
  auto* range = new RangeBox(nullptr, [&] { point("range"); });
  range->setText(toQt(m.range));
  xf->addRow("&Range: ", range);
  auto* list = new QListWidget;
  xf->addRow(list);
  tabs->addTab(xrefPage, "&XRef");

  auto fill = [&] {
    tree->clear();
    std::vector<QTreeWidgetItem*> parents;
    for (const TreeLine& line : m.tree()) {
      auto* item = line.level == 0 || parents.empty()
                       ? new QTreeWidgetItem(tree)
                       : new QTreeWidgetItem(parents[static_cast<size_t>(line.level - 1)]);
      item->setText(0, toQt(line.text));
      parents.resize(static_cast<size_t>(line.level));
      parents.push_back(item);
    }
    tree->expandAll();
    total->setText("Total References: " + QString::number(m.totalReferences()));
    deepest->setText("Depth: " + QString::number(m.deepest()));
    used->setText(toQt("Range: " + m.lastCellText()));
    cells->setText("Total Cells: " + QString::number(m.counts().total));
    list->clear();
    for (const std::string& l : m.xref()) list->addItem(toQt(l));
    cell->setText(toQt(m.cell));
  };
  QObject::connect(cell, &QLineEdit::editingFinished, &d, [&] {
    m.cell = fromQt(cell->text());
    m.rebuild();
    fill();
  });
  QObject::connect(range, &QLineEdit::editingFinished, &d, [&] {
    m.range = fromQt(range->text());
    m.rebuild();
    fill();
  });
  QObject::connect(depth, &QSpinBox::valueChanged, &d, [&](int value) {
    m.depth = value;
    m.rebuild();
    fill();
  });
  // A click on a line takes its address into the cell box.
  QObject::connect(tree, &QTreeWidget::itemClicked, &d, [&](QTreeWidgetItem* item) {
    QString text = item->text(0);
    m.cell = fromQt(text.left(text.indexOf(':')));
    m.rebuild();
    fill();
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &d);
  auto* print = buttons->addButton("&Print", QDialogButtonBox::ActionRole);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(print, &QPushButton::clicked, &d, [&] { m.print(m.session().host(), m.page); });
  v->addWidget(buttons);
  auto showPage = [&](int p) {
    m.page = p;
    print->setVisible(p != AuditModel::kTree);
  };
  QObject::connect(tabs, &QTabWidget::currentChanged, &d, showPage);
  tabs->setCurrentIndex(m.page);
  showPage(m.page);
  fill();
  return d.exec() != 2;
}

}  // namespace tw
