// Cell texts are Windows-1252 bytes; Qt speaks Unicode. These convert at the
// edge: characters with no Windows-1252 form become "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tw {

QString toQt(std::string_view bytes);
std::string fromQt(const QString& text);
// A file name as the file system spells it (UTF-8 on this system).
inline QString pathToQt(const std::string& path) {
  return QString::fromUtf8(path.c_str());
}
inline std::string pathFromQt(const QString& path) {
  return path.toUtf8().toStdString();
}

}  // namespace tw
