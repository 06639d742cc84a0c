#include "ui/about_window.h"

#include <QGroupBox>
#include <QLabel>

#include "base/package.h"
#include "ui/artwork.h"
#include "ui/frame_box.h"
#include "ui/window_look.h"
#include "ui/twips.h"

namespace vorlink {
namespace {

const QColor kLinkBlue(0x00, 0x00, 0xFF);

// The four fields that name who made the program and where to reach them.
constexpr const char* kAuthorLine = "by the VORLINK developers";
constexpr const char* kCallSign = "N0CALL";
constexpr const char* kHomepage = "vorlink.example.org";
constexpr const char* kHomepageAddress = "https://vorlink.example.org";
constexpr const char* kEmail = "vorlink@example.org";

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(at);
  return label;
}

// Blue and underlined; plain text, so a click opens nothing.
QLabel* MakeLinkLook(QWidget* parent, const char* name, const QString& text, const QRect& at) {
  QLabel* label = MakeLabel(parent, name, text, at);
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLinkBlue);
  label->setPalette(palette);
  return label;
}

}  // namespace

std::string VersionLine() {
  std::string line = "Version ";
  line += ProgramVersion();
  line += "    (";
  line += kReleaseDate;
  line += ")";
  return line;
}

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("Form3");
  setWindowTitle("Vorlink");
  setWindowIcon(ProgramIcon());
  setFixedSize(Twips(5085), Twips(2850));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, WindowGrey());
  setPalette(palette);
  setAutoFillBackground(true);
  setFont(SansSerifFont(8.25, false));

  QLabel* title =
      MakeLabel(this, "Label1", "VORLINK Decoder and Terminal", Twips(240, 120, 4935, 375));
  title->setFont(SansSerifFont(12, true));

  MakeLabel(this, "Label3", kAuthorLine, Twips(240, 600, 3255, 255));
  QLabel* callSign = MakeLabel(this, "Label8", kCallSign, Twips(240, 960, 735, 255));
  callSign->setFont(SansSerifFont(8.25, true));
  QPalette black = callSign->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  callSign->setPalette(black);

  auto* versionFrame = new FrameBox(this);
  versionFrame->setObjectName("Frame1");
  versionFrame->setGeometry(Twips(240, 1320, 3135, 615));
  QLabel* versionLabel = MakeLabel(versionFrame, "Label2", QString(), Twips(120, 240, 2895, 255));
  versionLabel->setAlignment(Qt::AlignCenter);
  versionLabel->setText(ToQString(VersionLine()));

  QLabel* logo = MakeLabel(this, "Picture1", QString(), Twips(3480, 1080, 1530, 1530));
  logo->setPixmap(LogoPixmap());

  MakeLabel(this, "Label6", "Homepage:", Twips(240, 2160, 855, 255));
  QLabel* homepage = MakeLinkLook(this, "Label4", kHomepage, Twips(1200, 2160, 1815, 255));
  homepage->setToolTip(kHomepageAddress);
  MakeLabel(this, "Label7", "e-mail:", Twips(240, 2520, 615, 255));
  MakeLinkLook(this, "Label5", kEmail, Twips(1200, 2520, 1815, 255));
}

}  // namespace vorlink
