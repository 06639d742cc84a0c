// Online tiles from a tile server on 127.0.0.1: the request names VORLINK
// and asks for no bypass of caches, a tile that fails leaves nothing drawn,
// and a second run is served from the disk cache without a request.
#include "ui/tile_layer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "temp_folder.h"

namespace vorlink {
namespace {

// A minimal HTTP server: a PNG for /1/0/0.png, 404 for anything else; every
// request kept.
class TileServer {
 public:
  TileServer() {
    QImage tile(kTilePixels, kTilePixels, QImage::Format_RGB32);
    tile.fill(Qt::green);
    QBuffer buffer(&png_);
    buffer.open(QIODevice::WriteOnly);
    tile.save(&buffer, "PNG");
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      QTcpSocket* socket = server_.nextPendingConnection();
      QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Answer(*socket); });
    });
  }
  QString Template() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server_.serverPort()); }
  const QList<QByteArray>& Requests() const { return requests_; }

 private:
  void Answer(QTcpSocket& socket) {
    pending_ += socket.readAll();
    const qsizetype end = pending_.indexOf("\r\n\r\n");
    if (end < 0) return;
    const QByteArray request = pending_.left(end);
    pending_.remove(0, end + 4);
    requests_.append(request);
    if (request.startsWith("GET /1/0/0.png ")) {
      socket.write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=86400\r\n"
                   "Content-Length: " + QByteArray::number(png_.size()) + "\r\n\r\n" + png_);
    } else {
      socket.write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    }
  }

  QTcpServer server_;
  QByteArray png_;
  QByteArray pending_;
  QList<QByteArray> requests_;
};

TEST(TileLayerTest, UrlsAndUserAgent) {
  EXPECT_EQ(TileUrl(kDefaultTileUrl, {5, 17, 10}), "https://tile.openstreetmap.org/5/17/10.png");
  EXPECT_TRUE(TileUserAgent().startsWith("VORLINK/"));
}

TEST(TileLayerTest, TilesFromTheServerThenFromTheDiskCache) {
  TileServer server;
  testing::TempFolder cache;
  const QString folder = QString::fromStdString(cache.path().string());
  const TileId good{1, 0, 0};
  const TileId missing{1, 1, 0};
  {
    TileLayer tiles(folder, kDefaultTileCacheBytes);
    tiles.SetUrlTemplate(server.Template());
    QSignalSpy arrived(&tiles, &TileLayer::TileArrived);
    tiles.Want({good, missing});
    ASSERT_TRUE(arrived.wait(5000));
    QTRY_COMPARE_WITH_TIMEOUT(tiles.Pending(), 0, 5000);
    ASSERT_NE(tiles.Tile(good), nullptr);
    EXPECT_EQ(tiles.Tile(good)->pixelColor(10, 10), QColor(Qt::green));
    EXPECT_EQ(tiles.Tile(missing), nullptr);
    ASSERT_EQ(server.Requests().size(), 2);
    for (const QByteArray& request : server.Requests()) {
      EXPECT_TRUE(request.contains("\r\nUser-Agent: VORLINK/")) << request.toStdString();
      EXPECT_FALSE(request.toLower().contains("no-cache")) << request.toStdString();
    }
    // A failed tile is not asked for again straight away.
    tiles.Want({missing});
    EXPECT_EQ(tiles.Pending(), 0);
  }
  TileLayer again(folder, kDefaultTileCacheBytes);
  again.SetUrlTemplate(server.Template());
  QSignalSpy arrived(&again, &TileLayer::TileArrived);
  again.Want({good});
  ASSERT_TRUE(arrived.wait(5000));
  EXPECT_NE(again.Tile(good), nullptr);
  EXPECT_EQ(server.Requests().size(), 2);  // the cache answered
}

}  // namespace
}  // namespace vorlink
