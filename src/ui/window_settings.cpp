#include "ui/window_settings.h"

#include <cmath>

namespace velmora::ui {

namespace {

// The character-format effects the report font keeps.
constexpr int kEffectBold = 0x1;
constexpr int kEffectItalic = 0x2;
constexpr size_t kFaceNameLimit = 31;

}  // namespace

std::optional<QPoint> windowPosition(const MainWindowSettings& settings,
                                     const QList<QRect>& screens) {
  if (!settings.usePosition) return std::nullopt;
  const QRect grip(settings.left, settings.top, 100, 50);
  for (const QRect& screen : screens) {
    if (screen.contains(grip)) return QPoint(settings.left, settings.top);
  }
  return std::nullopt;
}

QFont reportQFont(const ReportFont& stored) {
  // The stored face first, then monospace faces most machines have ("Courier New" itself is
  // often present only as its metric twin, Liberation Mono).
  QFont font;
  font.setFamilies({QString::fromStdString(stored.faceName.substr(0, kFaceNameLimit)),
                    QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                    QStringLiteral("Monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  const int twips = stored.height > 0 ? stored.height : 170;
  font.setPointSizeF(twips / 20.0);
  font.setBold((stored.effects & kEffectBold) != 0);
  font.setItalic((stored.effects & kEffectItalic) != 0);
  return font;
}

ReportFont reportFontOf(const QFont& font, const ReportFont& previous) {
  ReportFont stored = previous;
  stored.faceName = font.family().toStdString().substr(0, kFaceNameLimit);
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 8.5;
  stored.height = int(std::lround(points * 20));
  stored.effects &= ~(kEffectBold | kEffectItalic);
  if (font.bold()) stored.effects |= kEffectBold;
  if (font.italic()) stored.effects |= kEffectItalic;
  return stored;
}

}  // namespace velmora::ui
