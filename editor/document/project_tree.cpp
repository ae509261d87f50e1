#include "editor/document/project_tree.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>

namespace vyr::editor {

// Live nodes by NodeId (creation order) in a Fenwick tree that can grow at its end, so a node index
// (the rank of a live node) and the node at a given index cost O(log n), also after removals.
class ProjectTree::OrderIndex {
 public:
  void Clear() {
    sums_.assign(1, 0);  // 1-based; sums_[0] unused
    live_ = 0;
  }
  // Position p covers (p - lowbit(p), p]: the new element plus the partial sums already present.
  void Append() {
    const std::size_t p = sums_.size();
    const std::size_t low = p & (~p + 1);
    sums_.push_back(1 + Prefix(p - 1) - Prefix(p - low));
    ++live_;
  }
  void Insert(NodeId id) {
    for (std::size_t p = id + 1; p < sums_.size(); p += p & (~p + 1))
      ++sums_[p];
    ++live_;
  }
  void Remove(NodeId id) {
    for (std::size_t p = id + 1; p < sums_.size(); p += p & (~p + 1))
      --sums_[p];
    --live_;
  }
  int Rank(NodeId id) const { return Prefix(static_cast<std::size_t>(id) + 1); }
  NodeId FindByRank(int rank) const {
    const std::size_t n = sums_.size() - 1;
    std::size_t step = 1;
    while (step * 2 <= n)
      step *= 2;
    std::size_t pos = 0;
    for (; step > 0; step /= 2) {
      if (pos + step <= n && sums_[pos + step] < rank) {
        pos += step;
        rank -= sums_[pos];
      }
    }
    return static_cast<NodeId>(pos);  // 1-based position pos + 1 is NodeId pos
  }
  int live() const { return live_; }

 private:
  int Prefix(std::size_t p) const {
    int sum = 0;
    for (; p > 0; p -= p & (~p + 1))
      sum += sums_[p];
    return sum;
  }
  std::vector<int> sums_{0};
  int live_ = 0;
};

namespace {

constexpr std::array<std::string_view, 12> kImageKeys = {
    "root",     "location",  "area", "force", "outcome", "sub_location",
    "sub_area", "sub_force", "team", "npc",   "pos",     "neg",
};

// Windows-1252 letters folded to lower case, as the system's case-insensitive comparison does.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:  // S caron
    case 0x8C:  // OE
    case 0x8E:  // Z caron
      return static_cast<unsigned char>(c + 16);
    case 0x9F:  // Y diaeresis
      return 0xFF;
    default:
      return c;
  }
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

unsigned char FoldLetterCase(unsigned char c) {
  return FoldCase(c);
}

namespace {

// Outcome nodes of both images count as one kind when bindings shift.
bool SameKind(NodeImage a, NodeImage b) {
  const auto outcome = [](NodeImage image) { return image == NodeImage::kPos || image == NodeImage::kNeg; };
  return a == b || (outcome(a) && outcome(b));
}

// Built by appending: GCC 12 warns falsely on `"P" + std::to_string(n)`.
std::string KeyWithNumber(char letter, std::uint64_t number) {
  std::string key(1, letter);
  key += std::to_string(number);
  return key;
}

}  // namespace

std::string_view ImageKey(NodeImage image) {
  return kImageKeys[static_cast<std::size_t>(image)];
}

bool IsRecordImage(NodeImage image) {
  return image >= NodeImage::kSubLocation;
}

ProjectTree::ProjectTree() : order_(std::make_unique<OrderIndex>()) {
  Reset();
}

ProjectTree::~ProjectTree() = default;

int ProjectTree::node_count() const {
  return order_->live();
}

NodeId ProjectTree::NodeAt(int node_index) const {
  if (node_index < 1 || node_index > order_->live()) return kNoNode;
  return order_->FindByRank(node_index);
}

int ProjectTree::NodeIndex(NodeId id) const {
  return Contains(id) ? order_->Rank(id) : 0;
}

bool ProjectTree::Contains(NodeId id) const {
  return id < nodes_.size() && nodes_[id] != nullptr;
}

const TreeNode* ProjectTree::Find(NodeId id) const {
  return Contains(id) ? nodes_[id].get() : nullptr;
}

const TreeNode& ProjectTree::node(NodeId id) const {
  assert(Contains(id));
  return *nodes_[id];
}

TreeNode* ProjectTree::Mutable(NodeId id) {
  return Contains(id) ? nodes_[id].get() : nullptr;
}

NodeId ProjectTree::ChildAt(NodeId parent, int row) const {
  const TreeNode* node = Find(parent);
  if (node == nullptr || row < 0 || row >= static_cast<int>(node->children.size())) return kNoNode;
  return node->children[static_cast<std::size_t>(row)];
}

int ProjectTree::RowOf(NodeId id) const {
  const TreeNode* node = Find(id);
  if (node == nullptr) return -1;
  const TreeNode* parent = Find(node->parent);
  if (parent == nullptr) return -1;
  const auto it = std::find(parent->children.begin(), parent->children.end(), id);
  return it == parent->children.end() ? -1 : static_cast<int>(it - parent->children.begin());
}

NodeAddress ProjectTree::AddressOf(NodeId id) const {
  NodeAddress address;
  const TreeNode* node = Find(id);
  if (node == nullptr) return address;
  address.image = node->image;
  if (!IsRecordImage(node->image)) return address;
  address.index = node->binding;
  switch (node->image) {
    case NodeImage::kSubForce:
      address.force = node->binding;
      break;
    case NodeImage::kTeam:
      address.team = node->binding;
      address.force = this->node(node->parent).binding;
      break;
    case NodeImage::kNpc: {
      const TreeNode& team = this->node(node->parent);
      address.team = team.binding;
      address.force = this->node(team.parent).binding;
      break;
    }
    default:
      break;
  }
  return address;
}

// A category's children are kept in record order, so the row is the record index.
NodeId ProjectTree::LocationNode(int index) const {
  return ChildAt(category(Section::kLocations), index);
}
NodeId ProjectTree::AreaNode(int index) const {
  return ChildAt(category(Section::kAreas), index);
}
NodeId ProjectTree::ForceNode(int force) const {
  return ChildAt(category(Section::kForces), force);
}
NodeId ProjectTree::TeamNode(int force, int team) const {
  return ChildAt(ForceNode(force), team);
}
NodeId ProjectTree::ActorNode(int force, int team, int actor) const {
  return ChildAt(TeamNode(force, team), actor);
}
NodeId ProjectTree::OutcomeNode(int index) const {
  return ChildAt(category(Section::kOutcomes), index);
}

NodeId ProjectTree::SearchByName(std::string_view text) const {
  for (NodeId id = 0; id < nodes_.size(); ++id) {
    if (nodes_[id] != nullptr && EqualIgnoringCase(nodes_[id]->text, text)) return id;
  }
  return kNoNode;
}

void ProjectTree::SetText(NodeId id, std::string text) {
  TreeNode* node = Mutable(id);
  if (node == nullptr) return;
  node->text = std::move(text);
  Notify({TreeChange::kChanged, id, node->parent, -1});
}

void ProjectTree::SetExpanded(NodeId id, bool expanded) {
  TreeNode* node = Mutable(id);
  if (node == nullptr || node->expanded == expanded) return;
  node->expanded = expanded;
  Notify({TreeChange::kChanged, id, node->parent, -1});
}

void ProjectTree::ExpandAll() {
  Batch batch(*this);
  for (NodeId id = 0; id < nodes_.size(); ++id) {
    if (nodes_[id] != nullptr) SetExpanded(id, true);
  }
}

void ProjectTree::Select(NodeId id) {
  selected_ = Contains(id) ? id : kNoNode;
  Notify({TreeChange::kSelection, selected_, kNoNode, -1});
}

WindowOpening ProjectTree::OpenWindow(NodeId id) {
  TreeNode* node = Mutable(id);
  if (node == nullptr) return {WindowOpen::kNoWindow};
  if (node->image != NodeImage::kRoot && !IsRecordImage(node->image)) return {WindowOpen::kNoWindow};
  if (!node->key.empty() && node->key[0] == 'P') {
    int slot = -1;
    std::from_chars(node->key.data() + 1, node->key.data() + node->key.size(), slot);
    return {WindowOpen::kAlreadyOpen, slot};
  }
  const std::optional<int> slot = slots_.Take();
  if (!slot) return {WindowOpen::kNoFreeSlot};
  node->key = KeyWithNumber('P', static_cast<std::uint64_t>(*slot));
  window_node_[*slot] = id;
  window_index_[*slot] = NodeIndex(id);
  Notify({TreeChange::kChanged, id, node->parent, -1});
  return {WindowOpen::kOpened, *slot};
}

void ProjectTree::CloseWindow(int slot) {
  if (!slots_.in_use(slot)) return;
  slots_.Release(slot);
  const NodeId id = std::exchange(window_node_[slot], kNoNode);
  window_index_[slot] = 0;
  if (TreeNode* node = Mutable(id)) {
    node->key = NextUniqueKey();
    Notify({TreeChange::kChanged, id, node->parent, -1});
  }
}

NodeId ProjectTree::WindowNode(int slot) const {
  return slots_.in_use(slot) ? window_node_[slot] : kNoNode;
}

int ProjectTree::WindowNodeIndex(int slot) const {
  return NodeIndex(WindowNode(slot));
}

void ProjectTree::Reset() {
  for (int slot = 0; slot < WindowSlots::kSlotCount; ++slot) {
    if (slots_.in_use(slot)) window_events_.Notify({WindowChange::kClosed, slot, 0});
  }
  Notify({TreeChange::kAboutToReset});
  nodes_.clear();
  order_->Clear();
  key_counter_ = 0;
  slots_.Reset();
  std::fill(std::begin(window_node_), std::end(window_node_), kNoNode);
  std::fill(std::begin(window_index_), std::end(window_index_), 0);
  selected_ = kNoNode;
  last_added_ = kNoNode;

  constexpr std::array<std::string_view, 5> kKeys = {"root", "location", "area", "force", "outcome"};
  constexpr std::array<std::string_view, 5> kTexts = {"VYR (unnamed)", "Locations (unnamed)",
                                                      "Areas (unnamed)", "Forces (unnamed)",
                                                      "Mission outcome (unnamed)"};
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const NodeId id = static_cast<NodeId>(nodes_.size());
    auto node = std::make_unique<TreeNode>();
    node->key = std::string(kKeys[i]);
    node->text = std::string(kTexts[i]);
    node->image = static_cast<NodeImage>(i);
    node->bold = true;
    node->expanded = true;
    node->parent = i == 0 ? kNoNode : fixed_[0];
    nodes_.push_back(std::move(node));
    order_->Append();
    if (i > 0) nodes_[fixed_[0]]->children.push_back(id);
    fixed_[i] = id;
  }
  selected_ = fixed_[0];
  Notify({TreeChange::kReset});
  Notify({TreeChange::kSelection, selected_, kNoNode, -1});
}

std::string ProjectTree::NextUniqueKey() {
  return KeyWithNumber('U', key_counter_++);
}

NodeId ProjectTree::AddRecordNode(NodeId parent, std::string text, NodeImage image, int binding) {
  TreeNode* parent_node = Mutable(parent);
  if (parent_node == nullptr) return kNoNode;
  const int row = static_cast<int>(parent_node->children.size());
  Notify({TreeChange::kAboutToAdd, kNoNode, parent, row});
  const NodeId id = static_cast<NodeId>(nodes_.size());
  auto node = std::make_unique<TreeNode>();
  node->key = NextUniqueKey();
  node->text = std::move(text);
  node->image = image;
  node->binding = binding;
  node->parent = parent;
  nodes_.push_back(std::move(node));
  order_->Append();
  parent_node->children.push_back(id);
  last_added_ = id;
  Notify({TreeChange::kAdded, id, parent, row});
  return id;
}

void ProjectTree::RemoveRecordNode(NodeId id) {
  TreeNode* node = Mutable(id);
  if (node == nullptr || !IsRecordImage(node->image)) return;
  while (!node->children.empty())
    RemoveRecordNode(node->children.front());

  if (!node->key.empty() && node->key[0] == 'P') {
    int slot = -1;
    std::from_chars(node->key.data() + 1, node->key.data() + node->key.size(), slot);
    if (slots_.in_use(slot)) {
      CloseWindow(slot);  // the node takes a fresh key on the way out, as a closing window leaves it
      window_events_.Notify({WindowChange::kClosed, slot, 0});
    }
  }

  const int binding = node->binding;
  const NodeImage image = node->image;
  const NodeId parent = node->parent;
  RemoveLeaf(id);

  if (TreeNode* parent_node = Mutable(parent)) {
    for (NodeId sibling : parent_node->children) {
      TreeNode& other = *nodes_[sibling];
      if (SameKind(other.image, image) && other.binding > binding) {
        --other.binding;
        Notify({TreeChange::kChanged, sibling, parent, -1});
      }
    }
  }
  TellWindowsTheirIndices();
}

void ProjectTree::RemoveLeaf(NodeId id) {
  const NodeId parent = nodes_[id]->parent;
  const int row = RowOf(id);
  Notify({TreeChange::kAboutToRemove, id, parent, row});
  if (TreeNode* parent_node = Mutable(parent)) {
    auto& siblings = parent_node->children;
    siblings.erase(siblings.begin() + row);
  }
  order_->Remove(id);
  nodes_[id].reset();
  if (last_added_ == id) last_added_ = kNoNode;
  Notify({TreeChange::kRemoved, id, parent, row});
  // A removed selected node hands the selection to its parent.
  if (selected_ == id) Select(parent);
}

// Every structural change is announced before it is made, so the first event of a batch can still
// tell observers to let go of the old tree.
void ProjectTree::Notify(const TreeEvent& event) {
  if (batch_depth_ == 0) {
    changes_.Notify(event);
  } else if (!batch_changed_ && event.change != TreeChange::kSelection) {
    batch_changed_ = true;
    changes_.Notify({TreeChange::kAboutToReset});
  }
}

ProjectTree::Batch::Batch(ProjectTree& tree) : tree_(tree) {
  if (tree_.batch_depth_++ == 0) {
    tree_.batch_changed_ = false;
    tree_.batch_selected_ = tree_.selected_;
  }
}

ProjectTree::Batch::~Batch() {
  if (--tree_.batch_depth_ > 0) return;
  if (tree_.batch_changed_) tree_.changes_.Notify({TreeChange::kReset});
  if (tree_.batch_changed_ || tree_.selected_ != tree_.batch_selected_)
    tree_.changes_.Notify({TreeChange::kSelection, tree_.selected_, kNoNode, -1});
  tree_.batch_changed_ = false;
}

void ProjectTree::TellWindowsTheirIndices() {
  if (slots_.used_count() == 0) return;
  for (int slot = 0; slot < WindowSlots::kSlotCount; ++slot) {
    if (!slots_.in_use(slot)) continue;
    const int index = NodeIndex(window_node_[slot]);
    if (index != window_index_[slot]) {
      window_index_[slot] = index;
      window_events_.Notify({WindowChange::kReindexed, slot, index});
    }
  }
}

}  // namespace vyr::editor

namespace vyr::editor {

ProjectTree::Branch ProjectTree::SaveBranch(NodeId parent, int first_row, int count) const {
  Branch branch;
  branch.parent = parent;
  branch.first_row = first_row;
  const TreeNode* parent_node = Find(parent);
  if (parent_node == nullptr) return branch;
  const int size = static_cast<int>(parent_node->children.size());
  const int end = count < 0 ? size : std::min(size, first_row + count);
  std::vector<NodeId> pending;
  for (int row = end - 1; row >= first_row; --row)
    pending.push_back(parent_node->children[static_cast<std::size_t>(row)]);
  branch.tops.assign(pending.rbegin(), pending.rend());
  while (!pending.empty()) {  // depth first, parents before their children
    const NodeId id = pending.back();
    pending.pop_back();
    const TreeNode& node = *nodes_[id];
    branch.nodes.emplace_back(id, node);
    pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
  }
  branch.nodes.shrink_to_fit();
  return branch;
}

void ProjectTree::SwapBranch(Branch& branch, int count) {
  TreeNode* parent = Mutable(branch.parent);
  if (parent == nullptr) return;
  Batch batch(*this);
  Notify({TreeChange::kAboutToReset});
  const WindowImages images = SaveWindowImages();
  // The nodes there now move out into `current`, parents before their children.
  Branch current;
  current.parent = branch.parent;
  current.first_row = branch.first_row;
  auto& children = parent->children;
  const int size = static_cast<int>(children.size());
  const int end = count < 0 ? size : std::min(size, branch.first_row + count);
  const auto first = children.begin() + std::min(branch.first_row, size);
  current.tops.assign(first, children.begin() + std::max(end, branch.first_row));
  children.erase(first, first + static_cast<std::ptrdiff_t>(current.tops.size()));
  std::vector<NodeId> pending(current.tops.rbegin(), current.tops.rend());
  while (!pending.empty()) {
    const NodeId id = pending.back();
    pending.pop_back();
    TreeNode& node = *nodes_[id];
    pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
    current.nodes.emplace_back(id, std::move(node));
    nodes_[id].reset();
    order_->Remove(id);
  }

  std::vector<NodeId> placed;
  placed.reserve(branch.nodes.size());
  for (auto& [id, node] : branch.nodes) {
    while (nodes_.size() <= id) {  // ids are never reused, so this does not happen within one history
      nodes_.emplace_back();
      order_->Append();
      order_->Remove(static_cast<NodeId>(nodes_.size() - 1));
    }
    nodes_[id] = std::make_unique<TreeNode>(std::move(node));
    order_->Insert(id);
    placed.push_back(id);
  }
  children.insert(children.begin() + branch.first_row, branch.tops.begin(), branch.tops.end());
  if (!Contains(selected_)) selected_ = kNoNode;
  if (!Contains(last_added_)) last_added_ = kNoNode;
  ReconcileWindows(images, placed);
  branch = std::move(current);
}

ProjectTree::WindowImages ProjectTree::SaveWindowImages() const {
  WindowImages images;
  for (int slot = 0; slot < WindowSlots::kSlotCount; ++slot) {
    if (const TreeNode* node = slots_.in_use(slot) ? Find(window_node_[slot]) : nullptr)
      images[static_cast<std::size_t>(slot)] = node->image;
  }
  return images;
}

void ProjectTree::ReconcileWindows(const WindowImages& images, const std::vector<NodeId>& placed) {
  for (int slot = 0; slot < WindowSlots::kSlotCount; ++slot) {
    if (!slots_.in_use(slot)) continue;
    TreeNode* node = Mutable(window_node_[slot]);
    if (node != nullptr && images[static_cast<std::size_t>(slot)] == node->image) {
      node->key = KeyWithNumber('P', static_cast<std::uint64_t>(slot));
      continue;
    }
    slots_.Release(slot);
    window_node_[slot] = kNoNode;
    window_index_[slot] = 0;
    window_events_.Notify({WindowChange::kClosed, slot, 0});
  }
  // A node saved with its window open, whose window has closed since, takes a fresh key.
  for (NodeId id : placed) {
    TreeNode* node = nodes_[id].get();
    if (node == nullptr || node->key.empty() || node->key[0] != 'P') continue;
    int slot = -1;
    std::from_chars(node->key.data() + 1, node->key.data() + node->key.size(), slot);
    if (!slots_.in_use(slot) || window_node_[slot] != id) node->key = NextUniqueKey();
  }
  TellWindowsTheirIndices();
}

}  // namespace vyr::editor
