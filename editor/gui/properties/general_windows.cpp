#include "editor/gui/properties/general_windows.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

using editor::Field;

namespace {

QListWidget* MakeList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  return list;
}

void Fill(QListWidget& list, std::initializer_list<const char*> entries) {
  list.clear();
  for (const char* entry : entries)
    list.addItem(entry);
}

// Selects, for each name of an item list in order, the first entry equal to it; names without an entry
// are skipped. A last name without its final "?" is taken as a name as well.
void SelectNames(QListWidget& list, const std::string& names) {
  list.clearSelection();
  const QStringList parts = FromCodePage(names).split(QLatin1Char('?'), Qt::SkipEmptyParts);
  for (const QString& name : parts) {
    for (int row = 0; row < list.count(); ++row) {
      if (list.item(row)->text() == name) {
        list.item(row)->setSelected(true);
        break;
      }
    }
  }
}

// The item list of the selected entries from the top: each entry's text followed by "?".
std::string SelectedNames(const QListWidget& list) {
  QString names;
  for (int row = 0; row < list.count(); ++row) {
    if (list.item(row)->isSelected()) names += list.item(row)->text() + QLatin1Char('?');
  }
  return ToCodePage(names);
}

// Selects the entries of `names` unless they are what is selected already.
void ShowSelection(QListWidget& list, const std::string& names) {
  if (SelectedNames(list) != names) SelectNames(list, names);
}

// The window's frame: a titled box holding a form, the hint line below it.
QFormLayout* Framed(PropertyWindow& window, QLabel* hint, const QString& title) {
  auto* frame = new QGroupBox(title, &window);
  auto* form = new QFormLayout(frame);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(frame, 1);
  layout->addWidget(hint);
  return form;
}

}  // namespace

// --- mission ---

frm_vyr_props::frm_vyr_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_vyr_props");
  tab_vyr = new QTabWidget(this);
  tab_vyr->setObjectName("tab_vyr");
  auto* page = new QWidget(tab_vyr);
  auto* form = new QFormLayout(page);
  tab_vyr->addTab(page, "General");
  AddTextBox(*form, "vyr_missionname", "Mission name", Field::kMissionName);
  AddTextBox(*form, "vyr_author", "Author", Field::kAuthor);
  AddTextBox(*form, "vyr_mapname", "Map file name", Field::kMapName);
  AddTextBox(*form, "vyr_missiondescription", "Mission description", Field::kMissionDescription);
  list_map_style = MakeList(page, "list_map_style");
  form->addRow("Style", list_map_style);
  Command1 = new QPushButton("&Edit map annotation", page);
  Command1->setObjectName("Command1");
  form->addRow(QString(), Command1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tab_vyr, 1);
  layout->addWidget(hint());

  connect(list_map_style, &QListWidget::itemSelectionChanged, this, [this] {
    if (!loading_) Write(Field::kMapStyles, SelectedNames(*list_map_style));
  });
  connect(Command1, &QPushButton::clicked, this, &frm_vyr_props::annotationRequested);
}

void frm_vyr_props::Load() {
  setWindowTitle("Mission properties");
  loading_ = true;
  Fill(*list_map_style, {"none", "urban", "dark", "open", "indoor"});
  loading_ = false;
  LoadBoxes();
}

void frm_vyr_props::Activate() {
  PropertyWindow::Activate();
  SelectStyles();
}

void frm_vyr_props::Refresh() {
  RefreshBoxes();
  loading_ = true;
  ShowSelection(*list_map_style, TextField(Field::kMapStyles));
  loading_ = false;
}

void frm_vyr_props::SelectStyles() {
  loading_ = true;
  SelectNames(*list_map_style, TextField(Field::kMapStyles));
  loading_ = false;
}

// --- location ---

frm_loc_props::frm_loc_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_loc_props");
  QFormLayout* form = Framed(*this, hint(), "Properties");
  loc_name = AddNameBox(*form, "loc_name", "Location name", Field::kLocName, "Location - ");
  AddTextBox(*form, "loc_desc", "Description", Field::kLocDesc);
  AddNumberBox(*form, "loc_x", "X", Field::kLocX);
  AddNumberBox(*form, "loc_y", "Y", Field::kLocY);
  AddNumberBox(*form, "loc_z", "Z", Field::kLocZ);
}

void frm_loc_props::Load() {
  LoadBoxes();
  setWindowTitle("Location - " + loc_name->text());
}

// --- area ---

frm_area_props::frm_area_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_area_props");
  QFormLayout* form = Framed(*this, hint(), "Properties");
  area_name = AddNameBox(*form, "area_name", "Area name", Field::kAreaName, "Area - ");
  AddTextBox(*form, "area_desc", "Description", Field::kAreaDesc);
  AddNumberBox(*form, "area_radius", "Radius", Field::kAreaRadius);

  list_area_loc = MakeList(this, "list_area_loc");
  Command1 = new QPushButton("&Go", this);
  Command1->setObjectName("Command1");
  auto* locations = new QHBoxLayout;
  locations->addWidget(list_area_loc, 1);
  locations->addWidget(Command1, 0, Qt::AlignTop);
  form->addRow("Locations", locations);
  list_area_style = MakeList(this, "list_area_style");
  form->addRow("Style", list_area_style);

  connect(list_area_loc, &QListWidget::itemSelectionChanged, this, [this] {
    if (!loading_) Write(Field::kAreaLocations, SelectedNames(*list_area_loc));
  });
  connect(list_area_style, &QListWidget::itemSelectionChanged, this, [this] {
    if (!loading_) Write(Field::kAreaStyle, SelectedNames(*list_area_style));
  });
  connect(Command1, &QPushButton::clicked, this, &frm_area_props::Go);
}

void frm_area_props::Load() {
  LoadBoxes();
  setWindowTitle("Area properties");
}

void frm_area_props::Activate() {
  PropertyWindow::Activate();
  FillLists();
}

void frm_area_props::Refresh() {
  RefreshBoxes();
  loading_ = true;
  const QStringList names = LocationNames();
  QStringList shown;
  for (int row = 0; row < list_area_loc->count(); ++row)
    shown << list_area_loc->item(row)->text();
  if (shown != names) {
    const int focus = list_area_loc->currentRow();
    list_area_loc->clear();
    list_area_loc->addItems(names);
    if (!names.isEmpty())
      list_area_loc->setCurrentRow(std::clamp(focus, 0, static_cast<int>(names.size()) - 1),
                                   QItemSelectionModel::NoUpdate);
  }
  ShowSelection(*list_area_loc, TextField(Field::kAreaLocations));
  if (list_area_style->count() > 0) ShowSelection(*list_area_style, TextField(Field::kAreaStyle));
  loading_ = false;
}

bool frm_area_props::Follows(const editor::RecordEdit& edit) const {
  return edit.field == Field::kLocName;
}

bool frm_area_props::Follows(editor::DocumentChange change) const {
  return change == editor::DocumentChange::kLocations || PropertyWindow::Follows(change);
}

QStringList frm_area_props::LocationNames() const {
  QStringList names;
  for (int i = 0; i < document_.location_count(); ++i)
    names << FromCodePage(document_.location(i).loc_name);
  return names;
}

void frm_area_props::FillLists() {
  loading_ = true;
  list_area_loc->hide();
  list_area_loc->clear();
  Fill(*list_area_style, {"open", "closed", "roof"});
  list_area_loc->addItems(LocationNames());
  if (list_area_loc->count() > 0) list_area_loc->setCurrentRow(0, QItemSelectionModel::NoUpdate);
  for (const auto& [field, list] :
       {std::pair{Field::kAreaStyle, list_area_style}, std::pair{Field::kAreaLocations, list_area_loc}}) {
    const std::string names = TextField(field);
    if (!names.empty() && names.back() != '?') Write(field, names + "?");
    SelectNames(*list, TextField(field));
  }
  list_area_loc->show();
  loading_ = false;
}

void frm_area_props::Go() {
  const QListWidgetItem* focus = list_area_loc->currentItem();
  if (focus == nullptr) return;
  const editor::NodeId found = document_.SearchByName(ToCodePage(focus->text()));
  if (found != editor::kNoNode) emit highlightRequested(found);
}

}  // namespace vyr::gui

#include "moc_general_windows.cpp"
