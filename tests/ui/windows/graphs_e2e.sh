#!/usr/bin/env bash
# The result graphs of a finished Quick run in the preview program, in both units, from X
# screenshots: they come to rest, and the graphs' colours stand where they belong. The
# screenshots are kept in the work folder (graphs-1024.png, graphs-1000.png).
set -u
BUILD=$1 DRIVER=$2 PREVIEW=$3
WORK="$BUILD/graphs-e2e"
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/../../tools/window_test_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (scripts/test starts one)"
preview=$(windows_path "$PREVIEW")

# How many pixels of region "X Y W H" are within 3 per channel of colour RRGGBB.
count_colour() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 1.2% -fill black +opaque "#$3" -fill white -opaque "#$3" \
    -format '%[fx:round(mean*w*h)]' info:
}

expect_some() {  # IMAGE REGION COLOUR AT_LEAST WHAT
  local n
  n=$(count_colour "$1" "$2" "$3")
  ((n >= $4)) || fail "$5: $n pixels of $3 in $2, fewer than $4"
}

# Screenshots until two in a row show the same graphs: the animation has stopped.
settled_screenshot() {
  local image=$1 region=$2 previous="$WORK/previous.png" i
  for i in $(seq 1 40); do
    screenshot "$image"
    convert "$image" -crop "$region" +repage "$WORK/now.png"
    if [ -f "$previous" ] && [ "$(compare -metric AE "$WORK/now.png" "$previous" null: 2>&1)" = 0 ]; then
      rm -f "$previous"
      return 0
    fi
    mv "$WORK/now.png" "$previous"
    sleep 0.3
  done
  fail "the graphs were still moving after 40 screenshots"
}

# One look at the preview: "$1" is the unit's name, the rest the preview's options.
look() {
  local unit=$1
  shift
  drive "start '$preview' $*" >/dev/null
  drive 'wait-window --title "FOLVI UI preview"' >/dev/null
  read -r rx ry rw rh <<<"$(drive 'rect 1020')"
  read -r wx wy ww wh <<<"$(drive 'rect 1021')"
  settled_screenshot "$WORK/graphs-$unit.png" "$((wx + ww - rx))x${rh}+${rx}+${ry}"
  drive 'close'
  drive 'wait-exit' >/dev/null
}

driver_open
look 1024
look 1000 --decimal
driver_close

for unit in 1024 1000; do
  shot="$WORK/graphs-$unit.png"
  for graph in read write; do
    if [ $graph = read ]; then gx=$rx gy=$ry gw=$rw gh=$rh; else gx=$wx gy=$wy gw=$ww gh=$wh; fi
    bottom=$((gy + gh - 6))  # the plot ends 6 pixels above the graph's bottom
    # Header band above the texts, the background in the padding left of the plot.
    expect_region_colour "$shot" "$((gx + gw / 2 - 20)) $((gy + 1)) 40 3" 1B304F
    expect_region_colour "$shot" "$((gx + 1)) $((gy + gh / 2)) 4 20" 203A60
    # Along the plot's floor: the best bar once, the others many times; the number in the header.
    expect_some "$shot" "$gx $((bottom - 3)) $gw 2" AAEEFF 4 "$unit $graph best bar"
    expect_some "$shot" "$gx $((bottom - 3)) $gw 2" 3D6082 300 "$unit $graph bars"
    expect_some "$shot" "$((gx + gw / 2)) $gy $((gw / 2)) 30" AAEEFF 20 "$unit $graph number"
    expect_some "$shot" "$((gx + gw / 2)) $gy $((gw / 2)) 30" 7989A0 5 "$unit $graph unit"
    expect_some "$shot" "$gx $gy $((gw / 2)) 30" FFFFFF 20 "$unit $graph title"
  done
  # The failed write: a thin bar, half transparent over the background.
  expect_some "$shot" "$wx $((wy + wh - 7)) $ww 1" 103F9F 2 "$unit failed write"
done

# Both units: the same bars, another number and label.
crop_compare() {  # REGION: pixels that differ between the two screenshots
  convert "$WORK/graphs-1024.png" -crop "$1" +repage "$WORK/a.png"
  convert "$WORK/graphs-1000.png" -crop "$1" +repage "$WORK/b.png"
  compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1
}
[ "$(crop_compare "${rw}x$((rh - 40))+${rx}+$((ry + 40))")" = 0 ] || fail "the bars changed with the unit"
[ "$(crop_compare "$((rw / 2))x30+$((rx + rw / 2))+${ry}")" != 0 ] || fail "the number stayed with the unit"

echo "graphs end to end: passed"
