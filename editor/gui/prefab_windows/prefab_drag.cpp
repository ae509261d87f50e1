#include "editor/gui/prefab_windows/prefab_drag.h"

#include <QList>
#include <QMimeData>

namespace vyr::gui {

QMimeData* MakePrefabMimeData(const PrefabDrag& drag) {
  auto* data = new QMimeData;
  data->setData(kPrefabMimeType, QByteArray(drag.kind == PrefabDrag::Kind::kActor ? "actor " : "team ") +
                                     QByteArray::number(drag.group) + ' ' + QByteArray::number(drag.index));
  return data;
}

// "actor GROUP INDEX" or "team GROUP INDEX"; anything else is not a prefab. The prefab library checks
// that the group and index name a prefab it holds.
std::optional<PrefabDrag> ReadPrefabMimeData(const QMimeData* data) {
  if (data == nullptr || !data->hasFormat(kPrefabMimeType)) return std::nullopt;
  const QList<QByteArray> fields = data->data(kPrefabMimeType).split(' ');
  if (fields.size() != 3) return std::nullopt;
  PrefabDrag drag;
  if (fields[0] == "actor") {
    drag.kind = PrefabDrag::Kind::kActor;
  } else if (fields[0] == "team") {
    drag.kind = PrefabDrag::Kind::kTeam;
  } else {
    return std::nullopt;
  }
  bool group_ok = false;
  bool index_ok = false;
  drag.group = fields[1].toInt(&group_ok);
  drag.index = fields[2].toInt(&index_ok);
  if (!group_ok || !index_ok || drag.group < 0 || drag.index < 0) return std::nullopt;
  return drag;
}

}  // namespace vyr::gui
