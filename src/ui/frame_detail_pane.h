// The detail tree under the frame browser's pane: the lines decode made of
// the frame at the caret (frame_detail.h), groups open, copyable as text
// with Ctrl+C or the context menu's "Copy" (the lines selected, or all).
#pragma once

#include <QTreeWidget>
#include <vector>

#include "aprs/aprs_detail.h"

namespace vorlink {

class FrameDetailPane final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FrameDetailPane(QWidget* parent = nullptr);

  void Show(std::vector<AprsDetailLine> lines);
  void Clear();
  // The lines selected, or every line, as DetailText gives them.
  QString CopyText() const;
  void Copy() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::vector<AprsDetailLine> lines_;
};

}  // namespace vorlink
