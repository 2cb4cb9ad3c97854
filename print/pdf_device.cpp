#include "print/pdf_device.h"

#include "core/replace_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>

namespace tw {

namespace {

constexpr double kPointsPerLogical = 72.0 / kScreenPixelsPerInch;
constexpr double kCourierAdvance = 0.6;  // of the size, every character
constexpr double kAscent = 0.975;        // of the size in logical units
constexpr double kDescent = 0.225;

// A number as PDF writes it: at most three decimals, no exponent, no locale.
void put(std::string& out, double x) {
  if (!std::isfinite(x)) x = 0;
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 3);
  if (ec != std::errc()) {
    out += '0';
    return;
  }
  char* e = end;
  while (e > buf && e[-1] == '0') --e;
  if (e > buf && e[-1] == '.') --e;
  std::string_view v(buf, static_cast<size_t>(e - buf));
  if (v == "-0" || v.empty()) v = "0";
  out.append(v);
  out += ' ';
}

void putColour(std::string& out, uint32_t rgb) {
  put(out, ((rgb >> 16) & 0xFF) / 255.0);
  put(out, ((rgb >> 8) & 0xFF) / 255.0);
  put(out, (rgb & 0xFF) / 255.0);
}

// Courier is set smaller than the size asked for: its characters then take
// the room of the proportional faces of the screen (seven pixels at ten
// points), and a number that fits a column there fits it here.
constexpr double kCourierScale = 0.875;

double fontLogicalSize(const Font& f) {
  double points = f.size > 0 ? f.size : 10.0;
  return points * kCourierScale / kPointsPerLogical;
}

// Courier, Courier-Bold, Courier-Oblique, Courier-BoldOblique.
int fontNumber(const Font& f) {
  return 1 + (f.bold ? 1 : 0) + (f.italic ? 2 : 0);
}

std::string pathOf(const std::vector<Point>& points, bool close) {
  std::string p;
  for (size_t i = 0; i < points.size(); ++i) {
    put(p, points[i].x + 0.5);
    put(p, points[i].y + 0.5);
    p += i == 0 ? "m\n" : "l\n";
  }
  if (close && !points.empty()) p += "h\n";
  return p;
}

}  // namespace

PaperSize systemPaperSize() {
  std::string name;
  if (const char* env = std::getenv("PAPERSIZE"); env && *env) {
    name = env;
  } else {
    std::ifstream in("/etc/papersize");
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      name = line;
      break;
    }
  }
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.starts_with("a4") ? PaperSize::A4 : PaperSize::Letter;
}

// --- The canvas ---------------------------------------------------------------------------

PdfCanvas::PdfCanvas(double pageHeightPoints) {
  // Logical units, y downwards from the top of the page.
  put(out_, kPointsPerLogical);
  out_ += "0 0 ";
  put(out_, -kPointsPerLogical);
  out_ += "0 ";
  put(out_, pageHeightPoints);
  out_ += "cm\n";
}

void PdfCanvas::strokeColour(uint32_t rgb) {
  if (stroke_ == rgb) return;
  putColour(out_, rgb);
  out_ += "RG\n";
  stroke_ = rgb;
}

void PdfCanvas::fillColour(uint32_t rgb) {
  if (fill_ == rgb) return;
  putColour(out_, rgb);
  out_ += "rg\n";
  fill_ = rgb;
}

void PdfCanvas::applyPen() {
  strokeColour(pen_.colour & 0xFFFFFF);
  int w = std::max(pen_.width, 1);
  if (w != lineWidth_) {
    put(out_, w);
    out_ += "w\n";
    lineWidth_ = w;
  }
  if (!dashSet_ || dash_ != pen_.style) {
    switch (pen_.style) {
      case LineStyle::Dash:
        out_ += "[6 3] 0 d\n";
        break;
      case LineStyle::Dot:
        out_ += "[1 2] 0 d\n";
        break;
      case LineStyle::DashDot:
        out_ += "[6 2 1 2] 0 d\n";
        break;
      case LineStyle::DashDotDot:
        out_ += "[6 2 1 2 1 2] 0 d\n";
        break;
      default:
        out_ += "[] 0 d\n";
        break;
    }
    dash_ = pen_.style;
    dashSet_ = true;
  }
}

void PdfCanvas::strokePath(const std::string& path) {
  if (pen_.style == LineStyle::None || path.empty()) return;
  applyPen();
  out_ += path;
  out_ += "S\n";
}

void PdfCanvas::fillPath(const std::string& path, bool andStroke) {
  bool stroke = andStroke && pen_.style != LineStyle::None;
  if (brush_.style == FillStyle::Solid) {
    fillColour(brush_.colour & 0xFFFFFF);
    if (stroke) applyPen();
    out_ += path;
    out_ += stroke ? "B\n" : "f\n";
    return;
  }
  if (brush_.style != FillStyle::None) {
    // Hatching: lines across the shape's bounds, cut to the shape.
    out_ += "q\n";
    out_ += path;
    out_ += "W n\n";
    restoreClipState();
    fillColour(brush_.colour & 0xFFFFFF);
    Pen saved = pen_;
    pen_ = {brush_.colour & 0xFFFFFF, 1, LineStyle::Solid};
    applyPen();
    // Bounds from the path's numbers would be exact; the page is enough.
    const int extent = 20000;
    std::string lines;
    auto line = [&](double x1, double y1, double x2, double y2) {
      put(lines, x1);
      put(lines, y1);
      lines += "m ";
      put(lines, x2);
      put(lines, y2);
      lines += "l\n";
    };
    FillStyle s = brush_.style;
    for (int k = -extent; k <= extent; k += 8) {
      if (s == FillStyle::Horizontal || s == FillStyle::Cross) line(-extent, k, extent, k);
      if (s == FillStyle::Vertical || s == FillStyle::Cross) line(k, -extent, k, extent);
      if (s == FillStyle::ForwardDiagonal || s == FillStyle::DiagonalCross)
        line(k, 0, k + extent, extent);
      if (s == FillStyle::BackwardDiagonal || s == FillStyle::DiagonalCross)
        line(k, 0, k - extent, extent);
    }
    out_ += lines;
    out_ += "S\nQ\n";
    pen_ = saved;
    restoreClipState();
  }
  if (stroke) strokePath(path);
}

// After a Q the stream's colours and line settings are those of its q.
void PdfCanvas::restoreClipState() {
  stroke_ = fill_ = -1;
  lineWidth_ = -1;
  dashSet_ = false;
}

void PdfCanvas::drawLine(Line line) {
  drawLines({line});
}

void PdfCanvas::drawLines(const std::vector<Line>& lines) {
  if (lines.empty() || pen_.style == LineStyle::None) return;
  std::string p;
  for (const Line& l : lines) {
    // Lines through the middle of the pixels they cover, as on the screen.
    put(p, l.from.x + 0.5);
    put(p, l.from.y + 0.5);
    p += "m ";
    put(p, l.to.x + 0.5);
    put(p, l.to.y + 0.5);
    p += "l\n";
  }
  strokePath(p);
}

void PdfCanvas::drawPolyline(const std::vector<Point>& points) {
  strokePath(pathOf(points, false));
}

void PdfCanvas::drawPolygon(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  fillPath(pathOf(points, true), true);
}

void PdfCanvas::drawRectangle(const Rect& r) {
  if (r.empty()) return;
  std::string p;
  put(p, r.x + 0.5);
  put(p, r.y + 0.5);
  put(p, r.width - 1);
  put(p, r.height - 1);
  p += "re\n";
  fillPath(p, true);
}

void PdfCanvas::fillRectangle(const Rect& r, uint32_t rgb) {
  if (r.empty()) return;
  fillColour(rgb & 0xFFFFFF);
  put(out_, r.x);
  put(out_, r.y);
  put(out_, r.width);
  put(out_, r.height);
  out_ += "re f\n";
}

std::string PdfCanvas::arcPath(const Rect& b, double start, double span, bool moveFirst) const {
  const double cx = b.x + b.width / 2.0, cy = b.y + b.height / 2.0;
  const double rx = b.width / 2.0, ry = b.height / 2.0;
  auto at = [&](double deg, double& x, double& y) {
    double a = deg * std::numbers::pi / 180;
    x = cx + rx * std::cos(a);
    y = cy - ry * std::sin(a);  // counter-clockwise on a page whose y runs down
  };
  std::string p;
  double x, y;
  at(start, x, y);
  put(p, x);
  put(p, y);
  p += moveFirst ? "m\n" : "l\n";
  int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(span) / 90)));
  double step = span / pieces;
  for (int i = 0; i < pieces; ++i) {
    double a0 = (start + i * step) * std::numbers::pi / 180;
    double a1 = (start + (i + 1) * step) * std::numbers::pi / 180;
    double k = 4.0 / 3.0 * std::tan((a1 - a0) / 4);
    double x0 = cx + rx * std::cos(a0), y0 = cy - ry * std::sin(a0);
    double x3 = cx + rx * std::cos(a1), y3 = cy - ry * std::sin(a1);
    double x1 = x0 - k * rx * std::sin(a0), y1 = y0 - k * ry * std::cos(a0);
    double x2 = x3 + k * rx * std::sin(a1), y2 = y3 + k * ry * std::cos(a1);
    for (double v : {x1, y1, x2, y2, x3, y3}) put(p, v);
    p += "c\n";
  }
  return p;
}

void PdfCanvas::drawEllipse(const Rect& b) {
  if (b.empty()) return;
  fillPath(arcPath(b, 0, 360, true) + "h\n", true);
}

void PdfCanvas::drawArc(const Rect& b, double start, double span) {
  if (b.empty()) return;
  strokePath(arcPath(b, start, span, true));
}

void PdfCanvas::drawPie(const Rect& b, double start, double span) {
  if (b.empty()) return;
  std::string p;
  put(p, b.x + b.width / 2.0);
  put(p, b.y + b.height / 2.0);
  p += "m\n";
  p += arcPath(b, start, span, false);
  p += "h\n";
  fillPath(p, true);
}

void PdfCanvas::drawText(int x, int y, std::string_view text) {
  if (text.empty()) return;
  const double size = fontLogicalSize(font_);
  const double angle = font_.angle / 10.0 * std::numbers::pi / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  // The box's top-left corner is (x, y); the baseline lies an ascent below
  // it, along the text's downward direction.
  const double bx = x + size * kAscent * s, by = y + size * kAscent * c;
  fillColour(textColour_ & 0xFFFFFF);
  out_ += "BT /F";
  out_ += static_cast<char>('0' + fontNumber(font_));
  out_ += ' ';
  put(out_, size);
  out_ += "Tf ";
  for (double v : {c, -s, -s, -c, bx, by}) put(out_, v);
  out_ += "Tm (";
  for (unsigned char ch : text) {
    if (ch == '(' || ch == ')' || ch == '\\') {
      out_ += '\\';
      out_ += static_cast<char>(ch);
    } else if (ch < 32 || ch >= 127) {
      char oct[5];
      std::snprintf(oct, sizeof oct, "\\%03o", ch);
      out_ += oct;
    } else {
      out_ += static_cast<char>(ch);
    }
  }
  out_ += ") Tj ET\n";
  if (font_.underline) {
    double width = kCourierAdvance * size * static_cast<double>(text.size());
    double ux = bx + size * 0.1 * s, uy = by + size * 0.1 * c;
    std::string p;
    put(p, ux);
    put(p, uy);
    p += "m ";
    put(p, ux + width * c);
    put(p, uy - width * s);
    p += "l\n";
    Pen saved = pen_;
    pen_ = {textColour_, 1, LineStyle::Solid};
    strokePath(p);
    pen_ = saved;
  }
}

TextMetrics PdfCanvas::measureText(const Font& font, std::string_view text) {
  const double size = fontLogicalSize(font);
  TextMetrics m;
  m.width =
      static_cast<int>(std::lround(kCourierAdvance * size * static_cast<double>(text.size())));
  m.ascent = static_cast<int>(std::lround(size * kAscent));
  m.descent = static_cast<int>(std::lround(size * kDescent));
  return m;
}

void PdfCanvas::setClip(const Rect& r) {
  if (clipped_) out_ += "Q\n";
  out_ += "q ";
  put(out_, r.x);
  put(out_, r.y);
  put(out_, std::max(r.width, 0));
  put(out_, std::max(r.height, 0));
  out_ += "re W n\n";
  clipped_ = true;
  restoreClipState();
}

void PdfCanvas::clearClip() {
  if (!clipped_) return;
  out_ += "Q\n";
  clipped_ = false;
  restoreClipState();
}

void PdfCanvas::drawBitmap(const Rect& target, const Bitmap& bitmap) {
  if (target.empty() || bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() < static_cast<size_t>(bitmap.width) * bitmap.height)
    return;
  images_.push_back(bitmap);
  out_ += "q ";
  // The image's unit square, upright on a page whose y runs down.
  for (double v : {static_cast<double>(target.width), 0.0, 0.0, -static_cast<double>(target.height),
                   static_cast<double>(target.x), static_cast<double>(target.y + target.height)})
    put(out_, v);
  out_ += "cm /Im" + std::to_string(images_.size()) + " Do Q\n";
}

std::string PdfCanvas::finish() {
  if (clipped_) out_ += "Q\n";
  clipped_ = false;
  return std::move(out_);
}

// --- The document ---------------------------------------------------------------------------

std::string pdfDocument(double width, double height, const std::vector<std::string>& contents,
                        const std::vector<std::vector<Bitmap>>& images) {
  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  auto object = [&](const std::string& body) {
    offsets.push_back(out.size());
    out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    return offsets.size();
  };
  auto stream = [&](const std::string& dict, const std::string& data) {
    return object("<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
                  data + "\nendstream");
  };
  object("<< /Type /Catalog /Pages 2 0 R >>");
  offsets.push_back(0);  // the page tree, written last
  const char* faces[] = {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"};
  std::string fonts = "<<";
  for (int i = 0; i < 4; ++i) {
    size_t n = object(std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + faces[i] +
                      " /Encoding /WinAnsiEncoding >>");
    fonts += " /F" + std::to_string(i + 1) + " " + std::to_string(n) + " 0 R";
  }
  fonts += " >>";
  std::string box;
  put(box, width);
  put(box, height);
  std::string kids;
  for (size_t p = 0; p < contents.size(); ++p) {
    std::string xobjects;
    if (p < images.size()) {
      for (size_t i = 0; i < images[p].size(); ++i) {
        const Bitmap& b = images[p][i];
        std::string rgb;
        rgb.reserve(b.pixels.size() * 3);
        for (uint32_t px : b.pixels) {
          rgb += static_cast<char>((px >> 16) & 0xFF);
          rgb += static_cast<char>((px >> 8) & 0xFF);
          rgb += static_cast<char>(px & 0xFF);
        }
        size_t n = stream("/Type /XObject /Subtype /Image /Width " + std::to_string(b.width) +
                              " /Height " + std::to_string(b.height) +
                              " /ColorSpace /DeviceRGB /BitsPerComponent 8",
                          rgb);
        xobjects += " /Im" + std::to_string(i + 1) + " " + std::to_string(n) + " 0 R";
      }
    }
    size_t content = stream("", contents[p]);
    std::string resources = "<< /Font " + fonts;
    if (!xobjects.empty()) resources += " /XObject <<" + xobjects + " >>";
    resources += " >>";
    size_t page = object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + box + "] /Resources " +
                         resources + " /Contents " + std::to_string(content) + " 0 R >>");
    kids += std::to_string(page) + " 0 R ";
  }
  offsets[1] = out.size();
  out += "2 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(contents.size()) +
         " >>\nendobj\n";
  size_t xref = out.size();
  out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t o : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

// --- The device ------------------------------------------------------------------------------

PdfDevice::PdfDevice(std::string path, PaperSize paper, bool landscape) : path_(std::move(path)) {
  if (paper == PaperSize::A4) {
    width_ = 595.28;
    height_ = 841.89;
  }
  if (landscape) std::swap(width_, height_);
}

PdfDevice::~PdfDevice() = default;

PageMetrics PdfDevice::metrics() const {
  // A PDF page has no edge a printer cannot reach; its pixels are points.
  return {72, 72, static_cast<int>(width_), static_cast<int>(height_)};
}

Canvas* PdfDevice::beginPage() {
  if (done_) return nullptr;
  canvas_ = std::make_unique<PdfCanvas>(height_);
  return canvas_.get();
}

bool PdfDevice::endPage() {
  if (!canvas_) return false;
  PageOut page;
  page.images = canvas_->images();
  page.content = canvas_->finish();
  pages_.push_back(std::move(page));
  canvas_.reset();
  return true;
}

bool PdfDevice::finish() {
  if (done_) return false;
  done_ = true;
  std::vector<std::string> contents;
  std::vector<std::vector<Bitmap>> images;
  for (PageOut& p : pages_) {
    contents.push_back(std::move(p.content));
    images.push_back(std::move(p.images));
  }
  std::string document = pdfDocument(width_, height_, contents, images);
  // A failed write leaves the old file as it was.
  return ReplaceFileWith(path_, document);
}

void PdfDevice::abort() {
  done_ = true;
  canvas_.reset();
  pages_.clear();
}

}  // namespace tw
