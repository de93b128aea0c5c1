// Text between the core (UTF-8 std::string) and Qt (QString).
#pragma once

#include <QString>
#include <string>

namespace velmora::ui {

inline QString toQt(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
inline std::string fromQt(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace velmora::ui
