#include "editor/shell/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"

using vyr::editor::SettingsFlag;
using vyr::editor::SettingsLimit;
using vyr::gui::FromCodePage;
using vyr::gui::ToCodePage;

namespace {

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(name);
  return control;
}

QComboBox* LimitList(QWidget* parent, const char* name) {
  auto* list = Named(new QComboBox(parent), name);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->lineEdit()->setValidator(new vyr::gui::CodePageValidator(list));
  return list;
}

QLineEdit* PathBox(QWidget* parent, const char* name) {
  auto* box = Named(new QLineEdit(parent), name);
  box->setMinimumWidth(260);
  return box;
}

}  // namespace

frm_aq2settings::frm_aq2settings(vyr::editor::SettingsStore& store, vyr::editor::EditorSettings& settings,
                                 vyr::editor::UserInterface& ui, std::function<void()> register_associations,
                                 QWidget* parent)
    : QDialog(parent),
      form_(store, settings),
      settings_(settings),
      ui_(ui),
      register_associations_(std::move(register_associations)) {
  setObjectName("frm_aq2settings");
  setWindowTitle("ActionQuake2 Settings");
  setModal(true);

  auto* Frame1 = Named(new QGroupBox("AQ2/VYR options", this), "Frame1");
  bholelimit_ = LimitList(Frame1, "bholelimit");
  splatlimit_ = LimitList(Frame1, "splatlimit");
  Check1_ = Named(new QCheckBox("Eject shells", Frame1), "Check1");
  Check2_ = Named(new QCheckBox("Breakable glass", Frame1), "Check2");
  Check3_ = Named(new QCheckBox("Enable developer mode", Frame1), "Check3");
  mcepath_ = PathBox(Frame1, "mcepath");
  auto* options = new QFormLayout(Frame1);
  options->addRow("Bullethole limit:", bholelimit_);
  options->addRow("Splat limit:", splatlimit_);
  options->addRow(Check1_);
  options->addRow(Check2_);
  options->addRow(Check3_);
  options->addRow("Default .mce path", mcepath_);

  auto* Frame2 = Named(new QGroupBox("Action Quake2 location", this), "Frame2");
  txt_aq2path_ = PathBox(Frame2, "txt_aq2path");
  auto* Command1 = Named(new QPushButton("&Browse", Frame2), "Command1");
  auto* location = new QVBoxLayout(Frame2);
  location->addWidget(new QLabel("Locate your Action Quake2 folder", Frame2));
  auto* location_row = new QHBoxLayout;
  location_row->addWidget(txt_aq2path_, 1);
  location_row->addWidget(Command1);
  location->addLayout(location_row);

  auto* Frame3 = Named(new QGroupBox("File Associations", this), "Frame3");
  auto* Command2 =
      Named(new QPushButton("&Register .vyr and .cme files as Mission Scripts", Frame3), "Command2");
  auto* associations = new QVBoxLayout(Frame3);
  associations->addWidget(Command2);

  auto* autosave_group = Named(new QGroupBox("Recovery copies", this), "autosave_group");
  autosave_interval_ = Named(new QSpinBox(autosave_group), "autosave_interval");
  autosave_interval_->setRange(0, vyr::editor::kMaxAutosaveSeconds);
  autosave_interval_->setSuffix(" s");
  autosave_interval_->setSpecialValueText("Never");
  autosave_interval_->setToolTip(
      "How often unsaved work is copied for recovery after a crash; 0 turns it off");
  auto* autosave = new QFormLayout(autosave_group);
  autosave->addRow("Copy unsaved work every:", autosave_interval_);

  auto* Command3 = Named(new QPushButton("&Return", this), "Command3");
  // Enter in a box closes the window (every value is already kept) rather than opening a dialog.
  Command1->setAutoDefault(false);
  Command2->setAutoDefault(false);
  Command3->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command3);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(Frame2);
  layout->addWidget(Frame3);
  layout->addWidget(autosave_group);
  layout->addStretch(1);
  layout->addLayout(buttons);

  Load();

  connect(bholelimit_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { form_.LimitChanged(SettingsLimit::kBulletHoles, ToCodePage(text)); });
  connect(splatlimit_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { form_.LimitChanged(SettingsLimit::kSplats, ToCodePage(text)); });
  connect(Check1_, &QCheckBox::clicked, this,
          [this](bool checked) { form_.FlagClicked(SettingsFlag::kEjectShells, checked); });
  connect(Check2_, &QCheckBox::clicked, this,
          [this](bool checked) { form_.FlagClicked(SettingsFlag::kBreakableGlass, checked); });
  connect(Check3_, &QCheckBox::clicked, this,
          [this](bool checked) { form_.FlagClicked(SettingsFlag::kDeveloper, checked); });
  connect(mcepath_, &QLineEdit::textChanged, this,
          [this](const QString& text) { form_.ProjectPathChanged(vyr::gui::ToPath(text)); });
  connect(autosave_interval_, &QSpinBox::valueChanged, this,
          [this](int seconds) { form_.AutosaveIntervalChanged(seconds); });
  connect(Command1, &QPushButton::clicked, this, &frm_aq2settings::Browse);
  connect(Command2, &QPushButton::clicked, this, [this] {
    if (register_associations_) register_associations_();
  });
  connect(Command3, &QPushButton::clicked, this, &QDialog::accept);
}

frm_aq2settings::~frm_aq2settings() = default;

void frm_aq2settings::Load() {
  // The game folder box saves even while loading; its handler is connected before the box is filled.
  connect(txt_aq2path_, &QLineEdit::textChanged, this,
          [this](const QString& text) { form_.GamePathChanged(vyr::gui::ToPath(text)); });
  form_.BeginLoading();
  for (const char* entry : vyr::editor::kLimitEntries) {
    bholelimit_->addItem(entry);
    splatlimit_->addItem(entry);
  }
  mcepath_->setText(vyr::gui::FromPath(settings_.projectpath));
  txt_aq2path_->setText(vyr::gui::FromPath(settings_.aq2_path));
  bholelimit_->setCurrentText(FromCodePage(settings_.bholelimit));
  splatlimit_->setCurrentText(FromCodePage(settings_.splatlimit));
  Check1_->setChecked(settings_.eject_shells);
  Check2_->setChecked(settings_.breakable_glass);
  Check3_->setChecked(settings_.developer);
  autosave_interval_->setValue(settings_.autosave_seconds);
  form_.EndLoading();
}

void frm_aq2settings::Browse() {
  if (auto folder = form_.Browse(ui_)) txt_aq2path_->setText(vyr::gui::FromPath(*folder));
}

// Compiled here rather than in the library's shared moc unit, which only links once every header of the
// folder has its implementation.
#include "moc_settings_window.cpp"
