// libFuzzer target: the APRS decoder and both ways of showing a report.
//
// Input layout:
//   byte 0      n: the destination callsign's length (n % 10)
//   n bytes     the destination (Mic-E reads its latitude there)
//   the rest    the information field
//
// Beyond the sanitizers' findings the target traps when the JSON line or
// the detail lines are not UTF-8, when the JSON line holds a raw control
// byte, or when a report's text views point outside the input.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "aprs_json.h"
#include "aprs/aprs_decoder.h"
#include "aprs/aprs_detail.h"
#include "aprs/aprs_fields.h"
#include "utf8_check.h"

namespace {

constexpr std::size_t kMaxDestination = 10;

bool IsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  return vorlink::fuzz::IsUtf8(p, p + text.size());
}

// Every text a report gives lies within the input (or is one of the
// decoder's own constant texts, which are short and printable).
class InsideSink final : public vorlink::AprsFieldSink {
 public:
  explicit InsideSink(std::span<const std::uint8_t> input) : input_(input) {}
  using vorlink::AprsFieldSink::Text;
  void Text(vorlink::AprsField f, std::span<const std::string_view> runs) override {
    for (std::string_view r : runs) {
      const auto* p = reinterpret_cast<const std::uint8_t*>(r.data());
      const bool inside = p >= input_.data() && p + r.size() <= input_.data() + input_.size();
      if (!inside && f == vorlink::AprsField::Comment) __builtin_trap();
    }
  }
  void Number(vorlink::AprsField, double) override {}
  void Bool(vorlink::AprsField, bool) override {}
  void Null(vorlink::AprsField) override {}
  void BeginList(vorlink::AprsField) override {}
  void EndList() override {}
  void BeginGroup(vorlink::AprsField) override {}
  void EndGroup() override {}

 private:
  std::span<const std::uint8_t> input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::span<const std::uint8_t> input(data, size);
  const std::size_t n = std::min<std::size_t>(input[0] % kMaxDestination, size - 1);
  const std::string_view destination(reinterpret_cast<const char*>(data + 1), n);
  const auto info = input.subspan(1 + n);

  const vorlink::AprsReport report = vorlink::DecodeAprs(info, destination);
  InsideSink inside(input);
  vorlink::VisitAprsReport(report, inside);

  std::string json;
  vorlink::Ax25Decoder frame;
  vorlink::AppendAprsJson(json, 1, frame, vorlink::kNoArrivalTime, report);
  if (!IsUtf8(json)) __builtin_trap();
  for (std::size_t i = 0; i + 1 < json.size(); ++i) {
    if (static_cast<unsigned char>(json[i]) < 0x20) __builtin_trap();
  }
  for (const auto& line : vorlink::AprsDetailLines(report)) {
    if (!IsUtf8(line.label) || !IsUtf8(line.value)) __builtin_trap();
  }
  return 0;
}
