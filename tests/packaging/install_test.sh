#!/usr/bin/env bash
# install_test.sh install BUILD VERSION: installs the build into a temporary
# prefix and checks that every file is where a Linux desktop looks for it and
# that the installed programs run from there.
# install_test.sh deb BUILD VERSION: makes the Debian package and checks its
# fields and files, and lintian's verdict where lintian is installed; skipped
# (status 77) without dpkg-deb and dpkg-shlibdeps.
set -euo pipefail
mode=$1 build=$2 version=$3
skipped=77

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_equal() {  # what actual wanted
  [ "$2" = "$3" ] || fail "$1: got '$2', wanted '$3'"
}

icon_sizes=(16 24 32 48 64 128 256)
files=(bin/vorlink bin/vorlink-view bin/vorlink-decode bin/vorlink-connect bin/vorlink-sim-tnc bin/vorlink-message
       share/vorlink/tnc_init.txt share/vorlink/tnc_exit.txt share/vorlink/sample.kss
       share/applications/vorlink.desktop share/applications/vorlink-view.desktop
       share/mime/packages/vorlink.xml
       share/man/man1/vorlink.1.gz share/man/man1/vorlink-decode.1.gz
       share/man/man1/vorlink-connect.1.gz
       share/man/man1/vorlink-sim-tnc.1.gz share/man/man1/vorlink-view.1.gz
       share/man/man1/vorlink-message.1.gz
       share/doc/vorlink/copyright share/doc/vorlink/changelog.gz)
for size in "${icon_sizes[@]}"; do files+=("share/icons/hicolor/${size}x${size}/apps/vorlink.png"); done

desktop_value() {  # file key
  sed -n "s/^$2=//p" "$1"
}

check_install() {
  local prefix=$tmp/usr
  cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
  for file in "${files[@]}"; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
  done
  for program in vorlink vorlink-view vorlink-decode vorlink-connect vorlink-sim-tnc vorlink-message; do
    [ -x "$prefix/bin/$program" ] || fail "not executable: bin/$program"
  done

  local entry=$prefix/share/applications/vorlink.desktop
  expect_equal "vorlink.desktop Name" "$(desktop_value "$entry" Name)" "VORLINK"
  expect_equal "vorlink.desktop Exec" "$(desktop_value "$entry" Exec)" "vorlink"
  expect_equal "vorlink.desktop Icon" "$(desktop_value "$entry" Icon)" "vorlink"
  expect_equal "vorlink.desktop Categories" "$(desktop_value "$entry" Categories)" "Network;HamRadio;"
  local viewer=$prefix/share/applications/vorlink-view.desktop
  expect_equal "vorlink-view.desktop MimeType" "$(desktop_value "$viewer" MimeType)" \
    "application/x-vorlink-kss;"
  expect_equal "vorlink-view.desktop Exec" "$(desktop_value "$viewer" Exec)" "vorlink-view %f"
  local mime=$prefix/share/mime/packages/vorlink.xml
  grep -q '<mime-type type="application/x-vorlink-kss">' "$mime" || fail "no .kss type in vorlink.xml"
  grep -q '<glob pattern="\*.kss"/>' "$mime" || fail "no *.kss glob in vorlink.xml"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" "$viewer" || fail "desktop-file-validate"
  fi

  for size in "${icon_sizes[@]}"; do
    local png=$prefix/share/icons/hicolor/${size}x${size}/apps/vorlink.png
    # The PNG header's width and height, big-endian at bytes 16 and 20.
    expect_equal "icon size" "$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ')" \
      " 0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))"
  done
  for page in vorlink vorlink-view vorlink-decode vorlink-connect vorlink-sim-tnc vorlink-message; do
    gzip -dc "$prefix/share/man/man1/$page.1.gz" | head -1 | grep -q "^\.TH .* \"vorlink $version\"" ||
      fail "manual page $page lacks its title line with the version"
  done

  expect_equal "installed vorlink-decode --version" \
    "$(cd / && "$prefix/bin/vorlink-decode" --version | head -1)" "vorlink-decode $version"
  expect_equal "installed vorlink-view --version" \
    "$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vorlink-view" --version | head -1)" \
    "vorlink-view $version"
  expect_equal "installed vorlink --version" \
    "$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vorlink" --version | head -1)" "vorlink $version"
  (cd / && "$prefix/bin/vorlink-decode" --color=never - <"$prefix/share/vorlink/sample.kss" \
    >"$tmp/sample.txt") || fail "installed vorlink-decode cannot decode the installed sample"
  grep -q "KISS Frame (without CRC)" "$tmp/sample.txt" || fail "the installed sample decodes to no frame"
}

check_deb() {
  if ! command -v dpkg-deb >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
    echo "no dpkg-deb and dpkg-shlibdeps here: no Debian package made"
    exit $skipped
  fi
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack.log" ||
    { cat "$tmp/cpack.log" >&2; fail "cpack"; return; }
  local deb
  deb=$(ls "$tmp"/deb/vorlink_"$version"_*.deb)
  expect_equal "Package" "$(dpkg-deb -f "$deb" Package)" "vorlink"
  expect_equal "Version" "$(dpkg-deb -f "$deb" Version)" "$version"
  expect_equal "Section" "$(dpkg-deb -f "$deb" Section)" "hamradio"
  expect_equal "Maintainer" "$(dpkg-deb -f "$deb" Maintainer)" "VORLINK developers <vorlink@example.org>"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libqt6widgets6 libqt6serialport6 libqt6network6 qt6-qpa-plugins; do
    [[ "$depends" == *"$package"* ]] || fail "Depends lacks $package: $depends"
  done
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./usr/||' | sort >"$tmp/contents"
  for file in "${files[@]}"; do
    grep -qx "$file" "$tmp/contents" || fail "not in the package: $file"
  done
  if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian"
    local hardening
    hardening=$(lintian -I --pedantic "$deb" | grep -E 'hardening-' || true)
    # clang (the test command's build) fortifies no C++ library call; the
    # package itself is built by g++, which does.
    if grep -q '^CMAKE_CXX_COMPILER:.*clang' "$build/CMakeCache.txt"; then
      echo "built by clang: lintian's tag hardening-no-fortify-functions not counted"
      hardening=$(grep -v 'hardening-no-fortify-functions' <<<"$hardening" || true)
    fi
    [ -z "$hardening" ] || fail "lintian finds programs built without hardening: $hardening"
  fi
}

case $mode in
  install) check_install ;;
  deb) check_deb ;;
  *) echo "usage: install_test.sh install|deb BUILD VERSION" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ]
