#include "ui/heard_view.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "ui/heard_model.h"

namespace vorlink {
namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr int kTick = 4;      // length of an axis's tick marks
constexpr int kGap = 4;       // between labels, marks and the edge
constexpr int kShownStations = 10;
// Beside the delegate's own margins, so no cell text is ever elided.
constexpr int kCellSlack = 8;

QColor BarBlue() { return {0, 0, 255}; }

// A station whose every column shows its widest text.
// Where the widest station is five digits of kilometres away.
constexpr GeoPoint kFarthest{88.88888, 1.11111};

HeardStation WidestStation() {
  constexpr std::uint64_t kManyFrames = 9'999'999;
  const std::int64_t late = ToEpochMilliseconds(DateTime{2088, 8, 28, 20, 58, 58, 0});
  HeardStation s;
  s.callsign = "WW0WWW-15";
  s.frames = s.direct = s.via = kManyFrames;
  s.firstHeard = s.lastHeard = late;
  // APRS cells as wide as they commonly get; a longer comment is elided.
  s.aprs.symbol = AprsSymbol{'/', '-'};  // "House QTH (VHF)"
  s.aprs.position = GeoPoint{-88.88888, -178.88888};
  s.aprs.course = 360;
  s.aprs.speedKnots = 999.9;
  s.aprs.altitudeMetres = 88888;
  s.aprs.comment = std::string(24, 'w');
  return s;
}

}  // namespace

FrameRateChart::FrameRateChart(QWidget* parent) : QWidget(parent) {
  setObjectName("FrameRateChart");
  setMinimumSize(160, 120);
}

void FrameRateChart::Show(FrameRate rate) {
  rate_ = std::move(rate);
  update();
}

void FrameRateChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Text));
  const QFontMetrics metrics = fontMetrics();
  const QString unit = rate_.barMilliseconds == kMinute
                           ? QString("frames per minute")
                           : QString("frames per %1 minutes").arg(rate_.barMilliseconds / kMinute);
  const QRect caption = rect().adjusted(kGap, 0, -kGap, 0);
  painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop, unit);
  painter.drawText(caption, Qt::AlignRight | Qt::AlignTop, "UTC");

  // The labels' room first: counts on the left, times below.
  const int timeLabelWidth = metrics.horizontalAdvance("00:00") + 2 * kGap;
  const int countRows = (height() - 3 * metrics.height()) / (metrics.height() + kGap) + 1;
  const int roughWidth = width() - 2 * metrics.horizontalAdvance("0000") - 3 * kGap;
  axes_ = ChartAxes(rate_, roughWidth / timeLabelWidth, countRows);
  int countWidth = metrics.horizontalAdvance("0");
  for (const AxisTick& tick : axes_.count) {
    countWidth = std::max(countWidth, metrics.horizontalAdvance(QString::fromStdString(tick.label)));
  }
  const int halfTime = metrics.horizontalAdvance("00:00") / 2;
  const QRect area(QPoint(kGap + countWidth + kTick + kGap, metrics.height() + kGap * 2),
                   QPoint(width() - 1 - std::max(kGap, halfTime),
                          height() - 1 - metrics.height() - kTick - kGap));
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.drawLine(area.bottomLeft(), area.topLeft());

  for (const AxisTick& tick : axes_.count) {
    const int y = area.bottom() - static_cast<int>(tick.at * area.height());
    painter.drawLine(area.left() - kTick, y, area.left(), y);
    painter.drawText(QRect(0, y - metrics.height() / 2, area.left() - kTick - kGap / 2,
                           metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(tick.label));
  }
  for (const AxisTick& tick : axes_.time) {
    const int x = area.left() + static_cast<int>(tick.at * area.width());
    painter.drawLine(x, area.bottom(), x, area.bottom() + kTick);
    painter.drawText(QRect(x - halfTime - kGap, area.bottom() + kTick, 2 * (halfTime + kGap),
                           metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(tick.label));
  }

  const double width = static_cast<double>(area.width()) / static_cast<double>(kChartBars);
  for (std::size_t k = 0; k < rate_.bars.size(); ++k) {
    const int height = static_cast<int>(static_cast<double>(area.height()) *
                                         static_cast<double>(rate_.bars[k]) /
                                         static_cast<double>(axes_.top));
    const QRectF bar(area.left() + width * static_cast<double>(k) + 1, area.bottom() - height,
                     std::max(1.0, width - 2), height);
    painter.fillRect(bar, BarBlue());
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
  table_->setWordWrap(false);
  // As wide as its columns, the scroll bar counted in from the start so that
  // rows arriving later take no width from the last column.
  table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  table_->setSortingEnabled(true);
  table_->sortByColumn(kHeardFramesColumn, Qt::DescendingOrder);
  chart_ = new FrameRateChart(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  FitColumns();
  layout->addWidget(table_, 0);
  layout->addWidget(chart_, 1);
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { emit CallsignChosen(CallsignAt(index.row())); });
  // Selection, not the current index: a re-sort moves rows without choosing one.
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) {
            if (!selected.isEmpty()) emit StationSelected(CallsignAt(selected.indexes().front().row()));
          });
  timer_ = new QTimer(this);
  timer_->setInterval(kHeardRefreshMs);
  connect(timer_, &QTimer::timeout, this, &HeardView::Refresh);
  timer_->start();
  catchUp_ = new QTimer(this);
  catchUp_->setInterval(0);
  connect(catchUp_, &QTimer::timeout, this, &HeardView::Refresh);
  Refresh();
}

void HeardView::FitColumns() {
  const HeardStation widest = WidestStation();
  const QFontMetrics metrics(table_->font());
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1);
  QHeaderView* header = table_->horizontalHeader();
  for (int c = 0; c < static_cast<int>(kHeardColumns.size()); ++c) {
    const QString text = QString::fromStdString(kHeardColumns[static_cast<std::size_t>(c)].text(widest, kFarthest));
    header->resizeSection(
        c, std::max(header->sectionSizeHint(c),
                    metrics.horizontalAdvance(text) + margins + kCellSlack));
  }
}

QSize HeardView::sizeHint() const {
  const int rows = table_->horizontalHeader()->sizeHint().height() +
                   kShownStations * table_->verticalHeader()->defaultSectionSize() +
                   2 * table_->frameWidth();
  const QSize chart = chart_->sizeHint();
  return {table_->sizeHint().width() + layout()->spacing() + chart.width(),
          std::max(rows, chart.height())};
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
