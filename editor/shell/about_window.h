// The about window: the program's name and version and four web pages opened in the desktop's browser.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>
#include <vector>

struct AboutLink {
  QString object_name;
  QString caption;
  QUrl address;
};

// The four pages, in the order the window lists them.
const std::vector<AboutLink>& AboutLinks();

class frm_about : public QDialog {
  Q_OBJECT

 public:
  explicit frm_about(QWidget* parent = nullptr);
};
