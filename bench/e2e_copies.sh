#!/usr/bin/env bash
# A household with a copy per door: one copy alone first (its start-up to the window on the screen and
# to the first picture, its CPU), then eight copies, the first holding the telephone, each watching its
# own simulated unit at 640x480 and 25 pictures/s. After a door call has landed in the visitor log: the
# pictures each copy shows of those it receives, the total CPU against eight times one copy's, resident
# and proportional memory, and each copy's time from its start to its window and its first picture.
# One line per case, with its ratio to the goal.
# Usage: bench/e2e_copies.sh BUILD_DIR [SECONDS]
set -euo pipefail
seconds=${2:-10}
copies=8
# shellcheck source=bench/e2e_common.sh
source "$(dirname "$0")/e2e_common.sh" "$1"
hz=$(getconf CLK_TCK)
sip_port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("", 0)); print(s.getsockname()[1])')

# Unit i (1-based) on 127.0.0.(10+i); only unit 1 has a SIP side, the one that calls. Sets unit[i].
declare -a unit kpid started window_us
start_sim() {
  local i=$1 sip=(--no-sip)
  ((i == 1)) && sip=()
  "$doorsim" --listen "127.0.0.$((10 + i)):0" --size 640x480 --fps 25 "${sip[@]}" >"$tmp/sim$i.out" 2>/dev/null &
  pids+=($!)
  poll 10 has_content "$tmp/sim$i.out" || { echo "simulator $i did not start" >&2; exit 1; }
  unit[i]=$(head -n1 "$tmp/sim$i.out")
}

# The copy's diagnostics, each line with the time it was read until its first picture is shown; after
# that unstamped, so that the 25 lines a second cost no more than a pipe.
stamp_until_first_picture() {
  while IFS= read -r line; do
    printf '%s %s\n' "${EPOCHREALTIME/./}" "$line"
    case $line in *" received, 1 shown") exec cat ;; esac
  done
}

# Starts copy i watching unit i with its own settings file, on the shared runtime folder (instance
# numbers, the telephone) and visitor log; sets kpid[i], started[i] and, once it is mapped, window_us[i].
start_copy() {
  local i=$1
  mkdir -p -m 0700 "$tmp/cfg$i/Kestrova"
  printf '[Window 0]\r\nIP_addr=%s\r\n[SIP]\r\nSIP_port=%s\r\n' "${unit[i]}" "$sip_port" \
    >"$tmp/cfg$i/Kestrova/Kestrova.ini"
  started[i]=${EPOCHREALTIME/./}
  ALLUSERSPROFILE=$tmp/cfg$i XDG_RUNTIME_DIR=$tmp/run XDG_DATA_HOME=$tmp/data KESTROVA_PICTURE_STATS=1 \
    no_proxy=127.0.0.0/8 "$kestrova" 2> >(stamp_until_first_picture >"$tmp/kestrova$i.err") &
  kpid[i]=$!
  pids+=($!)
  # One look takes xdotool tens of milliseconds (more on a loaded machine): the window counts as mapped
  # in the middle of the look that found it.
  mapped() {
    asked=${EPOCHREALTIME/./}
    [ -n "$(xdotool search --onlyvisible --pid "${kpid[i]}" 2>/dev/null)" ]
  }
  poll 20 mapped || { echo "copy $i showed no window" >&2; exit 1; }
  window_us[i]=$(((asked + ${EPOCHREALTIME/./}) / 2 - started[i]))
}

# Received and shown counts from copy i's last statistics line; its first shown picture's delay (us).
counts() { grep -o '[0-9]* received, [0-9]* shown' "$tmp/kestrova$1.err" | tail -n1 | awk '{print $1, $3}'; }
first_us() { awk -v s="${started[$1]}" '/ received, 1 shown$/ {print $1 - s; exit}' "$tmp/kestrova$1.err"; }
showing() { [ -n "$(first_us "$1")" ]; }
memory_kb() { awk '/^Rss:/ {r = $2} /^Pss:/ {p = $2} END {print r, p}' "/proc/$1/smaps_rollup"; }
telephone_up() { grep -qi "$(printf ":%04X " "$sip_port")" /proc/net/udp /proc/net/udp6; }

# CPU (% of one core) of the copies in $@ over the measuring interval, with each one's shown/received.
measure() {
  local i c0=0 c1=0 t0 t1
  declare -gA r0 s0 r1 s1
  for i in "$@"; do read -r "r0[$i]" "s0[$i]" < <(counts "$i"); c0=$((c0 + $(cpu_ticks "${kpid[i]}"))); done
  t0=$(now_ms)
  sleep "$seconds"  # the measuring interval
  for i in "$@"; do read -r "r1[$i]" "s1[$i]" < <(counts "$i"); c1=$((c1 + $(cpu_ticks "${kpid[i]}"))); done
  t1=$(now_ms)
  cpu=$(awk -v c=$((c1 - c0)) -v hz="$hz" -v ms=$((t1 - t0)) 'BEGIN {printf "%.2f", 100 * c / hz / (ms / 1000)}')
  worst_shown=1
  for i in "$@"; do
    worst_shown=$(awk -v w="$worst_shown" -v r=$((r1[$i] - r0[$i])) -v s=$((s1[$i] - s0[$i])) \
      'BEGIN {x = r ? s / r : 0; printf "%.4f", x < w ? x : w}')
  done
}

mkdir -p -m 0700 "$tmp/run" "$tmp/data"
for ((i = 1; i <= copies; i++)); do start_sim "$i"; done

# One copy alone: start-up, and the CPU every copy is compared with.
start_copy 1
poll 20 showing 1 || { echo "copy 1 showed no picture" >&2; exit 1; }
poll 20 telephone_up || { echo "the telephone did not start" >&2; exit 1; }
sleep 2  # past the start-up's own work
measure 1
one_cpu=$cpu
awk -v w="${window_us[1]}" -v f="$(first_us 1)" 'BEGIN {
  w /= 1e6; f /= 1e6; r = w / 0.25 > f / 0.5 ? w / 0.25 : f / 0.5
  printf "e2e_copies_startup ratio=%.2f window_s=%.3f goal_s=0.25 first_picture_s=%.3f goal_s=0.5\n", r, w, f
}'
kill "${kpid[1]}"
wait "${kpid[1]}" 2>/dev/null || true
poll 10 eval '! telephone_up' || { echo "the telephone stayed after its copy ended" >&2; exit 1; }

# Eight copies, started one after another as a person would; the first takes the telephone.
for ((i = 1; i <= copies; i++)); do
  start_copy "$i"
  ((i == 1)) && { poll 20 telephone_up || { echo "the telephone did not start" >&2; exit 1; }; }
done
for ((i = 1; i <= copies; i++)); do poll 20 showing "$i" || { echo "copy $i showed no picture" >&2; exit 1; }; done

# A door call that nobody answers: copy 1 keeps its two pictures and the outcome in the visitor log.
address=${unit[1]}  # sim_get talks to it
sim_get "/sim/sipcall?to=sip:127.0.0.1:$sip_port" >/dev/null
kept() { [ "$(find "$tmp/data" -name '*.jpg' | wc -l)" -ge 2 ]; }
poll 20 kept || { echo "the visitor log kept no pictures" >&2; exit 1; }
sim_get /sim/siphangup >/dev/null
ended() { grep -q "sip ended" "$tmp/sim1.out"; }
poll 10 ended || { echo "the door call did not end" >&2; exit 1; }
no_dialog() { [ -z "$(xdotool search --onlyvisible --name '^door$' 2>/dev/null)" ]; }
poll 10 no_dialog || { echo "the Accept dialog stayed" >&2; exit 1; }
sleep 1

measure $(seq 1 "$copies")
awk -v w="$worst_shown" 'BEGIN {printf "e2e_copies_shown ratio=%.3f worst_shown_ratio=%.4f goal_min=0.99 copies=8\n", w / 0.99, w}'
awk -v c="$cpu" -v o="$one_cpu" -v n="$copies" 'BEGIN {
  printf "e2e_copies_cpu ratio=%.2f total_cpu_pct=%.1f one_copy_cpu_pct=%.1f goal=1.1x%dx\n", c / (1.1 * n * o), c, o, n
}'
total_rss=0 total_pss=0 worst_other=0 worst_other_pss=0 tel=""
for ((i = 1; i <= copies; i++)); do
  read -r rss pss < <(memory_kb "${kpid[i]}")
  total_rss=$((total_rss + rss)) total_pss=$((total_pss + pss))
  if ((i == 1)); then
    tel="$rss $pss"
  else
    ((rss > worst_other)) && worst_other=$rss
    ((pss > worst_other_pss)) && worst_other_pss=$pss
  fi
done
awk -v w="$worst_other" -v wp="$worst_other_pss" -v t="$tel" -v tr="$total_rss" -v tp="$total_pss" 'BEGIN {
  split(t, a, " ")
  printf "e2e_copies_memory ratio=%.2f other_copy_rss_mb=%.1f other_copy_pss_mb=%.1f goal_mb=45", w / 1024 / 45, w / 1024, wp / 1024
  printf " telephone_rss_mb=%.1f telephone_pss_mb=%.1f total_rss_mb=%.1f total_pss_mb=%.1f\n", a[1] / 1024, a[2] / 1024, tr / 1024, tp / 1024
}'
firsts="" windows="" worst=0
for ((i = 1; i <= copies; i++)); do
  f=$(first_us "$i")
  ((f > worst)) && worst=$f
  firsts+="$(awk -v f="$f" 'BEGIN {printf "%.2f", f / 1e6}'),"
  windows+="$(awk -v f="${window_us[i]}" 'BEGIN {printf "%.2f", f / 1e6}'),"
done
awk -v w="$worst" -v f="${firsts%,}" -v win="${windows%,}" 'BEGIN {
  printf "e2e_copies_first_picture ratio=%.2f worst_s=%.2f goal_s=1 first_picture_s=%s window_s=%s\n", w / 1e6, w / 1e6, f, win
}'
