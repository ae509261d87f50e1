// The splash window shown while the editor starts: a frameless window cut to the outline of its
// picture, kept on top, draggable, with the start-up sound. Its timer hands over to the main window.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QSoundEffect;
class QSvgRenderer;

// A data file of the editor (the start-up sound): beside the program, then in the data folder
// relative to the program (the build tree and a moved install), then the build's data output, then
// the installed data folder. Empty when none holds it.
QString EditorDataFile(const QString& name);

// Starts playing a wave file without waiting; false (and silence) without a sound device or a
// readable file. Never reports an error to the user.
bool PlayStartupSound(const QString& file, QObject* owner);

class frm_splash : public QWidget {
  Q_OBJECT

 public:
  explicit frm_splash(QWidget* parent = nullptr);
  ~frm_splash() override;

  // The window's outline, 128 points in pixels, in the picture's coordinates.
  static QPolygon Outline();

  // Above all other windows, or back to the normal order; the position and size are kept.
  void OnTop(bool on_top);
  void StopTimers();

 signals:
  // `Timer1` fired: time to create and show the main window.
  void startMainWindow();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QTimer* Timer1_;
  std::unique_ptr<QSvgRenderer> picture_;
  std::optional<QPoint> drag_offset_;  // set while the window follows the mouse by hand
};
