#include "tnc/tnc_script.h"

#include <string>

#include "link/kiss.h"
#include "base/text_lines.h"

namespace vorlink {
namespace {

constexpr char kCommentMark = '#';
constexpr char kEscapeChar = '^';
constexpr char kReturnChar = '$';
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::string_view kReadPrefix = "read ";
constexpr std::string_view kDone = "done";
constexpr std::string_view kCutNote = " is larger than 64 KiB: the rest of it is not sent";

bool IsSentLine(std::string_view line) { return !line.empty() && line.front() != kCommentMark; }

void AppendTranslated(char c, std::vector<std::uint8_t>& out) {
  switch (c) {
    case kEscapeChar:
      out.push_back(kEsc);
      break;
    case kReturnChar:
      out.insert(out.end(), std::begin(kReturnCommand), std::end(kReturnCommand));
      break;
    default:
      out.push_back(static_cast<std::uint8_t>(c));
      break;
  }
}

}  // namespace

std::vector<std::uint8_t> ScriptLineBytes(std::string_view line) {
  std::vector<std::uint8_t> bytes;
  if (!IsSentLine(line)) return bytes;
  bytes.reserve(line.size() + 1);
  for (char c : line) AppendTranslated(c, bytes);
  bytes.push_back(kCr);
  return bytes;
}

void SendTncScript(const std::filesystem::path& programFolder, std::string_view fileName,
                   SerialPort& incoming, StatusLine& status) {
  const TextFile script = ReadTextFile(programFolder / fileName, kMostScriptBytes);
  status.SetSimpleText(std::string(kReadPrefix) + std::string(fileName));
  // A missing script is an empty one; one that is there and will not read
  // is named, and not called done.
  if (const std::string problem = ReadProblem(fileName, script.error); !problem.empty()) {
    status.SetSimpleText(problem);
    return;
  }
  for (const std::string& line : script.lines) {
    // The port may close in the middle of a script; each line asks again.
    if (!IsSentLine(line) || !incoming.PortOpen()) continue;
    // A failed write is lost; the script goes on with the next line.
    (void)incoming.Output(ScriptLineBytes(line));
  }
  status.SetSimpleText(kDone);
  // Last, so the status line keeps it.
  if (script.cut) status.SetSimpleText(std::string(fileName) + std::string(kCutNote));
}

}  // namespace vorlink
