// The stations heard: a sortable table of source callsigns (the columns of
// heard_columns.h) kept up with the store while frames arrive, rows updated
// in place so a selected station stays selected, and beside it a bar chart
// of frames per minute over the last hour, or over the whole span of a
// capture, with a UTC time axis and a count scale. The columns are as wide
// as their widest text, times on one line.
#pragma once

#include <QWidget>
#include <vector>

#include "store/frame_rate.h"
#include "store/frame_store.h"
#include "store/heard_columns.h"
#include "store/rate_axes.h"

class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace vorlink {

inline constexpr int kHeardRefreshMs = 1000;

class HeardModel;

class FrameRateChart final : public QWidget {
  Q_OBJECT

 public:
  explicit FrameRateChart(QWidget* parent = nullptr);
  void Show(FrameRate rate);
  QSize sizeHint() const override { return {360, 200}; }
  // The axes as last drawn, labels and all.
  const RateAxes& Axes() const { return axes_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  FrameRate rate_;
  RateAxes axes_;
};

class HeardView final : public QWidget {
  Q_OBJECT

 public:
  // wholeSpan: a capture's chart spans all of it.
  HeardView(const FrameStore& store, bool wholeSpan, QWidget* parent = nullptr);
  // Looks at the store now, as the timer does.
  void Refresh();
  QTableView& Table() { return *table_; }
  // Every column at its width, a few stations high, and the chart beside.
  QSize sizeHint() const override;
  // The callsign of a row as the table shows it.
  QString CallsignAt(int row) const;
  // The list is still behind the store.
  bool CatchingUp() const;
  // The station's own position, for distance and bearing.
  void SetFrom(const HeardFrom& from);

 signals:
  void CallsignChosen(const QString& callsign);  // a double click
  void StationSelected(const QString& callsign);

 private:
  void FitColumns();

  const FrameStore& store_;
  bool wholeSpan_;
  FrameIndex seenFirst_ = 0;
  FrameIndex seenEnd_ = 0;
  bool charted_ = false;
  HeardModel* model_;
  QSortFilterProxyModel* sorted_;
  QTableView* table_;
  FrameRateChart* chart_;
  QTimer* timer_;
  QTimer* catchUp_;  // while the list is behind the store
};

}  // namespace vorlink
