#include "ui/frame_browser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

#include "base/number_text.h"
#include "decode/frame_text.h"
#include "store/frame_detail.h"
#include "ui/frame_detail_pane.h"
#include "ui/frame_view.h"
#include "ui/heard_view.h"

namespace vorlink {
namespace {

// Frame lines in the pane and stations in the list when the window first opens.
constexpr int kBrowserShownLines = 30;
// The pane's margins on both sides of its lines.
constexpr int kPaneSlack = 16;
constexpr int kAprsFilterRow = 2;  // captions; the fields a row below

QString PathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

QLineEdit* AddField(QGridLayout& grid, int column, const char* caption, const char* name,
                    const char* hint, int row = 0) {
  grid.addWidget(new QLabel(caption), row, column);
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  edit->setPlaceholderText(hint);
  edit->setClearButtonEnabled(true);
  grid.addWidget(edit, row + 1, column);
  return edit;
}

}  // namespace

FrameBrowser::FrameBrowser(const FrameStore& store, QWidget* parent)
    : QMainWindow(parent), store_(store) {
  Build();
  setWindowTitle("Frames");
}

FrameBrowser::FrameBrowser(QWidget* parent)
    : QMainWindow(parent), own_(std::make_unique<FrameStore>()), store_(*own_) {
  Build();
}

FrameBrowser::~FrameBrowser() {
  // The view and the heard list go before the store and the filtered frames.
  delete takeCentralWidget();
}

void FrameBrowser::Build() {
  setObjectName("FrameBrowser");
  auto* client = new QWidget;
  auto* layout = new QVBoxLayout(client);
  auto* bar = new QWidget;
  BuildFilterBar(bar);
  layout->addWidget(bar);

  view_ = new FrameView(store_);
  view_->setObjectName("FramePane");
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSizeF(9);
  view_->setFont(fixed);
  heard_ = new HeardView(store_, own_ != nullptr);
  detail_ = new FrameDetailPane;
  auto* detailSplitter = new QSplitter(Qt::Vertical);
  detailSplitter->setObjectName("FrameDetailSplitter");
  detailSplitter->addWidget(view_);
  detailSplitter->addWidget(detail_);
  detailSplitter->setStretchFactor(0, 3);
  detailSplitter->setStretchFactor(1, 3);
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName("FrameBrowserSplitter");
  splitter->addWidget(detailSplitter);
  splitter->addWidget(heard_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter, 1);
  setCentralWidget(client);
  connect(heard_, &HeardView::CallsignChosen, this, &FrameBrowser::FilterBySource);
  connect(view_, &FrameView::CaretMoved, this, &FrameBrowser::ShowDetail);

  counts_ = new QLabel;
  counts_->setObjectName("FrameCounts");
  statusBar()->addPermanentWidget(counts_);
  progress_ = new QProgressBar;
  progress_->setObjectName("LoadProgress");
  progress_->setRange(0, 100);
  progress_->setMaximumWidth(200);
  progress_->hide();
  statusBar()->addPermanentWidget(progress_);

  slices_ = new QTimer(this);
  slices_->setInterval(0);
  connect(slices_, &QTimer::timeout, this, [this] {
    if (Loading()) {
      LoadSlice();
    } else if (filterNext_) {
      FilterSlice();
    } else {
      slices_->stop();
    }
  });
  // New frames are filtered and counted at the pane's tick.
  connect(view_, &FrameView::Ticked, this, &FrameBrowser::Refresh);

  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(next, &QShortcut::activated, this, [this] { FindNext(true); });
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(previous, &QShortcut::activated, this, [this] { FindNext(false); });
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, &FrameBrowser::StopWork);
  connect(view_, &FrameView::Progress, this,
          [this](const QString& text) { statusBar()->showMessage(text); });
  connect(view_, &FrameView::FindDone, this, [this](bool found) {
    if (found) {
      statusBar()->clearMessage();
    } else {
      statusBar()->showMessage(QString("Not found: %1").arg(searched_));
    }
  });
  connect(view_, &FrameView::CopyDone, this, [this](const QString& message) {
    if (message.isEmpty()) {
      statusBar()->clearMessage();
    } else {
      statusBar()->showMessage(message);
    }
  });
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    find_->setFocus();
    find_->selectAll();
  });

  resize(sizeHint());
  ShowCounts();
}

void FrameBrowser::BuildFilterBar(QWidget* bar) {
  auto* grid = new QGridLayout(bar);
  grid->setContentsMargins(0, 0, 0, 0);
  from_ = AddField(*grid, 0, "From", "FilterFrom", "N0CALL-*");
  to_ = AddField(*grid, 1, "To", "FilterTo", "APRS");
  via_ = AddField(*grid, 2, "Via", "FilterVia", "WIDE*");
  grid->addWidget(new QLabel("Type"), 0, 3);
  type_ = new QComboBox;
  type_->setObjectName("FilterType");
  type_->addItems({"any", "I", "S", "U", "UI"});
  grid->addWidget(type_, 1, 3);
  pid_ = AddField(*grid, 4, "PID", "FilterPid", "F0");
  pid_->setMaximumWidth(60);
  text_ = AddField(*grid, 5, "Text", "FilterText", "payload text");
  auto* apply = new QPushButton("&Filter");
  apply->setObjectName("FilterApply");
  grid->addWidget(apply, 1, 6);
  bothWays_ = new QCheckBox("both ways");
  bothWays_->setObjectName("FilterBothWays");
  bothWays_->setToolTip("From and To match the other way round too: a link's frames");
  grid->addWidget(bothWays_, 0, 6);
  find_ = AddField(*grid, 7, "Find", "FindText", "F3 next, Shift+F3 previous");
  auto* previous = new QPushButton("<");
  previous->setObjectName("FindPrevious");
  previous->setToolTip("previous match (Shift+F3)");
  auto* next = new QPushButton(">");
  next->setObjectName("FindNext");
  next->setToolTip("next match (F3)");
  for (QPushButton* b : {previous, next}) b->setMaximumWidth(32);
  grid->addWidget(previous, 1, 8);
  grid->addWidget(next, 1, 9);
  grid->setColumnStretch(5, 2);
  grid->setColumnStretch(7, 2);
  BuildAprsFilters(*grid);

  connect(apply, &QPushButton::clicked, this, &FrameBrowser::ApplyFilter);
  for (QLineEdit* edit : {from_, to_, via_, pid_, text_}) {
    connect(edit, &QLineEdit::returnPressed, this, &FrameBrowser::ApplyFilter);
  }
  connect(type_, &QComboBox::currentIndexChanged, this, &FrameBrowser::ApplyFilter);
  connect(bothWays_, &QCheckBox::toggled, this, &FrameBrowser::ApplyFilter);
  connect(find_, &QLineEdit::textChanged, this, [this](const QString& t) { view_->SetHighlight(t); });
  connect(find_, &QLineEdit::returnPressed, this, [this] { FindNext(true); });
  connect(next, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(false); });
}

void FrameBrowser::BuildAprsFilters(QGridLayout& grid) {
  grid.addWidget(new QLabel("APRS"), kAprsFilterRow, 0);
  aprsType_ = new QComboBox;
  aprsType_->setObjectName("FilterAprsType");
  // As narrow as the From field above it; the list opens as wide as it needs.
  aprsType_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  aprsType_->setMinimumContentsLength(8);
  aprsType_->addItem("any");
  for (int k = 0; k < kAprsTypeCount; ++k) {
    aprsType_->addItem(QString::fromStdString(std::string(AprsTypeName(static_cast<AprsType>(k)))));
  }
  grid.addWidget(aprsType_, kAprsFilterRow + 1, 0);
  within_ = AddField(grid, 1, "Within km", "FilterWithin", "of the station", kAprsFilterRow);
  addressee_ = AddField(grid, 2, "Addressee", "FilterAddressee", "N0CALL*", kAprsFilterRow);
  // Frames VORLINK sent show only when asked for, headed by their marker.
  origin_ = new QComboBox;
  origin_->setObjectName("FilterOrigin");
  // Under the Filter button, no wider than it; the list opens as wide as it needs.
  origin_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  origin_->setMinimumContentsLength(1);
  origin_->setToolTip("Frames: received, sent and received, or sent by VORLINK");
  origin_->addItems({"received", "sent and received", "sent"});
  grid.addWidget(origin_, kAprsFilterRow + 1, 6);
  connect(origin_, &QComboBox::currentIndexChanged, this, &FrameBrowser::ApplyFilter);
  connect(aprsType_, &QComboBox::currentIndexChanged, this, &FrameBrowser::ApplyFilter);
  for (QLineEdit* edit : {within_, addressee_}) {
    connect(edit, &QLineEdit::returnPressed, this, &FrameBrowser::ApplyFilter);
  }
}

bool FrameBrowser::ReadAprsFilters(FrameFilterSpec& spec) {
  if (aprsType_->currentIndex() > 0) {
    spec.aprsType = ParseAprsType(aprsType_->currentText().toStdString());
  }
  spec.addressee = addressee_->text().trimmed().toStdString();
  const std::string within = within_->text().trimmed().toStdString();
  if (within.empty()) return true;
  spec.withinKm = Decimal(within);
  if (!spec.withinKm || *spec.withinKm < 0) {
    statusBar()->showMessage("Within km takes a distance in kilometres");
    return false;
  }
  if (!station_.position) {
    statusBar()->showMessage("Within km needs the station's position (Options > Station...)");
    return false;
  }
  spec.near = station_.position;
  return true;
}

void FrameBrowser::SetOwnStation(const OwnStation& station) {
  if (station == station_) return;
  station_ = station;
  heard_->SetFrom(station_.position);
  if (detailFrame_) ShowDetail(*detailFrame_);
  if (!within_->text().trimmed().isEmpty()) ApplyFilter();
}

void FrameBrowser::ShowDetail(FrameIndex frame) {
  if (!store_.Holds(frame)) {
    detailFrame_.reset();
    detail_->Clear();
    return;
  }
  detailFrame_ = frame;
  detail_->Show(FrameDetailLines(store_.Frame(frame), station_.position));
}

void FrameBrowser::FilterBySource(const QString& callsign) {
  from_->setText(callsign);
  ApplyFilter();
}

void FrameBrowser::FilterByLink(const QString& one, const QString& other) {
  from_->setText(one);
  to_->setText(other);
  const QSignalBlocker quiet(bothWays_);
  bothWays_->setChecked(true);
  ApplyFilter();
}

void FrameBrowser::ApplyFilter() {
  FrameFilterSpec spec;
  spec.from = from_->text().trimmed().toStdString();
  spec.to = to_->text().trimmed().toStdString();
  spec.bothWays = bothWays_->isChecked();
  spec.via = via_->text().trimmed().toStdString();
  if (type_->currentIndex() > 0) spec.type = ParseFrameType(type_->currentText().toStdString());
  const std::string pid = pid_->text().trimmed().toStdString();
  if (!pid.empty()) {
    spec.pid = ParsePid(pid);
    if (!spec.pid) {
      statusBar()->showMessage("PID takes one or two hex digits");
      return;
    }
  }
  spec.text = text_->text().toStdString();
  spec.origin = static_cast<FrameOrigin>(origin_->currentIndex());
  statusBar()->clearMessage();
  if (!ReadAprsFilters(spec)) return;
  filterNext_.reset();
  filtered_.Clear();
  if (spec.Empty()) {
    filter_.reset();
    view_->SetSequence(nullptr);
  } else {
    filter_.emplace(std::move(spec));
    filteredEnd_ = store_.FirstIndex();
    filterNext_ = filteredEnd_;
    view_->SetSequence(&filtered_);
    slices_->start();
  }
  ShowCounts();
}

void FrameBrowser::FilterSlice() {
  const FrameIndex begin = std::max(*filterNext_, store_.FirstIndex());
  const FrameIndex end = std::min(begin + kFilterSlice, store_.EndIndex());
  filteredEnd_ = FilterFrames(store_, *filter_, begin, end, filtered_);
  if (filteredEnd_ >= store_.EndIndex()) {
    filterNext_.reset();
  } else {
    filterNext_ = filteredEnd_;
  }
  view_->Refresh();
  ShowCounts();
}

void FrameBrowser::Refresh() {
  if (filter_) {
    filtered_.Prune(store_.FirstIndex());
    if (!filterNext_ && !Loading() && store_.EndIndex() > filteredEnd_) {
      filterNext_ = filteredEnd_;
      slices_->start();
    }
  }
  ShowCounts();
}

QString FrameBrowser::StatusText() const {
  const std::size_t shown = filter_ ? filtered_.Size() : store_.Size();
  return QString("%1 of %2 frames").arg(shown).arg(store_.Size());
}

void FrameBrowser::ShowCounts() { counts_->setText(StatusText()); }

void FrameBrowser::FindNext(bool forward) {
  const QString text = find_->text();
  view_->SetHighlight(text);
  if (text.isEmpty()) return;
  searched_ = text;
  view_->StartFind(text, forward);
}

void FrameBrowser::StopWork() {
  if (!view_->Working()) return;
  view_->Stop();
  statusBar()->showMessage("Stopped");
}

void FrameBrowser::OpenCapture(const std::filesystem::path& file) {
  if (!own_) return;
  captureName_ = file.filename();
  setWindowTitle(PathText(captureName_));
  capture_ = std::make_unique<CaptureReader>(file, *own_, DisplayOptions{}, kLoadSliceBytes);
  if (capture_->Finished()) {
    statusBar()->showMessage(QString("Cannot read %1: %2")
                                 .arg(PathText(file), QString::fromStdString(capture_->Problem())));
    return;
  }
  progress_->setValue(0);
  progress_->show();
  slices_->start();
}

void FrameBrowser::LoadSlice() {
  const bool more = capture_->ReadSlice();
  progress_->setValue(capture_->PercentRead());
  if (more) return;
  progress_->hide();
  setWindowTitle(
      QString("%1 (%2 frames)").arg(PathText(captureName_)).arg(capture_->Loaded().Frames()));
  if (!capture_->Problem().empty()) {
    statusBar()->showMessage(QString("Cannot read all of %1").arg(PathText(captureName_)));
  }
  view_->Refresh();
  heard_->Refresh();
  if (filter_) Refresh();
  ShowCounts();
}

QSize FrameBrowser::sizeHint() const {
  const QFontMetrics pane(view_->font());
  // The separator, or a dump line of kDumpBytesPerLine bytes, which is a little longer.
  const int paneWidth = pane.horizontalAdvance(QString(kSeparatorLength + 2, '0')) +
                        kPaneSlack + view_->verticalScrollBar()->sizeHint().width() +
                        2 * view_->frameWidth();
  const int width = std::max({paneWidth, heard_->sizeHint().width(),
                              centralWidget()->layout()->itemAt(0)->sizeHint().width()});
  const int height = kBrowserShownLines * pane.lineSpacing() + detail_->sizeHint().height() +
                     heard_->sizeHint().height() +
                     centralWidget()->layout()->itemAt(0)->sizeHint().height() +
                     statusBar()->sizeHint().height();
  const QMargins margins = centralWidget()->layout()->contentsMargins();
  return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

}  // namespace vorlink
