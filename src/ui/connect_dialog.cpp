#include "ui/connect_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vorlink {
namespace {

constexpr int kVersion22Index = 0;
// CALL-SSID, and eight of them with their separators.
constexpr int kMaxCallLength = 9;
constexpr int kMaxPathLength = 8 * (kMaxCallLength + 1);

}  // namespace

ConnectDialog::ConnectDialog(const std::string& blocker, bool version22, QWidget* parent)
    : QDialog(parent) {
  setObjectName("ConnectDialog");
  setWindowTitle("Connect");
  call_ = new QLineEdit;
  call_->setObjectName("ConnectCall");
  call_->setPlaceholderText("DB0ABC-3");
  call_->setMaxLength(kMaxCallLength);
  path_ = new QLineEdit;
  path_->setObjectName("ConnectPath");
  path_->setPlaceholderText("WIDE1-1,DB0XYZ (up to 8)");
  path_->setMaxLength(kMaxPathLength);
  version_ = new QComboBox;
  version_->setObjectName("ConnectVersion");
  version_->addItems({"2.2 (SABME, falls back to 2.0)", "2.0 (SABM)"});
  version_->setCurrentIndex(version22 ? kVersion22Index : 1);
  auto* blocked = new QLabel(QString::fromStdString(blocker));
  blocked->setObjectName("ConnectBlocked");
  blocked->setWordWrap(true);
  blocked->setVisible(!blocker.empty());
  problem_ = new QLabel;
  problem_->setObjectName("ConnectProblem");
  problem_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setObjectName("ConnectOk");
  ok_->setEnabled(blocker.empty());
  auto* form = new QFormLayout(this);
  form->addRow(blocked);
  form->addRow("Callsign", call_);
  form->addRow("Via", path_);
  form->addRow("Version", version_);
  form->addRow(problem_);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ConnectDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ConnectDialog::ShowProblem(const std::string& problem) {
  problem_->setText(QString::fromStdString(problem));
}

void ConnectDialog::Accept() {
  if (!ok_->isEnabled()) return;
  std::string problem;
  const auto request = ReadConnectRequest(call_->text().toStdString(), path_->text().toStdString(),
                                          version_->currentIndex() == kVersion22Index, problem);
  ShowProblem(problem);
  if (request) emit ConnectChosen(*request);
}

}  // namespace vorlink
