// What a prefab drag carries from the prefab library to the window that takes the drop, as a MIME
// type of our own, and the interface of the side that adds the dropped prefab.
#pragma once

#include <optional>

#include "editor/document/project_tree.h"

class QMimeData;

namespace vyr::gui {

// A prefab being dragged from the prefab library: which kind, and which member of which group.
struct PrefabDrag {
  enum class Kind { kActor, kTeam };
  Kind kind = Kind::kActor;
  int group = 0;
  int index = 0;
};

inline constexpr const char* kPrefabMimeType = "application/x-vyr-prefab";
QMimeData* MakePrefabMimeData(const PrefabDrag& drag);
std::optional<PrefabDrag> ReadPrefabMimeData(const QMimeData* data);

// Implemented by the prefab library: adds a dropped prefab under the node that took it
// (an actor prefab into a team, a team prefab into a force).
class PrefabDropTarget {
 public:
  virtual ~PrefabDropTarget() = default;
  virtual void DropPrefab(const PrefabDrag& drag, editor::NodeId node) = 0;
};

}  // namespace vyr::gui
