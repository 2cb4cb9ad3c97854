// The frame's side of the data and array dialogs and of the data form:
// DATADIALOG and ARRAYDIALOG open their dialogs at the page the menu item
// names, point mode for their range fields, and OK runs the page's keyword;
// DATAFORM browses and edits a database's records.
#pragma once

namespace tw {

class Frame;

void addDataFrame(Frame& frame);

}  // namespace tw
