// Compiled with the include folders of one layer. With FORBIDDEN set to a
// header of a higher layer (or with QT_HEADER, a Qt header) it must not
// compile; without, it must.
#include "core/cell.h"
#ifdef FORBIDDEN
#include FORBIDDEN
#endif
#ifdef QT_HEADER
#include <QString>
#endif

int layerCheck() {
  return static_cast<int>(sizeof(tw::Cell));
}
