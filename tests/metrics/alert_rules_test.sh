#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The shipped alert rules, with Debian's promtool: they load, and each fires for the series that
# call for it and not for the others (tolvane-alerts.test.yml).
# Usage: alert_rules_test.sh SOURCE_DIR
set -euo pipefail
src=$1
command -v promtool >/dev/null || { echo "SKIPPED: promtool (Debian: prometheus) is not installed"; exit 77; }
promtool check rules "$src/dist/prometheus/tolvane-alerts.yml"
promtool test rules "$src/tests/metrics/tolvane-alerts.test.yml"
echo "ok: the alert rules load, and each fires when and where it should"
