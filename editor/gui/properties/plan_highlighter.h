// Colours for a plan or condition box in the script language's terms (keywords, names, numbers,
// strings, comments) and a wavy underline, with the message as tooltip, on lines that have a problem.
// Only the display changes: the box's text stays byte for byte what it was.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <map>

class QPlainTextEdit;

namespace vyr::gui {

class PlanHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit PlanHighlighter(QPlainTextEdit& box);

  // The problems of the text by 1-based line; several on one line are joined for the tooltip.
  void SetProblems(std::map<int, QString> problems);
  const std::map<int, QString>& problems() const { return problems_; }

 protected:
  void highlightBlock(const QString& text) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseColours();

  QPlainTextEdit& box_;
  QTextCharFormat keyword_, name_, number_, string_, comment_;
  QColor wave_;  // the underline of a line with a problem
  std::map<int, QString> problems_;
};

}  // namespace vyr::gui
