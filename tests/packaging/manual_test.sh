#!/usr/bin/env bash
# manual_test.sh MANDIR PROGRAM...: every option that a program's --help
# names is described in its manual page MANDIR/<program>.1.in, so the two
# cannot drift apart.
set -euo pipefail
mandir=$1; shift
failures=0
for program in "$@"; do
  page=$mandir/$(basename "$program").1.in
  # Options as --help shows them at the start of a line: "  -h, --help", "  --color=WHEN".
  options=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$program" --help |
            grep -oE '^  (-[a-zA-Z], )?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+' | sort -u)
  [ -n "$options" ] || { echo "FAIL: $program --help names no option" >&2; failures=$((failures + 1)); }
  for option in $options; do
    # groff writes a minus as \-.
    grep -qF -- "${option//-/\\-}" "$page" ||
      { echo "FAIL: $(basename "$program") $option is not in $(basename "$page")" >&2; failures=$((failures + 1)); }
  done
done
[ "$failures" -eq 0 ]
