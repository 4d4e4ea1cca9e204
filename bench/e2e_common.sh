# Sourced by the end-to-end benchmarks: the build's programs, a scratch folder cleaned up on exit with
# every process in pids, polling with a deadline, a virtual display, and HTTP requests to the simulator.
# Usage: source "$(dirname "$0")/e2e_common.sh" BUILD_DIR; sets build, kestrova, doorsim, tmp, xvfb_pid.

build=$(cd "${1:?build folder}" && pwd)
kestrova=$build/app/kestrova
doorsim=$build/tools/doorsim/kestrova-doorsim
[ -x "$kestrova" ] && [ -x "$doorsim" ] || { echo "build kestrova and doorsim_bin first" >&2; exit 1; }

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  # Only the listed processes: a reader of one of them ends with its output.
  wait "${pids[@]}" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }
now_us() { echo $(($(date +%s%N) / 1000)); }
# Waits until the command succeeds, at most $1 seconds; fails afterwards.
poll() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(now_ms)" -gt "$deadline" ] && return 1
    sleep 0.02
  done
}
has_content() { [ -s "$1" ]; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
pids+=($xvfb_pid)
poll 10 has_content "$tmp/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$tmp/display")

# The body of the simulator's answer to GET $1; the simulator is at $address (ADDR:PORT).
sim_get() {
  local host=${address%:*} port=${address##*:} reply
  exec 4<>"/dev/tcp/$host/$port"
  printf 'GET %s HTTP/1.0\r\nHost: %s\r\n\r\n' "$1" "$address" >&4
  reply=$(cat <&4)
  exec 4<&-
  echo "${reply##*$'\r\n\r\n'}"
}
