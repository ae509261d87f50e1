#include "editor/gui/properties/property_windows.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>

#include "editor/gui/common/twips.h"
#include "editor/gui/properties/annotation_window.h"
#include "editor/gui/properties/force_windows.h"
#include "editor/gui/properties/general_windows.h"
#include "editor/gui/properties/property_window.h"

namespace vyr::gui {

using editor::NodeId;
using editor::NodeImage;
using editor::WindowOpen;

namespace {

// The smallest a property window is made when it opens (in twips, as the windows were designed).
constexpr int kMinimumWidthTwips = 5400;
constexpr int kMinimumHeightTwips = 3600;

template <typename Window>
PropertyWindows::Factory Make() {
  return [](editor::MissionDocument& document, NodeId node) -> PropertyWindow* {
    return new Window(document, node);
  };
}

}  // namespace

PropertyWindows::PropertyWindows(editor::MissionDocument& document, QMdiArea& area, editor::UserInterface& ui,
                                 QMenu* plan_menu, QObject* parent)
    : QObject(parent), document_(document), area_(area), ui_(ui), plan_menu_(plan_menu) {
  Register(NodeImage::kRoot, [this](editor::MissionDocument& doc, NodeId node) -> PropertyWindow* {
    auto* window = new frm_vyr_props(doc, node);
    connect(window, &frm_vyr_props::annotationRequested, this, &PropertyWindows::ShowAnnotation);
    return window;
  });
  Register(NodeImage::kSubLocation, Make<frm_loc_props>());
  Register(NodeImage::kSubArea, Make<frm_area_props>());
  Register(NodeImage::kSubForce, Make<frm_force_props>());
  Register(NodeImage::kTeam, [this](editor::MissionDocument& doc, NodeId node) -> PropertyWindow* {
    return new frm_team_props(doc, node, plan_menu_);
  });
  Register(NodeImage::kNpc, Make<frm_npc_props>());

  connect(&area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    const int slot = SlotOf(sub);
    if (!dropping_ && slot >= 0 && entries_[static_cast<std::size_t>(slot)].window)
      entries_[static_cast<std::size_t>(slot)].window->Activate();
  });
  window_events_ = document_.tree().window_events().Connect(
      [this](const editor::WindowEvent& event) { OnWindowEvent(event); });
}

PropertyWindows::~PropertyWindows() = default;

void PropertyWindows::Register(NodeImage image, Factory factory) {
  factories_[image] = std::move(factory);
}

void PropertyWindows::Open(NodeId node) {
  const editor::TreeNode* found = document_.tree().Find(node);
  if (found == nullptr) return;
  const auto factory = factories_.find(found->image);
  if (factory == factories_.end() || !factory->second) return;  // a category, or a kind without a window

  const editor::WindowOpening opening = document_.tree().OpenWindow(node);
  switch (opening.result) {
    case WindowOpen::kNoWindow:
      return;
    case WindowOpen::kNoFreeSlot:
      ui_.ShowMessage("Property windows",
                      "No more than 51 property windows can be open at once. Close one of them to open "
                      "another.",
                      editor::MessageIcon::kExclamation);
      return;
    case WindowOpen::kAlreadyOpen:
      Bring(entries_[static_cast<std::size_t>(opening.slot)]);
      return;
    case WindowOpen::kOpened:
      break;
  }

  PropertyWindow* window = factory->second(document_, node);
  if (window == nullptr) {
    document_.tree().CloseWindow(opening.slot);
    return;
  }
  window->SetSlot(opening.slot);
  window->SetTag(document_.tree().NodeIndex(node));
  window->Load();
  connect(window, &PropertyWindow::highlightRequested, this, &PropertyWindows::HighlightNode);

  QMdiSubWindow* sub = area_.addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->installEventFilter(this);
  entries_[static_cast<std::size_t>(opening.slot)] = {sub, window, sub};
  // A sub-window destroyed without closing (the client area going away) still frees its slot.
  connect(sub, &QObject::destroyed, this, [this](QObject* gone) {
    if (const int slot = SlotOf(gone); slot >= 0) {
      entries_[static_cast<std::size_t>(slot)] = {};
      document_.tree().CloseWindow(slot);
    }
  });
  Place(*sub);
  sub->show();
  Bring(entries_[static_cast<std::size_t>(opening.slot)]);
}

void PropertyWindows::HighlightNode(NodeId node) {
  if (!document_.tree().Contains(node)) return;
  document_.MakeCurrent(node);
  Open(node);
}

PropertyWindow* PropertyWindows::WindowInSlot(int slot) const {
  if (slot < 0 || slot >= editor::WindowSlots::kSlotCount) return nullptr;
  return entries_[static_cast<std::size_t>(slot)].window;
}

int PropertyWindows::open_count() const {
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                        [](const Entry& entry) { return entry.key != nullptr; }));
}

void PropertyWindows::ShowAnnotation() {
  if (!annotation_) {
    annotation_ = area_.addSubWindow(new frm_annotation(document_));
    annotation_->setAttribute(Qt::WA_DeleteOnClose);
    Place(*annotation_);
  }
  annotation_->show();
  annotation_->raise();
  area_.setActiveSubWindow(annotation_);
}

bool PropertyWindows::eventFilter(QObject* watched, QEvent* event) {
  // The author closed the window: there is no OK or Cancel, so a close always goes through.
  if (event->type() == QEvent::Close) {
    if (const int slot = SlotOf(watched); slot >= 0) {
      entries_[static_cast<std::size_t>(slot)] = {};
      document_.tree().CloseWindow(slot);
    }
  }
  return QObject::eventFilter(watched, event);
}

// Centred on the client area, and never wider or taller than it while it can be helped.
void PropertyWindows::Place(QMdiSubWindow& sub) const {
  const QSize client = area_.viewport()->size();
  QSize size = sub.sizeHint().expandedTo(QSize(kMinimumWidthTwips, kMinimumHeightTwips) / kTwipsPerPixel);
  if (client.width() > 0 && client.height() > 0)
    size = size.boundedTo(client.expandedTo(sub.minimumSizeHint()));
  sub.resize(size);
  sub.move(std::max(0, (client.width() - size.width()) / 2),
           std::max(0, (client.height() - size.height()) / 2));
}

void PropertyWindows::Bring(const Entry& entry) {
  if (!entry.sub || !entry.window) return;
  QMdiSubWindow* before = area_.activeSubWindow();
  entry.sub->raise();
  area_.setActiveSubWindow(entry.sub);
  entry.window->setFocus();
  // No activation signal comes when the window was already active, or the area is not shown.
  if (before == entry.sub || area_.activeSubWindow() != entry.sub) entry.window->Activate();
}

void PropertyWindows::OnWindowEvent(const editor::WindowEvent& event) {
  if (event.slot < 0 || event.slot >= editor::WindowSlots::kSlotCount) return;
  Entry& entry = entries_[static_cast<std::size_t>(event.slot)];
  switch (event.change) {
    case editor::WindowChange::kClosed:
      Drop(event.slot);
      break;
    case editor::WindowChange::kReindexed:
      if (entry.window) entry.window->SetTag(event.node_index);
      break;
  }
}

void PropertyWindows::Drop(int slot) {
  const Entry entry = entries_[static_cast<std::size_t>(slot)];
  entries_[static_cast<std::size_t>(slot)] = {};
  dropping_ = true;
  if (entry.sub) entry.sub->close();
  dropping_ = false;
}

int PropertyWindows::SlotOf(const QObject* sub) const {
  if (sub == nullptr) return -1;
  for (std::size_t slot = 0; slot < entries_.size(); ++slot) {
    if (entries_[slot].key == sub) return static_cast<int>(slot);
  }
  return -1;
}

}  // namespace vyr::gui

#include "moc_property_windows.cpp"
