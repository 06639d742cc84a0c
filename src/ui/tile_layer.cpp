#include "ui/tile_layer.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QElapsedTimer>

#include "base/package.h"

namespace vorlink {
namespace {

QString Key(TileId tile) { return QString("%1/%2/%3").arg(tile.zoom).arg(tile.x).arg(tile.y); }

}  // namespace

QString TileUrl(const QString& urlTemplate, TileId tile) {
  QString url = urlTemplate;
  url.replace("{z}", QString::number(tile.zoom));
  url.replace("{x}", QString::number(tile.x));
  url.replace("{y}", QString::number(tile.y));
  return url;
}

QByteArray TileUserAgent() {
  return QByteArray("VORLINK/") + QByteArray::fromStdString(std::string(ProgramVersion()));
}

TileLayer::TileLayer(const QString& cacheFolder, qint64 cacheBytes, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
  auto* cache = new QNetworkDiskCache(network_);
  cache->setCacheDirectory(cacheFolder);
  cache->setMaximumCacheSize(cacheBytes);
  network_->setCache(cache);
  sinceStart_.start();
}

void TileLayer::SetCacheBytes(qint64 cacheBytes) {
  if (auto* cache = qobject_cast<QNetworkDiskCache*>(network_->cache())) cache->setMaximumCacheSize(cacheBytes);
}

void TileLayer::SetUrlTemplate(const QString& urlTemplate) {
  if (urlTemplate == urlTemplate_) return;
  urlTemplate_ = urlTemplate;
  images_.clear();
  failedAt_.clear();
  queue_.clear();
}

void TileLayer::Want(const std::vector<TileId>& tiles) {
  queue_.clear();
  const qint64 now = sinceStart_.elapsed();
  for (const TileId& tile : tiles) {
    const QString key = Key(tile);
    if (images_.contains(key) || running_.contains(key)) continue;
    const auto failed = failedAt_.constFind(key);
    if (failed != failedAt_.cend() && now - *failed < kFailedTileRestMs) continue;
    queue_.push_back(tile);
  }
  StartNext();
}

const QImage* TileLayer::Tile(TileId tile) const { return images_.object(Key(tile)); }

void TileLayer::StartNext() {
  while (!queue_.empty() && running_.size() < kTileRequestsAtOnce) {
    const TileId tile = queue_.front();
    queue_.erase(queue_.begin());
    QNetworkRequest request(QUrl(TileUrl(urlTemplate_, tile)));
    request.setHeader(QNetworkRequest::UserAgentHeader, TileUserAgent());
    // The cache answers while the server's headers say the tile is fresh.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, true);
    running_.insert(Key(tile));
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, tile] { Finished(reply, tile); });
  }
}

void TileLayer::Finished(QNetworkReply* reply, TileId tile) {
  reply->deleteLater();
  const QString key = Key(tile);
  running_.remove(key);
  QImage image;
  if (reply->error() == QNetworkReply::NoError && image.loadFromData(reply->readAll()) &&
      reply->url().toString() == TileUrl(urlTemplate_, tile)) {
    images_.insert(key, new QImage(std::move(image)));
    failedAt_.remove(key);
    emit TileArrived();
  } else if (reply->url().toString() == TileUrl(urlTemplate_, tile)) {
    failedAt_.insert(key, sinceStart_.elapsed());
  }
  StartNext();
}

QString TileCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tiles";
}

}  // namespace vorlink
