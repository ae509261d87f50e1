// The project tree as a model without a screen: one node per record, bound to the record by index,
// the five fixed nodes, node keys, selection, and the registry of open property windows.
//
// A NodeId is a stable handle (suitable as a Qt item model's internal id); a node index is the node's
// 1-based position in the node collection, which is the order of creation and shifts on removals.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/document/notifier.h"
#include "editor/document/window_slots.h"

namespace vyr::editor {

class MissionDocument;

using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFFu;

// The node's image, which is also its kind.
enum class NodeImage : std::uint8_t {
  kRoot,
  kLocation,  // category nodes
  kArea,
  kForce,
  kOutcome,
  kSubLocation,  // record nodes
  kSubArea,
  kSubForce,
  kTeam,
  kNpc,
  kPos,  // success outcome
  kNeg,  // failure outcome
};

// "root", "location", ..., "sub_location", ..., "team", "npc", "pos", "neg".
std::string_view ImageKey(NodeImage image);
bool IsRecordImage(NodeImage image);

// A Windows-1252 letter in lower case, as the editor's comparisons that ignore letter case fold it.
unsigned char FoldLetterCase(unsigned char c);

// The four record sections, in file and category order.
enum class Section : std::uint8_t { kLocations, kAreas, kForces, kOutcomes };

struct TreeNode {
  std::string key;   // "root" and the category keys, "U<n>", or "P<slot>" while a window is open
  std::string text;  // the label
  NodeImage image = NodeImage::kRoot;
  bool bold = false;
  int binding = 0;  // the record's index within its table, force or team
  NodeId parent = kNoNode;
  bool expanded = false;
  std::vector<NodeId> children;  // in order of creation, which is also display order
};

// Where a record node's record lives. Fields that do not apply are -1.
struct NodeAddress {
  NodeImage image = NodeImage::kRoot;
  int index = -1;  // location, area, force or outcome index; for teams the team, for actors the actor
  int force = -1;  // the force of a force, team or actor node
  int team = -1;   // the team of a team or actor node
};

enum class TreeChange : std::uint8_t {
  kAboutToAdd,     // parent, row: a node is about to become that child of parent
  kAdded,          // node, parent, row
  kAboutToRemove,  // node, parent, row
  kRemoved,        // node (no longer valid), parent, row
  kChanged,        // node: text, key, binding, bold or expanded changed
  kAboutToReset,   // the tree is about to change wholesale (a new project, or a batch's first change)
  kReset,          // the change is done: read every node again
  kSelection,      // node: the new selected node (may be kNoNode)
};

struct TreeEvent {
  TreeChange change;
  NodeId node = kNoNode;
  NodeId parent = kNoNode;
  int row = -1;
};

enum class WindowChange : std::uint8_t {
  kClosed,     // the core closed the window in `slot` (its node was removed, or a new project began)
  kReindexed,  // the window's node now has node index `node_index`
};

struct WindowEvent {
  WindowChange change;
  int slot = -1;
  int node_index = 0;
};

enum class WindowOpen : std::uint8_t {
  kOpened,       // a new window in `slot`
  kAlreadyOpen,  // the node's window is in `slot`: bring it to the front
  kNoWindow,     // a category node or a node that does not exist: nothing to open
  kNoFreeSlot,   // all 51 windows are open
};

struct WindowOpening {
  WindowOpen result = WindowOpen::kNoWindow;
  int slot = -1;  // -1 unless opened or already open

  explicit operator bool() const { return slot >= 0; }
  bool already_open() const { return result == WindowOpen::kAlreadyOpen; }
};

class ProjectTree {
 public:
  ProjectTree();
  ~ProjectTree();
  ProjectTree(const ProjectTree&) = delete;
  ProjectTree& operator=(const ProjectTree&) = delete;

  // --- nodes ---
  int node_count() const;
  NodeId NodeAt(int node_index) const;  // kNoNode outside 1 .. node_count()
  int NodeIndex(NodeId id) const;       // 0 for a node that does not exist
  bool Contains(NodeId id) const;
  const TreeNode* Find(NodeId id) const;  // nullptr for a node that does not exist
  const TreeNode& node(NodeId id) const;  // precondition: Contains(id)
  NodeId ChildAt(NodeId parent, int row) const;
  int RowOf(NodeId id) const;  // position among its parent's children; -1 for the root or a missing node

  NodeId root() const { return fixed_[0]; }
  NodeId category(Section section) const { return fixed_[1 + static_cast<int>(section)]; }
  NodeAddress AddressOf(NodeId id) const;

  // The node of a record, from its indices; kNoNode when there is none.
  NodeId LocationNode(int index) const;
  NodeId AreaNode(int index) const;
  NodeId ForceNode(int force) const;
  NodeId TeamNode(int force, int team) const;
  NodeId ActorNode(int force, int team, int actor) const;
  NodeId OutcomeNode(int index) const;

  // The first node in node-index order whose text equals `text` ignoring letter case (Windows-1252).
  NodeId SearchByName(std::string_view text) const;

  void SetText(NodeId id, std::string text);
  void SetExpanded(NodeId id, bool expanded);
  void ExpandAll();

  NodeId selected() const { return selected_; }
  void Select(NodeId id);  // a node that does not exist selects nothing
  NodeId last_added() const { return last_added_; }

  std::uint64_t unique_key_counter() const { return key_counter_; }

  // --- property windows ---
  // Opens (or finds) the window of a node; says why not for category nodes, missing nodes and when
  // all 51 slots are in use.
  WindowOpening OpenWindow(NodeId id);
  // The window in `slot` closed: the slot returns to the free list and its node gets a fresh "U" key.
  // A slot that is not open is ignored.
  void CloseWindow(int slot);
  NodeId WindowNode(int slot) const;  // kNoNode for a free slot
  int WindowNodeIndex(int slot) const;
  const WindowSlots& window_slots() const { return slots_; }

  // Some children of one parent with everything below them, by id, as undo saves them.
  struct Branch {
    NodeId parent = kNoNode;
    int first_row = 0;
    std::vector<NodeId> tops;                        // the children, in order
    std::vector<std::pair<NodeId, TreeNode>> nodes;  // the children and their descendants
  };
  Notifier<TreeEvent>& changes() { return changes_; }
  Notifier<WindowEvent>& window_events() { return window_events_; }

  // Groups a bulk change, so a view updates once: inside a batch no node event is sent; the first
  // change sends kAboutToReset, and the outermost batch's end sends kReset and then kSelection.
  // A batch that changed nothing sends only a kSelection, when the selected node moved. Batches nest.
  class [[nodiscard]] Batch {
   public:
    explicit Batch(ProjectTree& tree);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    ProjectTree& tree_;
  };

 private:
  friend class MissionDocument;
  class OrderIndex;

  // The children of `parent` from `first_row`: `count` of them, or all to the end when count < 0.
  Branch SaveBranch(NodeId parent, int first_row, int count) const;
  // Puts `branch` in place of the children it stands for (`count` of them from its first row, or all to
  // the end) and leaves in it the nodes it replaced, in one batch. An open window whose node comes back
  // as the same kind stays open (its node keeps its "P" key); the others close. A selection or last
  // added node that went away becomes none.
  void SwapBranch(Branch& branch, int count);

  // Closes every window, drops every node, restarts the key counter, rebuilds the five fixed nodes,
  // expanded, and selects the root.
  void Reset();
  // Adds a record node as the last child of `parent`, with a fresh "U" key.
  NodeId AddRecordNode(NodeId parent, std::string text, NodeImage image, int binding);
  // Closes the node's window, removes it (with any children) and shifts the binding indices of the
  // later siblings of its kind down by one; windows are told their new node indices.
  void RemoveRecordNode(NodeId id);

  void RemoveLeaf(NodeId id);
  // The open windows' node kinds, and after a change the windows whose node is gone or changed kind
  // closed and the nodes in `placed` with a stale "P" key given a fresh one.
  using WindowImages = std::array<std::optional<NodeImage>, WindowSlots::kSlotCount>;
  WindowImages SaveWindowImages() const;
  void ReconcileWindows(const WindowImages& images, const std::vector<NodeId>& placed);
  void Notify(const TreeEvent& event);
  std::string NextUniqueKey();
  void TellWindowsTheirIndices();
  TreeNode* Mutable(NodeId id);

  std::vector<std::unique_ptr<TreeNode>> nodes_;  // by NodeId; null once removed
  std::unique_ptr<OrderIndex> order_;             // live nodes by NodeId, for node indices
  NodeId fixed_[5] = {kNoNode, kNoNode, kNoNode, kNoNode, kNoNode};
  NodeId selected_ = kNoNode;
  NodeId last_added_ = kNoNode;
  std::uint64_t key_counter_ = 0;

  WindowSlots slots_;
  NodeId window_node_[WindowSlots::kSlotCount];
  int window_index_[WindowSlots::kSlotCount];  // the node index each window was last told

  int batch_depth_ = 0;
  bool batch_changed_ = false;  // kAboutToReset went out for the running batch
  NodeId batch_selected_ = kNoNode;

  Notifier<TreeEvent> changes_;
  Notifier<WindowEvent> window_events_;
};

}  // namespace vyr::editor
