#include "store/frame_filter.h"

#include <algorithm>
#include <array>
#include <limits>

#include "aprs/aprs_decoder.h"
#include "decode/code_page.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kFirstMatchedByte = 0x20;
constexpr std::uint8_t kUndefinedShown = 0x7F;  // every byte the code page lacks looks alike
constexpr FrameIndex kNoFrame = std::numeric_limits<FrameIndex>::max();

// A code-page byte as the case-insensitive search sees it: lower case,
// control bytes as the "." the pane shows, the soft hyphen as the "-" shown.
constexpr std::array<std::uint8_t, 256> kFolded = [] {
  std::array<std::uint8_t, 256> f{};
  for (unsigned b = 0; b < 256; ++b) f[b] = static_cast<std::uint8_t>(b);
  for (unsigned b = 0; b < kFirstMatchedByte; ++b) f[b] = '.';
  for (unsigned b = 'A'; b <= 'Z'; ++b) f[b] = static_cast<std::uint8_t>(b + 0x20);
  for (unsigned b = 0xC0; b <= 0xDE; ++b) {
    if (b != 0xD7) f[b] = static_cast<std::uint8_t>(b + 0x20);  // not the multiplication sign
  }
  f[0x8A] = 0x9A;  // S caron
  f[0x8C] = 0x9C;  // OE
  f[0x8E] = 0x9E;  // Z caron
  f[0x9F] = 0xFF;  // Y diaeresis
  f[0xAD] = '-';
  for (unsigned b : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) f[b] = kUndefinedShown;
  return f;
}();

char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The code-page byte whose character starts text (longest match); none
// when the character is not in the code page.
std::optional<std::uint8_t> CodePageByteAt(std::string_view text, std::size_t& length) {
  std::optional<std::uint8_t> best;
  length = 0;
  for (unsigned b = kFirstMatchedByte; b < 256; ++b) {
    const std::string_view c = CodePageCharacter(static_cast<std::uint8_t>(b));
    if (c.size() > length && text.starts_with(c)) {
      best = static_cast<std::uint8_t>(b);
      length = c.size();
    }
  }
  return best;
}

}  // namespace

bool FrameFilterSpec::Empty() const {
  return from.empty() && to.empty() && via.empty() && !type && !pid && text.empty() &&
         !aprsType && !withinKm && addressee.empty() && origin == FrameOrigin::Received;
}

std::optional<FrameType> ParseFrameType(std::string_view text) {
  std::string upper;
  for (char c : text) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (upper == "I") return FrameType::I;
  if (upper == "S") return FrameType::S;
  if (upper == "U") return FrameType::U;
  if (upper == "UI") return FrameType::UI;
  return std::nullopt;
}

std::optional<std::uint8_t> ParsePid(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    const char u = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    const auto digit = std::string_view("0123456789ABCDEF").find(u);
    if (digit == std::string_view::npos) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<std::uint8_t>(value);
}

bool GlobMatches(std::string_view glob, std::string_view text) {
  // Greedy with one backtrack point: the last "*" seen takes one more character.
  std::size_t g = 0, t = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (g < glob.size() && glob[g] == '*') {
      star = g++;
      resume = t;
    } else if (g < glob.size() && (glob[g] == '?' || FoldAscii(glob[g]) == FoldAscii(text[t]))) {
      ++g;
      ++t;
    } else if (star != std::string_view::npos) {
      g = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == '*') ++g;
  return g == glob.size();
}

namespace {
bool NoCriteria(FrameFilterSpec spec) {
  spec.origin = FrameOrigin::Received;
  return spec.Empty();
}
}  // namespace

FrameFilter::FrameFilter(FrameFilterSpec spec) : spec_(std::move(spec)), all_(NoCriteria(spec_)) {
  std::string_view rest = spec_.text;
  while (!rest.empty()) {
    std::size_t length = 0;
    const auto b = CodePageByteAt(rest, length);
    if (!b) {
      textRepresentable_ = false;
      break;
    }
    needle_ += static_cast<char>(kFolded[*b]);
    rest.remove_prefix(length);
  }
}

bool FrameFilter::PayloadContains(std::span<const std::uint8_t> payload) const {
  const auto* n = reinterpret_cast<const std::uint8_t*>(needle_.data());
  const std::size_t m = needle_.size();
  if (m > payload.size()) return false;
  for (std::size_t i = 0; i + m <= payload.size(); ++i) {
    std::size_t k = 0;
    while (k < m && kFolded[payload[i + k]] == n[k]) ++k;
    if (k == m) return true;
  }
  return false;
}

bool FrameFilter::MatchesDecoded() const {
  const Ax25Decoder& d = inspector_.Decoded();
  if (spec_.type && !inspector_.IsType(*spec_.type)) return false;
  if (spec_.pid && (!d.HasPid || d.PidByte != *spec_.pid)) return false;
  const auto matches = [](const std::string& glob, const std::string& call) {
    return glob.empty() || GlobMatches(glob, call);
  };
  const bool forward = matches(spec_.from, d.SourceText) && matches(spec_.to, d.DestinationText);
  const bool back = spec_.bothWays && matches(spec_.from, d.DestinationText) &&
                    matches(spec_.to, d.SourceText);
  if (!forward && !back) return false;
  if (!spec_.via.empty()) {
    bool any = false;
    for (int k = 0; k < d.DigipeaterCount && !any; ++k) {
      any = GlobMatches(spec_.via, inspector_.DigipeaterCall(k));
    }
    if (!any) return false;
  }
  if (!spec_.text.empty()) {
    if (!textRepresentable_ || !PayloadContains(d.Payload())) return false;
  }
  return MatchesAprs();
}

bool FrameFilter::MatchesAprs() const {
  if (!spec_.aprsType && !spec_.withinKm && spec_.addressee.empty()) return true;
  const AprsReport report = DecodeAprsFrame(inspector_.Decoded());
  if (spec_.aprsType && report.type != *spec_.aprsType) return false;
  const auto* third = report.As<AprsThirdParty>();
  const AprsReport inner = third ? DecodeInner(*third) : AprsReport{};
  const AprsReport& said = third ? inner : report;
  if (spec_.withinKm && spec_.near) {
    const AprsPosition* p = said.Position();
    if (!p || DistanceKm(*spec_.near, {p->latitude, p->longitude}) > *spec_.withinKm) return false;
  }
  if (!spec_.addressee.empty()) {
    const auto* m = said.As<AprsMessage>();
    if (!m || !GlobMatches(spec_.addressee, m->addressee)) return false;
  }
  return true;
}

bool FrameFilter::Matches(const StoredFrame& frame) {
  if (frame.sent ? spec_.origin == FrameOrigin::Received : spec_.origin == FrameOrigin::Sent) {
    return false;
  }
  if (all_) return true;
  inspector_.Inspect(frame);
  return MatchesDecoded();
}

void FilteredFrames::Clear() {
  frames_.clear();
  lineStarts_.clear();
  first_ = 0;
}

void FilteredFrames::Add(FrameIndex index, int lines) {
  if (lineStarts_.empty()) lineStarts_.push_back(0);
  frames_.push_back(index);
  lineStarts_.push_back(lineStarts_.back() + static_cast<std::uint64_t>(std::max(lines, 0)));
}

void FilteredFrames::Prune(FrameIndex firstHeld) {
  const auto from = frames_.begin() + static_cast<std::ptrdiff_t>(first_);
  first_ = static_cast<std::size_t>(std::lower_bound(from, frames_.end(), firstHeld) -
                                    frames_.begin());
  // Pruned entries go for good once they are half the list.
  if (first_ > 0 && first_ * 2 >= frames_.size()) {
    frames_.erase(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(first_));
    lineStarts_.erase(lineStarts_.begin(),
                      lineStarts_.begin() + static_cast<std::ptrdiff_t>(first_));
    first_ = 0;
  }
}

std::uint64_t FilteredFrames::LineCount() const {
  return lineStarts_.empty() ? 0 : lineStarts_.back() - lineStarts_[first_];
}

LinePosition FilteredFrames::LocateLine(std::uint64_t line) const {
  const std::uint64_t absolute = lineStarts_[first_] + line;
  const auto begin = lineStarts_.begin() + static_cast<std::ptrdiff_t>(first_);
  const auto end = lineStarts_.end() - 1;
  const auto k = static_cast<std::size_t>(std::upper_bound(begin, end, absolute) - 1 -
                                          lineStarts_.begin());
  return {frames_[k], static_cast<int>(absolute - lineStarts_[k])};
}

FrameIndex FilteredFrames::NextFrame(FrameIndex index) const {
  const auto it = std::upper_bound(frames_.begin() + static_cast<std::ptrdiff_t>(first_),
                                   frames_.end(), index);
  return it == frames_.end() ? kNoFrame : *it;
}

FrameIndex FilterFrames(const FrameStore& store, FrameFilter& filter, FrameIndex begin,
                        FrameIndex end, FilteredFrames& out) {
  begin = std::max(begin, store.FirstIndex());
  end = std::min(end, store.EndIndex());
  for (FrameIndex i = begin; i < end; ++i) {
    const StoredFrame frame = store.Frame(i);
    if (filter.Matches(frame)) out.Add(i, frame.BlockLines());
  }
  return std::max(begin, end);
}

}  // namespace vorlink
