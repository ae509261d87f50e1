#include "editor/shell/about_window.h"

#include <QDesktopServices>
#include <QFont>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/gui/common/shell_resources.h"

const std::vector<AboutLink>& AboutLinks() {
  static const std::vector<AboutLink> links = {
      {"link_game", "Action Quake 2", QUrl("https://www.example.org/action-quake-2")},
      {"link_maker", "VYR Mission Editor home page", QUrl("https://www.example.org/vyr-mission-editor")},
      {"link_bots", "The VYR bot system", QUrl("https://www.example.org/vyr-bots")},
      {"link_community", "The VYR bot community", QUrl("https://www.example.org/vyr-community")},
  };
  return links;
}

frm_about::frm_about(QWidget* parent) : QDialog(parent) {
  vyr::gui::InitShellResources();
  setObjectName("frm_about");
  setWindowTitle("About VYR Mission Editor");

  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/vyr-mission-editor.svg").pixmap(QSize(64, 64), devicePixelRatio()));
  icon->setAlignment(Qt::AlignTop);

  auto* name = new QLabel("VYR Mission Editor", this);
  name->setObjectName("program_name");
  QFont name_font = name->font();
  name_font.setPointSizeF(name_font.pointSizeF() * 1.6);
  name_font.setBold(true);
  name->setFont(name_font);
  auto* version = new QLabel(QStringLiteral("Version %1").arg(VYR_VERSION), this);
  version->setObjectName("program_version");
  auto* blurb = new QLabel("Builds bot missions for Action Quake 2 and the VYR bot system.", this);
  blurb->setWordWrap(true);

  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addWidget(version);
  text->addWidget(blurb);
  text->addSpacing(8);
  for (const AboutLink& link : AboutLinks()) {
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(link.address.toString(), link.caption.toHtmlEscaped()),
        this);
    label->setObjectName(link.object_name);
    label->setToolTip(link.address.toString());
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(label, &QLabel::linkActivated, this,
            [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); });
    text->addWidget(label);
  }
  text->addStretch(1);

  auto* Command1 = new QPushButton("OK", this);
  Command1->setObjectName("Command1");
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
}

// Compiled here rather than in the library's shared moc unit, which only links once every header of the
// folder has its implementation.
#include "moc_about_window.cpp"
