#include "editor/shell/splash_window.h"

#include "editor/gui/common/shell_resources.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QRegion>
#include <QSignalSpy>
#include <QSvgRenderer>

namespace {

TEST(Splash, OutlineHasTheFixedRowsAndStaysInsideThePicture) {
  const QPolygon outline = frm_splash::Outline();
  ASSERT_EQ(outline.size(), 128);
  const std::pair<int, QPoint> rows[] = {{0, {229, 5}},    {8, {257, 25}},  {16, {550, 44}}, {24, {568, 56}},
                                         {32, {545, 118}}, {48, {21, 149}}, {56, {4, 131}},  {64, {10, 52}},
                                         {96, {147, 15}},  {120, {220, 19}}};
  for (const auto& [index, point] : rows)
    EXPECT_EQ(outline.point(index), point) << "row " << index;
  EXPECT_EQ(outline.boundingRect(), QRect(QPoint(2, 5), QPoint(572, 151)));

  frm_splash splash;
  EXPECT_EQ(splash.mask(), QRegion(outline, Qt::OddEvenFill));
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  splash.OnTop(false);
  EXPECT_FALSE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(Splash, TimerAsksOnceForTheMainWindowAndStopTimersHoldsIt) {
  frm_splash splash;
  QSignalSpy started(&splash, &frm_splash::startMainWindow);
  EXPECT_TRUE(started.wait(5000));
  EXPECT_FALSE(started.wait(50));
  EXPECT_EQ(started.count(), 1);

  frm_splash held;
  QSignalSpy never(&held, &frm_splash::startMainWindow);
  held.StopTimers();
  EXPECT_FALSE(never.wait(50));
}

TEST(Splash, ArtworkAndDataFilesAreFound) {
  vyr::gui::InitShellResources();
  for (const char* name :
       {":/splash/splash.svg", ":/icons/vyr-mission-editor.svg", ":/icons/toolbar/open.svg",
        ":/icons/toolbar/create.svg", ":/icons/toolbar/redo.svg", ":/icons/tree/root.svg",
        ":/icons/tree/sub_location.svg", ":/icons/tree/neg.svg", ":/icons/annotation/sizedown.svg"}) {
    EXPECT_TRUE(QSvgRenderer(QString(name)).isValid()) << name;
  }
  EXPECT_TRUE(EditorDataFile("actionsnd.wav").endsWith("/actionsnd.wav"));
  EXPECT_TRUE(EditorDataFile("no-such-file.dat").isEmpty());
  EXPECT_FALSE(PlayStartupSound(QString(), nullptr));
}

}  // namespace
