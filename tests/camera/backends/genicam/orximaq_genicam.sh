#!/usr/bin/env bash
# orximaq on Aravis' fake camera, as docs/genicam.md shows it: devices,
# properties with a write read back, and acquire with a region of interest.
# Runs inside `unshare -n`; refuses to run where a network interface exists.
set -euo pipefail
orximaq=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
interfaces=$(ls /proc/self/net/dev >/dev/null && awk -F: 'NR > 2 { gsub(/ /, "", $1); print $1 }' /proc/self/net/dev | grep -v '^lo$' || true)
[[ -z "$interfaces" ]] || { echo "network interfaces present ($interfaces): run under unshare -n"; exit 1; }

"$orximaq" --genicam Fake devices > "$out/devices.txt"
grep -q 'Aravis Fake 1' "$out/devices.txt"
grep -q 'Y800 (2048x2048)' "$out/devices.txt"
grep -q 'Y16 (2048x2048)' "$out/devices.txt"

"$orximaq" --genicam Fake properties "Aravis Fake 1" --set Gain=7 --set Exposure=2000 > "$out/properties.txt"
grep -Eq '^ +Gain +integer range +\[0, 10\] +never +7$' "$out/properties.txt"
grep -Eq '^ +GainAuto +enumeration +On \| Off ' "$out/properties.txt"
grep -Eq '^ +Exposure +double range +\[10, 1e\+07\] +never +2000$' "$out/properties.txt"
if "$orximaq" --genicam Fake properties "Aravis Fake 1" --set Gain=70 2> "$out/refused.txt"; then
    echo "a gain outside the camera's range was accepted"; exit 1
fi

"$orximaq" --genicam Fake acquire "Aravis Fake 1" "Y800 (640x480)" -n 5 --roi 100,50,320,240 -o "$out/frames" > "$out/acquire.txt"
grep -q 'applied 100,50,320,240' "$out/acquire.txt"
grep -q 'frames received:  5 of 5' "$out/acquire.txt"
grep -q '8-bit grey, 320x240' "$out/acquire.txt"
# The fake camera paints its own image, not the simulated test pattern.
grep -q 'frames verified:  not verifiable: not a test-pattern camera' "$out/acquire.txt"
"$orximaq" --genicam Fake acquire "Aravis Fake 1" "Y800 (640x480)" -n 2 -o "$out/json" --json > "$out/acquire.json"
grep -q '"reason": "not a test-pattern camera"' "$out/acquire.json"
echo "orximaq on the fake camera: 1 passed, 0 failed"
