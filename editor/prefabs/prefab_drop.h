// The tree's side of a drag from the prefab library: an actor prefab dropped on a team node joins that
// team, a team prefab dropped on a force node joins that force with all its actors.
#pragma once

#include "editor/document/mission_document.h"
#include "editor/document/project_tree.h"
#include "editor/document/status.h"
#include "editor/prefabs/prefab_library.h"

namespace vyr::editor {

// What a drag from t_list carries: which library, and the prefab's group and position in it.
struct PrefabDrag {
  PrefabMode kind = PrefabMode::kActors;
  int group = -1;
  int member = -1;
};

// Whether the tree highlights `node` under the dragged prefab: a team node for an actor, a force node
// for a team.
bool CanTakePrefab(const MissionDocument& document, NodeId node, const PrefabDrag& drag);

// Adds the prefab under `node` (AddActor, or the team and its actors as PasteTeam adds them) and selects
// the node. A node that cannot take it, or a prefab no longer in the library, is ignored:
// Status::Cancelled(). A full team or force is refused with the document's message; nothing changes.
Status DropPrefab(MissionDocument& document, const PrefabLibrary& library, NodeId node,
                  const PrefabDrag& drag);

}  // namespace vyr::editor
