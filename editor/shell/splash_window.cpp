#include "editor/shell/splash_window.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QSoundEffect>
#include <QSvgRenderer>
#include <QUrl>
#include <QWindow>
#include <array>

#include "editor/shell/shell_resources.h"

namespace {

// The outline of splash.svg's plate, clockwise from the tip of the emblem.
constexpr std::array<int, 128> kOutlineX = {
    229, 232, 235, 238, 242, 245, 249, 253, 257, 297, 336, 375, 412, 448, 483, 517, 550, 554, 557,
    560, 562, 565, 566, 567, 568, 571, 572, 572, 570, 566, 561, 554, 545, 510, 474, 440, 405, 371,
    338, 304, 272, 239, 207, 175, 143, 112, 81,  51,  21,  17,  14,  11,  8,   6,   5,   4,   4,
    3,   2,   2,   3,   4,   6,   8,   10,  11,  12,  13,  14,  16,  18,  20,  22,  25,  28,  31,
    34,  37,  41,  45,  49,  54,  58,  63,  68,  74,  79,  85,  91,  97,  103, 110, 117, 124, 132,
    139, 147, 151, 154, 158, 161, 164, 168, 171, 174, 177, 181, 184, 187, 190, 193, 196, 199, 201,
    204, 207, 210, 212, 215, 217, 220, 221, 223, 224, 225, 226, 227, 228};
constexpr std::array<int, 128> kOutlineY = {
    5,   7,   9,   11,  14,  16,  19,  22,  25,  26,  28,  30,  32,  35,  38,  41,  44,  45,  46,
    47,  48,  50,  52,  54,  56,  64,  73,  81,  88,  96,  104, 111, 118, 123, 128, 132, 136, 139,
    142, 145, 147, 148, 150, 151, 151, 151, 151, 150, 149, 148, 148, 146, 144, 142, 138, 135, 131,
    121, 111, 102, 92,  82,  72,  62,  52,  50,  47,  45,  43,  41,  39,  37,  35,  34,  32,  30,
    29,  28,  26,  25,  24,  23,  22,  21,  20,  19,  18,  18,  17,  16,  16,  16,  15,  15,  15,
    15,  15,  16,  16,  17,  18,  18,  19,  19,  19,  20,  20,  20,  20,  21,  21,  21,  21,  21,
    21,  20,  20,  20,  20,  19,  19,  17,  16,  14,  12,  10,  8,   7};

constexpr QSize kSplashSize(575, 155);

}  // namespace

QString EditorDataFile(const QString& name) {
  const QString program_folder = QCoreApplication::applicationDirPath();
  const QString candidates[] = {
      program_folder + "/" + name,
      program_folder + "/" VYR_RELATIVE_DATADIR "/" + name,
      QStringLiteral(VYR_BUILD_DATADIR "/") + name,
      QStringLiteral(VYR_INSTALL_DATADIR "/") + name,
  };
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  }
  return {};
}

bool PlayStartupSound(const QString& file, QObject* owner) {
  if (file.isEmpty() || QMediaDevices::defaultAudioOutput().isNull()) return false;
  auto* effect = new QSoundEffect(owner);
  effect->setSource(QUrl::fromLocalFile(file));
  // A bad file ends in the Error status; it stays silent and is dropped with its owner.
  effect->play();
  return true;
}

frm_splash::frm_splash(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::SplashScreen),
      Timer1_(new QTimer(this)),
      picture_((vyr::gui::InitShellResources(),
                std::make_unique<QSvgRenderer>(QStringLiteral(":/splash/splash.svg")))) {
  setObjectName("frm_splash");
  setWindowTitle("VYR Mission Editor");
  setFixedSize(kSplashSize);
  setMask(QRegion(Outline(), Qt::OddEvenFill));
  OnTop(true);
  PlayStartupSound(EditorDataFile("actionsnd.wav"), this);

  Timer1_->setObjectName("Timer1");
  Timer1_->setSingleShot(true);
  Timer1_->setInterval(1);
  connect(Timer1_, &QTimer::timeout, this, &frm_splash::startMainWindow);
  Timer1_->start();
}

frm_splash::~frm_splash() = default;

QPolygon frm_splash::Outline() {
  QPolygon outline(static_cast<int>(kOutlineX.size()));
  for (std::size_t i = 0; i < kOutlineX.size(); ++i)
    outline.setPoint(static_cast<int>(i), kOutlineX[i], kOutlineY[i]);
  return outline;
}

void frm_splash::OnTop(bool on_top) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on_top) return;
  const bool was_visible = isVisible();
  const QRect geometry_before = geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, on_top);
  // Changing the flags recreates the native window, which hides it.
  if (was_visible) {
    setGeometry(geometry_before);
    show();
  }
}

void frm_splash::StopTimers() {
  Timer1_->stop();
}

void frm_splash::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  picture_->render(&painter, QRectF(QPointF(0, 0), QSizeF(kSplashSize)));
}

void frm_splash::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The window manager moves the window as if its caption were dragged; by hand where it cannot.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void frm_splash::mouseMoveEvent(QMouseEvent* event) {
  if (drag_offset_) move(event->globalPosition().toPoint() - *drag_offset_);
}

void frm_splash::mouseReleaseEvent(QMouseEvent*) {
  drag_offset_.reset();
}

// Compiled here rather than in the library's shared moc unit, which only links once every header of the
// folder has its implementation.
#include "moc_splash_window.cpp"
