// velmora: the desktop application.
#include <QApplication>
#include <QTimer>
#include <iostream>

#include "config/ini_settings_store.h"
#include "ui/app_arguments.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora for Oracle"));
  QApplication::setOrganizationName(QStringLiteral("Quenlor Systems"));
  QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

  std::vector<std::string> arguments;
  const QStringList given = QApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i) arguments.push_back(given[i].toStdString());
  const velmora::ui::AppArguments parsed = velmora::ui::parseAppArguments(arguments);
  if (parsed.help) {
    std::cout << velmora::ui::appUsage();
    return 0;
  }
  if (parsed.version) {
    std::cout << "velmora " << VELMORA_VERSION << "\n";
    return 0;
  }
  if (!parsed.error.empty()) {
    std::cerr << "velmora: " << parsed.error << "\n" << velmora::ui::appUsage();
    return 2;
  }

  velmora::IniSettingsStore settings(velmora::IniSettingsStore::defaultPath());
  int status = 0;
  {
    velmora::ui::MainWindow window(settings, parsed);
    window.showAsSaved();
    QTimer::singleShot(0, &window, [&window] { window.startFromArguments(); });
    status = application.exec();
  }
  return status;
}
