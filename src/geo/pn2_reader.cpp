#include "geo/pn2_reader.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace vorlink {
namespace {

constexpr std::uint8_t kGroupKind = 4;
constexpr std::size_t kNodeBytes = 6;
constexpr std::size_t kStepBytes = 2;
// No base map file comes near this; a corrupt count must not ask for more.
constexpr std::uintmax_t kMaxPn2Bytes = std::uintmax_t{64} << 20;

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t Left() const { return bytes_.size() - at_; }
  std::optional<std::uint32_t> Unsigned(std::size_t width) {
    if (Left() < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes_[at_++];
    return value;
  }
  std::optional<std::int32_t> Signed(std::size_t width) {
    const auto value = Unsigned(width);
    if (!value) return std::nullopt;
    const std::uint32_t sign = 1U << (8 * width - 1);
    return static_cast<std::int32_t>(*value ^ sign) - static_cast<std::int32_t>(sign);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

GeoPoint Steps(std::int32_t latitude, std::int32_t longitude) {
  return {latitude / kPn2StepsPerDegree, longitude / kPn2StepsPerDegree};
}

// One node and the points around it; false when the bytes end first.
bool ReadNode(Reader& in, std::vector<GeoPoint>& points) {
  const auto lat = in.Signed(2);
  const auto lon = in.Signed(2);
  const auto around = in.Unsigned(2);
  if (!around || *around * kStepBytes > in.Left()) return false;
  points.push_back(Steps(*lat, *lon));
  for (std::uint32_t i = 0; i < *around; ++i) {
    const std::int32_t dLat = *in.Signed(1);
    const std::int32_t dLon = *in.Signed(1);
    points.push_back(Steps(*lat + dLat, *lon + dLon));
  }
  return true;
}

std::string ReadShape(Reader& in, std::uint8_t kind, std::uint32_t id, Pn2File& file) {
  if (kind != 0 && kind != 2 && kind != 3) return "unknown record kind " + std::to_string(kind);
  const auto nodes = in.Unsigned(4);
  if (!nodes || *nodes * kNodeBytes > in.Left()) return "record " + std::to_string(id) + " cut short";
  Pn2Shape shape{static_cast<Pn2Kind>(kind), id, {}};
  for (std::uint32_t n = 0; n < *nodes; ++n) {
    if (!ReadNode(in, shape.points)) return "record " + std::to_string(id) + " cut short";
  }
  file.points += shape.points.size();
  file.shapes.push_back(std::move(shape));
  return {};
}

}  // namespace

Pn2File ReadPn2(std::span<const std::uint8_t> bytes) {
  Pn2File file;
  Reader in(bytes);
  const auto version = in.Unsigned(1);
  const auto count = in.Unsigned(4);
  // A short read takes nothing, so each part is checked: a later, narrower
  // one could still succeed.
  if (!version || !count || !in.Unsigned(1)) {
    file.error = "no header";
    return file;
  }
  if (*version != kPn2Version) {
    file.error = "version " + std::to_string(*version) + " is not known";
    return file;
  }
  for (std::uint32_t read = 0; read < *count && file.error.empty();) {
    const auto kind = in.Unsigned(1);
    const auto id = in.Unsigned(4);
    if (!id) {
      file.error = "cut short after " + std::to_string(read) + " records";
    } else if (*kind == kGroupKind) {
      if (!in.Unsigned(1)) file.error = "record " + std::to_string(*id) + " cut short";
    } else {
      file.error = ReadShape(in, static_cast<std::uint8_t>(*kind), *id, file);
      ++read;
    }
  }
  if (file.error.empty() && in.Left() != 0) file.error = "bytes after the last record";
  return file;
}

Pn2File ReadPn2File(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  std::ifstream in(file, std::ios::binary);
  if (error || !in) return Pn2File{{}, 0, file.string() + " cannot be read"};
  if (size > kMaxPn2Bytes) return Pn2File{{}, 0, file.string() + " is too large"};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
    return Pn2File{{}, 0, file.string() + " cannot be read"};
  }
  Pn2File read = ReadPn2(bytes);
  if (!read.error.empty()) read.error = file.string() + ": " + read.error;
  return read;
}

}  // namespace vorlink
