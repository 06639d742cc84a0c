// View > APRS Messages: every message, bulletin and announcement heard in
// the live frames, in a table kept up once a second (in slices while it is
// behind), with acks and rejects shown on the message they answer and the
// messages to the station's own callsign in bold. It stays at the newest
// row while the operator has not scrolled up.
#pragma once

#include <QWidget>
#include <string>

#include "store/frame_store.h"

class QLabel;
class QTableView;
class QTimer;

namespace vorlink {

inline constexpr int kAprsMessagesRefreshMs = 1000;

class AprsMessagesModel;

class AprsMessagesWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit AprsMessagesWindow(const FrameStore& store, QWidget* parent = nullptr);

  // Looks at the store now, as the timer does.
  void Refresh();
  bool CatchingUp() const;
  void SetOwnCallsign(const std::string& callsign);
  QTableView& Table() { return *table_; }
  AprsMessagesModel& Model() { return *model_; }

 private:
  void ShowCount();

  AprsMessagesModel* model_;
  QTableView* table_;
  QLabel* count_;
  QTimer* timer_;
  QTimer* catchUp_;
  std::string callsign_;
};

}  // namespace vorlink
