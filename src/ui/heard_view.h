// The stations heard: a sortable table of source callsigns (frames, first
// and last heard in UTC, direct, via) kept up with the store while frames
// arrive, and beside it a bar chart of frames per minute over the last hour,
// or over the whole span of a capture.
#pragma once

#include <QWidget>
#include <vector>

#include "decode/frame_store.h"
#include "decode/heard_list.h"

class QTableWidget;
class QTimer;

namespace vorlink {

inline constexpr int kHeardRefreshMs = 1000;
inline constexpr int kChartBars = 60;

// Frames per bar over the time of the held frames: the hour before the last
// arrival, or the span when the frames take less (one minute per bar then).
struct FrameRate {
  std::vector<std::uint64_t> bars;
  std::int64_t start = kNoArrivalTime;  // UTC milliseconds
  std::int64_t barMilliseconds = 60'000;
};
FrameRate CountFrameRate(const FrameStore& store, bool wholeSpan);

class FrameRateChart final : public QWidget {
 public:
  explicit FrameRateChart(QWidget* parent = nullptr);
  void Show(FrameRate rate);
  QSize sizeHint() const override { return {360, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  FrameRate rate_;
};

class HeardView final : public QWidget {
  Q_OBJECT

 public:
  // wholeSpan: a capture's chart spans all of it.
  HeardView(const FrameStore& store, bool wholeSpan, QWidget* parent = nullptr);
  // Looks at the store now, as the timer does.
  void Refresh();
  QTableWidget& Table() { return *table_; }

 signals:
  void CallsignChosen(const QString& callsign);

 private:
  void Fill();

  const FrameStore& store_;
  bool wholeSpan_;
  HeardList heard_;
  FrameIndex seenFirst_ = 0;
  FrameIndex seenEnd_ = 0;
  bool filled_ = false;
  QTableWidget* table_;
  FrameRateChart* chart_;
  QTimer* timer_;
};

}  // namespace vorlink
