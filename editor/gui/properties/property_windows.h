// The host of the property windows: from a node to its window (through the core's 51-slot registry and
// a table of window factories by node kind), placing, activating and closing the windows in the main
// window's client area, and following the core when it closes or re-indexes a window.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <map>

#include "editor/document/mission_document.h"
#include "editor/document/user_interface.h"
#include "editor/document/window_slots.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class frm_annotation;

namespace vyr::gui {

class PropertyWindow;

class PropertyWindows : public QObject {
  Q_OBJECT

 public:
  // Makes the window of one node (not yet loaded); nullptr opens nothing.
  using Factory = std::function<PropertyWindow*(editor::MissionDocument&, editor::NodeId)>;

  // `plan_menu` is the main window's `mn_plan`, popped up by the team window; may be null.
  PropertyWindows(editor::MissionDocument& document, QMdiArea& area, editor::UserInterface& ui,
                  QMenu* plan_menu, QObject* parent = nullptr);
  ~PropertyWindows() override;

  // The window of nodes of this kind; the mission, location, area, force, team and actor windows are
  // registered from the start.
  void Register(editor::NodeImage image, Factory factory);

  // A left click or Enter on a node: opens its window, or brings the open one forward. Category nodes
  // and kinds without a window open nothing; when all 51 slots are taken the author is told why.
  void Open(editor::NodeId node);
  // Selects the node and opens its window as a click would.
  void HighlightNode(editor::NodeId node);

  // The window open in `slot`, or nullptr.
  PropertyWindow* WindowInSlot(int slot) const;
  int open_count() const;

  // The mission annotation window, made on first use and kept.
  void ShowAnnotation();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QPointer<QMdiSubWindow> sub;
    QPointer<PropertyWindow> window;
    const QObject* key = nullptr;  // the sub-window, still comparable while it is being destroyed
  };

  void Place(QMdiSubWindow& sub) const;
  void Bring(const Entry& entry);
  void OnWindowEvent(const editor::WindowEvent& event);
  // Forgets the window in `slot` and closes its sub-window without telling the core.
  void Drop(int slot);
  int SlotOf(const QObject* sub) const;

  editor::MissionDocument& document_;
  QMdiArea& area_;
  editor::UserInterface& ui_;
  QPointer<QMenu> plan_menu_;
  std::map<editor::NodeImage, Factory> factories_;
  std::array<Entry, editor::WindowSlots::kSlotCount> entries_{};
  QPointer<QMdiSubWindow> annotation_;
  bool dropping_ = false;  // the core is closing windows: no other window activates meanwhile
  editor::Notifier<editor::WindowEvent>::Connection window_events_;
};

}  // namespace vyr::gui
