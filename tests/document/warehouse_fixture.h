// The small example mission "Warehouse" by Kim, as the example project holds it.
#pragma once

#include <gtest/gtest.h>

#include "editor/document/mission_document.h"

namespace vyr::editor::testing {

inline void BuildWarehouse(MissionDocument& doc) {
  doc.info.vyr_missionname = "Warehouse";
  doc.info.vyr_author = "Kim";
  doc.info.vyr_missiondescription = "Clear the warehouse.";
  doc.info.vyr_mapname = "urban1";
  doc.info.map_styles = "urban?dark?";
  doc.info.annotation = "Night raid";
  ASSERT_TRUE(doc.AddLocation("gate", "", 100, -20, 0));
  ASSERT_TRUE(doc.AddLocation("tower", "", -5, 40, 128));
  ASSERT_TRUE(doc.AddArea("yard", "", "gate?tower?", 200, "open?"));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", "  insert at gate using \"column\";\r\n  wait until ready;"));
  ActorRecord lead;
  lead.npc_player = true;
  lead.npc_name = "Lead";
  lead.npc_skill = 1.0f;
  lead.weapon[0] = true;
  lead.item[1] = true;
  lead.ammo[0] = 2;
  ASSERT_TRUE(doc.AddActor(0, 0, lead));
  ActorRecord bot;
  bot.npc_name = "Bot";
  bot.npc_skill = 0.5f;
  bot.weapon[1] = true;
  bot.ammo[1] = 3;
  ASSERT_TRUE(doc.AddActor(0, 0, bot));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Well done", "m2?m3?", "success", "timeout(300)"));
}

}  // namespace vyr::editor::testing
