#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The AppStream metadata validates, and every screenshot it names is a picture in docs/screens/
# of the size it states (the web page publishes that folder as <homepage>/screens/).
# usage: metainfo.sh <metainfo file> <docs/screens folder>
set -euo pipefail
metainfo=$1 screens=$2
fail() { echo "$*" >&2; exit 1; }

appstreamcli validate --no-net "$metainfo"
count=0
while read -r width height url; do
    picture=$screens/$(basename "$url")
    [ -f "$picture" ] || fail "the metainfo names $url, but $picture does not exist"
    file "$picture" | grep -q "PNG image data, $width x $height" || fail "$picture is not $width x $height: $(file "$picture")"
    count=$((count + 1))
done < <(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">\([^<]*\)</image>.*|\1 \2 \3|p' "$metainfo")
[ "$count" -ge 3 ] || fail "only $count screenshots"
echo "$count screenshots, each in $screens"
