#!/usr/bin/env bash
# Exports a span of the show as one video, rendered in segments at the same time: on
# local job slots, or on the machines of a GNU parallel sshlogin file (the program and the
# show's data are sent along, the segments come back). Each segment is a separate
# `velvet-render --segment K/N` run; `velvet-render --join` puts them end to end without
# re-encoding and adds the soundtrack. A segment that fails is run once
# more, then the export fails and names its log. The soundtrack is encoded once, while
# the segments render. Nothing appears under OUT unless the whole video is there.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: parallel-export.sh OUT.mp4 [--jobs N] [--hosts FILE] [--segments N] [--ssh COMMAND]
                          [--size WxH|720p|1080p|1440p|2160p] [--fps F] [--from MS]
                          [--to MS | --seconds N] [--lossless] [--data DIR]
  --jobs N       segments rendered at once: on this machine (default: its processor
                 count), or on each machine of --hosts (default 1)
  --hosts FILE   render on the machines listed in FILE (GNU parallel's --sshloginfile:
                 one [ncpus/]user@host a line, ':' for this machine); each needs ssh
                 access, rsync and the show's run-time libraries (./velvet build there)
  --segments N   how many parts the span is cut into (default: two per job slot, at
                 most one per second of the span)
  --ssh COMMAND  what parallel reaches the hosts with (default: ssh)
  --data DIR     the show's data folder (default: build/Data)
The span, size, rate and --lossless are velvet-render's (velvet-render --help).
VELVET_RENDER names the program (default: build/velvet-render of this repository).
EOF
}

say() { echo "velvet export: $*" >&2; }
die() { say "$*"; exit 1; }
need() { [ "$2" -ge 2 ] || die "$1 needs a value (try --help)"; }
whole() { [[ $2 =~ ^[1-9][0-9]*$ ]] || die "bad value '$2' for $1"; }

root=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
render=$(readlink -f "${VELVET_RENDER:-$root/build/velvet-render}")
out=""; jobs=""; hosts=""; segments=""; ssh=""; data=$root/build/Data
span=(); seconds=""; from=0; to=""
while [ $# -gt 0 ]; do
  case $1 in
    --jobs) need "$1" $#; whole "$1" "$2"; jobs=$2; shift 2 ;;
    --hosts) need "$1" $#; hosts=$2; shift 2 ;;
    --segments) need "$1" $#; whole "$1" "$2"; segments=$2; shift 2 ;;
    --ssh) need "$1" $#; ssh=$2; shift 2 ;;
    --data) need "$1" $#; data=$2; shift 2 ;;
    --size|--fps|--from|--to|--seconds)
      need "$1" $#
      case $1 in --from) from=$2 ;; --to) to=$2 ;; --seconds) seconds=$2 ;; esac
      span+=("$1" "$2"); shift 2 ;;
    --lossless) span+=("$1"); shift ;;
    -h|--help) usage; exit 0 ;;
    -*) die "unknown option '$1' (try --help)" ;;
    *) [ -z "$out" ] || die "one output file only ('$out' and '$1')"; out=$1; shift ;;
  esac
done
[ -n "$out" ] || { usage >&2; exit 2; }
[ -x "$render" ] || die "$render is missing: build it first (./velvet build)"
command -v parallel >/dev/null || die "GNU parallel is not installed (Debian: apt-get install parallel)"
[ -z "$hosts" ] || [ -r "$hosts" ] || die "cannot read the hosts file $hosts"
[ -d "$data" ] || die "no show data folder at $data"
out=$(readlink -f "$out")
data=$(readlink -f "$data")
[ -z "$hosts" ] || hosts=$(readlink -f "$hosts")
[ -d "$(dirname "$out")" ] || die "no folder $(dirname "$out") for $out"

# Job slots, and enough segments that a slow part of the show does not leave the others
# idle, but each long enough that loading the show stays a small part of it.
if [ -n "$hosts" ]; then
  jobs=${jobs:-1}
  machines=$(grep -cv '^[[:space:]]*\(#\|$\)' "$hosts" || true)
  [ "$machines" -gt 0 ] || die "no machine listed in $hosts"
  slots=$((machines * jobs))
else
  jobs=${jobs:-$(nproc)}
  slots=$jobs
fi
if [ -z "$segments" ]; then
  segments=$((2 * slots))
  if [ -n "$to" ]; then length=$(((to - from) / 1000)); elif [ -n "$seconds" ]; then length=${seconds%.*}; else length=""; fi
  if [ -n "$length" ] && [ "$length" -lt "$segments" ]; then segments=$((length > 1 ? length : 1)); fi
fi

work=$(mktemp -d "$out.export.XXXXXX")
mkdir -p "$work/segments" "$work/logs" "$work/progress"
remote_dir=.velvet-export/$(basename "$work")
monitor=""
sounder=""
keep_logs=0
parallel_ssh=()
[ -z "$ssh" ] || parallel_ssh=(--ssh "$ssh")

finish() {
  local status=$?
  kill $monitor $sounder 2>/dev/null || true
  if [ -n "$hosts" ]; then
    parallel --nonall --sshloginfile "$hosts" "${parallel_ssh[@]}" \
      "rm -rf $remote_dir; rmdir .velvet-export 2>/dev/null; true" >/dev/null 2>&1 || true
  fi
  if [ "$keep_logs" -eq 1 ]; then
    rm -rf "$work/segments" "$work/progress"
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap finish EXIT
trap 'say "interrupted; nothing written to $out"; exit 1' INT TERM

# Frames done across the segments running here, from their progress files.
show_progress() {
  local shown=-1 done total d t f
  while sleep 1; do
    done=0; total=0
    for f in "$work"/progress/*; do
      [ -f "$f" ] && read -r d t < "$f" || continue
      done=$((done + d)); total=$t
    done
    [ "$total" -gt 0 ] || continue
    if [ -t 2 ]; then
      printf '\rvelvet export: %d / %d frames (%d%%)\033[K' "$done" "$total" $((100 * done / total)) >&2
    elif [ $((10 * done / total)) -gt "$shown" ]; then
      shown=$((10 * done / total))
      say "$done / $total frames"
    fi
  done
}

started=$(date +%s.%N)
say "$segments segments on $slots job slots$([ -z "$hosts" ] || echo " of $machines machines") into $out"
options=(--colsep ' ' --jobs "$jobs" --retries 2 --halt now,fail=1 --term-seq TERM,5000,KILL,25 --joblog "$work/jobs.log"
  --results "$work/logs/segment-{1}")
if [ -n "$hosts" ]; then
  # The program and the data go to each machine once; segments come back when done.
  if [ -t 2 ]; then options+=(--bar); fi
  options+=(--sshloginfile "$hosts" "${parallel_ssh[@]}" --workdir "$remote_dir"
    --basefile "$(dirname "$render")/./$(basename "$render")" --basefile "$(dirname "$data")/./$(basename "$data")"
    --return "segment-{1}.mp4" --cleanup)
  command=("./$(basename "$render")" --data "$(basename "$data")")
  # A ':' line is this machine: its jobs run in the same working folder, here, where
  # nothing needs sending.
  local_dir=$work/segments/$remote_dir
  mkdir -p "$local_dir"
  ln -s "$render" "$local_dir/$(basename "$render")"
  ln -s "$data" "$local_dir/$(basename "$data")"
else
  show_progress & monitor=$!
  command=("$render" --data "$data" --progress "$work/progress/{1}")
fi
command+=("${span[@]}" --segment "{2}/$segments" --video "segment-{1}.mp4")

for ((k = 1; k <= segments; k++)); do printf '%05d %d\n' "$k" "$k"; done >"$work/segments.txt"
# The soundtrack is encoded once, here, while the segments render: the join only copies.
"$render" --data "$data" "${span[@]}" --soundtrack "$work/soundtrack.m4a" 2>"$work/logs/soundtrack.err" &
sounder=$!
# In the background, so that a signal to this script alone stops the rendering at once:
# parallel passes it on to every segment, which then leaves nothing behind.
(cd "$work/segments" && exec parallel "${options[@]}" -a "$work/segments.txt" -q "${command[@]}" \
  >/dev/null 2>"$work/parallel.log") &
renderer=$!
trap 'kill -TERM "$renderer" "$sounder" $monitor 2>/dev/null; wait || true; say "interrupted; nothing written to $out"; exit 1' INT TERM
rendered=0
wait "$renderer" || rendered=$?
trap 'say "interrupted; nothing written to $out"; exit 1' INT TERM
if [ -n "$monitor" ]; then
  kill "$monitor" 2>/dev/null || true
  wait "$monitor" 2>/dev/null || true
  monitor=""
  if [ -t 2 ]; then echo >&2; fi
fi
if [ "$rendered" -ne 0 ]; then
  failed=$(awk -F'\t' 'NR > 1 && ($7 != 0 || $8 != 0) { print $1; exit }' "$work/jobs.log" 2>/dev/null || true)
  if [ -n "$failed" ]; then
    keep_logs=1
    die "segment $failed of $segments failed twice; see its log $work/logs/segment-$(printf %05d "$failed").err; nothing written to $out"
  fi
  die "the segments could not be rendered ($(tail -n 3 "$work/parallel.log" | tr '\n' ' ')); nothing written to $out"
fi
if [ -n "$hosts" ]; then
  find "$local_dir" -maxdepth 1 -name 'segment-*.mp4' -exec mv -t "$work/segments" {} +
  rm -rf "$work/segments/.velvet-export"
fi
# parallel counts a job by its command's status only: a segment that a host failed to
# start or to send back would otherwise make a shorter video without a word.
for ((k = 1; k <= segments; k++)); do
  name=segment-$(printf %05d "$k")
  if [ ! -s "$work/segments/$name.mp4" ]; then
    keep_logs=1
    die "segment $k of $segments did not come back$([ -z "$hosts" ] || echo " from its host"); see its log $work/logs/$name.err; nothing written to $out"
  fi
done
sounded=0
wait "$sounder" || sounded=$?
sounder=""
if [ "$sounded" -ne 0 ]; then
  keep_logs=1
  die "the soundtrack could not be encoded; see $work/logs/soundtrack.err; nothing written to $out"
fi
joining=$(date +%s.%N)
"$render" --data "$data" "${span[@]}" --join "$work/segments" --audio "$work/soundtrack.m4a" --video "$out"
ended=$(date +%s.%N)
awk -v a="$started" -v b="$joining" -v c="$ended" -v n="$segments" 'BEGIN {
  printf "velvet export: %d segments rendered in %.1f s, joined in %.1f s (%.1f%% of %.1f s)\n", n, b - a, c - b, 100 * (c - b) / (c - a), c - a }' >&2
