#!/usr/bin/env bash
# The whole video path: the door simulator at 25 pictures/s to the real program on a virtual display.
# Per picture size: pictures shown per second against those received and sent, the program's CPU (% of
# one core), and the time from the simulator's restart to the first new picture, as ratios to the goals.
# At 640x480 also the same figures while visitors keep ringing (the visitor log records a visit with two
# pictures every 5 s), and the CPU's change against the quiet interval.
# Usage: bench/e2e_video.sh BUILD_DIR [SECONDS]
set -euo pipefail
seconds=${2:-20}
# shellcheck source=bench/e2e_common.sh
source "$(dirname "$0")/e2e_common.sh" "$1"

# Starts the simulator (on $1 as ADDR:PORT) and sets sim_pid and address.
start_sim() {
  "$doorsim" --listen "$1" --size "$size" --fps 25 >"$tmp/sim.out" 2>/dev/null &
  sim_pid=$!
  pids+=($sim_pid)
  poll 10 has_content "$tmp/sim.out" || { echo "the simulator did not start" >&2; exit 1; }
  address=$(head -n1 "$tmp/sim.out")
}

sim_pictures() { sim_get /sim/stats | sed -n 's/.*"pictures": *\([0-9]*\).*/\1/p'; }

# Received and shown counts from the program's last statistics line.
counts() { grep -o '[0-9]* received, [0-9]* shown' "$tmp/kestrova.err" | tail -n1 | awk '{print $1, $3}'; }
shown() { local c; c=$(counts); echo "${c#* }"; }
more_shown_than() { local s; s=$(shown); [ -n "$s" ] && [ "$s" -gt "$1" ]; }

hz=$(getconf CLK_TCK)
for size in 640x480 1920x1080; do
  rm -rf "$tmp/cfg" "$tmp/run" "$tmp/data" "$tmp/kestrova.err"
  mkdir -p -m 0700 "$tmp/cfg/Kestrova" "$tmp/run" "$tmp/data"
  start_sim 127.0.0.1:0
  printf '[Window 0]\r\nIP_addr=%s\r\n' "$address" >"$tmp/cfg/Kestrova/Kestrova.ini"
  ALLUSERSPROFILE=$tmp/cfg XDG_RUNTIME_DIR=$tmp/run XDG_DATA_HOME=$tmp/data KESTROVA_PICTURE_STATS=1 no_proxy=127.0.0.1 \
    "$kestrova" 2>"$tmp/kestrova.err" &
  k_pid=$!
  pids+=($k_pid)
  poll 20 more_shown_than 25 || { echo "no pictures shown for $size" >&2; exit 1; }

  read -r r0 s0 < <(counts)
  p0=$(sim_pictures); c0=$(cpu_ticks "$k_pid"); x0=$(cpu_ticks "$xvfb_pid"); t0=$(now_ms)
  sleep "$seconds"  # the measuring interval
  read -r r1 s1 < <(counts)
  p1=$(sim_pictures); c1=$(cpu_ticks "$k_pid"); x1=$(cpu_ticks "$xvfb_pid"); t1=$(now_ms)

  if [ "$size" = 640x480 ]; then
    # Visitors ring: the flag up for 3 s and down for 2 s, over the same interval.
    read -r vr0 vs0 < <(counts); vc0=$(cpu_ticks "$k_pid"); vt0=$(now_ms)
    for ((i = 0; i < seconds / 5; ++i)); do
      sim_get '/sim/flag?value=1' >/dev/null; sleep 3
      sim_get '/sim/flag?value=0' >/dev/null; sleep 2
    done
    read -r vr1 vs1 < <(counts); vc1=$(cpu_ticks "$k_pid"); vt1=$(now_ms)
    visits=$(find "$tmp/data" -name '*.jpg' | wc -l)
    awk -v dt="$((vt1 - vt0))" -v r=$((vr1 - vr0)) -v s=$((vs1 - vs0)) -v c=$((vc1 - vc0)) -v hz="$hz" \
        -v quiet_c=$((c1 - c0)) -v quiet_dt="$((t1 - t0))" -v pictures="$visits" 'BEGIN {
      dt /= 1000; quiet_dt /= 1000
      cpu = 100 * c / hz / dt; quiet = 100 * quiet_c / hz / quiet_dt
      printf "e2e_video_visits shown_ratio=%.3f cpu_pct=%.1f cpu_change_points=%.2f", (r ? s / r : 0), cpu, cpu - quiet
      printf " change_ratio_to_0.5=%.2f pictures_kept=%d\n", (cpu - quiet) / 0.5, pictures
    }'
  fi

  # The unit goes away for 3 seconds and comes back at the same address.
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true
  sleep 3
  before=$(shown)
  start_sim "$address"
  t_back=$(now_ms)
  if poll 20 more_shown_than "$before"; then first_ms=$(($(now_ms) - t_back)); else first_ms=99000; fi

  kill "$k_pid"; wait "$k_pid" 2>/dev/null || true
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true

  awk -v size="$size" -v dt="$(((t1 - t0)))" -v r=$((r1 - r0)) -v s=$((s1 - s0)) -v p=$((p1 - p0)) \
      -v c=$((c1 - c0)) -v x=$((x1 - x0)) -v hz="$hz" -v first="$first_ms" 'BEGIN {
    dt /= 1000; first /= 1000
    cpu = 100 * c / hz / dt; xcpu = 100 * x / hz / dt
    printf "e2e_video_%s shown_ratio=%.3f shown_per_s=%.1f received_per_s=%.1f sent_per_s=%.1f", size, (r ? s / r : 0), s / dt, r / dt, p / dt
    printf " cpu_pct=%.1f xvfb_cpu_pct=%.1f first_picture_s=%.2f", cpu, xcpu, first
    if (size == "640x480") printf " cpu_ratio_to_5pct=%.2f", cpu / 5
    printf " first_ratio_to_2s=%.2f\n", first / 2
  }'
done
