// vorlink-icons FOLDER SIZE...: draws the program's logo as the desktop's
// icon theme wants it, FOLDER/<SIZE>x<SIZE>/apps/vorlink.png for each size,
// from the same drawing as the about window's. Run by the build.
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/package.h"
#include "ui/artwork.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorlink-icons FOLDER SIZE...\n"
    "Write the logo as FOLDER/<SIZE>x<SIZE>/apps/vorlink.png for each SIZE.\n";
constexpr int kLargestSize = 1024;

}  // namespace

int main(int argc, char** argv) {
  const std::string_view first = argc > 1 ? argv[1] : "";
  if (first == "--version") {
    std::printf("%s\n", vorlink::VersionText("vorlink-icons").c_str());
    return 0;
  }
  if (first == "--help" || first == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc < 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const std::filesystem::path folder = argv[1];
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 1 || size > kLargestSize) {
      std::fprintf(stderr, "vorlink-icons: not a size: %s\n", argv[i]);
      return 2;
    }
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path file = folder / square / "apps" / "vorlink.png";
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error || !vorlink::LogoPixmap(size).save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "vorlink-icons: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
