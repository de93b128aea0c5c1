// The main window's place and the report font as the settings keep them, in Qt's terms: the
// saved rectangle is used only where it lies on a screen the machine has now, and the report font
// maps to and from its stored character format (face, height in twips, bold and italic).
#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <optional>

#include "config/registry_settings.h"

namespace velmora::ui {

// Where the window opens: the saved position when the settings allow it and the window's top
// left corner, with at least 100 x 50 pixels of its title area, lies on one of the screens;
// nothing (the system's default place) otherwise.
std::optional<QPoint> windowPosition(const MainWindowSettings& settings,
                                     const QList<QRect>& screens);

// The font of the report. A face the machine lacks falls back to a monospace font.
QFont reportQFont(const ReportFont& font);
// The stored format of a font chosen in the Font dialog; the values the dialog does not know
// (character set, mask, offset) are kept from `previous`.
ReportFont reportFontOf(const QFont& font, const ReportFont& previous);

}  // namespace velmora::ui
