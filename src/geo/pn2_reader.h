// The .pn2 polygon files of the Natural Earth base map (coastlines, land
// borders, lakes, rivers), read whole from bytes. Layout, big-endian:
//
//   header   u8 version (2), u32 record count, u8 reserved
//   record   u8 kind, u32 id, then
//              kind 4: u8 parts  (a group: the next `parts` records are its
//                                 parts; not itself counted in the header)
//              else:   u32 node count, then the nodes
//   node     i16 latitude, i16 longitude (1/120 degree), u16 n, then n pairs
//            of i8 latitude, i8 longitude: points that many 1/120 degree
//            steps away from the node (not from each other)
//
// Kinds: 0 a line, 2 a polygon's outer ring, 3 a hole in the ring before it.
// The files come from a package: a short or inconsistent one reads as an
// error, never past its end, and never holds more than its bytes can.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "geo/geo_point.h"

namespace vorlink {

inline constexpr std::uint8_t kPn2Version = 2;
inline constexpr double kPn2StepsPerDegree = 120.0;

enum class Pn2Kind : std::uint8_t { Line = 0, Polygon = 2, Hole = 3 };

struct Pn2Shape {
  Pn2Kind kind = Pn2Kind::Line;
  std::uint32_t id = 0;
  std::vector<GeoPoint> points;
};

struct Pn2File {
  std::vector<Pn2Shape> shapes;
  std::size_t points = 0;
  std::string error;  // why the bytes could not be read whole; empty when they could
};

Pn2File ReadPn2(std::span<const std::uint8_t> bytes);
// The error names the file when it is missing or unreadable.
Pn2File ReadPn2File(const std::filesystem::path& file);

}  // namespace vorlink
