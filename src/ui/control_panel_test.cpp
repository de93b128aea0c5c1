#include "ui/control_panel.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QProgressBar>

namespace velmora::ui {
namespace {

TEST(ControlPanelTest, SelectsObjectsByExactNameSearchingOnFromTheLastFound) {
  ControlPanel panel;
  for (const char* name : {"EMP", "DEPT", "EMP", "EMPLOYEES"}) panel.addObject(QString::fromLatin1(name));
  panel.selectObject(QStringLiteral("EMP"));
  EXPECT_EQ(panel.objects()->currentRow(), 0);
  // The second EMP of the list (a name of two kinds) is found next, not the first again.
  panel.selectObject(QStringLiteral("EMP"));
  EXPECT_EQ(panel.objects()->currentRow(), 2);
  panel.selectObject(QStringLiteral("EMPLOYEES"));
  EXPECT_EQ(panel.objects()->currentRow(), 3);
  // From the end the search goes round to the top; a name not there changes nothing.
  panel.selectObject(QStringLiteral("DEPT"));
  EXPECT_EQ(panel.objects()->currentRow(), 1);
  panel.selectObject(QStringLiteral("EM"));
  EXPECT_EQ(panel.objects()->currentRow(), 1);

  // A new run starts the panel afresh.
  panel.setProgressRange(0, 10);
  panel.stepProgress();
  panel.setStatus(QStringLiteral("Comparing Structures ..."));
  panel.reset();
  EXPECT_EQ(panel.objects()->count(), 0);
  EXPECT_EQ(panel.progress()->value(), 0);
  EXPECT_EQ(panel.status(), QStringLiteral("Retrieving Database Information ..."));
  // The progress never passes its range.
  panel.setProgressRange(0, 1);
  panel.stepProgress();
  panel.stepProgress();
  EXPECT_EQ(panel.progress()->value(), 1);
}

}  // namespace
}  // namespace velmora::ui
