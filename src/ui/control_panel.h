// ControlPanel: the "Control Panel" of a run, docked in the main window: the picture buttons
// PLAY, SKIP, PAUSE and STOP (tool tips "Resume", "Skip object", "Pause", "Stop"), Close and
// Help, the list "Object being processed:", the progress bar and the status line, in the frame
// "Velmora Controls". The main window enables the buttons as it enables its commands; a run
// empties the panel as it begins.
#pragma once

#include <QDockWidget>

class QLabel;
class QListWidget;
class QProgressBar;
class QToolButton;
class QPushButton;

namespace velmora::ui {

inline constexpr const char* kInitialStatus = "Retrieving Database Information ...";

class ControlPanel : public QDockWidget {
  Q_OBJECT

 public:
  explicit ControlPanel(QWidget* parent = nullptr);

  // A new run: the status line starts again, the list and the progress bar are emptied.
  void reset();
  void setCommandStates(bool resume, bool skip, bool pause, bool stop);

  void setStatus(const QString& text);
  void setProgressRange(int low, int high);
  void setProgressPosition(int position);
  void stepProgress();
  void clearObjects();
  void addObject(const QString& name);
  // Selects the entry of that exact name, searching on from the entry found last (and then from
  // the top), so a list holding one name twice shows the one in turn.
  void selectObject(const QString& name);

  // Closes the panel (no run is active), past the check of closeRequested.
  void closeForGood();

  QString status() const;
  QListWidget* objects() const { return objects_; }
  QProgressBar* progress() const { return progress_; }
  QToolButton* playButton() const { return play_; }
  QToolButton* skipButton() const { return skip_; }
  QToolButton* pauseButton() const { return pause_; }
  QToolButton* stopButton() const { return stop_; }
  QPushButton* closeButton() const { return close_; }

 signals:
  void resumeClicked();
  void skipClicked();
  void pauseClicked();
  void stopClicked();
  void helpClicked();
  // Close or the frame's close box: the main window decides (a run keeps the panel open).
  void closeRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QToolButton* play_;
  QToolButton* skip_;
  QToolButton* pause_;
  QToolButton* stop_;
  QPushButton* close_;
  QPushButton* help_;
  QListWidget* objects_;
  QProgressBar* progress_;
  QLabel* status_;
  int lastFound_ = -1;
  bool closing_ = false;  // the main window is closing it: the close goes through
};

}  // namespace velmora::ui
