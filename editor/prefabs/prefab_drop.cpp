#include "editor/prefabs/prefab_drop.h"

namespace vyr::editor {

bool CanTakePrefab(const MissionDocument& document, NodeId node, const PrefabDrag& drag) {
  const ProjectTree& tree = document.tree();
  if (!tree.Contains(node)) return false;
  const NodeImage image = tree.AddressOf(node).image;
  return image == (drag.kind == PrefabMode::kActors ? NodeImage::kTeam : NodeImage::kSubForce);
}

Status DropPrefab(MissionDocument& document, const PrefabLibrary& library, NodeId node,
                  const PrefabDrag& drag) {
  if (!CanTakePrefab(document, node, drag)) return Status::Cancelled();
  const NodeAddress address = document.tree().AddressOf(node);
  Status added = Status::Cancelled();
  if (drag.kind == PrefabMode::kActors) {
    if (!library.actors().ValidMember(drag.group, drag.member)) return Status::Cancelled();
    added = document.AddActor(address.force, address.team, library.actors().member(drag.group, drag.member));
  } else {
    if (!library.teams().ValidMember(drag.group, drag.member)) return Status::Cancelled();
    added = document.AddTeamWithActors(address.force, library.teams().member(drag.group, drag.member));
  }
  if (added) document.tree().Select(node);
  return added;
}

}  // namespace vyr::editor
