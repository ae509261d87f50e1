// `vyr problems`, run as an author's CI runs it: its lines, its JSON and its exit codes.
#include <gtest/gtest.h>

#include <string>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_format.h"
#include "tests/editor_test_support.h"
#include "tests/vyr/run_vyr.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;
using vyr::testing::RunVyr;
using vyr::testing::ToolRun;

class VyrProblems : public ::testing::Test {
 protected:
  std::string Save(MissionDocument& doc, const std::string& name) {
    return WriteProjectBeside(doc, dir_ / (name + ".cme"));
  }

  ScratchFolder dir_;
};

TEST_F(VyrProblems, TheWorkedExampleHasNone) {
  const ToolRun run =
      RunVyr({"problems", std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/warehouse.cme"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

// Warnings alone exit 0; with errors, 2.
TEST_F(VyrProblems, ErrorsAndWarningsOneALineAndExitTwo) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddLocation("spare", "", 0, 0, 0));
  ToolRun run = RunVyr({"problems", Save(doc, "warned")});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "warning: Locations / spare: no area, plan or outcome uses this location\n");

  doc.info.vyr_author = "Kim M\xFCller";
  ASSERT_TRUE(doc.SetField(RecordRef::Team(0, 0), Field::kPlan,
                           std::string("  insert at gate using \"column\";\r\n  attack towards Nowhere;")));
  run = RunVyr({"problems", Save(doc, "faulty")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out,
            "error: Mission, Author: \"\xFC\" cannot be written in a mission script\n"
            "error: Forces / Blue / Alpha, Plan, line 2: no location named \"Nowhere\"\n"
            "warning: Locations / spare: no area, plan or outcome uses this location\n");

  const ToolRun json = RunVyr({"problems", "--json", dir_ / "faulty.cme"});
  EXPECT_EQ(json.exit_code, 2);
  // The author's byte is 8-bit text, not UTF-8: JSON gets the replacement character instead.
  EXPECT_EQ(json.out, R"({
  "errors": 2,
  "warnings": 1,
  "problems": [
    {
      "severity": "error",
      "path": "Mission",
      "record": {
        "kind": "mission"
      },
      "field": "Author",
      "message": "\")"
                      "\xEF\xBF\xBD"
                      R"(\" cannot be written in a mission script"
    },
    {
      "severity": "error",
      "path": "Forces / Blue / Alpha",
      "record": {
        "kind": "team",
        "force": 0,
        "team": 0
      },
      "field": "Plan",
      "line": 2,
      "message": "no location named \"Nowhere\""
    },
    {
      "severity": "warning",
      "path": "Locations / spare",
      "record": {
        "kind": "location",
        "index": 2
      },
      "message": "no area, plan or outcome uses this location"
    }
  ]
}
)");
}

TEST_F(VyrProblems, AnUnreadableProjectExitsOneAndBadUsageSixtyFour) {
  ToolRun run = RunVyr({"problems", dir_ / "missing.cme"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("vyr problems: ", 0), 0u) << run.err;
  EXPECT_EQ(RunVyr({"problems"}).exit_code, 64);
  EXPECT_EQ(RunVyr({"problems", "a.cme", "b.cme"}).exit_code, 64);
  EXPECT_EQ(RunVyr({"problems", "--json"}).exit_code, 64);
}

}  // namespace
}  // namespace vyr::editor
