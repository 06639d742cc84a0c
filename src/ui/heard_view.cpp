#include "ui/heard_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr int kChartMargin = 24;

enum Column { kCallsign, kFrames, kFirst, kLast, kDirect, kVia, kColumns };

QTableWidgetItem* Number(std::uint64_t value) {
  auto* item = new QTableWidgetItem;
  item->setData(Qt::DisplayRole, static_cast<qulonglong>(value));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QTableWidgetItem* Text(const std::string& text) {
  return new QTableWidgetItem(QString::fromStdString(text));
}

}  // namespace

FrameRate CountFrameRate(const FrameStore& store, bool wholeSpan) {
  FrameRate rate;
  // The hour before the newest frame. Times need not rise: the clock may be
  // set back while frames arrive, so the chart spans the earliest to the latest.
  std::int64_t newest = kNoArrivalTime;
  std::int64_t first = 0;
  std::int64_t last = 0;
  FrameIndex from = store.FirstIndex();
  for (FrameIndex i = store.EndIndex(); i > store.FirstIndex(); --i) {
    const std::int64_t at = store.Frame(i - 1).arrival;
    if (at == kNoArrivalTime) continue;
    if (newest == kNoArrivalTime) newest = first = last = at;
    if (!wholeSpan && at < newest - kHour) {
      from = i;
      break;
    }
    first = std::min(first, at);
    last = std::max(last, at);
  }
  if (newest == kNoArrivalTime) return rate;
  const std::int64_t span = last - first;
  rate.barMilliseconds = std::max(kMinute, (span + kChartBars - 1) / kChartBars);
  rate.barMilliseconds = (rate.barMilliseconds + kMinute - 1) / kMinute * kMinute;
  const auto bars =
      static_cast<std::size_t>(std::min<std::int64_t>(kChartBars, span / rate.barMilliseconds + 1));
  rate.start = first;
  rate.bars.assign(bars, 0);
  for (FrameIndex i = from; i < store.EndIndex(); ++i) {
    const std::int64_t at = store.Frame(i).arrival;
    if (at == kNoArrivalTime) continue;
    const auto bar = static_cast<std::size_t>((at - rate.start) / rate.barMilliseconds);
    ++rate.bars[std::min(bar, bars - 1)];
  }
  return rate;
}

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
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName("HeardTable");
  table_->setHorizontalHeaderLabels(
      {"Callsign", "Frames", "First heard (UTC)", "Last heard (UTC)", "Direct", "Via"});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->setSortingEnabled(true);
  table_->sortByColumn(kFrames, Qt::DescendingOrder);
  chart_ = new FrameRateChart(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_, 3);
  layout->addWidget(chart_, 2);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (QTableWidgetItem* item = table_->item(row, kCallsign)) emit CallsignChosen(item->text());
  });
  timer_ = new QTimer(this);
  timer_->setInterval(kHeardRefreshMs);
  connect(timer_, &QTimer::timeout, this, &HeardView::Refresh);
  timer_->start();
  Refresh();
}

void HeardView::Refresh() {
  if (filled_ && store_.FirstIndex() == seenFirst_ && store_.EndIndex() == seenEnd_) return;
  if (!filled_ || store_.FirstIndex() != seenFirst_) {
    heard_.Compute(store_);
  } else {
    heard_.CatchUp(store_);
  }
  seenFirst_ = store_.FirstIndex();
  seenEnd_ = store_.EndIndex();
  filled_ = true;
  Fill();
  chart_->Show(CountFrameRate(store_, wholeSpan_));
}

void HeardView::Fill() {
  const std::vector<HeardStation> stations = heard_.Sorted();
  table_->setSortingEnabled(false);
  table_->setRowCount(static_cast<int>(stations.size()));
  for (int row = 0; row < static_cast<int>(stations.size()); ++row) {
    const HeardStation& s = stations[static_cast<std::size_t>(row)];
    table_->setItem(row, kCallsign, Text(s.callsign));
    table_->setItem(row, kFrames, Number(s.frames));
    table_->setItem(row, kFirst, Text(HeardTimeText(s.firstHeard)));
    table_->setItem(row, kLast, Text(HeardTimeText(s.lastHeard)));
    table_->setItem(row, kDirect, Number(s.direct));
    table_->setItem(row, kVia, Number(s.via));
  }
  table_->setSortingEnabled(true);
}

}  // namespace vorlink
