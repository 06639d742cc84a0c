#include "ui/object_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "aprs/beacon_text.h"
#include "ui/symbol_choice.h"

namespace vorlink {

ObjectDialog::ObjectDialog(GeoPoint at, QWidget* parent) : QDialog(parent), at_(at) {
  setObjectName("ObjectDialog");
  setWindowTitle("Place object");
  name_ = new QLineEdit;
  name_->setObjectName("ObjectName");
  name_->setMaxLength(static_cast<int>(kMaxObjectName));
  symbol_ = new QComboBox;
  symbol_->setObjectName("ObjectSymbol");
  FillSymbolChoice(*symbol_, AprsSymbol{'/', 'E'});
  comment_ = new QLineEdit;
  comment_->setObjectName("ObjectComment");
  comment_->setMaxLength(static_cast<int>(kMaxBeaconComment));
  problem_ = new QLabel;
  problem_->setObjectName("ObjectProblem");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* form = new QFormLayout(this);
  form->addRow("Name", name_);
  form->addRow("Symbol", symbol_);
  form->addRow("Comment", comment_);
  form->addRow(problem_);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ObjectDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<OwnObject> ObjectDialog::Chosen() const {
  const auto name = ObjectName(name_->text().toStdString());
  if (!name) return std::nullopt;
  return OwnObject{*name, at_, ChosenSymbol(*symbol_), BeaconComment(comment_->text().toStdString())};
}

void ObjectDialog::Accept() {
  const auto object = Chosen();
  if (!object) {
    problem_->setText("A name is 1 to 9 characters");
    return;
  }
  emit ObjectChosen(*object);
  accept();
}

}  // namespace vorlink
