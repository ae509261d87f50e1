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

#include "editor/gui/common/shell_resources.h"

namespace {

// The outline of splash.svg's plate, clockwise from the tip of the emblem.
constexpr std::array<QPoint, 128> kOutline = {{
    {229, 5},   {232, 7},   {235, 9},   {238, 11},  {242, 14},  {245, 16},  {249, 19},  {253, 22},   // 0
    {257, 25},  {297, 26},  {336, 28},  {375, 30},  {412, 32},  {448, 35},  {483, 38},  {517, 41},   // 8
    {550, 44},  {554, 45},  {557, 46},  {560, 47},  {562, 48},  {565, 50},  {566, 52},  {567, 54},   // 16
    {568, 56},  {571, 64},  {572, 73},  {572, 81},  {570, 88},  {566, 96},  {561, 104}, {554, 111},  // 24
    {545, 118}, {510, 123}, {474, 128}, {440, 132}, {405, 136}, {371, 139}, {338, 142}, {304, 145},  // 32
    {272, 147}, {239, 148}, {207, 150}, {175, 151}, {143, 151}, {112, 151}, {81, 151},  {51, 150},   // 40
    {21, 149},  {17, 148},  {14, 148},  {11, 146},  {8, 144},   {6, 142},   {5, 138},   {4, 135},    // 48
    {4, 131},   {3, 121},   {2, 111},   {2, 102},   {3, 92},    {4, 82},    {6, 72},    {8, 62},     // 56
    {10, 52},   {11, 50},   {12, 47},   {13, 45},   {14, 43},   {16, 41},   {18, 39},   {20, 37},    // 64
    {22, 35},   {25, 34},   {28, 32},   {31, 30},   {34, 29},   {37, 28},   {41, 26},   {45, 25},    // 72
    {49, 24},   {54, 23},   {58, 22},   {63, 21},   {68, 20},   {74, 19},   {79, 18},   {85, 18},    // 80
    {91, 17},   {97, 16},   {103, 16},  {110, 16},  {117, 15},  {124, 15},  {132, 15},  {139, 15},   // 88
    {147, 15},  {151, 16},  {154, 16},  {158, 17},  {161, 18},  {164, 18},  {168, 19},  {171, 19},   // 96
    {174, 19},  {177, 20},  {181, 20},  {184, 20},  {187, 20},  {190, 21},  {193, 21},  {196, 21},   // 104
    {199, 21},  {201, 21},  {204, 21},  {207, 20},  {210, 20},  {212, 20},  {215, 20},  {217, 19},   // 112
    {220, 19},  {221, 17},  {223, 16},  {224, 14},  {225, 12},  {226, 10},  {227, 8},   {228, 7},    // 120
}};

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
  return QPolygon(QList<QPoint>(kOutline.begin(), kOutline.end()));
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
