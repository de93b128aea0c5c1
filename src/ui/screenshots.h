// Pictures of the application for the documentation and for review: the main window (mid-run and
// after the run) and each dialog, drawn offscreen or on a display, saved as PNG files.
#pragma once

#include <QString>

class QWidget;

namespace velmora::ui {

class MainWindow;

// Saves a picture of the widget as folder/name. False when the file could not be written.
bool saveWidgetPicture(QWidget& widget, const QString& folder, const QString& name);

// After a finished run: the main window, the control panel, the Find dialog, the Login dialog,
// the parameters dialog, General Options, each page of both option sheets, Data Conditions,
// Primary Keys, Sql Compare,
// the password prompt, a message box, the About box and the print preview. Returns "" or what
// could not be written.
QString takeDialogScreenshots(MainWindow& window, const QString& folder);

}  // namespace velmora::ui
