#!/usr/bin/env bash
# What each scene costs to draw, in instructions per frame: velvet-render --bench run
# under callgrind with the rasteriser on the calling thread, so the figures are the same
# on a busy machine as on an idle one (frame times are not). Compare two builds or two
# data folders with it; --bench gives the times.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: scene-cost.sh [--frames N] [--data DIR] [--size WxH]
  --frames N   frames counted per scene (default 6), after two that compile its programs
  --data DIR   the show's data folder (default: build/Data)
  --size WxH   frame size (default: the show's 1024x768)
Prints one line per scene: its number and millions of instructions per frame.
Needs valgrind (Debian: apt-get install valgrind). A run takes a few minutes.
EOF
}

root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
render=${VELVET_RENDER:-$root/build/velvet-render}
frames=6; data=$root/build/Data; size=()
while [ $# -gt 0 ]; do
  case $1 in
    --frames) [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || { echo "scene-cost: --frames needs a count" >&2; exit 2; }; frames=$2; shift 2 ;;
    --data) [ -n "${2:-}" ] || { echo "scene-cost: --data needs a folder" >&2; exit 2; }; data=$2; shift 2 ;;
    --size) [ -n "${2:-}" ] || { echo "scene-cost: --size needs WxH" >&2; exit 2; }; size=(--size "$2"); shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
command -v valgrind >/dev/null || { echo "scene-cost: valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }
[ -x "$render" ] || { echo "scene-cost: $render is missing: build it first (./velvet build)" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! LP_NUM_THREADS=0 SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} SDL_AUDIODRIVER=dummy \
  valgrind --tool=callgrind --callgrind-out-file="$out/cost" \
  "$render" --data "$data" --bench --frames $((frames + 2)) "${size[@]}" >/dev/null 2>"$out/log"; then
  tail -n 5 "$out/log" >&2
  echo "scene-cost: the benchmark failed" >&2
  exit 1
fi
# Each scene's dump names its frames; its total is on the summary (or totals) line.
ls "$out"/cost.* >/dev/null 2>&1 || {
  echo "scene-cost: velvet-render marks no scenes: build it with valgrind installed (./velvet build)" >&2; exit 1; }
for f in "$out"/cost.*; do
  awk '/^desc: Trigger: Client Request: scene / { scene = $6; n = $8 }
       /^(summary|totals):/ { total = $2 }
       END { if (n > 0) printf "%s %.1f\n", scene, total / n / 1e6 }' "$f"
done | sort -n | awk 'BEGIN { print "scene  Minstr/frame" } { printf "%5d  %12.1f\n", $1, $2 }'
