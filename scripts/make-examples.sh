#!/usr/bin/env bash
# Makes the demo survey examples again: the simulated station plays the demo ground (a conductive and a
# resistive block under the slope of demo-elevation.txt) on 127.0.0.1, a dipole-dipole survey of that
# slope with reciprocals is measured, and its data go to examples/ as the three exports, the data file
# and the model, the model's picture to docs/inversion-demo.png.
# Argument: the build folder (default build/ in the source tree), built with the tools and the simulator.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
examples="$here/examples"

# Channel noise of the simulator, volts rms per sample, and its seed: the data get realistic errors,
# the same on every run.
noise=2e-4
seed=11
# A data file above this size is not kept in the repository.
max_data_bytes=1000000

for tool in stationsim/tervex-station-sim survey/tervex-survey seqgen/tervex-seqgen export/tervex-export \
  invert/tervex-invert; do
  if [ ! -x "$build/tools/$tool" ]; then
    echo "$build/tools/$tool is missing: build the project first (scripts/build.sh)." >&2
    exit 1
  fi
done

work="$(mktemp -d)"
sim=""
stop() {
  if [ -n "$sim" ]; then
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop EXIT

# demo-slope48.txt is this sequence without the reciprocals (scripts/run.sh uses it as it stands).
"$build/tools/seqgen/tervex-seqgen" --array dipole-dipole --amax 2 --reciprocal --ip-order \
  --elevation "$examples/demo-elevation.txt" -o "$work/sequence.txt" >/dev/null

# Any free ports: the simulator says which ones it listens on once the ground is computed.
sim_log="$work/simulator.log"
"$build/tools/stationsim/tervex-station-sim" --address 127.0.0.1 --command-port 0 --data-port 0 --speed 0 \
  --seed "$seed" --noise "$noise" --quiet \
  --model "$examples/demo-ground.txt" --elevation "$examples/demo-elevation.txt" >"$sim_log" &
sim=$!
for _ in $(seq 300); do
  grep -q listening "$sim_log" 2>/dev/null && break
  kill -0 "$sim" 2>/dev/null || break
  sleep 0.1
done
listening="$(grep -m1 listening "$sim_log" || true)"
if [ -z "$listening" ]; then
  echo "The station simulator did not start:" >&2
  cat "$sim_log" >&2
  exit 1
fi
command_port="$(sed -E 's/.*:([0-9]+) \(commands\).*/\1/' <<<"$listening")"
data_port="$(sed -E 's/.*, ([0-9]+) \(data\).*/\1/' <<<"$listening")"

data="$work/demo-survey.etr"
"$build/tools/survey/tervex-survey" --host 127.0.0.1 --command-port "$command_port" --data-port "$data_port" \
  --quiet --line demo-slope --note "tervex-station-sim, examples/demo-ground.txt" "$work/sequence.txt" "$data"
kill "$sim"
wait "$sim" 2>/dev/null || true
sim=""

export_as() {
  "$build/tools/export/tervex-export" --format "$1" --ip -o "$2" "$data"
}
export_as ohm "$examples/demo-survey.ohm"
export_as resipy "$examples/demo-survey-resipy.csv"
export_as res2dinv "$examples/demo-survey-res2dinv.dat"

size="$(stat -c %s "$data")"
if [ "$size" -lt "$max_data_bytes" ]; then
  cp "$data" "$examples/demo-survey.etr"
else
  echo "The data file has $size bytes, too many to keep: examples/demo-survey.etr not written." >&2
fi

"$build/tools/invert/tervex-invert" -o "$examples/demo-survey-model.csv" "$data"
"$build/tools/invert/tervex-invert" -o "$here/docs/inversion-demo.png" "$data" >/dev/null
