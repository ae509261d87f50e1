// The map window's wiring: it follows document edits, a click opens the record, a drag pans, the
// tree's selection shows, and the export writes whole PNG and SVG files.
#include "editor/gui/map_view/map_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::Integer;
using editor::RecordRef;
using namespace editor::testing;

class MapWindowTest : public MainWindowFixture {
 protected:
  MapWindowTest() {
    document_.AddLocation("gate", "", 0, 0, 0);
    document_.AddLocation("tower", "", 1000, 500, 0);
    document_.AddArea("yard", "", "gate?", 300, "open?");
    document_.AddForce("Blue", "");
    document_.AddTeam(0, "Alpha", "",
                      "insert at gate using \"column\"; attack towards tower; observe nowhere;");
    MakeWindow();
    window_->SetPropertyWindowOpener([this](editor::NodeId node) { opened_.push_back(node); });
    view_ = window_->map_dock()->view();
    view_->resize(400, 300);
    view_->show();
  }

  QPoint At(double x, double y) { return view_->viewport().ToScreen(x, y).toPoint(); }

  MapView* view_ = nullptr;
  std::vector<editor::NodeId> opened_;
};

TEST_F(MapWindowTest, FollowsEditsAndOpensWhatIsClicked) {
  EXPECT_TRUE(window_->map_dock()->isHidden());
  window_->RunCommand("mn_view_map");
  EXPECT_FALSE(window_->map_dock()->isHidden());
  EXPECT_TRUE(window_->findChild<QAction*>("mn_view_map")->isCheckable());

  ASSERT_EQ(view_->map().points.size(), 2u);
  ASSERT_TRUE(document_.SetField(RecordRef::Location(1), editor::Field::kLocX, Integer(-800)));
  EXPECT_EQ(view_->map().points[1].x, -800);
  ASSERT_EQ(view_->map().routes.size(), 1u);
  EXPECT_EQ(view_->map().routes[0].steps[1].x, -800);  // the route moves with its location
  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), editor::Field::kPlan, std::string("wait 5;")));
  EXPECT_TRUE(view_->map().routes.empty());
  ASSERT_TRUE(document_.DeleteArea(0));
  EXPECT_TRUE(view_->map().circles.empty());

  // A click on a location selects its node and opens its window; empty ground opens nothing.
  QTest::mouseClick(view_, Qt::LeftButton, {}, At(-800, 500));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], document_.tree().LocationNode(1));
  EXPECT_EQ(document_.tree().selected(), opened_[0]);
  QTest::mouseClick(view_, Qt::LeftButton, {}, At(-400, 0));
  EXPECT_EQ(opened_.size(), 1u);

  // A drag pans without opening anything; the wheel zooms about the pointer.
  const QPoint gate = At(0, 0);
  QTest::mousePress(view_, Qt::LeftButton, {}, gate);
  QMouseEvent move(QEvent::MouseMove, QPointF(gate + QPoint(30, 20)),
                   view_->mapToGlobal(QPointF(gate + QPoint(30, 20))), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(view_, &move);
  QTest::mouseRelease(view_, Qt::LeftButton, {}, gate + QPoint(30, 20));
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(At(0, 0), gate + QPoint(30, 20));
  const QPointF anchor(100, 100);
  const QPointF before = view_->viewport().ToGame(anchor);
  view_->ZoomBy(3, anchor);
  EXPECT_NEAR(view_->viewport().ToGame(anchor).x(), before.x(), 1e-6);
  view_->ZoomBy(0.01, anchor);
  view_->FitToMission();
  EXPECT_TRUE(view_->rect().contains(At(0, 0)));
  EXPECT_TRUE(view_->rect().contains(At(-800, 500)));
}

TEST_F(MapWindowTest, ANumberTypedInTheOpenedWindowMovesThePoint) {
  window_->SetPropertyWindowOpener([this](editor::NodeId node) { window_->property_windows()->Open(node); });
  QTest::mouseClick(view_, Qt::LeftButton, {}, At(1000, 500));
  PropertyWindow* opened = window_->property_windows()->WindowInSlot(0);
  ASSERT_NE(opened, nullptr);
  auto* x = opened->findChild<QLineEdit*>("loc_x");
  ASSERT_NE(x, nullptr);
  x->selectAll();
  QTest::keyClicks(x, "-25");
  EXPECT_EQ(view_->map().points[1].x, -25);
  EXPECT_EQ(view_->map().routes[0].steps[1].x, -25);
}

TEST_F(MapWindowTest, ShowsTheSelectedNodeAndMarksMissingLocations) {
  // The mark hangs beside the team's last place (the tower) and opens the team.
  ASSERT_EQ(view_->map().warnings.size(), 1u);
  EXPECT_EQ(view_->map().warnings[0].x, 1000);
  EXPECT_EQ(view_->NodeAt(At(1000, 500) + kWarningMarkOffset), document_.tree().TeamNode(0, 0));
  EXPECT_EQ(view_->NodeAt(At(1000, 500)), document_.tree().LocationNode(1));

  document_.MakeCurrent(document_.tree().LocationNode(0));
  const QImage picture = view_->grab().toImage();
  const QColor ring = picture.pixelColor(At(0, 0) + QPoint(8, 0));
  EXPECT_GT(ring.red(), 180);
  EXPECT_LT(ring.blue(), 80);
}

TEST_F(MapWindowTest, ExportsPngAndSvgThroughTheFileDialog) {
  ui_.Answer(scratch_ / "map.png");
  ui_.Answer(scratch_ / "map.SVG");
  ui_.Answer(scratch_ / "no/such/folder/map.png");
  ui_.Answer(std::nullopt);
  for (int i = 0; i < 4; ++i)
    window_->RunCommand("mn_file_export_map");
  EXPECT_EQ(ui_.dialogs[0].request.file_name, "mission.png");

  const std::string png = Slurp(scratch_ / "map.png");
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  QImage image;
  ASSERT_TRUE(image.loadFromData(QByteArray::fromStdString(png), "PNG"));
  EXPECT_EQ(image.width(), 1600);
  const std::string svg = Slurp(scratch_ / "map.SVG");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(svg)).isValid());

  // A failed write says where and why, leaves no file behind and is the only message.
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find(scratch_ / "no/such/folder/map.png"), std::string::npos);
}

}  // namespace
}  // namespace vyr::gui
