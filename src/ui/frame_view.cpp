#include "ui/frame_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QtMath>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <optional>

#include "store/frame_filter.h"
#include "ui/pane_colour.h"
#include "ui/pane_glyphs.h"
#include "ui/quiet_scroll_bar.h"
#include "ui/window_look.h"

namespace vorlink {
namespace {

constexpr int kMargin = 4;
constexpr int kHintMargin = 8;

// Appends a selected line (from `from` to `to`, line breaks between);
// false after the last one.
bool AppendSelected(QString& out, const TextPosition& from, const TextPosition& to,
                    LinePosition at, std::string_view line) {
  const QString whole = ToQString(line);
  const bool first = SameLine(at, LineOfText(from));
  const bool last = SameLine(at, LineOfText(to));
  const int start = first ? std::min<int>(from.column, whole.size()) : 0;
  const int stop = last ? std::min<int>(to.column, whole.size()) : whole.size();
  out += whole.mid(start, std::max(0, stop - start));
  if (!last) out += QLatin1Char('\n');
  return !last;
}

// Case-insensitive, in UTF-16 columns as the pane counts them.
LineMatch MatchIn(const QString& text) {
  return [text](std::string_view line, int from, bool forward) {
    const QString whole = ToQString(line);
    if (forward) return static_cast<int>(whole.indexOf(text, from, Qt::CaseInsensitive));
    const qsizetype start = from >= whole.size() ? qsizetype{-1} : qsizetype{from};
    return static_cast<int>(whole.lastIndexOf(text, start, Qt::CaseInsensitive));
  };
}

}  // namespace

FrameView::FrameView(const FrameStore& store, QWidget* parent)
    : QAbstractScrollArea(parent), store_(store) {
  setFocusPolicy(Qt::StrongFocus);
  verticalBar_ = new QuietScrollBar(Qt::Vertical, this);
  horizontalBar_ = new QuietScrollBar(Qt::Horizontal, this);
  setVerticalScrollBar(verticalBar_);
  setHorizontalScrollBar(horizontalBar_);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setCursor(Qt::IBeamCursor);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (syncing_) return;
    const bool wasFollowing = follow_;
    follow_ = value >= verticalScrollBar()->maximum();
    if (wasFollowing && !follow_) endWhenLeft_ = store_.EndIndex();
    const std::uint64_t lines = Sequence().LineCount();
    if (static_cast<std::uint64_t>(value) < lines) top_ = Sequence().LocateLine(value);
    LayoutHint();
    viewport()->update();
  });
  hint_ = new QPushButton(this);
  hint_->setObjectName("NewFramesHint");
  hint_->setCursor(Qt::PointingHandCursor);
  hint_->hide();
  connect(hint_, &QPushButton::clicked, this, &FrameView::ScrollToEnd);
  timer_ = new QTimer(this);
  timer_->setInterval(kFrameViewRefreshMs);
  connect(timer_, &QTimer::timeout, this, [this] {
    Refresh();
    emit Ticked();
  });
  timer_->start();
  work_ = new QTimer(this);
  work_->setInterval(0);
  connect(work_, &QTimer::timeout, this, &FrameView::DoWork);
  seenFirst_ = store_.FirstIndex();
  seenEnd_ = store_.EndIndex();
}

FrameView::~FrameView() = default;

void FrameView::SetSequence(const FrameSequence* sequence) {
  sequence_ = sequence;
  Reset();
}

void FrameView::Reset() {
  Stop();
  widest_ = 0;
  anchor_ = cursor_ = {};
  follow_ = true;
  seenLines_ = Sequence().LineCount();
  seenFirst_ = store_.FirstIndex();
  seenEnd_ = store_.EndIndex();
  Sync();
  emit LinesChanged();
  viewport()->update();
}

int FrameView::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int FrameView::PageLines() const { return std::max(1, viewport()->height() / LineHeight()); }

void FrameView::Sync() {
  const std::uint64_t lines = Sequence().LineCount();
  const auto page = static_cast<std::uint64_t>(PageLines());
  const std::uint64_t last = lines > page ? lines - page : 0;
  std::uint64_t top = follow_ ? last : std::min(LineOf(top_), last);
  if (top < lines) top_ = Sequence().LocateLine(top);
  syncing_ = true;
  verticalBar_->Set(static_cast<int>(std::min<std::uint64_t>(last, INT_MAX)), PageLines(),
                    static_cast<int>(std::min<std::uint64_t>(top, INT_MAX)));
  syncing_ = false;
  if (top >= last) follow_ = true;
  const int width = viewport()->width();
  horizontalBar_->Set(std::max(0, widest_ + 2 * kMargin - width), width, horizontalBar_->value());
  LayoutHint();
}

void FrameView::SetTopLine(std::uint64_t line) {
  const std::uint64_t lines = Sequence().LineCount();
  if (follow_) endWhenLeft_ = store_.EndIndex();
  follow_ = false;
  if (line < lines) top_ = Sequence().LocateLine(line);
  Sync();
  viewport()->update();
}

void FrameView::Refresh() {
  const std::uint64_t lines = Sequence().LineCount();
  const FrameIndex first = store_.FirstIndex();
  const FrameIndex end = store_.EndIndex();
  if (lines == seenLines_ && first == seenFirst_ && end == seenEnd_) return;
  const std::uint64_t topBefore = verticalScrollBar()->value();
  const bool roomBefore = topBefore + static_cast<std::uint64_t>(PageLines()) > seenLines_;
  const bool dropped = first != seenFirst_;
  if (dropped && !store_.Holds(anchor_.frame)) anchor_ = cursor_ = {};
  if (lines == 0) {
    // Nothing left to scroll across: the width goes with the text.
    follow_ = true;
    widest_ = 0;
  }
  seenFirst_ = first;
  seenEnd_ = end;
  const bool linesChanged = lines != seenLines_;
  seenLines_ = lines;
  Sync();
  const bool moved = static_cast<std::uint64_t>(verticalScrollBar()->value()) != topBefore;
  if (moved || dropped || (linesChanged && roomBefore)) viewport()->update();
  if (linesChanged) emit LinesChanged();
}

std::uint64_t FrameView::NewFrames() const {
  if (follow_) return 0;
  const FrameIndex from = std::max(endWhenLeft_, store_.FirstIndex());
  if (const auto* filtered = dynamic_cast<const FilteredFrames*>(sequence_)) {
    std::size_t low = 0;
    std::size_t high = filtered->Size();
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (filtered->At(mid) < from) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    return filtered->Size() - low;
  }
  return store_.EndIndex() > from ? store_.EndIndex() - from : 0;
}

QString FrameView::HintText() const {
  const std::uint64_t n = NewFrames();
  return n == 1 ? QString("1 new frame") : QString("%1 new frames").arg(n);
}

void FrameView::LayoutHint() {
  const std::uint64_t n = NewFrames();
  if (n == 0) {
    hint_->hide();
    return;
  }
  hint_->setText(HintText());
  hint_->adjustSize();
  const QRect area = viewport()->geometry();
  hint_->move(area.right() - hint_->width() - kHintMargin,
              area.bottom() - hint_->height() - kHintMargin);
  hint_->show();
  hint_->raise();
}

void FrameView::ScrollToEnd() {
  follow_ = true;
  Sync();
  viewport()->update();
}

void FrameView::ScrollToTop() { SetTopLine(0); }

void FrameView::WalkAll(LinePosition from, const LineScan::Visit& visit) const {
  LineScan scan(store_, Sequence(), from, true);
  while (scan.Run(kWorkStepLines, visit)) {
  }
}

std::vector<FrameView::ShownLine> FrameView::RenderFrom(std::uint64_t firstLine,
                                                        std::size_t count) const {
  std::vector<ShownLine> shown;
  if (firstLine >= Sequence().LineCount() || count == 0) return shown;
  LineWalker walker(store_, Sequence());
  if (!walker.SeekLine(firstLine)) return shown;
  do {
    const BlockLines::Line line = walker.Line();
    shown.push_back({walker.Position(), ToQString(line.text), line.colour});
  } while (shown.size() < count && walker.Next());
  return shown;
}

QString FrameView::AllText() const {
  QString all;
  if (Sequence().LineCount() == 0) return all;
  WalkAll(Sequence().LocateLine(0), [&](LinePosition, const BlockLines::Line& line) {
    all += ToQString(line.text);
    all += QLatin1Char('\n');
    return true;
  });
  return all;
}

QString FrameView::VisibleText() const {
  QString all;
  for (const ShownLine& line :
       RenderFrom(verticalScrollBar()->value(), static_cast<std::size_t>(PageLines()))) {
    all += line.text + QLatin1Char('\n');
  }
  return all;
}

QString FrameView::SelectedText() const {
  if (!HasSelection()) return {};
  const TextPosition& from = std::min(anchor_, cursor_);
  const TextPosition& to = std::max(anchor_, cursor_);
  QString text;
  WalkAll(LineOfText(from), [&](LinePosition at, const BlockLines::Line& line) {
    return !Before(LineOfText(to), at) && AppendSelected(text, from, to, at, line.text);
  });
  return text;
}

void FrameView::Copy() {
  if (!HasSelection()) return;
  Stop();
  const TextPosition from = std::min(anchor_, cursor_);
  const TextPosition to = std::max(anchor_, cursor_);
  const std::uint64_t first = LineOf(LineOfText(from));
  const std::uint64_t end = std::min(LineOf(LineOfText(to)) + 1, Sequence().LineCount());
  copy_.emplace(CopyWork{LineScan(store_, Sequence(), LineOfText(from), true, LineOfText(to)),
                         from, to, end > first ? end - first : 0, QString()});
  DoWork();
}

void FrameView::SelectAll() {
  if (Sequence().LineCount() == 0) return;
  const LinePosition first = Sequence().LocateLine(0);
  anchor_ = {first.frame, first.line, 0};
  // Past every line: each line selected keeps its break.
  cursor_ = {store_.EndIndex(), 0, 0};
  viewport()->update();
}

void FrameView::SetHighlight(const QString& text) {
  highlight_ = text;
  viewport()->update();
}

void FrameView::StartFind(const QString& text, bool forward) {
  Stop();
  if (text.isEmpty() || Sequence().LineCount() == 0) {
    emit FindDone(false);
    return;
  }
  const TextPosition caret = HasSelection() ? (forward ? std::max(anchor_, cursor_)
                                                       : std::min(anchor_, cursor_))
                                            : TextPosition{top_.frame, top_.line, 0};
  findLength_ = static_cast<int>(text.size());
  find_ = std::make_unique<TextFind>(store_, Sequence(), caret, forward, findLength_,
                                     MatchIn(text));
  DoWork();
}

void FrameView::Stop() {
  work_->stop();
  find_.reset();
  copy_.reset();
}

void FrameView::DoWork() {
  QElapsedTimer slice;
  slice.start();
  bool more = true;
  while (more && slice.elapsed() < kWorkSliceMs) more = find_ ? FindStep() : CopyStep();
  if (more) {
    work_->start();
  } else {
    work_->stop();
  }
}

bool FrameView::FindStep() {
  if (find_->Run(kWorkStepLines)) {
    const std::uint64_t lines = Sequence().LineCount();
    emit Progress(QString("searching... %1 of %2").arg(std::min(find_->Visited(), lines)).arg(lines));
    return true;
  }
  const std::optional<TextPosition> found = find_->Found();
  find_.reset();
  if (found) ShowFound(*found, findLength_);
  emit FindDone(found.has_value());
  return false;
}

void FrameView::ShowFound(const TextPosition& found, int length) {
  anchor_ = found;
  cursor_ = {found.frame, found.line, found.column + length};
  emit CaretMoved(found.frame);
  const std::uint64_t line = LineOf(LineOfText(found));
  const std::uint64_t top = verticalScrollBar()->value();
  if (line < top || line >= top + static_cast<std::uint64_t>(PageLines())) {
    SetTopLine(line > 2 ? line - 2 : 0);
  }
  viewport()->update();
}

bool FrameView::CopyStep() {
  CopyWork& c = *copy_;
  const bool more = c.scan.Run(kWorkStepLines, [&c](LinePosition at, const BlockLines::Line& line) {
    const qsizetype before = c.text.size();
    const bool goOn = AppendSelected(c.text, c.from, c.to, at, line.text);
    if (c.text.size() <= kMaxCopyCharacters) return goOn;
    // The line that went over the limit is left out whole.
    c.text.truncate(before);
    c.cut = true;
    return false;
  });
  if (more) {
    emit Progress(QString("copying... %1 of %2").arg(c.scan.Visited()).arg(c.lines));
    return true;
  }
  QApplication::clipboard()->setText(c.text);
  const QString message =
      c.cut ? QString("Copied %1 of %2 lines: the clipboard takes at most %3 MB")
                  .arg(c.scan.Visited() - 1)
                  .arg(c.lines)
                  .arg(kMaxCopyCharacters * 2 >> 20)
            : QString();
  copy_.reset();
  emit CopyDone(message);
  return false;
}

int FrameView::XOfColumn(const QString& text, int column) const {
  return kMargin - horizontalScrollBar()->value() +
         qRound(Glyphs().Advance(QStringView(text).left(column)));
}

PaneGlyphs& FrameView::Glyphs() const {
  if (!glyphs_) glyphs_ = std::make_unique<PaneGlyphs>(font());
  return *glyphs_;
}

void FrameView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) glyphs_.reset();
  QAbstractScrollArea::changeEvent(event);
}

TextPosition FrameView::HitTest(QPoint point) const {
  const std::uint64_t lines = Sequence().LineCount();
  if (lines == 0) return {};
  const int row = std::max(0, point.y()) / LineHeight();
  std::uint64_t line = verticalScrollBar()->value() + static_cast<std::uint64_t>(row);
  if (point.y() < 0 && line > 0) --line;
  if (line >= lines) return {store_.EndIndex(), 0, 0};
  const std::vector<ShownLine> shown = RenderFrom(line, 1);
  if (shown.empty()) return {};
  const QString& text = shown.front().text;
  int column = 0;
  while (column < text.size()) {
    const int middle = (XOfColumn(text, column) + XOfColumn(text, column + 1)) / 2;
    if (point.x() < middle) break;
    ++column;
  }
  return {shown.front().at.frame, shown.front().at.line, column};
}

void FrameView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& pal = palette();
  const int height = LineHeight();
  const int ascent = fontMetrics().ascent();
  const TextPosition from = std::min(anchor_, cursor_);
  const TextPosition to = std::max(anchor_, cursor_);
  const bool selection = HasSelection();
  const QColor found(255, 255, 0);
  int y = 0;
  int widest = widest_;
  for (const ShownLine& line :
       RenderFrom(verticalScrollBar()->value(), static_cast<std::size_t>(PageLines()) + 1)) {
    const TextPosition start{line.at.frame, line.at.line, 0};
    const TextPosition end{line.at.frame, line.at.line, INT_MAX};
    if (!highlight_.isEmpty()) {
      for (int k = line.text.indexOf(highlight_, 0, Qt::CaseInsensitive); k >= 0;
           k = line.text.indexOf(highlight_, k + 1, Qt::CaseInsensitive)) {
        const int x0 = XOfColumn(line.text, k);
        painter.fillRect(QRect(x0, y, XOfColumn(line.text, k + highlight_.size()) - x0, height),
                         found);
      }
    }
    if (selection && from <= end && start < to) {
      const int a = from.frame == line.at.frame && from.line == line.at.line ? from.column : 0;
      const bool lastLine = to.frame == line.at.frame && to.line == line.at.line;
      const int x0 = XOfColumn(line.text, a);
      const int x1 = lastLine ? XOfColumn(line.text, to.column)
                              : XOfColumn(line.text, line.text.size()) + fontMetrics().averageCharWidth();
      painter.fillRect(QRect(x0, y, x1 - x0, height), pal.color(QPalette::Highlight));
    }
    painter.setPen(PaneColour(line.colour, pal));
    const qreal reach = Glyphs().Draw(
        painter, QPointF(kMargin - horizontalScrollBar()->value(), y + ascent), line.text);
    widest = std::max(widest, qCeil(reach));
    y += height;
  }
  if (widest != widest_) {
    widest_ = widest;
    QTimer::singleShot(0, this, [this] { Sync(); });
  }
}

void FrameView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Sync();
}

void FrameView::scrollContentsBy(int, int) { viewport()->update(); }

void FrameView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  QScrollBar* bar = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_End: ScrollToEnd(); return;
    case Qt::Key_Home: ScrollToTop(); return;
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void FrameView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const TextPosition at = HitTest(event->position().toPoint());
  cursor_ = at;
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = at;
  viewport()->update();
  emit CaretMoved(at.frame);
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint point = event->position().toPoint();
  QScrollBar* bar = verticalScrollBar();
  if (point.y() < 0) bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (point.y() > viewport()->height()) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  cursor_ = HitTest(point);
  viewport()->update();
}

void FrameView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction("&Copy", this, &FrameView::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(HasSelection());
  QAction* all = menu.addAction("Select &All", this, &FrameView::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace vorlink
