// The frame pane: a scroll area over the frame store that renders only the
// frames on screen, in the pane's fonts and colours, through the same text
// code as at arrival. Lines map to (frame, line of its block) through the
// store's line index, and the view anchors on a frame, so frames arriving or
// old chunks going never move the text under an operator who reads older
// frames; at the end it follows the newest. A timer looks at the store
// twenty times a second and repaints only when something visible changed.
// Find and Copy walk the lines in slices on the event loop, so neither holds
// the window however many frames the store keeps.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/frame_store.h"
#include "store/line_walker.h"

class QPushButton;
class QTimer;

namespace vorlink {

class PaneGlyphs;
class QuietScrollBar;

inline constexpr int kFrameViewRefreshMs = 50;
// Find and Copy give the event loop back after this long.
inline constexpr int kWorkSliceMs = 20;
inline constexpr std::size_t kWorkStepLines = 512;
// A larger selection is copied up to its last whole line that fits.
inline constexpr qsizetype kMaxCopyCharacters = qsizetype{64} << 20;

class FrameView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit FrameView(const FrameStore& store, QWidget* parent = nullptr);
  ~FrameView() override;

  // The frames shown: a filtered sequence, or the whole store (null). The
  // sequence outlives the view or is set back to null first.
  void SetSequence(const FrameSequence* sequence);
  // Looks at the store now, as the timer does.
  void Refresh();
  // Forgets the widths seen and goes to the end: after the sequence changed.
  void Reset();

  // Every line shown, each ended by "\n".
  QString AllText() const;
  QString VisibleText() const;
  QString SelectedText() const;
  bool HasSelection() const { return anchor_ != cursor_; }
  TextPosition SelectionStart() const { return std::min(anchor_, cursor_); }

  // Puts the selection on the clipboard, in slices when it is large.
  void Copy();
  void SelectAll();
  void ScrollToEnd();
  void ScrollToTop();
  bool FollowsEnd() const { return follow_; }
  // The frame and line at the top of the view.
  LinePosition Top() const { return top_; }
  // Frames arrived since the view left the end.
  std::uint64_t NewFrames() const;
  QString HintText() const;

  // Matches of the text (case-insensitive) are highlighted.
  void SetHighlight(const QString& text);
  // Looks for the next (or previous) match after the caret, round from the
  // other end when none is left, in slices; selects it and brings it into
  // view. FindDone tells whether there was one.
  void StartFind(const QString& text, bool forward);
  // Stops a find or copy under way.
  void Stop();
  bool Working() const { return find_ != nullptr || copy_.has_value(); }

 signals:
  // The line count changed (frames arrived, were dropped or cleared).
  void LinesChanged();
  // The timer looked at the store; what else shows live may repaint with it.
  void Ticked();
  // A find or copy under way: "searching... N of M" and the like.
  void Progress(const QString& text);
  void FindDone(bool found);
  // Empty when the whole selection went to the clipboard.
  void CopyDone(const QString& message);
  // A click or a find put the caret on this frame (one the store may no
  // longer hold, or none past the last).
  void CaretMoved(FrameIndex frame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct ShownLine {
    LinePosition at;
    QString text;
    PaneRole colour;
  };

  const FrameSequence& Sequence() const { return sequence_ ? *sequence_ : store_; }
  int PageLines() const;
  int LineHeight() const;
  // The line of a position, or of the first line after it when its frame is gone.
  std::uint64_t LineOf(LinePosition at) const { return vorlink::LineOf(store_, Sequence(), at); }
  void Sync();
  void SetTopLine(std::uint64_t line);
  void LayoutHint();
  std::vector<ShownLine> RenderFrom(std::uint64_t firstLine, std::size_t count) const;
  // Every line from a position on, until the visit says stop.
  void WalkAll(LinePosition from, const LineScan::Visit& visit) const;
  TextPosition HitTest(QPoint point) const;
  void DoWork();
  bool FindStep();
  bool CopyStep();
  void ShowFound(const TextPosition& found, int length);
  int XOfColumn(const QString& text, int column) const;
  PaneGlyphs& Glyphs() const;

  const FrameStore& store_;
  const FrameSequence* sequence_ = nullptr;
  // For the current font.
  mutable std::unique_ptr<PaneGlyphs> glyphs_;
  QTimer* timer_;
  QTimer* work_;
  QPushButton* hint_;
  QuietScrollBar* verticalBar_;
  QuietScrollBar* horizontalBar_;

  LinePosition top_;
  bool follow_ = true;
  bool syncing_ = false;
  FrameIndex endWhenLeft_ = 0;
  // What the last look saw.
  std::uint64_t seenLines_ = 0;
  FrameIndex seenFirst_ = 0;
  FrameIndex seenEnd_ = 0;
  int widest_ = 0;

  TextPosition anchor_;
  TextPosition cursor_;
  QString highlight_;

  std::unique_ptr<TextFind> find_;
  int findLength_ = 0;
  struct CopyWork {
    LineScan scan;
    TextPosition from;
    TextPosition to;
    std::uint64_t lines;
    QString text;
    bool cut = false;
  };
  std::optional<CopyWork> copy_;
};

}  // namespace vorlink
