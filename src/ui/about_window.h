// "Vorlink": the program's name, version and contacts. No buttons, no input;
// the homepage and e-mail look like links but do nothing when clicked.
#pragma once

#include <QWidget>
#include <string>
#include <string_view>

class QLabel;

namespace vorlink {

inline constexpr std::string_view kReleaseDate = "November 28, 2010";

// "Version 8.2.2    (November 28, 2010)", the version being the build's.
std::string VersionLine();

class AboutWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace vorlink
