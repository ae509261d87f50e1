#include "editor/gui/common/qt_settings_store.h"

#include <QSettings>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

namespace {

QString KeyOf(const std::string& section, const std::string& key) {
  return FromPath(section) + u'/' + FromPath(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(editor::kSettingsApplication, editor::kSettingsApplication)) {}

QtSettingsStore::QtSettingsStore(const QString& ini_file)
    : settings_(std::make_unique<QSettings>(ini_file, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<std::string> QtSettingsStore::GetSetting(const std::string& section,
                                                       const std::string& key) const {
  const QVariant value = settings_->value(KeyOf(section, key));
  if (!value.isValid()) return std::nullopt;
  return ToPath(value.toString());
}

void QtSettingsStore::SaveSetting(const std::string& section, const std::string& key,
                                  const std::string& value) {
  settings_->setValue(KeyOf(section, key), FromPath(value));
  settings_->sync();
}

}  // namespace vyr::gui
