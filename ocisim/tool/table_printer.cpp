#include "tool/table_printer.h"

#include <algorithm>

namespace ocisim::tool {

size_t displayWidth(const std::string& text) {
  size_t width = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

void TablePrinter::columns(const std::vector<ResultColumn>& columns) {
  columns_ = columns;
  widths_.clear();
  for (const ResultColumn& c : columns_) widths_.push_back(displayWidth(c.name));
  held_.clear();
  headerPrinted_ = false;
}

void TablePrinter::row(const std::vector<std::optional<std::string>>& values) {
  if (headerPrinted_) {
    printRow(values);
    return;
  }
  for (size_t i = 0; i < values.size() && i < widths_.size(); ++i) {
    if (values[i]) widths_[i] = std::max(widths_[i], displayWidth(*values[i]));
  }
  held_.push_back(values);
  if (held_.size() >= sampleRows_) finish();
}

void TablePrinter::finish() {
  if (columns_.empty() || (held_.empty() && !headerPrinted_)) return;
  if (!headerPrinted_) printHeader();
  for (const Row& r : held_) printRow(r);
  held_.clear();
}

void TablePrinter::printHeader() {
  headerPrinted_ = true;
  std::string names;
  std::string rule;
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) {
      names += ' ';
      rule += ' ';
    }
    const std::string& name = columns_[i].name;
    size_t pad = widths_[i] - std::min(widths_[i], displayWidth(name));
    names += columns_[i].numeric ? std::string(pad, ' ') + name : name + std::string(pad, ' ');
    rule += std::string(widths_[i], '-');
  }
  emitLine(std::move(names));
  emitLine(std::move(rule));
}

void TablePrinter::printRow(const Row& row) {
  std::string line;
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) line += ' ';
    std::string value = i < row.size() && row[i] ? *row[i] : std::string();
    size_t pad = widths_[i] - std::min(widths_[i], displayWidth(value));
    if (columns_[i].numeric) {
      line += std::string(pad, ' ');
      line += value;
    } else {
      line += value;
      line += std::string(pad, ' ');
    }
  }
  emitLine(std::move(line));
}

void TablePrinter::emitLine(std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out_ << line << '\n';
}

}  // namespace ocisim::tool
