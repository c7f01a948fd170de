#!/usr/bin/env bash
# A 300-quadrupole Wenner survey against the simulated station at full speed (speed 0), run by
# the command-line survey runner in its own process. Reports records per second, the share of
# the wall time the program itself spends on the CPU, and its time per record beyond the fixed
# 250 ms pause between records.
# Usage: bench/survey/bench_survey.sh [build folder]
# PERIODS (default 2) sets the periods per record; SURVEY_OPTIONS adds options of tervex-survey, e.g.
# SURVEY_OPTIONS="--max-scatter 5" to time the automatic repeats on the clean earth (none is made).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-${TERVEX_BUILD_DIR:-$here/build}}"
sim="$build/tools/stationsim/tervex-station-sim"
runner="$build/tools/survey/tervex-survey"
work="$(mktemp -d)"
trap 'kill "${simpid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT

python3 - "$work/wenner300.txt" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("# X Y Z\n")
    for e in range(1, 49):
        f.write(f"{e} {5 * (e - 1)} 0 0\n")
    f.write("# A B M N\n")
    k = 0
    for n in range(1, 16):
        for i in range(1, 49):
            if i + 3 * n > 48 or k == 300:
                break
            f.write(f"{k} {i} {i + 3 * n} {i + n} {i + 2 * n}\n")
            k += 1
PY

port=$((20000 + RANDOM % 20000))
"$sim" --quiet --speed 0 --command-port "$port" --data-port $((port + 1)) >/dev/null &
simpid=$!
sleep 0.3

start=$(date +%s.%N)
/usr/bin/time -f "%U %S" -o "$work/cpu" "$runner" --quiet --host 127.0.0.1 --command-port "$port" \
  --data-port $((port + 1)) --pulse 250 --pause 250 --periods "${PERIODS:-2}" ${SURVEY_OPTIONS:-} \
  "$work/wenner300.txt" "$work/survey.etr" >"$work/out"
grep -E "^(survey complete|Записей|Повторов|Макс. разброс|Автоматические)" "$work/out" || true
end=$(date +%s.%N)

python3 - "$start" "$end" "$work/cpu" "${PERIODS:-2}" <<'PY'
import sys
start, end = float(sys.argv[1]), float(sys.argv[2])
rows = 2 * (250 + 250) * int(sys.argv[4])
user, system = map(float, open(sys.argv[3]).read().split()[-2:])
wall = end - start
records = 300
cpu = user + system
print(f"records: {records}, wall {wall:.2f} s, {records / wall:.2f} records/s")
print(f"program CPU {cpu:.2f} s = {100 * cpu / wall:.1f} % of the wall time")
print(f"program CPU per record: {1000 * cpu / records:.2f} ms")
print(f"wall per record beyond the 250 ms pause: {1000 * wall / records - 250:.2f} ms "
      f"(station at full speed: streaming {rows} rows x 3 streams, plus the handshake)")
PY
