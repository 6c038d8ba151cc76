#!/usr/bin/env bash
# Times whole `quibsum` processes, from start to exit, the way a shell runs them: `calc 1+1`,
# `sheet` on a generated 10,000-line file and on a 1-line file, each many times, and prints
# the median and the 90th percentile in milliseconds. Builds nothing: it takes the built
# program (default build/default/QuibSum/quibsum) and PrintSheet beside it in the build tree.
# The rate cache is fresh, so no command refreshes the rates; the feeds point at a closed
# local port all the same. RUNS_CALC, RUNS_SHEET and RUNS_SMALL change the repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/default/QuibSum/quibsum}")
build=$(dirname "$(dirname "$program")")
print_sheet=${PRINT_SHEET:-$build/bench/PrintSheet}
[ -x "$program" ] || { echo "no program at $program (build the quibsum target first)" >&2; exit 1; }
[ -x "$print_sheet" ] || { echo "no PrintSheet at $print_sheet (build the PrintSheet target first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QUIBSUM_DATA_DIR="$work/data" QUIBSUM_CONFIG_DIR="$work/config"
export QUIBSUM_ERAPI_URL=http://127.0.0.1:9/ QUIBSUM_VCB_URL=http://127.0.0.1:9/
mkdir -p "$QUIBSUM_DATA_DIR" "$QUIBSUM_CONFIG_DIR"

# The built-in rates, dated now, as a cache that no command finds due.
python3 - "$QUIBSUM_DATA_DIR/rates.json" <<'PY'
import json, sys, time
with open("QuibSumRates/resources/rates-seed.json") as f:
    rates = json.load(f)
now = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime())
for table in ("erapi", "vcb"):
    rates[table]["asOf"] = now
    rates[table + "IsSeed"] = False
with open(sys.argv[1], "w") as f:
    json.dump(rates, f)
PY

"$print_sheet" 10000 >"$work/sheet-10000.txt"
printf '1+1\n' >"$work/sheet-1.txt"

# Each command runs once untimed (warming the file cache), then RUNS times; every run must succeed.
python3 - "$program" "$work" "${RUNS_CALC:-200}" "${RUNS_SHEET:-50}" "${RUNS_SMALL:-50}" <<'PY'
import os, statistics, subprocess, sys, time
program, work, runs_calc, runs_sheet, runs_small = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])

def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]

def measure(name, argv, runs):
    subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    devnull = os.open(os.devnull, os.O_WRONLY)
    times = []
    for _ in range(runs):
        start = time.perf_counter_ns()
        pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
        _, status = os.waitpid(pid, 0)
        times.append((time.perf_counter_ns() - start) / 1e6)
        if status != 0:
            sys.exit(f"{name}: exit status {status}")
    os.close(devnull)
    print(f"{name:<24} runs {runs:>4}   median {statistics.median(times):7.2f} ms   p90 {percentile(times, 0.9):7.2f} ms")

measure("calc 1+1", [program, "calc", "1+1"], runs_calc)
measure("sheet 10,000 lines", [program, "sheet", f"{work}/sheet-10000.txt"], runs_sheet)
measure("sheet 1 line", [program, "sheet", f"{work}/sheet-1.txt"], runs_small)
PY
