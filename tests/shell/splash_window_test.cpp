#include "editor/shell/splash_window.h"

#include "editor/gui/common/shell_resources.h"

#include <gtest/gtest.h>

#include <QRegion>
#include <QSignalSpy>
#include <QSvgRenderer>

namespace {

TEST(Splash, OutlineStaysInsideThePictureAndShapesTheWindow) {
  const QPolygon outline = frm_splash::Outline();
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
