#include "core/cell_painter.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

int fontKey(const CellFont& f) {
  return (f.face << 16) | (f.size << 4) | (f.bold ? 1 : 0) | (f.italic ? 2 : 0) |
         (f.underline ? 4 : 0);
}

// Measures cell texts on the canvas, converting each cell font once.
class CanvasMeasure : public TextMeasure {
 public:
  CanvasMeasure(Canvas& canvas, const Worksheet& ws, const Font& windowFont, int zoom)
      : canvas_(canvas), ws_(ws), windowFont_(windowFont), zoom_(zoom) {}

  int textWidth(std::string_view text, const CellFont& f) override {
    return canvas_.measureText(font(f), text).width;
  }
  const Font& font(const CellFont& f) {
    int key = fontKey(f);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, canvasFont(ws_, f, windowFont_, zoom_)).first;
    return it->second;
  }

 private:
  Canvas& canvas_;
  const Worksheet& ws_;
  const Font& windowFont_;
  int zoom_;
  std::map<int, Font> fonts_;
};

void drawCentred(Canvas& canvas, const Font& font, const Rect& r, const std::string& text) {
  TextMetrics m = canvas.measureText(font, text);
  canvas.drawText(r.x + (r.width - m.width) / 2, r.y + (r.height - m.height()) / 2, text);
}

void paintHeaders(Canvas& canvas, const Worksheet& ws, const GridGeometry& g,
                  const GridStyle& style) {
  canvas.fillRectangle({0, 0, style.width, style.headerHeight}, style.headerFill);
  canvas.fillRectangle({0, 0, style.rowHeaderWidth, style.height}, style.headerFill);
  canvas.setFont(style.windowFont);
  canvas.setTextColour(style.headerText);
  canvas.setPen({style.headerLine, 1, LineStyle::Solid});
  CellRange sel = style.marked.ordered();
  std::vector<Line> lines;
  for (size_t i = 0; i < g.cols.size(); ++i) {
    Rect r{g.colX[i], 0, g.colX[i + 1] - g.colX[i], style.headerHeight};
    if (sel.valid() && sel.contains(sel.row1, g.cols[i]))
      canvas.fillRectangle(r, style.headerSelectedFill);
    drawCentred(canvas, style.windowFont, r, ColumnLetters(g.cols[i]));
    lines.push_back({{r.right() - 1, 0}, {r.right() - 1, style.headerHeight}});
  }
  for (size_t i = 0; i < g.rows.size(); ++i) {
    Rect r{0, g.rowY[i], style.rowHeaderWidth, g.rowY[i + 1] - g.rowY[i]};
    if (sel.valid() && sel.contains(g.rows[i], sel.col1))
      canvas.fillRectangle(r, style.headerSelectedFill);
    int shown = g.rows[i];
    if (ws.settings.sheetRows > 0 && ws.settings.sheetRows < kRows) shown %= ws.settings.sheetRows;
    drawCentred(canvas, style.windowFont, r, std::to_string(shown + 1));
    lines.push_back({{0, r.bottom() - 1}, {style.rowHeaderWidth, r.bottom() - 1}});
  }
  canvas.drawLines(lines);
}

}  // namespace

int GridGeometry::rowIndex(int row) const {
  auto it = std::find(rows.begin(), rows.end(), row);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int GridGeometry::colIndex(int col) const {
  auto it = std::find(cols.begin(), cols.end(), col);
  return it == cols.end() ? -1 : static_cast<int>(it - cols.begin());
}

Font canvasFont(const Worksheet& ws, const CellFont& f, const Font& windowFont, int zoom) {
  Font out = windowFont;
  out.angle = 0;
  if (!ws.settings.font.typeface.empty()) out.typeface = ws.settings.font.typeface;
  const auto& names = ws.session().settings().fontNames;
  if (f.face != 255 && f.face < names.size()) out.typeface = names[f.face];
  if (f.size > 0) out.size = f.size;
  out.bold = f.bold;
  out.italic = f.italic;
  out.underline = f.underline;
  // A surface's default size is a size too: zoomed, it needs a number.
  if (zoom != 100) out.size = (out.size > 0 ? out.size : kDefaultPointSize) * zoom / 100.0;
  return out;
}

void paintGrid(Canvas& canvas, const Worksheet& ws, const GridGeometry& g, DrawContext ctx,
               const GridStyle& style, std::vector<DrawnText>* drawn) {
  // Cells paint their own backgrounds; only the area past the last row and
  // column needs the worksheet's.
  canvas.fillRectangle({g.colX.back(), 0, style.width - g.colX.back(), style.height},
                       style.background);
  canvas.fillRectangle({0, g.rowY.back(), style.width, style.height - g.rowY.back()},
                       style.background);
  if (style.headers) paintHeaders(canvas, ws, g, style);

  // Row by row: fills first, then texts, then grid lines and borders, so
  // that spilling text and borders lie over their neighbours.
  int left = style.headers ? style.rowHeaderWidth : 0;
  int top = style.headers ? style.headerHeight : 0;
  const Rect cellArea{left, top, style.width - left, style.height - top};
  canvas.setClip(cellArea);
  // Columns in contiguous spans, as the layout works on them.
  std::vector<std::pair<size_t, size_t>> spans;
  for (size_t i = 0; i < g.cols.size(); ++i) {
    if (i == 0 || g.cols[i] != g.cols[i - 1] + 1)
      spans.push_back({i, i});
    else
      spans.back().second = i;
  }
  CanvasMeasure measure(canvas, ws, style.windowFont, style.zoom);
  std::vector<Line> gridLines, borderLines[2];
  int lastFontKey = -1;
  uint32_t lastColour = 0xFFFFFFFF;
  int ascent = 0, descent = 0;
  for (size_t ri = 0; ri < g.rows.size(); ++ri) {
    int row = g.rows[ri];
    int y = g.rowY[ri], h = g.rowY[ri + 1] - y;
    for (auto [from, to] : spans) {
      ctx.firstCol = g.cols[from];
      ctx.lastCol = g.cols[to];
      ctx.columnX.assign(g.colX.begin() + from, g.colX.begin() + to + 2);
      std::vector<CellDraw> cells = layoutRow(ws, row, ctx, measure);
      // Neighbours of one colour are filled in one go.
      for (size_t i = 0; i < cells.size();) {
        size_t j = i + 1;
        while (j < cells.size() && cells[j].fill == cells[i].fill) ++j;
        int x0 = cells[i].x, x1 = cells[j - 1].x + cells[j - 1].width;
        canvas.fillRectangle({x0, y, x1 - x0, h}, cells[i].fill);
        i = j;
      }
      for (size_t ci = 0; ci < cells.size(); ++ci) {
        const CellDraw& d = cells[ci];
        if (d.text.empty()) continue;
        if (d.picture) {
          canvas.drawPictureFile(d.stretch ? Rect{d.x, y, d.width, h} : Rect{d.x, y, 0, 0}, d.text,
                                 d.stretch);
          continue;
        }
        if (drawn) drawn->push_back({row, d.col, d.text});
        // Fonts change only when a cell's differs from the one before.
        int key = fontKey(d.font);
        const Font& font = measure.font(d.font);
        if (key != lastFontKey) {
          canvas.setFont(font);
          TextMetrics m = canvas.measureText(font, {});
          ascent = m.ascent;
          descent = m.descent;
          lastFontKey = key;
        }
        if (d.textColour != lastColour) {
          canvas.setTextColour(d.textColour);
          lastColour = d.textColour;
        }
        int w = measure.textWidth(d.text, d.font);
        int x = d.x + kTextInset;
        if (d.align == TextAlign::Right)
          x = d.x + d.width - kTextInset - w;
        else if (d.align == TextAlign::Centre)
          x = d.x + (d.width - w) / 2;
        int textTop = y + (h - ascent - descent) / 2;
        bool fits = x >= d.x && x + w <= d.x + d.clipWidth;
        bool spillsOver = x + w > d.x + d.width && d.clipWidth > d.width;
        // Over a neighbour the text takes that cell's colour when the
        // cursor or the selection is there, else the label's own.
        bool mixed = false;
        if (spillsOver) {
          mixed = d.spillColour != d.textColour;
          for (size_t k = ci + 1; k < cells.size() && cells[k].x < d.x + d.clipWidth; ++k)
            mixed = mixed || (cells[k].highlighted && cells[k].textColour != d.spillColour);
        }
        if (mixed) {
          auto piece = [&](const Rect& r, uint32_t colour) {
            canvas.setTextColour(colour);
            canvas.setClip(r.intersected(cellArea));
            canvas.drawText(x, textTop, d.text);
          };
          piece({d.x, y, d.width, h}, d.textColour);
          for (size_t k = ci + 1; k < cells.size() && cells[k].x < d.x + d.clipWidth; ++k) {
            const CellDraw& e = cells[k];
            int right = std::min(e.x + e.width, d.x + d.clipWidth);
            piece({e.x, y, right - e.x, h}, e.highlighted ? e.textColour : d.spillColour);
          }
          canvas.setTextColour(lastColour);
          canvas.setClip(cellArea);
          continue;
        }
        if (!fits) canvas.setClip(Rect{d.x, y, d.clipWidth, h}.intersected(cellArea));
        canvas.drawText(x, textTop, d.text);
        if (!fits) canvas.setClip(cellArea);
      }
      for (const CellDraw& d : cells) {
        if (style.gridLines) {
          if (ws.settings.gridLines & 2)
            gridLines.push_back({{d.x + d.width - 1, y}, {d.x + d.width - 1, y + h - 1}});
          if (ws.settings.gridLines & 1)
            gridLines.push_back({{d.x, y + h - 1}, {d.x + d.width - 1, y + h - 1}});
        }
        if (!d.borders) continue;
        // Codes per side: left, bottom, right, top; 1 thin, 2 or 3 thick.
        auto side = [&](int shift, Line line) {
          int code = (d.borders >> shift) & 3;
          if (code) borderLines[code == 1 ? 0 : 1].push_back(line);
        };
        side(0, {{d.x, y}, {d.x, y + h - 1}});
        side(2, {{d.x, y + h - 1}, {d.x + d.width - 1, y + h - 1}});
        side(4, {{d.x + d.width - 1, y}, {d.x + d.width - 1, y + h - 1}});
        side(6, {{d.x, y}, {d.x + d.width - 1, y}});
      }
    }
  }
  // Grid lines and borders go over everything else.
  canvas.setPen({style.gridColour, 1, LineStyle::Solid});
  canvas.drawLines(gridLines);
  canvas.setPen({0, 1, LineStyle::Solid});
  canvas.drawLines(borderLines[0]);
  canvas.setPen({0, 2, LineStyle::Solid});
  canvas.drawLines(borderLines[1]);
  canvas.clearClip();
  if (style.cursorFrame) {
    int ri = g.rowIndex(ctx.currentRow), ci = g.colIndex(ctx.currentCol);
    if (ri >= 0 && ci >= 0) {
      canvas.setPen({0, 2, LineStyle::Solid});
      canvas.setBrush({0, FillStyle::None});
      // A two-pixel pen is centred on the outline: moved in by one pixel,
      // the frame stays inside the cell and leaves nothing behind on its
      // neighbours when the cursor moves on and only its rows are drawn.
      canvas.drawRectangle({g.colX[ci] + 1, g.rowY[ri] + 1, g.colX[ci + 1] - g.colX[ci] - 1,
                            g.rowY[ri + 1] - g.rowY[ri] - 1});
    }
  }
}

}  // namespace tw
