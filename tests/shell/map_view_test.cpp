// The map window's wiring: it follows document edits, a click opens the record, a drag pans, the
// tree's selection shows, and the export writes whole PNG and SVG files.
#include "editor/gui/map_view/map_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSvgRenderer>
#include <QTest>
#include <algorithm>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/undo_actions.h"
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

  // The view's picture once the ground and routes drawn off the GUI thread have come back.
  QImage Settled() {
    const auto settled = [this] {
      (void)view_->grab();
      return view_->RoutesSettled();
    };
    EXPECT_TRUE(QTest::qWaitFor(settled, 10000));
    return view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // What a view drawing everything afresh shows, at this view's size and pan.
  QImage Fresh() {
    MapView other(document_);
    other.resize(view_->size());
    other.PanBy(QPointF(view_->viewport().origin_x - other.viewport().origin_x,
                        view_->viewport().origin_y - other.viewport().origin_y));
    return other.grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  void MoveTo(QPoint at, Qt::MouseButtons held) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), view_->mapToGlobal(QPointF(at)), Qt::NoButton, held, {});
    QApplication::sendEvent(view_, &move);
  }

  // Presses at `from`, moves in two steps to `to` and lets go there.
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(view_, Qt::LeftButton, {}, from);
    for (const QPoint at : {from + (to - from) / 2, to})
      MoveTo(at, Qt::LeftButton);
    QTest::mouseRelease(view_, Qt::LeftButton, {}, to);
  }

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

  // A drag on empty ground pans without opening anything; the wheel zooms about the pointer.
  const QPoint gate = At(0, 0);
  Drag(At(-400, 0), At(-400, 0) + QPoint(30, 20));
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(At(0, 0), gate + QPoint(30, 20));
  EXPECT_EQ(document_.location(0).loc_x, 0);
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

TEST_F(MapWindowTest, DraggingALocationMovesItAsOneUndoStep) {
  ASSERT_TRUE(document_.SetField(RecordRef::Location(1), editor::Field::kLocZ, Integer(77)));
  window_->undo()->history().Clear();
  const QPoint to = At(600, 200) + QPoint(0, 1);
  const QPointF game = view_->viewport().ToGame(to);
  const editor::LocationRecord before = document_.location(1);
  editor::LocationRecord moved = before;  // x and y the dropped point in whole units, the rest kept
  moved.loc_x = static_cast<Integer>(std::lround(game.x()));
  moved.loc_y = static_cast<Integer>(std::lround(game.y()));
  Drag(At(1000, 500), to);
  const editor::LocationRecord& tower = document_.location(1);
  EXPECT_EQ(tower, moved);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(view_->map().points[1].x, tower.loc_x);
  EXPECT_EQ(view_->map().routes[0].steps[1].y, tower.loc_y);  // the route follows the move

  editor::EditHistory& history = window_->undo()->history();
  EXPECT_EQ(history.undo_count(), 1u);
  EXPECT_EQ(history.UndoLabel(), "Move location");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(document_.location(1), before);
  EXPECT_EQ(view_->map().points[1].x, 1000);

  // Escape during a drag puts the location back: no edit, no step.
  QTest::mousePress(view_, Qt::LeftButton, {}, At(1000, 500));
  MoveTo(At(1000, 500) + QPoint(40, 40), Qt::LeftButton);
  QTest::keyClick(view_, Qt::Key_Escape);
  QTest::mouseRelease(view_, Qt::LeftButton, {}, At(1000, 500) + QPoint(40, 40));
  EXPECT_EQ(document_.location(1).loc_x, 1000);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(opened_.empty());

  // A press on the location that is let go without moving opens it and moves nothing.
  Drag(At(1000, 500), At(1000, 500) + QPoint(2, 1));
  EXPECT_EQ(document_.location(1).loc_x, 1000);
  EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(MapWindowTest, AHiddenForceDrawsNothingAndTheLegendHidesIt) {
  document_.AddForce("Red", "");
  document_.AddTeam(1, "Bravo", "", "insert at tower; advance towards gate; attack towards nowhere;");
  auto* legend = window_->map_dock()->legend();
  ASSERT_EQ(legend->count(), 2);
  EXPECT_EQ(legend->item(1)->text(), "Red");
  EXPECT_EQ(legend->item(1)->checkState(), Qt::Checked);
  ASSERT_TRUE(document_.SetField(RecordRef::Force(1), editor::Field::kForceName, std::string("Rouge")));
  EXPECT_EQ(legend->item(1)->text(), "Rouge");

  legend->item(1)->setCheckState(Qt::Unchecked);
  EXPECT_FALSE(view_->IsForceShown(1));
  EXPECT_TRUE(view_->IsForceShown(0));
  const QImage hidden = Settled();

  // The same picture as a mission whose second force has no plan: no route, start, name or warning.
  ASSERT_TRUE(document_.SetField(RecordRef::Team(1, 0), editor::Field::kPlan, std::string()));
  legend->item(1)->setCheckState(Qt::Checked);
  EXPECT_TRUE(view_->IsForceShown(1));
  EXPECT_EQ(Settled(), hidden);

  // A double click shows one force alone, and a second one every force again.
  emit legend->itemDoubleClicked(legend->item(0));
  EXPECT_TRUE(view_->IsForceShown(0));
  EXPECT_FALSE(view_->IsForceShown(1));
  EXPECT_EQ(legend->item(1)->checkState(), Qt::Unchecked);
  emit legend->itemDoubleClicked(legend->item(0));
  EXPECT_TRUE(view_->IsForceShown(1));
  emit legend->itemDoubleClicked(legend->item(1));
  EXPECT_FALSE(view_->IsForceShown(0));

  // Forces added or removed may shift the others: all are shown rather than the wrong one hidden.
  legend->item(1)->setCheckState(Qt::Unchecked);
  document_.AddForce("Green", "");
  EXPECT_TRUE(view_->IsForceShown(1));
  legend->item(1)->setCheckState(Qt::Unchecked);
  ASSERT_TRUE(document_.AddActor(0, 0, editor::ActorRecord{}));  // the forces stay as they are
  EXPECT_FALSE(view_->IsForceShown(1));

  // A new project shows every force again.
  document_.changes().Notify(editor::DocumentChange::kNewProject);
  EXPECT_EQ(legend->item(0)->checkState(), Qt::Checked);
}

TEST_F(MapWindowTest, KeysPanAndZoomAndThePointerShowsWhereItIs) {
  view_->setFocus();
  const MapViewport fitted = view_->viewport();
  QTest::keyClick(view_, Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(view_->viewport().scale, fitted.scale * 1.25);
  QTest::keyClick(view_, Qt::Key_Minus);
  EXPECT_DOUBLE_EQ(view_->viewport().scale, fitted.scale);
  const double x = view_->viewport().origin_x;
  QTest::keyClick(view_, Qt::Key_Left);
  EXPECT_EQ(view_->viewport().origin_x, x + 50);  // an eighth of the 400 pixels
  QTest::keyClick(view_, Qt::Key_Up);
  QTest::keyClick(view_, Qt::Key_0);
  EXPECT_EQ(view_->viewport().origin_x, fitted.origin_x);
  EXPECT_EQ(view_->viewport().origin_y, fitted.origin_y);

  auto* where = window_->findChild<QLabel*>("map_coordinates");
  ASSERT_NE(where, nullptr);
  MoveTo(At(1000, 500), Qt::NoButton);
  const QPointF game = view_->viewport().ToGame(At(1000, 500));
  EXPECT_EQ(where->text(), QString("x %1, y %2").arg(std::lround(game.x())).arg(std::lround(game.y())));
  EXPECT_LE(std::abs(game.x() - 1000), 1 / view_->viewport().scale);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view_, &leave);
  EXPECT_TRUE(where->text().isEmpty());
}

// The kept picture of ground and routes must show what a view drawing afresh shows.
TEST_F(MapWindowTest, TheKeptPictureFollowsEditsAndPans) {
  (void)Settled();  // lays the dock out: the view takes its size
  ASSERT_TRUE(document_.SetField(RecordRef::Location(1), editor::Field::kLocY, Integer(-300)));
  EXPECT_EQ(Settled(), Fresh());
  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), editor::Field::kAreaRadius, Integer(90)));
  EXPECT_EQ(Settled(), Fresh());
  document_.MakeCurrent(document_.tree().TeamNode(0, 0));
  EXPECT_EQ(Settled(), Fresh());
  document_.MakeCurrent(document_.tree().AreaNode(0));
  EXPECT_EQ(Settled(), Fresh());

  // Resized, the picture of the old size stands in until the one of the new size is in.
  view_->setMinimumSize(view_->width() + 60, view_->height() + 40);
  view_->resize(view_->minimumSize());
  (void)view_->grab();
  EXPECT_FALSE(view_->RoutesSettled());
  EXPECT_EQ(Settled(), Fresh());

  // Panned, the old picture stands in until the pause; then the routes are drawn anew.
  view_->PanBy(QPointF(40, -25));
  EXPECT_FALSE(view_->RoutesSettled());
  EXPECT_EQ(Settled(), Fresh());
}

// Routes are drawn off the GUI thread: after an edit the old picture stands in until the new one comes
// back, and a picture asked for before a later edit is thrown away rather than shown over it.
TEST_F(MapWindowTest, APictureOvertakenByAnEditIsDropped) {
  (void)Settled();
  const QImage before = view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), editor::Field::kAreaRadius, Integer(40)));
  (void)view_->grab();
  EXPECT_FALSE(view_->RoutesSettled());
  // Asked for, then overtaken before its answer is taken in: two more edits, each asking again.
  ASSERT_TRUE(
      document_.SetField(RecordRef::Team(0, 0), editor::Field::kPlan, std::string("insert at tower;")));
  (void)view_->grab();
  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), editor::Field::kAreaRadius, Integer(500)));
  const QImage settled = Settled();
  EXPECT_GE(view_->dropped_pictures(), 1);
  EXPECT_EQ(settled, Fresh());
  EXPECT_NE(settled, before);
}

// The view rebuilds only what an edit changed; what it shows must still be what a full build shows.
TEST_F(MapWindowTest, RebuildsAfterEditsAndUndoMatchAFullBuild) {
  const auto same_routes = [this] {
    const editor::MissionMap full = editor::BuildMissionMap(document_);
    const editor::MissionMap& shown = view_->map();
    if (full.routes.size() != shown.routes.size() || full.warnings.size() != shown.warnings.size())
      return false;
    const auto same_step = [](const editor::RouteStep& a, const editor::RouteStep& b) {
      return a.location == b.location && a.x == b.x && a.y == b.y && a.name == b.name;
    };
    for (std::size_t r = 0; r < full.routes.size(); ++r) {
      if (!std::ranges::equal(full.routes[r].steps, shown.routes[r].steps, same_step)) return false;
    }
    return true;
  };
  document_.AddTeam(0, "Bravo", "", "insert at tower; moveup to gate;");
  EXPECT_TRUE(same_routes());
  ASSERT_TRUE(document_.SetField(RecordRef::Location(1), editor::Field::kLocName, std::string("spire")));
  EXPECT_TRUE(same_routes());
  EXPECT_EQ(view_->map().routes[1].steps[0].location, -1);
  ASSERT_TRUE(
      document_.SetField(RecordRef::Team(0, 1), editor::Field::kPlan, std::string("insert at spire;")));
  EXPECT_TRUE(same_routes());
  EXPECT_EQ(view_->map().routes[1].steps[0].location, 1);
  window_->undo()->history().Perform("Delete team", [this] { (void)document_.DeleteTeam(0, 0); });
  EXPECT_TRUE(same_routes());
  ASSERT_TRUE(window_->undo()->history().Undo());
  EXPECT_TRUE(same_routes());
  EXPECT_EQ(view_->map().routes.size(), 2u);
}

}  // namespace
}  // namespace vyr::gui
