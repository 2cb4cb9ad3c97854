// Printing: the page geometry, strips and pages, marker rows, borders,
// headers and footers with their codes, the commands and macro keywords,
// the dialog and preview models, the text file and the PDF writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "files/worksheet_file.h"
#include "macros/macro_interpreter.h"
#include "print/page_painter.h"
#include "print/pdf_device.h"
#include "print/print_commands.h"
#include "print/print_dialog.h"
#include "print/print_job.h"
#include "print/print_layout.h"
#include "print/recording_device.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A device that keeps what its pages showed after the job lets go of it.
struct KeptPages {
  std::vector<std::vector<std::string>> texts;
  bool finished = false;
  bool aborted = false;
};

class KeepingDevice : public RecordingPageDevice {
 public:
  KeepingDevice(PageMetrics m, KeptPages& kept) : RecordingPageDevice(m), kept_(kept) {}
  ~KeepingDevice() override {
    for (const auto& p : pages) kept_.texts.push_back(pageTexts(*p));
    kept_.finished = finished;
    kept_.aborted = aborted;
  }

 private:
  KeptPages& kept_;
};

class PrintTest : public ProgramTest {
 public:
  PrintTest() {
    host.printer = [this](const PrintRequest& r) -> std::unique_ptr<PageDevice> {
      requests.push_back(r);
      auto d = std::make_unique<KeepingDevice>(metrics, kept);
      d->failAtPage = failAtPage;
      return d;
    };
    host.printerLabel = "Recorder";
  }
  Pagination paginate(const std::string& range) {
    ParsedRange p = ParseRange(ws, range);
    return Paginate(ws, p.range, PageLayout(metrics, ws));
  }

  PageMetrics metrics = RecordingPageDevice::letterAt(600);
  int failAtPage = 0;
  std::vector<PrintRequest> requests;  // every job opened, not only those printed
  KeptPages kept;
};
using PrintJobTest = PrintTest;

TEST_F(PrintTest, GeometryFollowsTheMarginsResolutionAndScale) {
  // 8 by 10.5 inches printable at 600 dpi: 768 by 1008 screen pixels.
  PageGeometry g = PageLayout(metrics, ws);
  EXPECT_EQ(g.pageWidth, 768);
  EXPECT_EQ(g.pageHeight, 1008);
  EXPECT_EQ(g.top, 48);  // half an inch
  EXPECT_EQ(g.left, 48);
  // Ten points at 600 dpi are 83 printer pixels, 13 screen pixels.
  EXPECT_EQ(g.lineHeight, 13);
  EXPECT_EQ(g.bodyWidth(), 768 - 96);
  EXPECT_EQ(g.bodyHeight(), 1008 - 96 - 4 * 13);
  EXPECT_EQ(g.bodyTop(), 48 + 26);

  ws.settings.margins[kMarginLeft] = 1.25;
  ws.settings.print.scale = 50;
  PageMetrics other{300, 150, 2400, 1575};  // the same page at another resolution
  PageGeometry h = PageLayout(other, ws);
  EXPECT_EQ(h.pageWidth, 768);
  EXPECT_EQ(h.pageHeight, 1008);
  EXPECT_EQ(h.left, 120);
  EXPECT_EQ(h.lineHeight, 7);  // 10 pt at 150 dpi, halved: 10.4 pixels, 6.67 logical
  EXPECT_EQ(printedColumnWidth(ws, 0, h.scale), 36);
  EXPECT_EQ(printedRowHeight(ws, 0, h.scale), 10);
}

TEST_F(PrintTest, ColumnsPastTheBodyStartASecondStrip) {
  // Nine columns of 72 fit the 672 of the body; the tenth starts a strip.
  for (int r = 1; r <= 5; ++r) enter("J" + std::to_string(r), "1");
  Pagination p = paginate("A1..J5");
  ASSERT_EQ(p.pages.size(), 2u);
  EXPECT_EQ(p.pages[0].columns, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(p.pages[1].columns, (std::vector<int>{9}));
  // Page 2 is the top of the second strip.
  EXPECT_EQ(p.pages[1].rows, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(p.pages[1].number, 2);

  // A column wider than the body still prints, alone in its strip.
  ws.settings.margins[kMarginLeft] = ws.settings.margins[kMarginRight] = 3.9;
  Pagination wide = paginate("A1..B2");
  ASSERT_EQ(wide.pages.size(), 2u);
  EXPECT_EQ(wide.pages[0].columns, (std::vector<int>{0}));
}

TEST_F(PrintTest, RowsFillPagesAndMarkersHideRowsOrBreakPages) {
  // 860 of body at 20 a row: 43 rows to a page.
  Pagination p = paginate("A1..A100");
  ASSERT_EQ(p.pages.size(), 3u);
  EXPECT_EQ(p.pages[0].rows.size(), 43u);
  EXPECT_EQ(p.pages[1].rows.front(), 43);
  EXPECT_EQ(p.pages[2].rows.back(), 99);

  enter("A3", "|hidden row");
  enter("A5", "|::");
  enter("A7", "|<picture.bmp");  // a picture, not a marker
  EXPECT_EQ(rowMarker(ws, 2, 0), RowMarker::Hidden);
  EXPECT_EQ(rowMarker(ws, 4, 0), RowMarker::PageBreak);
  EXPECT_EQ(rowMarker(ws, 6, 0), RowMarker::None);
  EXPECT_EQ(rowMarker(ws, 2, 1), RowMarker::None);  // only the range's first column counts
  Pagination m = paginate("A1..B8");
  ASSERT_EQ(m.pages.size(), 2u);
  EXPECT_EQ(m.pages[0].rows, (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(m.pages[1].rows, (std::vector<int>{5, 6, 7}));
  // A break on the last row makes no empty page.
  Pagination last = paginate("A1..A5");
  EXPECT_EQ(last.pages.size(), 1u);
}

TEST_F(PrintTest, ARowTallerThanTheBodyPrintsAloneOnItsPage) {
  metrics = {96, 96, 400, 200};  // a body of 200 - 96 - 52 = 52 pixels
  ws.rowHeight[1] = 120;
  Pagination p = paginate("A1..A3");
  ASSERT_EQ(p.pages.size(), 3u);
  EXPECT_EQ(p.pages[0].rows, (std::vector<int>{0}));
  EXPECT_EQ(p.pages[1].rows, (std::vector<int>{1}));
  EXPECT_EQ(p.pages[2].rows, (std::vector<int>{2}));
}

TEST_F(PrintTest, BordersRepeatOnEveryPageAndLine) {
  ws.settings.print.borderRows = CellRange::of(0, 0, 1, 0);     // rows 1 and 2
  ws.settings.print.borderColumns = CellRange::of(0, 0, 0, 1);  // columns A and B
  Pagination p = paginate("C3..L90");
  ASSERT_GE(p.pages.size(), 4u);
  for (const PrintedPage& page : p.pages) {
    EXPECT_EQ(page.borderRows, 2);
    EXPECT_EQ(page.rows[0], 0);
    EXPECT_EQ(page.rows[1], 1);
    EXPECT_EQ(page.borderColumns, 2);
    EXPECT_EQ(page.columns[0], 0);
    EXPECT_EQ(page.columns[1], 1);
  }
  // Borders take room: 7 range columns beside two border columns, then 3.
  EXPECT_EQ(p.pages[0].columns.size(), 9u);
  // 41 range rows under the two border rows.
  EXPECT_EQ(p.pages[0].rows.size(), 43u);
  EXPECT_EQ(p.pages[1].rows[2], 43);

  ws.settings.print.borderRows = CellRange::of(0, 0, 60, 0);
  EXPECT_TRUE(paginate("C3..D90").bordersTooTall);
  EXPECT_FALSE(frame.execute("PRINTRANGE", {Arg::ofRange(CellRange::of(0, 0, 10, 2))}).ok);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kBordersTooTallMessage);
}

TEST(PageCodes, AreReplacedInOnePassAndSplitAtBars) {
  PageFacts f{3, "08-Dec-2026", "10:15 AM", "A^F#.WKS"};
  EXPECT_EQ(expandPageCodes("Page #|^F", f), "Page 3|A^F#.WKS");
  EXPECT_EQ(expandPageCodes("^P of @ ^D ^T ^X", f), "3 of 08-Dec-2026 08-Dec-2026 10:15 AM ^X");
  EXPECT_EQ(expandPageCodes("^", f), "^");

  AlignedParts one = alignedParts("Title");
  EXPECT_EQ(one.centre, "Title");
  EXPECT_TRUE(one.left.empty() && one.right.empty());
  AlignedParts two = alignedParts("L|R");
  EXPECT_EQ(two.left, "L");
  EXPECT_EQ(two.right, "R");
  EXPECT_TRUE(two.centre.empty());
  AlignedParts three = alignedParts("L|C|R|more");
  EXPECT_EQ(three.left, "L");
  EXPECT_EQ(three.centre, "C");
  EXPECT_EQ(three.right, "R|more");
}

TEST_F(PrintJobTest, TheFooterShowsThePageNumberAndTheFileName) {
  ws.fileName = "/home/user/books/ACCOUNTS.WKS";
  ws.hasFileName = true;
  ws.settings.printFooter = "Page #|^F";
  ws.settings.printHeader = "Left|Middle|Right";
  enter("A1", "'first");
  enter("A50", "'second");
  enter("A100", "'third");
  ASSERT_TRUE(frame.execute("PRINTRANGE", {Arg::ofRange(CellRange::of(0, 0, 99, 0))}).ok);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].title, "/home/user/books/ACCOUNTS.WKS");
  ASSERT_EQ(kept.texts.size(), 3u);
  EXPECT_TRUE(kept.finished);
  const std::vector<std::string>& page3 = kept.texts[2];
  EXPECT_NE(std::find(page3.begin(), page3.end(), "Page 3"), page3.end());
  EXPECT_NE(std::find(page3.begin(), page3.end(), "ACCOUNTS.WKS"), page3.end());
  EXPECT_NE(std::find(page3.begin(), page3.end(), "third"), page3.end());
  EXPECT_NE(std::find(page3.begin(), page3.end(), "Middle"), page3.end());
  // The status window counted the lines and pages.
  ASSERT_FALSE(host.printStatuses.empty());
  EXPECT_EQ(host.printStatuses.back().page, 3);
  EXPECT_EQ(host.printStatuses.back().line, 100);
  EXPECT_EQ(host.printStatuses.back().percent, 100 * 100 / 101);
  EXPECT_EQ(host.printStatuses.back().printer, "Recorder");
}

TEST_F(PrintTest, HeaderPartsAreAlignedAcrossTheBody) {
  ws.settings.printHeader = "L|C|R";
  ws.settings.print.headerLine = true;
  ws.settings.print.frame = true;
  RecordingCanvas canvas;
  PageGeometry g = PageLayout(metrics, ws);
  Pagination p = Paginate(ws, CellRange::of(0, 0, 0, 0), g);
  ASSERT_EQ(p.pages.size(), 1u);
  PageFacts facts;
  paintPrintedPage(canvas, ws, g, p.pages[0], facts);
  int left = -1, centre = -1, right = -1, rules = 0, frames = 0;
  for (const DrawOp& op : canvas.ops()) {
    if (op.kind == DrawKind::Text && op.text == "L") left = op.rect.x;
    if (op.kind == DrawKind::Text && op.text == "C") centre = op.rect.x;
    if (op.kind == DrawKind::Text && op.text == "R") right = op.rect.right();
    if (op.kind == DrawKind::Line && op.points.size() == 2 && op.points[0].y == op.points[1].y &&
        op.points[0].y == g.top + g.lineHeight + g.lineHeight / 2)
      ++rules;
    if (op.kind == DrawKind::Rectangle) ++frames;
  }
  EXPECT_EQ(left, g.left);
  EXPECT_EQ(right, g.left + g.bodyWidth());
  EXPECT_NEAR(centre + 4, g.left + g.bodyWidth() / 2, 4);
  EXPECT_EQ(rules, 1);
  EXPECT_EQ(frames, 2);  // the page and the body
}

TEST_F(PrintJobTest, CancellingAbortsTheJobAndAFailedPageStopsIt) {
  host.cancelPrintAtPage = 2;
  EXPECT_FALSE(frame.execute("PRINTRANGE", {Arg::ofRange(CellRange::of(0, 0, 99, 0))}).ok);
  EXPECT_TRUE(kept.aborted);
  EXPECT_FALSE(kept.finished);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(ws.settings.ranges[kPrintRange], CellRange::of(0, 0, 99, 0));

  host.cancelPrintAtPage = 0;
  kept = {};
  failAtPage = 2;
  EXPECT_TRUE(frame.execute("PRINTALL").ok);
  EXPECT_TRUE(kept.finished) << "one page only: nothing failed";
  EXPECT_TRUE(host.errors.empty());

  enter("A100", "1");
  kept = {};
  EXPECT_FALSE(frame.execute("PRINTALL").ok);
  EXPECT_TRUE(kept.aborted);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kPrinterErrorMessage);
}

TEST_F(PrintTest, WithoutAPrinterNothingPrintsAndTheUserIsTold) {
  host.printer = nullptr;
  EXPECT_FALSE(frame.execute("PRINTALL").ok);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kNoPrinterMessage);
  // An undefined print range prints nothing, and says nothing.
  host.errors.clear();
  host.printer = [](const PrintRequest&) { return std::make_unique<RecordingPageDevice>(); };
  CommandContext cx = frame.context();
  EXPECT_TRUE(PrintRange(cx, false).ok);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(PrintTest, MacroKeywordsSetTheSettings) {
  program.macros.RunMacroText(
      "{PRINTHEAD \"Top #\",1}{PRINTFOOT \"^F\",0}{PRINTMARGIN \"L1.5R0.25T2B0\"}"
      "{PRINTOPTION \"LS5F1G1M0\"}{PRINTBORDER 1,A1..A2}{PRINTBORDER 0,B1..C1}");
  ASSERT_FALSE(program.macros.endedByError());
  const WorksheetSettings& s = ws.settings;
  EXPECT_EQ(s.printHeader, "Top #");
  EXPECT_EQ(s.printFooter, "^F");
  EXPECT_DOUBLE_EQ(s.margins[kMarginLeft], 1.5);
  EXPECT_DOUBLE_EQ(s.margins[kMarginRight], 0.25);
  EXPECT_DOUBLE_EQ(s.margins[kMarginTop], 2);
  EXPECT_DOUBLE_EQ(s.margins[kMarginBottom], 0);
  EXPECT_TRUE(s.print.landscape);
  EXPECT_EQ(s.print.scale, 10);  // 5 is below the smallest scale
  EXPECT_TRUE(s.print.frame);
  EXPECT_TRUE(s.print.grid);
  EXPECT_FALSE(s.print.mono);
  EXPECT_EQ(s.print.borderRows, CellRange::of(0, 0, 1, 0));
  EXPECT_EQ(s.print.borderColumns, CellRange::of(0, 1, 0, 2));
  EXPECT_TRUE(ws.modified);

  program.macros.RunMacroText("{PRINTOPTION \"PS200M1\"}{PRINTBORDER 1}");
  EXPECT_FALSE(ws.settings.print.landscape);
  EXPECT_EQ(ws.settings.print.scale, 150);
  EXPECT_TRUE(ws.settings.print.mono);
  EXPECT_FALSE(ws.settings.print.borderRows.valid());

  // A bad item beeps and leaves the margins as they were.
  int beeps = host.beeps;
  program.macros.RunMacroText("{PRINTMARGIN \"X1\"}");
  EXPECT_GT(host.beeps, beeps);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginLeft], 1.5);
}

TEST_F(PrintTest, PrintRangeKeywordPrintsLandscapeWhenAsked) {
  enter("A1", "'x");
  program.macros.RunMacroText("{PRINTOPTION \"L\"}{PRINTRANGE A1..B2}");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].landscape);
  EXPECT_EQ(ws.settings.ranges[kPrintRange], CellRange::of(0, 0, 1, 1));
  ASSERT_EQ(kept.texts.size(), 1u);
  EXPECT_EQ(kept.texts[0], (std::vector<std::string>{"x"}));
}

TEST_F(PrintTest, TheRangeAsTextKeepsWidthsAndFormats) {
  enter("A1", "'Name");
  enter("B1", "\"Amount");
  enter("A2", "'Apples and pears");  // spills over the empty B2
  enter("C2", "1234.5");
  enter("A3", "'Plums");
  enter("B3", "12");
  frame.execute("RANGEFORMAT", {Arg::ofRange(CellRange::of(2, 1, 2, 1)), Arg::ofText("F2")});
  std::string text = rangeAsText(ws, CellRange::of(0, 0, 2, 2));
  EXPECT_EQ(text,
            "Name        Amount\r\n"
            "Apples and pears    1234.5\r\n"  // numbers end a character inside
            "Plums       12.00\r\n");

  TempDir dir;
  std::string name = dir.file("report");
  program.macros.RunMacroText("{PRINTFILE \"" + name + "\",A1..C3}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(readFile(name + ".prn"), text);
  EXPECT_EQ(printFileName("a.txt"), "a.txt");
  EXPECT_EQ(printFileName("dir.d/name"), "dir.d/name.prn");

  // A file that cannot be written is said so; nothing else is touched.
  EXPECT_FALSE(frame
                   .execute("PRINTFILE", {Arg::ofText(dir.file("no/such/dir/x")),
                                          Arg::ofRange(CellRange::of(0, 0, 1, 1))})
                   .ok);
  EXPECT_EQ(host.errors.back(), kPrintFileErrorMessage);
}

TEST_F(PrintTest, PrintSettingsTravelWithTheWorksheetFile) {
  PrintOptions& o = ws.settings.print;
  o.borderRows = CellRange::of(1, 0, 2, 0);
  o.borderColumns = CellRange::of(0, 3, 0, 4);
  o.headerLine = o.frame = o.landscape = true;
  o.mono = false;
  o.scale = 75;
  ws.settings.printHeader = "Head";
  ws.settings.ranges[kPrintRange] = CellRange::of(0, 0, 9, 5);
  TempDir dir;
  std::string path = dir.file("PRINTED.WKS");
  ASSERT_TRUE(Save(ws, path));
  Worksheet& back = session.openWorksheet("BACK.WKS");
  ASSERT_TRUE(Load(back, path));
  EXPECT_EQ(back.settings.print, o);
  EXPECT_EQ(back.settings.printHeader, "Head");
  EXPECT_EQ(back.settings.ranges[kPrintRange], CellRange::of(0, 0, 9, 5));
}

TEST_F(PrintTest, TheDialogAppliesItsSettingsThenPrints) {
  enter("A1", "'one");
  enter("B3", "3");
  host.scripted.push_back(
      "what=range;range=A1..B3;header=My header;footerline=1;scale=5;top=1;rows=A1;"
      "orientation=landscape;grid=yes;button=print");
  frame.invoke("PRINT");
  EXPECT_TRUE(host.unanswered.empty()) << host.unanswered;
  EXPECT_EQ(ws.settings.ranges[kPrintRange], CellRange::of(0, 0, 2, 1));
  EXPECT_EQ(ws.settings.printHeader, "My header");
  EXPECT_TRUE(ws.settings.print.footerLine);
  EXPECT_EQ(ws.settings.print.scale, 10);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginTop], 1);
  EXPECT_EQ(ws.settings.print.borderRows, CellRange::of(0, 0, 0, 0));
  EXPECT_TRUE(ws.settings.print.grid);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].landscape);

  // A range that is no range keeps the dialog from closing; the headless
  // host cancels it, and nothing changes.
  host.scripted.push_back("what=range;range=nowhere;header=Other;button=print");
  frame.invoke("PRINT");
  EXPECT_EQ(ws.settings.printHeader, "My header");
  EXPECT_EQ(requests.size(), 1u);

  // Cancel leaves the settings as they were.
  host.scripted.push_back("{ESC}");
  frame.invoke("PRINT");
  EXPECT_EQ(ws.settings.printHeader, "My header");
}

TEST_F(PrintTest, TheDialogModelShowsTheExtentAndClampsTheScale) {
  enter("C7", "1");
  PrintModel m(ws, host, "A1");
  EXPECT_EQ(m.extentText(), "A1..C7");
  EXPECT_EQ(m.what, PrintModel::What::All);
  EXPECT_TRUE(m.setScale("200"));
  EXPECT_EQ(m.settings.options.scale, 150);
  EXPECT_TRUE(m.setScale("5"));
  EXPECT_EQ(m.settings.options.scale, 10);
  EXPECT_FALSE(m.setScale("big"));
  EXPECT_TRUE(m.setMargin(kMarginLeft, "1.234"));
  EXPECT_EQ(m.marginText(kMarginLeft), "1.23");
  EXPECT_FALSE(m.setMargin(kMarginLeft, "-1"));
  m.defaultMargins();
  EXPECT_EQ(m.marginText(kMarginLeft), "0.50");
  EXPECT_EQ(m.chosenRange(), CellRange::of(0, 0, 6, 2));
  EXPECT_NE(m.printerFacts().find("600 x 600 dpi"), std::string::npos);
  EXPECT_NE(m.printerFacts().find("8.00 x 10.50 inches"), std::string::npos);
}

TEST_F(PrintTest, ThePreviewPagesThroughTheLayoutAndPrintsTheCurrentPage) {
  enter("A1", "'start");
  enter("A100", "'end");
  PreviewModel preview(ws, host, CellRange::of(0, 0, 99, 0));
  EXPECT_EQ(preview.pageCount(), 3);
  EXPECT_EQ(preview.countText(), "of 3");
  EXPECT_FALSE(preview.setPage(4));
  EXPECT_TRUE(preview.setPage(3));
  RecordingCanvas canvas;
  preview.paint(canvas);
  std::vector<std::string> texts = pageTexts(canvas);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "end"), texts.end());
  // The text scale changes the print settings and the layout.
  EXPECT_TRUE(preview.setScale(50));
  EXPECT_EQ(ws.settings.print.scale, 50);
  EXPECT_EQ(preview.pageCount(), 2);
  EXPECT_EQ(preview.page, 2);
  preview.zoomToFit(384, 1000);
  EXPECT_EQ(preview.zoom, 50);

  // No print range: the preview shows everything, and prints the page asked for.
  host.scripted.push_back("page=2;button=page");
  frame.invoke("PRINTPREVIEW");
  EXPECT_TRUE(host.unanswered.empty());
  ASSERT_EQ(kept.texts.size(), 1u);
  EXPECT_TRUE(kept.finished);
  EXPECT_EQ(host.printStatuses.front().page, 2);
}

TEST(PdfWriter, WritesPagesThatAPdfReaderTakes) {
  std::vector<std::string> pages = {"BT /F1 10 Tf 1 0 0 -1 10 20 Tm (a) Tj ET\n", "\n"};
  std::string pdf = pdfDocument(612, 792, pages, {});
  EXPECT_TRUE(pdf.starts_with("%PDF-1.4"));
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  // The cross-reference offsets point at their objects.
  size_t xref = pdf.find("\nxref\n");
  ASSERT_NE(xref, std::string::npos);
  std::istringstream table(pdf.substr(xref + 6));
  int first, count;
  table >> first >> count;
  std::string offset, generation, kind;
  table >> offset >> generation >> kind;  // the free entry
  for (int n = 1; n < count; ++n) {
    table >> offset >> generation >> kind;
    size_t at = std::stoul(offset);
    EXPECT_EQ(pdf.compare(at, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
  }
  size_t start = pdf.rfind("startxref\n");
  EXPECT_EQ(std::stoul(pdf.substr(start + 10)), xref + 1);

  // Text is escaped and measured as Courier: one width for every character.
  PdfCanvas c(792);
  Font f;
  f.size = 10;
  EXPECT_EQ(c.measureText(f, "abcd").width, 28);
  f.size = 20;
  EXPECT_EQ(c.measureText(f, "ab").width, 28);
  c.setFont(f);
  c.drawText(0, 0, "(x)\\\xE9");
  std::string content = c.finish();
  EXPECT_NE(content.find("(\\(x\\)\\\\\\351) Tj"), std::string::npos) << content;
}

TEST(PdfWriter, AnAbortedJobLeavesTheOldFile) {
  TempDir dir;
  std::string path = dir.file("out.pdf");
  { std::ofstream(path) << "old"; }
  PdfDevice d(path, PaperSize::A4, true);
  EXPECT_EQ(d.metrics().width, 841);
  EXPECT_EQ(d.metrics().height, 595);
  ASSERT_NE(d.beginPage(), nullptr);
  d.endPage();
  d.abort();
  EXPECT_EQ(readFile(path), "old");
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));

  PdfDevice e(path, PaperSize::Letter, false);
  ASSERT_NE(e.beginPage(), nullptr);
  e.endPage();
  EXPECT_TRUE(e.finish());
  EXPECT_TRUE(readFile(path).starts_with("%PDF"));
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}

}  // namespace
}  // namespace tw::test
