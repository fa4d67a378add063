// The progress window: it holds its owner disabled for exactly its own life,
// sits at the owner's corner, and the command line shows it without owner.
#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QDialog>

#include "app/run_fixtures.h"
#include "support/test_support.h"
#include "ui/progress_window_host.h"
#include "window_fixtures.h"

namespace korvelo::testing {
namespace {

TEST(ProgressWindow, KeepsItsOwnerDisabledWhileItExists) {
  QDialog owner;
  owner.move(120, 80);
  owner.show();
  {
    ProgressWindow progress(&owner);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.isEnabled());
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.pos(), owner.mapToGlobal(QPoint(0, 0)));
    progress.SetText("Loading <b>x</b>.gpx...");  // shown as plain text
    EXPECT_EQ(progress.Text(), QStringLiteral("Loading <b>x</b>.gpx..."));
    progress.close();  // closing it does not give the owner back early
    EXPECT_FALSE(owner.isEnabled());
  }
  EXPECT_TRUE(owner.isEnabled());
}

TEST(ProgressWindowHost, ShowsAWindowWithoutOwnerAndAsksNothing) {
  ProgressWindowHost host;
  {
    const std::unique_ptr<Progress> progress = host.OpenProgress();
    EXPECT_EQ(VisibleProgressWindows(), 1);
    EXPECT_EQ(dynamic_cast<ProgressWindow&>(*progress).parentWidget(), nullptr);
  }
  EXPECT_EQ(VisibleProgressWindows(), 0);
  ConversionSettings settings;
  EXPECT_FALSE(host.AskFileFunction(settings));
}

// The program on Qt's offscreen display converts exactly as without any,
// and silently.
TEST(ProgressWindowHost, CommandLineWithADisplayWritesTheSameKml) {
  std::string kml[2];
  for (const int display : {0, 1}) {
    TempDir dir;
    WriteFileOrFail(dir / "pq.gpx", PocketQuery(1, 3));
    EXPECT_EQ(
        RunProgram(dir.path(),
                   display ? "QT_QPA_PLATFORM=offscreen" : "-u QT_QPA_PLATFORM",
                   "/found pq.gpx >out 2>err"),
        0);
    EXPECT_EQ(ReadFileOrFail(dir / "out") + ReadFileOrFail(dir / "err"), "");
    kml[display] = ReadFileOrFail(dir / "pq.kml");
  }
  EXPECT_EQ(kml[0], kml[1]);
}

}  // namespace
}  // namespace korvelo::testing
