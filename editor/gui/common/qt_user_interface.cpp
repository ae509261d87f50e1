#include "editor/gui/common/qt_user_interface.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

QString QtNameFilters(const std::string& filter) {
  const QStringList parts = FromMessage(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(u';', u' ');
    filters << (description.contains(u'(') ? description : description + " (" + patterns + ")");
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
  return filters.join(";;");
}

namespace {

QString StartPath(const editor::FileDialogRequest& request) {
  const QString folder = FromPath(request.directory);
  if (request.file_name.empty()) return folder;
  return QDir(folder).filePath(FromPath(request.file_name));
}

std::optional<std::string> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return ToPath(QDir::toNativeSeparators(path));
}

}  // namespace

std::optional<std::string> QtUserInterface::AskOpenPath(const editor::FileDialogRequest& request) {
  return Chosen(QFileDialog::getOpenFileName(parent_, FromMessage(request.title), StartPath(request),
                                             QtNameFilters(request.filter)));
}

// The filter's extension is the dialog's default suffix, so the overwrite question asks about the file
// that will really be written.
std::optional<std::string> QtUserInterface::AskSavePath(const editor::FileDialogRequest& request) {
  QFileDialog dialog(parent_, FromMessage(request.title), StartPath(request), QtNameFilters(request.filter));
  dialog.setObjectName("save_dialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const std::string extension = editor::FilterExtension(request.filter);
  if (!extension.empty()) dialog.setDefaultSuffix(FromPath(extension.substr(1)));
  // Choosing another type ("SVG drawing (*.svg)") makes its extension the one added.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const QRegularExpressionMatch match = QRegularExpression(R"(\*\.([^\s*?;)]+))").match(filter);
    dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : QString());
  });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return Chosen(dialog.selectedFiles().value(0));
}

namespace {

QMessageBox::Icon QtIcon(editor::MessageIcon icon) {
  QMessageBox::Icon qt_icon = QMessageBox::Information;
  switch (icon) {
    case editor::MessageIcon::kInformation:
      qt_icon = QMessageBox::Information;
      break;
    case editor::MessageIcon::kExclamation:
      qt_icon = QMessageBox::Warning;
      break;
    case editor::MessageIcon::kCritical:
      qt_icon = QMessageBox::Critical;
      break;
    case editor::MessageIcon::kQuestion:
      qt_icon = QMessageBox::Question;
      break;
  }
  return qt_icon;
}

}  // namespace

void QtUserInterface::ShowMessage(const std::string& title, const std::string& text,
                                  editor::MessageIcon icon) {
  QMessageBox box(QtIcon(icon), FromMessage(title), FromMessage(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtUserInterface::ShowMessageWithAction(const std::string& title, const std::string& text,
                                            editor::MessageIcon icon, const std::string& action) {
  QMessageBox box(QtIcon(icon), FromMessage(title), FromMessage(text), QMessageBox::Ok, parent_);
  box.setObjectName("message_with_action");
  QPushButton* extra = box.addButton(FromMessage(action), QMessageBox::ActionRole);
  extra->setObjectName("message_action");
  // OK stays the default and what Escape and the close box press.
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
  return box.clickedButton() == extra;
}

editor::Answer QtUserInterface::AskQuestion(const std::string& title, const std::string& text,
                                            bool with_cancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (with_cancel) buttons |= QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, FromMessage(title), FromMessage(text), buttons, parent_);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return editor::Answer::kYes;
    case QMessageBox::No:
      return editor::Answer::kNo;
    default:
      return with_cancel ? editor::Answer::kCancel : editor::Answer::kNo;
  }
}

std::optional<int> QtUserInterface::AskChoice(const std::string& title, const std::string& text,
                                              const std::vector<std::string>& choices,
                                              const std::string& close_label) {
  QMessageBox box(QMessageBox::Question, FromMessage(title), FromMessage(text), QMessageBox::NoButton,
                  parent_);
  std::vector<QAbstractButton*> buttons;
  for (const std::string& choice : choices)
    buttons.push_back(box.addButton(FromMessage(choice), QMessageBox::AcceptRole));
  QAbstractButton* close = box.addButton(FromMessage(close_label), QMessageBox::RejectRole);
  box.setEscapeButton(close);
  if (!buttons.empty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace vyr::gui
