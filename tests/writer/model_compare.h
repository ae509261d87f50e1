// Field-by-field comparison of two parsed models, naming the first difference.
#pragma once

#include <gtest/gtest.h>

#include "vyrparser/core/parsed_mission.h"

namespace vyr::testing {

// Equal in everything a script carries. A player's skill is not compared: the writer leaves it out.
::testing::AssertionResult SameModel(const parser::ParsedMission& a, const parser::ParsedMission& b);

}  // namespace vyr::testing
