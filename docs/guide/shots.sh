#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes every picture the user guide shows, in Chinese and English: the real program started as a
# user starts it, on a real X server (Xvfb) with a tray host, a sound server and a prepared
# schedule, its windows opened by their buttons and menus (program_shots.sh); and the web page as a
# phone shows it, from a real browser against the real program. Run it after a change to a window
# or the page, and commit the pictures with the change.
# Usage: docs/guide/shots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR: docs/guide/images)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "${2:-$(dirname "$0")/images}")
mkdir -p "$out"
for lang in zh_CN.UTF-8 en_US.UTF-8; do
  LANGUAGE= LANG=$lang xvfb-run -a -s "-screen 0 1024x768x24" \
    "$(dirname "$0")/program_shots.sh" "$build/bin" "$out" "${lang:0:2}"
done
# The web page as a phone shows it: the real program serves it, a real browser takes the pictures.
"$(dirname "$0")/../../tests/web/web_browser_test.sh" "$build/bin" "$(realpath "$(dirname "$0")/../..")" \
  "$out" >/dev/null
ls "$out"/*.png | wc -l | xargs echo "pictures:"
