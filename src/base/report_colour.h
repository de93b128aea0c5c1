// The colours of report text. Every write into the report names one of them.
#pragma once

#include <cstdint>

namespace velmora {

enum class ReportColour : uint8_t {
  Blue,    // Database 1: its names, counts, objects; generated DDL
  Red,     // Database 2, DROP statements, the output's own error lines
  Green,   // comment text of scripts
  Black,   // labels and headings
  Maroon,  // notices: file notice, end and stop lines, comparers' notices
  White,   // row listings of data comparison and privilege listings
};

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgb rgbOf(ReportColour colour) {
  switch (colour) {
    case ReportColour::Blue:
      return {42, 42, 255};
    case ReportColour::Red:
      return {255, 0, 0};
    case ReportColour::Green:
      return {9, 165, 46};
    case ReportColour::Black:
      return {0, 0, 0};
    case ReportColour::Maroon:
      return {130, 8, 54};
    case ReportColour::White:
      return {255, 255, 255};
  }
  return {0, 0, 0};
}

}  // namespace velmora
