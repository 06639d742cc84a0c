#include "decode/aprs_detail.h"

#include "decode/aprs_fields.h"

namespace vorlink {
namespace {

constexpr char kNotSent[] = "not sent";
constexpr unsigned char kFirstShownByte = 0x20;
constexpr unsigned char kDelete = 0x7F;

class DetailSink final : public AprsFieldSink {
 public:
  explicit DetailSink(std::vector<AprsDetailLine>& lines) : lines_(lines) {}

  using AprsFieldSink::Text;
  void Text(AprsField field, std::span<const std::string_view> runs) override {
    std::string& value = Value(field);
    for (std::string_view run : runs) AppendLatin1(value, run);
  }
  void Number(AprsField field, double v) override {
    const AprsFieldInfo& info = FieldInfo(field);
    std::string& value = Value(field);
    AppendNumber(value, v, info.decimals);
    if (!info.unit.empty() && list_ < 0) {
      if (info.unit.front() != '\xC2') value += ' ';  // a degree sign hugs its number
      value += info.unit;
    }
  }
  void Bool(AprsField field, bool v) override { Value(field) = v ? "yes" : "no"; }
  void Null(AprsField field) override { Value(field) += list_ >= 0 ? "-" : kNotSent; }
  void BeginList(AprsField field) override {
    lines_.push_back({level_, std::string(FieldInfo(field).label), {}});
    list_ = static_cast<int>(lines_.size()) - 1;
  }
  void EndList() override { list_ = -1; }
  void BeginGroup(AprsField field) override {
    lines_.push_back({level_++, std::string(FieldInfo(field).label), {}});
  }
  void EndGroup() override { --level_; }

 private:
  // The line a value goes to: the list's own, with ", " between members.
  std::string& Value(AprsField field) {
    if (list_ >= 0) {
      std::string& value = lines_[static_cast<std::size_t>(list_)].value;
      if (!value.empty()) value += ", ";
      return value;
    }
    lines_.push_back({level_, std::string(FieldInfo(field).label), {}});
    return lines_.back().value;
  }

  std::vector<AprsDetailLine>& lines_;
  int level_ = 0;
  int list_ = -1;
};

}  // namespace

void AppendLatin1(std::string& out, std::string_view bytes) {
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < kFirstShownByte || b == kDelete) {
      out += '.';
    } else if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
}

std::vector<AprsDetailLine> AprsDetailLines(const AprsReport& report) {
  std::vector<AprsDetailLine> lines;
  DetailSink sink(lines);
  VisitAprsReport(report, sink);
  return lines;
}

}  // namespace vorlink
