#!/usr/bin/env bash
# orximaq on GStreamer's test source, as docs/gstreamer.md shows it: devices
# with formats, properties, acquire of each colour format, and --set
# pattern=ball changing the frames. Runs inside `unshare -n`; refuses to run
# where a network interface exists.
set -euo pipefail
orximaq=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
interfaces=$(awk -F: 'NR > 2 { gsub(/ /, "", $1); print $1 }' /proc/self/net/dev | grep -v '^lo$' || true)
[[ -z "$interfaces" ]] || { echo "network interfaces present ($interfaces): run under unshare -n"; exit 1; }
bars="videotestsrc pattern=smpte is-live=true"

"$orximaq" --gstreamer "$bars" devices > "$out/devices.txt"
grep -q "$bars" "$out/devices.txt"
for format in 'RGB24 (640x480)' 'RGB32 (640x480)' 'Y800 (640x480)' 'Y16 (640x480)'; do
    grep -qF "$format" "$out/devices.txt"
done

"$orximaq" --gstreamer "$bars" properties "$bars" > "$out/properties.txt"
grep -Eq '^ +pattern +enumeration +.*ball' "$out/properties.txt"
grep -Eq '^ +horizontalspeed +integer range' "$out/properties.txt"

for format in 'RGB24 (640x480)' 'Y800 (320x240)' 'Y16 (320x240)' 'RGB32 (160x120)'; do
    "$orximaq" --gstreamer "$bars" acquire "$bars" "$format" -n 3 -o "$out/frames" > "$out/acquire.txt"
    grep -q 'frames received:  3 of 3' "$out/acquire.txt"
    [[ -s "$out/frames/frame-0003.png" ]]
    rm -rf "$out/frames"
done

# Bars, then the ball on black: the files differ, and the ball's is mostly black (smaller).
"$orximaq" --gstreamer "$bars" acquire "$bars" 'Y800 (640x480)' -n 1 -o "$out/bars" > /dev/null
"$orximaq" --gstreamer "$bars" acquire "$bars" 'Y800 (640x480)' -n 1 -o "$out/ball" --set pattern=ball > /dev/null
! cmp -s "$out/bars/frame-0001.png" "$out/ball/frame-0001.png"
(( $(stat -c %s "$out/ball/frame-0001.png") < $(stat -c %s "$out/bars/frame-0001.png") ))

# A pipeline that does not parse: the device is listed, and opening it fails with a message.
"$orximaq" --gstreamer "videotestsrc ! no-such-element" devices > "$out/broken.txt" 2>&1
grep -q 'no-such-element' "$out/broken.txt"
if "$orximaq" --gstreamer "videotestsrc ! no-such-element" acquire "videotestsrc ! no-such-element" 1 -n 1 \
       -o "$out/none" > "$out/refused.txt" 2>&1; then
    echo "a pipeline that does not parse acquired frames"; exit 1
fi
echo "orximaq on GStreamer's test source: 1 passed, 0 failed"
