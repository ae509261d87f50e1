#include "editor/shell/find_window.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

using editor::RecordKind;

// The matches as rows; the texts are read from the document when shown, so a list of every actor of a
// full mission costs a few bytes a row and only the visible rows are ever spelt out.
class FindResultsModel : public QAbstractTableModel {
 public:
  FindResultsModel(const editor::MissionDocument& document, QObject* parent)
      : QAbstractTableModel(parent), document_(document) {}

  void Reset(std::vector<editor::RecordMatch> matches) {
    beginResetModel();
    matches_ = std::move(matches);
    endResetModel();
  }
  const editor::RecordMatch* At(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= static_cast<int>(matches_.size())) return nullptr;
    return &matches_[static_cast<std::size_t>(index.row())];
  }
  std::size_t size() const { return matches_.size(); }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(matches_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }

  QVariant data(const QModelIndex& index, int role) const override {
    const editor::RecordMatch* match = At(index);
    if (match == nullptr || role != Qt::DisplayRole) return {};
    switch (index.column()) {
      case 0:
        return FromCodePage(editor::KindName(match->record.kind));
      case 1:
        return FromCodePage(editor::MatchPath(document_, *match));
      default:
        return FromCodePage(editor::MatchPlace(document_, *match));
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"Kind", "Path", "Found in"};
    return section >= 0 && section < 3 ? QString(kHeaders[section]) : QVariant();
  }

 private:
  const editor::MissionDocument& document_;
  std::vector<editor::RecordMatch> matches_;
};

namespace {

// The kind filter's entries: a caption and the kinds it searches.
struct KindChoice {
  const char* caption;
  editor::KindMask kinds;
};
const KindChoice kKindChoices[] = {
    {"All kinds", editor::kAllKinds},
    {"Locations", editor::KindBit(RecordKind::kLocation)},
    {"Areas", editor::KindBit(RecordKind::kArea)},
    {"Forces", editor::KindBit(RecordKind::kForce)},
    {"Teams and plans", editor::KindBit(RecordKind::kTeam)},
    {"Actors", editor::KindBit(RecordKind::kActor)},
    {"Outcomes", editor::KindBit(RecordKind::kOutcome)},
};

constexpr int kEditRefreshMilliseconds = 250;

QString Counted(std::size_t count, const char* one, const char* many) {
  return QLocale(QLocale::English).toString(static_cast<qulonglong>(count)) + " " + (count == 1 ? one : many);
}

}  // namespace

FindWindow::FindWindow(editor::MissionDocument& document, std::function<void(editor::NodeId, int)> open,
                       QWidget* parent)
    : QDockWidget("Find", parent), document_(document), open_(std::move(open)) {
  setObjectName("find_dock");
  auto* contents = new QWidget(this);
  box_ = new QLineEdit(contents);
  box_->setObjectName("find_box");
  box_->setPlaceholderText("Text to find");
  box_->setToolTip(
      "Finds the text in names, descriptions, messages, triggers and plan lines, ignoring case and accents");
  box_->setClearButtonEnabled(true);
  box_->setValidator(new CodePageValidator(box_));
  box_->installEventFilter(this);
  kind_ = new QComboBox(contents);
  kind_->setObjectName("find_kind");
  for (const KindChoice& choice : kKindChoices)
    kind_->addItem(choice.caption);
  count_ = new QLabel(contents);
  count_->setObjectName("find_count");
  model_ = new FindResultsModel(document_, this);
  results_ = new QTreeView(contents);
  results_->setObjectName("find_results");
  results_->setModel(model_);
  results_->setRootIsDecorated(false);
  results_->setUniformRowHeights(true);
  results_->setAllColumnsShowFocus(true);
  results_->setColumnWidth(0, 64);
  results_->setColumnWidth(1, 120);
  auto* row = new QHBoxLayout;
  row->addWidget(box_, 1);
  row->addWidget(kind_);
  auto* layout = new QVBoxLayout(contents);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(row);
  layout->addWidget(count_);
  layout->addWidget(results_);
  setWidget(contents);

  // Any new search text ends a list of usages (ShowUsages empties the box without a signal).
  connect(box_, &QLineEdit::textChanged, this, [this] {
    usages_of_ = editor::kNoNode;
    Refresh();
  });
  connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
    usages_of_ = editor::kNoNode;
    Refresh();
  });
  connect(box_, &QLineEdit::returnPressed, this, [this] {
    Choose(results_->currentIndex().isValid() ? results_->currentIndex() : model_->index(0, 0));
  });
  connect(results_, &QTreeView::activated, this, &FindWindow::Choose);
  // The list follows additions and deletions at once, since its rows hold record indices; a field edit
  // moves no record, so the list catches up after a pause in the typing (a search over a full mission
  // costs milliseconds a key). A hidden dock catches up when it is shown.
  edit_refresh_ = new QTimer(this);
  edit_refresh_->setObjectName("find_refresh");
  edit_refresh_->setSingleShot(true);
  edit_refresh_->setInterval(kEditRefreshMilliseconds);
  connect(edit_refresh_, &QTimer::timeout, this, &FindWindow::Refresh);
  changes_ = document_.changes().Connect([this](editor::DocumentChange) {
    if (isVisible()) {
      Refresh();
    } else {
      stale_ = true;
    }
  });
  edits_ = document_.edits().Connect([this](const editor::RecordEdit&) {
    if (isVisible()) {
      edit_refresh_->start();
    } else {
      stale_ = true;
    }
  });
  Refresh();
}

FindWindow::~FindWindow() = default;

void FindWindow::Start() {
  show();
  raise();
  if (stale_) Refresh();
  box_->setFocus();
  box_->selectAll();
}

void FindWindow::ShowUsages(editor::NodeId node) {
  usages_of_ = node;
  box_->blockSignals(true);
  box_->clear();
  box_->blockSignals(false);
  show();
  raise();
  Refresh();
  results_->setFocus();
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
  // Down from the box walks into the list.
  if (watched == box_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && model_->rowCount() > 0) {
    results_->setFocus();
    results_->setCurrentIndex(model_->index(0, 0));
    return true;
  }
  return QDockWidget::eventFilter(watched, event);
}

void FindWindow::Refresh() {
  stale_ = false;
  edit_refresh_->stop();
  const editor::TreeNode* usages_node = document_.tree().Find(usages_of_);
  if (usages_node != nullptr) {
    model_->Reset(editor::FindUsages(document_, usages_of_));
    count_->setText("Used by " + Counted(model_->size(), "record", "records") + ": " +
                    FromCodePage(usages_node->text));
    return;
  }
  usages_of_ = editor::kNoNode;
  const int choice = std::max(0, kind_->currentIndex());
  model_->Reset(editor::FindRecords(document_, ToCodePage(box_->text()), kKindChoices[choice].kinds));
  count_->setText(box_->text().trimmed().isEmpty() ? QString() : Counted(model_->size(), "match", "matches"));
}

void FindWindow::Choose(const QModelIndex& index) {
  const editor::RecordMatch* match = model_->At(index);
  if (match == nullptr || !open_ || !document_.tree().Contains(match->node)) return;
  const editor::RecordMatch chosen = *match;  // opening may refresh the list under it
  open_(chosen.node, chosen.field == editor::Field::kPlan ? chosen.line : 0);
}

}  // namespace vyr::gui
