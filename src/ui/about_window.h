// "Vorlink": the program's name, version and contacts.
#pragma once

#include <QWidget>

namespace vorlink {

class AboutWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace vorlink
