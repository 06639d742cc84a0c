#include "decode/ax25_decoder.h"

#include <algorithm>
#include <cstring>

namespace vorlink {
namespace {

constexpr int kDestinationOffset = 2;
constexpr int kSourceOffset = 9;
constexpr int kFirstDigipeaterOffset = 16;
constexpr int kAddressLength = 7;
constexpr int kCallsignLength = 6;
constexpr int kExtensionBit = 0;
constexpr int kRepeatedBit = 7;
constexpr int kPollFinalBit = 4;

constexpr std::array<std::string_view, 4> kSFrameNames{"RR", "RNR", "REJ", "SREJ"};

struct UFrame {
  int code;
  std::string_view withPollFinal;
  std::string_view withoutPollFinal;
  bool hasPid;
};

constexpr std::array<UFrame, 9> kUFrames{{
    {15, "SABME+", "SABME^", false},
    {7, "SABM+", "SABM^", false},
    {8, "DISC+", "DISC^", false},
    {3, "DM-", "DMv", false},
    {12, "UA-", "UAv", false},
    {17, "FRMR-", "FRMRv", false},
    {0, "UI!", "UI", true},
    {23, "XID!", "XID", false},
    {28, "TEST!", "TEST", false},
}};
constexpr std::string_view kUnknownUFrame = "UNKNOWN U";

// What a control byte says: the frame type as shown, and whether a PID follows.
struct ControlMeaning {
  std::array<char, kUnknownUFrame.size()> text{};  // the longest there is
  std::size_t length = 0;
  bool hasPid = false;

  constexpr void Add(std::string_view part) {
    for (const char c : part) text[length++] = c;
  }
  constexpr void Add(int digit) { text[length++] = static_cast<char>('0' + digit); }
};

constexpr ControlMeaning Meaning(std::uint8_t control) {
  ControlMeaning m;
  const bool pollFinal = IsBitSet(control, kPollFinalBit);
  const int nr = ShiftRight(control, 5);
  if (!IsBitSet(control, 0)) {  // I frame
    m.Add("I");
    m.Add(nr);
    m.Add(ShiftRight(control, 1) & 0x07);
    m.Add(pollFinal ? "+" : "^");
    m.hasPid = true;
  } else if (!IsBitSet(control, 1)) {  // S frame
    m.Add(kSFrameNames[ShiftRight(control, 2) & 0x03]);
    m.Add(nr);
    m.Add(pollFinal ? "-" : "v");
  } else {  // U frame: the five modifier bits joined
    const int code = ShiftRight(control & 0xE0, 3) + ShiftRight(control & 0x0C, 2);
    const auto* entry = std::find_if(kUFrames.begin(), kUFrames.end(),
                                     [code](const UFrame& u) { return u.code == code; });
    if (entry == kUFrames.end()) {
      m.Add(kUnknownUFrame);
    } else {
      m.Add(pollFinal ? entry->withPollFinal : entry->withoutPollFinal);
      m.hasPid = entry->hasPid;
    }
  }
  return m;
}

// Every frame looks its control byte up here instead of taking it apart.
constexpr std::array<ControlMeaning, 256> kControlMeanings = [] {
  std::array<ControlMeaning, 256> meanings{};
  for (std::size_t c = 0; c < meanings.size(); ++c) meanings[c] = Meaning(static_cast<std::uint8_t>(c));
  return meanings;
}();

}  // namespace

std::span<const std::uint8_t> Ax25Decoder::Payload() const {
  if (PayloadLength() <= 0) return {};
  return std::span(DecodedFrame).subspan(static_cast<std::size_t>(PayloadOffset),
                                         static_cast<std::size_t>(PayloadLength()));
}

void Ax25Decoder::Deescape(std::span<const std::uint8_t> frameBuffer) {
  EscapePending = false;
  const auto in = frameBuffer.first(std::min(frameBuffer.size(), DecodedFrame.size()));
  // Most frames hold no FESC at all: then they are their own de-escaped copy.
  if (in.empty() || std::memchr(in.data(), kFesc, in.size()) == nullptr) {
    std::copy(in.begin(), in.end(), DecodedFrame.begin());
    DecodedLength = static_cast<int>(in.size());
    return;
  }
  std::size_t out = 0;
  for (std::uint8_t b : in) {
    if (b == kFesc) {
      EscapePending = true;
      continue;
    }
    if (EscapePending && b == kTfesc) {
      b = kFesc;
      EscapePending = false;
    } else if (EscapePending && b == kTfend) {
      b = kFend;
      EscapePending = false;
    }
    DecodedFrame[out++] = b;
  }
  DecodedLength = static_cast<int>(out);
}

int Ax25Decoder::AppendAddress(std::string& out, int offset) const {
  // Spaces go wherever they stand, not only at the end; the result equals
  // RemoveSpaces over the six shifted characters. Every character is stored
  // and a space simply not counted: callsigns of all lengths come mixed, and
  // a branch on each character would be mispredicted again and again.
  constexpr int kSsidTextLength = 3;  // "-15"
  std::array<char, kCallsignLength + kSsidTextLength> text;
  int length = 0;
  for (int i = 0; i < kCallsignLength; ++i) {
    const char c = static_cast<char>(ShiftRight(At(offset + i), 1));
    text[static_cast<std::size_t>(length)] = c;
    length += c != ' ' ? 1 : 0;
  }
  const int ssid = ShiftRight(At(offset + kCallsignLength), 1) & 0x0F;
  if (ssid != 0) {
    text[static_cast<std::size_t>(length++)] = '-';
    if (ssid >= 10) text[static_cast<std::size_t>(length++)] = '1';
    text[static_cast<std::size_t>(length++)] = static_cast<char>('0' + ssid % 10);
  }
  out.append(text.data(), static_cast<std::size_t>(length));
  return ssid;
}

void Ax25Decoder::DecodeControl(int controlOffset) {
  ControlByte = At(controlOffset);
  PollFinal = IsBitSet(ControlByte, kPollFinalBit);
  const ControlMeaning& meaning = kControlMeanings[ControlByte];
  FrameTypeText.assign(meaning.text.data(), meaning.length);
  HasPid = meaning.hasPid;
  if (HasPid) {
    PidByte = At(controlOffset + 1);
    PayloadOffset = controlOffset + 2;
  } else {
    PayloadOffset = controlOffset + 1;
  }
}

void Ax25Decoder::BuildAddressLine() {
  AddressLine.assign("from ");
  AddressLine += SourceText;
  AddressLine += " to ";
  AddressLine += DestinationText;
  if (!DigipeaterText[0].empty()) {
    AddressLine += " via ";
    AddressLine += DigipeaterText[0];
    for (int k = 1; k < DigipeaterCount; ++k) {
      if (DigipeaterText[k].empty()) continue;
      AddressLine += ',';
      AddressLine += DigipeaterText[k];
    }
  }
  AddressLine += ": ";
}

void Ax25Decoder::DecodeAx25Header(std::span<const std::uint8_t> frameBuffer) {
  DestinationText.clear();
  SourceText.clear();
  for (std::string& text : DigipeaterText) text.clear();
  DigipeaterSsid.fill(0);
  DigipeaterRepeated.fill(false);
  DigipeaterCount = 0;

  Deescape(frameBuffer);
  AppendAddress(DestinationText, kDestinationOffset);
  AppendAddress(SourceText, kSourceOffset);

  int controlOffset = kFirstDigipeaterOffset;
  if (!IsBitSet(At(kSourceOffset + kCallsignLength), kExtensionBit)) {
    for (int k = 0; k < kMaxDigipeaters; ++k) {
      const int p = kFirstDigipeaterOffset + kAddressLength * k;
      std::string& text = DigipeaterText[static_cast<std::size_t>(k)];
      DigipeaterSsid[static_cast<std::size_t>(k)] =
          static_cast<std::uint8_t>(AppendAddress(text, p));
      const std::uint8_t ssidByte = At(p + kCallsignLength);
      DigipeaterRepeated[static_cast<std::size_t>(k)] = IsBitSet(ssidByte, kRepeatedBit);
      if (DigipeaterRepeated[static_cast<std::size_t>(k)]) text += '*';
      DigipeaterCount = k + 1;
      controlOffset = p + kAddressLength;
      if (IsBitSet(ssidByte, kExtensionBit)) break;
    }
  }
  DecodeControl(controlOffset);
  BuildAddressLine();
}

}  // namespace vorlink
