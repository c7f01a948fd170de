#!/usr/bin/env bash
# Builds the program, starts the simulated station on 127.0.0.1 and opens the program connected
# to it. The demo keeps its settings in a folder of its own (XDG_CONFIG_HOME), so the settings of
# a real installation are never touched. The simulator stops when the program exits.
# Extra arguments go to the program (for example: relay).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TERVEX_BUILD_DIR:-$here/build}"

bash "$here/scripts/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  cat >&2 <<MSG
This machine has no display, so the Tervex-M1 window cannot open here.
The program is built in $build. To run it under a virtual display:
    xvfb-run -a -s "-screen 0 1400x900x24" scripts/run.sh
MSG
  exit 1
fi

demo="${TERVEX_DEMO_DIR:-$build/demo}"
mkdir -p "$demo/config/ru.tervex" "$demo/data"
ini="$demo/config/ru.tervex/Tervex-M1.ini"
cmd_port="${TERVEX_SIM_COMMAND_PORT:-6770}"
data_port="${TERVEX_SIM_DATA_PORT:-6771}"
if [ ! -f "$ini" ]; then
  cat > "$ini" <<INI
[General]
tervex_host=127.0.0.1
command_port=$cmd_port
data_port=$data_port
dataPath=$demo/data
seqPath=$here/examples
INI
fi

# The demo ground (a conductive and a resistive block under a gentle slope) takes the simulator
# a few seconds to compute before it listens; demo-slope48.txt is the sequence on the same slope.
sim_log="$demo/simulator.log"
"$build/tools/stationsim/tervex-station-sim" --address 127.0.0.1 \
  --command-port "$cmd_port" --data-port "$data_port" \
  --model "$here/examples/demo-ground.txt" --elevation "$here/examples/demo-elevation.txt" >"$sim_log" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q listening "$sim_log" 2>/dev/null && break
  kill -0 "$sim" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q listening "$sim_log" 2>/dev/null; then
  echo "The station simulator did not start (ports $cmd_port/$data_port in use?)." >&2
  exit 1
fi

XDG_CONFIG_HOME="$demo/config" "$build/tervex" "$@"
