#!/usr/bin/env bash
# The speed figures we hold ourselves to, measured one after another in one
# run with the machine's load printed before and after, since a virtual
# machine's speed drifts over minutes:
#   - `tincture colors` on the 4032x3024 photos against color-thief
#     (bench/compare-colorthief.sh),
#   - a batch of 16 camera-like photos on one core and on two,
#   - a four-item menu built with the tweak against the host's own build,
#   - a settings change posted in one process until LoadSettings has run in
#     another.
#   bench/figures.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target all benchmarks >/dev/null

load() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"; }
load
bench/compare-colorthief.sh "$runs" 1 | grep -v '^load average'

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
build/bench/make-test-photo "$scratch/camera.jpg" 4032 3024 --camera
for i in $(seq 1 16); do ln "$scratch/camera.jpg" "$scratch/photo$i.jpg"; done
seconds() { # median wall seconds of RUNS runs of a command
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        echo $(((end - start) / 1000))
    done | sort -n | awk '{ t[NR] = $1 } END { printf "%.3f", t[int((NR + 1) / 2)] / 1e6 }'
}
one=$(seconds taskset -c 1 build/bin/tincture colors "$scratch"/photo*.jpg --json)
two=$(seconds taskset -c 0,1 build/bin/tincture colors "$scratch"/photo*.jpg --json)
echo "a batch of 16 camera-like photos: ${one} s on one core, ${two} s on two ($(awk "BEGIN { printf \"%.2f\", $one / $two }") times the throughput)"

build/bench/menu-benchmarks --benchmark_filter='buildMenu|settingsChangeToLoadSettings' --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null \
    | node -e "let s = ''; process.stdin.on('data', (d) => (s += d)).on('end', () => {
        const median = (name) => JSON.parse(s).benchmarks.find((b) => b.run_name === name && b.aggregate_name === 'median');
        const host = median('buildMenuHostOnly'), tweak = median('buildMenuWithTweak');
        console.log('a four-item menu: ' + host.real_time.toFixed(0) + ' ns by the host alone, ' + tweak.real_time.toFixed(0) + ' ns with the tweak ('
            + (tweak.real_time / host.real_time).toFixed(2) + ' times)');
        for (const [name, what] of [['settingsChangeToLoadSettingsInAnotherProcess/0', 'posted'], ['settingsChangeToLoadSettingsInAnotherProcess/1', 'written and posted']]) {
            const b = median(name);
            console.log('a settings change ' + what + ' until LoadSettings has run in another process: ' + b.real_time.toFixed(0) + ' ' + b.time_unit + ' (median)');
        }
    })"
load
