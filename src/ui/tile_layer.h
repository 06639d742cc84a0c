// Online map tiles, drawn over the base map as they arrive. Kept to the
// tile servers' usage policy: a User-Agent naming VORLINK and its version;
// caching by the server's own headers in a disk cache (never a no-cache
// header of ours); only the tiles the view shows are asked for, a few at a
// time, and none ahead of it. A tile that fails is left out (the base map
// shows through) and not asked for again for a while; no dialog.
#pragma once

#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

#include <vector>

#include "geo/web_mercator.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vorlink {

inline constexpr const char* kDefaultTileUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr qint64 kDefaultTileCacheBytes = qint64{200} << 20;
inline constexpr int kTilesInMemory = 128;
inline constexpr int kTileRequestsAtOnce = 4;
inline constexpr qint64 kFailedTileRestMs = 60'000;
inline constexpr const char* kTileAttribution = "\u00A9 OpenStreetMap contributors";

// "{z}/{x}/{y}" of the template filled in.
QString TileUrl(const QString& urlTemplate, TileId tile);
// "VORLINK/<version>".
QByteArray TileUserAgent();

// Where tiles are cached: the user's cache folder.
QString TileCacheFolder();

class TileLayer final : public QObject {
  Q_OBJECT

 public:
  TileLayer(const QString& cacheFolder, qint64 cacheBytes, QObject* parent = nullptr);
  void SetUrlTemplate(const QString& urlTemplate);
  void SetCacheBytes(qint64 cacheBytes);
  QString UrlTemplate() const { return urlTemplate_; }
  // The tiles the view now shows; asks for those it lacks and forgets
  // queued ones the view left.
  void Want(const std::vector<TileId>& tiles);
  // Null until it arrived.
  const QImage* Tile(TileId tile) const;
  int Pending() const { return static_cast<int>(queue_.size()) + static_cast<int>(running_.size()); }

 signals:
  void TileArrived();

 private:
  void StartNext();
  void Finished(QNetworkReply* reply, TileId tile);

  QNetworkAccessManager* network_;
  QString urlTemplate_ = kDefaultTileUrl;
  QCache<QString, QImage> images_{kTilesInMemory};
  std::vector<TileId> queue_;
  QSet<QString> running_;
  QElapsedTimer sinceStart_;
  QHash<QString, qint64> failedAt_;  // ms since start
};

}  // namespace vorlink
