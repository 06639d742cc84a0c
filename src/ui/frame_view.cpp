#include "ui/frame_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
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

#include "decode/frame_filter.h"
#include "ui/pane_glyphs.h"
#include "ui/quiet_scroll_bar.h"

namespace vorlink {
namespace {

constexpr int kMargin = 4;
constexpr int kHintMargin = 8;

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text position's line as a position of the sequence.
LinePosition LineOfText(const TextPosition& p) { return {p.frame, p.line}; }

bool Before(LinePosition a, LinePosition b) {
  return a.frame != b.frame ? a.frame < b.frame : a.line < b.line;
}

}  // namespace

QColor PaneColour(PaneRole role, const QPalette& palette) {
  if (role == PaneRole::Separator) return palette.color(QPalette::Disabled, QPalette::Text);
  const Rgb rgb = RgbOf(role);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

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
  seenFirst_ = store_.FirstIndex();
  seenEnd_ = store_.EndIndex();
}

FrameView::~FrameView() = default;

void FrameView::SetSequence(const FrameSequence* sequence) {
  sequence_ = sequence;
  Reset();
}

void FrameView::Reset() {
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

std::uint64_t FrameView::LineOf(LinePosition at) const {
  const FrameSequence& s = Sequence();
  if (sequence_ == nullptr && store_.Holds(at.frame)) {
    return store_.FirstLineOf(at.frame) + static_cast<std::uint64_t>(at.line);
  }
  // The first line at or after the position.
  std::uint64_t low = 0;
  std::uint64_t high = s.LineCount();
  while (low < high) {
    const std::uint64_t mid = low + (high - low) / 2;
    if (Before(s.LocateLine(mid), at)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

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

void FrameView::Walk(
    LinePosition from,
    const std::function<bool(LinePosition, const BlockLines::Line&)>& visit) const {
  const FrameSequence& sequence = Sequence();
  FrameIndex frame = from.frame;
  int skip = from.line;
  while (true) {
    // Notes before the block are its lines below 0, drawn in the separator's grey.
    for (int k = std::max(skip, -sequence.NotesBefore(frame)); k < 0; ++k) {
      if (!visit({frame, k}, {sequence.Note(frame, k), PaneRole::Separator})) return;
    }
    if (!store_.Holds(frame)) return;
    scratch_.Clear();
    renderer_.Render(store_.Frame(frame), scratch_);
    for (std::size_t k = static_cast<std::size_t>(std::max(skip, 0)); k < scratch_.Count(); ++k) {
      if (!visit({frame, static_cast<int>(k)}, scratch_.At(k))) return;
    }
    skip = INT_MIN;
    frame = sequence.NextFrame(frame);
  }
}

std::vector<FrameView::ShownLine> FrameView::RenderFrom(std::uint64_t firstLine,
                                                        std::size_t count) const {
  std::vector<ShownLine> shown;
  if (firstLine >= Sequence().LineCount() || count == 0) return shown;
  Walk(Sequence().LocateLine(firstLine), [&](LinePosition at, const BlockLines::Line& line) {
    shown.push_back({at, ToQString(line.text), line.colour});
    return shown.size() < count;
  });
  return shown;
}

QString FrameView::AllText() const {
  QString all;
  if (Sequence().LineCount() == 0) return all;
  Walk(Sequence().LocateLine(0), [&](LinePosition, const BlockLines::Line& line) {
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
  Walk(LineOfText(from), [&](LinePosition at, const BlockLines::Line& line) {
    if (Before(LineOfText(to), at)) return false;
    const QString whole = ToQString(line.text);
    const bool first = at.frame == from.frame && at.line == from.line;
    const bool last = at.frame == to.frame && at.line == to.line;
    const int start = first ? std::min<int>(from.column, whole.size()) : 0;
    const int stop = last ? std::min<int>(to.column, whole.size()) : whole.size();
    text += whole.mid(start, std::max(0, stop - start));
    if (!last) text += QLatin1Char('\n');
    return !last;
  });
  return text;
}

void FrameView::Copy() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
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

std::optional<TextPosition> FrameView::Search(const QString& text, bool forward,
                                              TextPosition caret) const {
  std::optional<TextPosition> found;
  if (forward) {
    Walk(LineOfText(caret), [&](LinePosition at, const BlockLines::Line& line) {
      const QString whole = ToQString(line.text);
      const int from = (at.frame == caret.frame && at.line == caret.line) ? caret.column : 0;
      const int column = whole.indexOf(text, from, Qt::CaseInsensitive);
      if (column >= 0) found = TextPosition{at.frame, at.line, column};
      return !found;
    });
    return found;
  }
  // Backwards line by line from the caret's line.
  for (std::uint64_t line = std::min(LineOf(LineOfText(caret)) + 1, Sequence().LineCount());
       line > 0 && !found;) {
    --line;
    Walk(Sequence().LocateLine(line), [&](LinePosition here, const BlockLines::Line& l) {
      const QString whole = ToQString(l.text);
      const bool caretLine = here.frame == caret.frame && here.line == caret.line;
      const int from = caretLine ? caret.column - static_cast<int>(text.size()) : -1;
      if (!caretLine || from >= 0) {
        const int column = whole.lastIndexOf(text, from, Qt::CaseInsensitive);
        if (column >= 0) found = TextPosition{here.frame, here.line, column};
      }
      return false;
    });
  }
  return found;
}

bool FrameView::Find(const QString& text, bool forward) {
  if (text.isEmpty() || Sequence().LineCount() == 0) return false;
  const TextPosition caret = HasSelection() ? (forward ? std::max(anchor_, cursor_)
                                                       : std::min(anchor_, cursor_))
                                            : TextPosition{top_.frame, top_.line, 0};
  std::optional<TextPosition> found = Search(text, forward, caret);
  if (!found) {
    // Round again from the other end.
    const LinePosition first = Sequence().LocateLine(0);
    const LinePosition last = Sequence().LocateLine(Sequence().LineCount() - 1);
    found = Search(text, forward,
                   forward ? TextPosition{first.frame, first.line, 0}
                           : TextPosition{last.frame, last.line, INT_MAX / 2});
  }
  if (!found) return false;
  anchor_ = *found;
  cursor_ = {found->frame, found->line, found->column + static_cast<int>(text.size())};
  const std::uint64_t line = LineOf(LineOfText(*found));
  const std::uint64_t top = verticalScrollBar()->value();
  if (line < top || line >= top + static_cast<std::uint64_t>(PageLines())) {
    SetTopLine(line > 2 ? line - 2 : 0);
  }
  viewport()->update();
  return true;
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
