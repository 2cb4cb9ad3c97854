// The graph window's rules without its widget: what it draws, the zoom
// menu (In, Out, All, Reset), zooming to a dragged rectangle, selecting the
// element under a Shift+click and the dialog page that edits it, the pop-up
// menu's first caption, and which keys close it.
#pragma once

#include <string>
#include <vector>

#include "core/keys.h"
#include "graphs/graph_draw.h"

namespace tw {

class Canvas;
class Worksheet;

class GraphWindowModel {
 public:
  // graph: a named graph's index from 1, or 0 for the current definition.
  GraphWindowModel(Worksheet& ws, int graph);

  std::string caption() const;  // "Graph" and the graph's name
  // Draws at the window's size and keeps the elements and the layout.
  void paint(Canvas& canvas, int width, int height);

  void zoomIn();
  void zoomOut();
  void zoomAll();
  void reset();
  // A drag over the plot, released: both axes become manual with the data
  // values under the rectangle's corners. False when it was too small.
  bool zoomTo(const Rect& dragged);

  // Shift+click: the element under the point (0 on nothing: beep).
  int select(Point p);
  int selected() const { return selected_; }
  // The dialog page that edits an element, and the series tab (1..6) or 0.
  static int pageFor(int element, int& tab);
  std::string attributesCaption() const;  // "&Attributes (n)" or "No Selection"

  // A key without Shift, Ctrl or Alt closes the window.
  static bool keyCloses(const KeyPress& key);

  const GraphDefinition& definition() const { return graph_; }
  int graph() const { return index_; }
  // The definition changed elsewhere (the dialog): drawn from it anew.
  void reload();

 private:
  void store();  // a zoomed current definition is the worksheet's again
  void setLimits(double x0, double x1, double y0, double y1);

  Worksheet& ws_;
  int index_;
  GraphDefinition graph_;
  GraphDefinition original_;
  std::vector<DrawnElement> elements_;
  GraphFrame frame_;
  int selected_ = 0;
};

}  // namespace tw
