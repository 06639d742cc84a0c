// View > APRS Messages: the conversations with the message center (first
// tab), and every message, bulletin and announcement heard in the live
// frames (second tab), in a table kept up once a second (in slices while it is
// behind), with acks and rejects shown on the message they answer and the
// messages to the station's own callsign in bold. It stays at the newest
// row while the operator has not scrolled up.
#pragma once

#include <QWidget>
#include <string>

#include "store/frame_store.h"
#include "store/heard_list.h"

class QLabel;
class QTabWidget;
class QTableView;
class QTimer;

namespace vorlink {

inline constexpr int kAprsMessagesRefreshMs = 1000;

class AprsMessagesModel;
class ConversationPane;
class MessageCenter;

class AprsMessagesWindow final : public QWidget {
  Q_OBJECT

 public:
  // Without a center the conversations tab says why nothing can be sent.
  explicit AprsMessagesWindow(const FrameStore& store, MessageCenter* center = nullptr,
                              QWidget* parent = nullptr);

  // Looks at the store now, as the timer does.
  void Refresh();
  bool CatchingUp() const;
  void SetOwnCallsign(const std::string& callsign);
  QTableView& Table() { return *table_; }
  AprsMessagesModel& Model() { return *model_; }
  ConversationPane& Conversations() { return *conversations_; }
  QTabWidget& Tabs() { return *tabs_; }

 private:
  void ShowCount();
  void OfferStationsHeard();

  const FrameStore& store_;
  HeardList heard_;
  AprsMessagesModel* model_;
  ConversationPane* conversations_;
  QTabWidget* tabs_;
  QTableView* table_;
  QLabel* count_;
  QTimer* timer_;
  QTimer* catchUp_;
  std::string callsign_;
};

}  // namespace vorlink
