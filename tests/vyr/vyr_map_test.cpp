// vyr map: the editor's map of a project as a file, from the command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "tests/vyr/run_vyr.h"
#include "tools/vyr/editor_session.h"

namespace vyr::testing {
namespace {

namespace fs = std::filesystem;

// Location points are the SVG's circles filled with the points' colour (the painter's groups carry
// the fill); -1 when the file is no well-formed XML.
int CountLocationPoints(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return -1;
  QXmlStreamReader xml(&file);
  std::vector<QString> fills{QString()};
  int points = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const QString fill =
          xml.attributes().hasAttribute("fill") ? xml.attributes().value("fill").toString() : fills.back();
      if ((xml.name() == QLatin1String("circle") || xml.name() == QLatin1String("ellipse")) &&
          fill.compare("#303848", Qt::CaseInsensitive) == 0)
        ++points;
      fills.push_back(fill);
    } else if (xml.isEndElement()) {
      fills.pop_back();
    }
  }
  return xml.hasError() ? -1 : points;
}

class VyrMapTest : public ::testing::Test {
 protected:
  // A project of `locations` locations (two of them on one spot) and two forces, written to the scratch
  // folder as map.cme and its section files.
  std::string WriteProject(int locations) {
    editor::MissionDocument doc;
    for (int i = 0; i < locations; ++i)
      doc.AddLocation("place" + std::to_string(i), "", (i * 37) % 1000, (i * 91) % 700 - (i == 1 ? 91 : 0),
                      5);
    doc.AddArea("yard", "", "place0?place2?", 120, "open?");
    doc.AddForce("Blue", "");
    doc.AddTeam(0, "Alpha", "", "insert at place0; advance towards place2; attack towards nowhere;");
    doc.AddForce("Red", "");
    doc.AddTeam(1, "Bravo", "", "insert at place3; advance towards place1;");
    const std::string base = dir_ / "map";
    for (editor::Section section : editor::kAllSections)
      EXPECT_TRUE(
          editor::ExportSection(doc, section, base + std::string(editor::TextsOf(section).extension)));
    tool::ToolUserInterface ui("test");
    tool::NoRecentFiles recent;
    EXPECT_TRUE(editor::WriteProject(doc, ui, recent, base + ".cme"));
    return base + ".cme";
  }

  ScratchDir dir_;
};

TEST_F(VyrMapTest, WritesAnSvgWithEveryLocationAndAPng) {
  const std::string project = WriteProject(101);
  ToolRun run = RunVyr({"map", project, dir_ / "out.svg"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(CountLocationPoints(dir_ / "out.svg"), 101);

  // One force shown; the picture still holds every location.
  run = RunVyr({"map", "--force", "Red", project, dir_ / "red.SVG"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(CountLocationPoints(dir_ / "red.SVG"), 101);
  EXPECT_NE(ReadFileBytes(dir_ / "red.SVG"), ReadFileBytes(dir_ / "out.svg"));

  run = RunVyr({"map", project, dir_ / "out.png"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(dir_ / "out.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  // The worked example draws each of its locations.
  const std::string example = std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/warehouse.cme";
  editor::MissionDocument doc;
  tool::NoRecentFiles recent;
  ASSERT_TRUE(editor::LoadProject(doc, recent, example));
  ASSERT_EQ(RunVyr({"map", example, dir_ / "warehouse.svg"}).exit_code, 0);
  EXPECT_EQ(CountLocationPoints(dir_ / "warehouse.svg"), doc.location_count());
}

TEST_F(VyrMapTest, FailuresLeaveTheTargetAloneWithExitOne) {
  const std::string project = WriteProject(3);
  // An unwritable target: a missing folder, or a folder where the file should be.
  ToolRun run = RunVyr({"map", project, dir_ / "no/such/folder/out.svg"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("vyr map: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("no/such/folder/out.svg"), std::string::npos) << run.err;
  fs::create_directory(dir_ / "taken.png");
  EXPECT_EQ(RunVyr({"map", project, dir_ / "taken.png"}).exit_code, 1);
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.png"));

  // An unreadable project or an unknown force writes nothing.
  run = RunVyr({"map", dir_ / "missing.cme", dir_ / "out.svg"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("vyr map: "), std::string::npos);
  run = RunVyr({"map", project, dir_ / "out.svg", "--force", "Green"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no force named \"Green\""), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "out.svg"));

  // Usage errors: a file too few, --force without its name or twice.
  EXPECT_EQ(RunVyr({"map", project}).exit_code, 64);
  EXPECT_EQ(RunVyr({"map", project, dir_ / "out.svg", "--force"}).exit_code, 64);
  EXPECT_EQ(RunVyr({"map", "--force", "Red", "--force", "Blue", project}).exit_code, 64);
  EXPECT_EQ(RunVyr({"map", project, dir_ / "a.svg", dir_ / "b.svg"}).exit_code, 64);
  EXPECT_FALSE(fs::exists(dir_ / "out.svg"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()),
            6);  // the project's five files and the folder
}

TEST_F(VyrMapTest, VyrRunsVyrMapFromItsOwnFolderElsePath) {
  const std::string project = WriteProject(4);
  // vyr-map itself takes the same operands; "--" keeps a dash-led name a file.
  ToolRun run = RunProgram(std::string(VYR_BIN_DIR) + "/vyr-map", {"--", project, dir_ / "-h.svg"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(CountLocationPoints(dir_ / "-h.svg"), 4);
  EXPECT_EQ(RunProgram(std::string(VYR_BIN_DIR) + "/vyr-map", {project}).exit_code, 64);

  // A vyr with no vyr-map beside it and none on PATH says where to get one.
  const fs::path lone = dir_ / "lone";
  fs::create_directory(lone);
  fs::copy_file(std::string(VYR_BIN_DIR) + "/vyr", lone / "vyr");
  run = RunProgram(lone / "vyr", {"map", project, dir_ / "lone.svg"}, "PATH=/nonexistent");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "vyr map: drawing maps needs vyr-map, installed with the editor (package vyr-mission-editor)\n");
  EXPECT_FALSE(fs::exists(dir_ / "lone.svg"));

  // Found on PATH, it draws; its failures come through with their exit status.
  run = RunProgram(lone / "vyr", {"map", project, dir_ / "lone.svg"}, "PATH=" + std::string(VYR_BIN_DIR));
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(CountLocationPoints(dir_ / "lone.svg"), 4);
  run = RunProgram(lone / "vyr", {"map", project, dir_ / "lone.svg", "--force", "Green"},
                   "PATH=" + std::string(VYR_BIN_DIR));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "vyr map: " + project + ": no force named \"Green\"\n");
}

}  // namespace
}  // namespace vyr::testing
