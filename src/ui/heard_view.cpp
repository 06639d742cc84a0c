#include "ui/heard_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "ui/heard_model.h"

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr int kChartMargin = 24;

}  // namespace

FrameRateChart::FrameRateChart(QWidget* parent) : QWidget(parent) {
  setObjectName("FrameRateChart");
  setMinimumSize(240, 120);
}

void FrameRateChart::Show(FrameRate rate) {
  rate_ = std::move(rate);
  update();
}

void FrameRateChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Text));
  const QRect area = rect().adjusted(kChartMargin, kChartMargin / 2, -kChartMargin / 2,
                                     -kChartMargin);
  const QString unit = rate_.barMilliseconds == kMinute
                           ? QString("frames per minute")
                           : QString("frames per %1 minutes").arg(rate_.barMilliseconds / kMinute);
  painter.drawText(rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignBottom, unit);
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  if (rate_.bars.empty()) return;
  const std::uint64_t most = std::max<std::uint64_t>(
      1, *std::max_element(rate_.bars.begin(), rate_.bars.end()));
  painter.drawText(QRect(0, area.top(), kChartMargin - 2, 16), Qt::AlignRight,
                   QString::number(most));
  const double width = static_cast<double>(area.width()) / static_cast<double>(kChartBars);
  for (std::size_t k = 0; k < rate_.bars.size(); ++k) {
    const int height = static_cast<int>(static_cast<double>(area.height()) *
                                         static_cast<double>(rate_.bars[k]) /
                                         static_cast<double>(most));
    const QRectF bar(area.left() + width * static_cast<double>(k) + 1, area.bottom() - height,
                     std::max(1.0, width - 2), height);
    painter.fillRect(bar, QColor(0, 0, 255));
  }
}

HeardView::HeardView(const FrameStore& store, bool wholeSpan, QWidget* parent)
    : QWidget(parent), store_(store), wholeSpan_(wholeSpan) {
  setObjectName("HeardStations");
  model_ = new HeardModel(store_, this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(HeardModel::kSortRole);
  sorted_->setDynamicSortFilter(true);
  table_ = new QTableView(this);
  table_->setObjectName("HeardTable");
  table_->setModel(sorted_);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->setSortingEnabled(true);
  table_->sortByColumn(kHeardFramesColumn, Qt::DescendingOrder);
  chart_ = new FrameRateChart(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_, 3);
  layout->addWidget(chart_, 2);
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { emit CallsignChosen(CallsignAt(index.row())); });
  timer_ = new QTimer(this);
  timer_->setInterval(kHeardRefreshMs);
  connect(timer_, &QTimer::timeout, this, &HeardView::Refresh);
  timer_->start();
  catchUp_ = new QTimer(this);
  catchUp_->setInterval(0);
  connect(catchUp_, &QTimer::timeout, this, &HeardView::Refresh);
  Refresh();
}

QString HeardView::CallsignAt(int row) const {
  return model_->Callsign(sorted_->mapToSource(sorted_->index(row, kHeardCallsignColumn)).row());
}

bool HeardView::CatchingUp() const { return catchUp_->isActive(); }

void HeardView::SetFrom(const HeardFrom& from) { model_->SetFrom(from); }

void HeardView::Refresh() {
  if (charted_ && store_.FirstIndex() == seenFirst_ && store_.EndIndex() == seenEnd_) return;
  if (model_->CatchUp()) {
    catchUp_->start();
    return;
  }
  catchUp_->stop();
  seenFirst_ = store_.FirstIndex();
  seenEnd_ = store_.EndIndex();
  charted_ = true;
  chart_->Show(CountFrameRate(store_, wholeSpan_));
}

}  // namespace vorlink
