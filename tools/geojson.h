// vorlink-decode --geojson: the stations of a capture as one GeoJSON
// FeatureCollection. A Point per station and object at its last position
// (callsign or name, symbol table and code, last heard in UTC, comment,
// course, speed in km/h, altitude in metres, direct when no digipeater had
// repeated the last report) and a LineString of the positions of each one
// that moved, in time order. Coordinates are [longitude, latitude]. One
// line, like every JSON document the tool prints.
#pragma once

#include <string>

#include "geo/track_store.h"

namespace vorlink {

void AppendGeoJson(std::string& out, const TrackStore& stations);

}  // namespace vorlink
