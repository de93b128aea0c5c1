// Small text helpers of the Oracle access layer: upper case as Oracle names use it (ASCII) and
// trimming of trailing white space, which the dictionary readers apply to every fetched line.
#pragma once

#include <string>

namespace velmora {

std::string toUpperAscii(std::string text);
std::string trimTrailingSpace(std::string text);  // blanks, tabs, CR, LF, VT, FF
std::string trimLeadingSpace(std::string text);

}  // namespace velmora
