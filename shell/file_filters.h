// File dialog filters on a file system whose names keep their case.
#pragma once

#include <string>

namespace tw {

// "Worksheets (*.wks *.wk1)" as a dialog that matches case-sensitively needs
// it: each pattern also in lower and in upper case ("*.wks *.WKS *.wk1
// *.WK1"), so that TEST.WK1 and test.wk1 both show. Text outside the
// parentheses is kept as it is.
std::string filterInEitherCase(const std::string& filter);

}  // namespace tw
