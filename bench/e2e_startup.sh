#!/usr/bin/env bash
# Start-up and memory of a copy: the door simulator at 640x480, 25 pictures/s; a first copy takes the
# telephone, then further copies start one at a time. For each: the time from its start to its window
# mapped and to its first picture shown, and its memory (RSS and PSS, MB) once pictures flow; the figures
# of the telephone's copy and the median of the others, as ratios to the goals (window 0.25 s, first
# picture 0.5 s, 45 MB for a copy without the telephone).
# Usage: bench/e2e_startup.sh BUILD_DIR [COPIES]
set -euo pipefail
copies=${2:-5}
# shellcheck source=bench/e2e_common.sh
source "$(dirname "$0")/e2e_common.sh" "$1"
command -v xdotool >/dev/null || { echo "needs xdotool" >&2; exit 1; }

"$doorsim" --listen 127.0.0.1:0 --size 640x480 --fps 25 --no-sip >"$tmp/sim.out" 2>/dev/null &
pids+=($!)
poll 10 has_content "$tmp/sim.out" || { echo "the simulator did not start" >&2; exit 1; }
address=$(head -n1 "$tmp/sim.out")
mkdir -p -m 0700 "$tmp/cfg/Kestrova" "$tmp/run" "$tmp/data"
printf '[Window 0]\r\nIP_addr=%s\r\n[SIP]\r\nSIP_port=0\r\n' "$address" >"$tmp/cfg/Kestrova/Kestrova.ini"

mapped() { xdotool search --onlyvisible --pid "$1" --class KestrovaClass >/dev/null 2>&1; }
shown_once() { grep -q ' [1-9][0-9]* shown' "$2"; }
memory_mb() {  # RSS and PSS of process $1, in MB
  awk '/^Rss:/ {r = $2} /^Pss:/ {p = $2} END {printf "%.1f %.1f", r / 1024, p / 1024}' "/proc/$1/smaps_rollup"
}

results=()
for ((i = 1; i <= copies; ++i)); do
  err=$tmp/kestrova.$i.err
  t0=$(now_us)
  ALLUSERSPROFILE=$tmp/cfg XDG_RUNTIME_DIR=$tmp/run XDG_DATA_HOME=$tmp/data KESTROVA_PICTURE_STATS=1 \
    no_proxy=127.0.0.1 "$kestrova" 2>"$err" &
  pid=$!
  pids+=($pid)
  poll 20 mapped "$pid" || { echo "copy $i: no window" >&2; exit 1; }
  t_window=$(now_us)
  poll 20 shown_once "$pid" "$err" || { echo "copy $i: no picture" >&2; exit 1; }
  t_picture=$(now_us)
  # Memory once the copy runs as it will: pictures flowing, the telephone set up in the first copy.
  sleep 3
  results+=("$(awk -v w=$((t_window - t0)) -v p=$((t_picture - t0)) 'BEGIN {printf "%.3f %.3f", w / 1e6, p / 1e6}') $(memory_mb "$pid")")
done

printf '%s\n' "${results[0]}" | awk '{printf "e2e_startup_telephone window_s=%.3f first_picture_s=%.3f rss_mb=%.1f pss_mb=%.1f\n", $1, $2, $3, $4}'
# The median of column $1 over the copies without the telephone.
median() { printf '%s\n' "${results[@]:1}" | cut -d' ' -f"$1" | sort -n | sed -n "$(((copies) / 2))p"; }
awk -v n=$((copies - 1)) -v w="$(median 1)" -v p="$(median 2)" -v r="$(median 3)" -v s="$(median 4)" 'BEGIN {
  printf "e2e_startup_others copies=%d window_s=%.3f first_picture_s=%.3f rss_mb=%.1f pss_mb=%.1f", n, w, p, r, s
  printf " window_ratio_to_0.25s=%.2f picture_ratio_to_0.5s=%.2f rss_ratio_to_45mb=%.2f\n", w / 0.25, p / 0.5, r / 45
}'
