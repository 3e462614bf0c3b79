#!/usr/bin/env bash
# The five-colour palette of generated 4032x3024 JPEG photos by `tincture
# colors` and by color-thief's npm package, each pinned to one core, side by
# side in one run: the smooth photo and the camera-like one (texture and
# sensor noise, as a phone's camera gives). Both are timed end to end, from
# process start to output (color-thief as a two-line Node program), and
# color-thief also inside an already started Node, where its start-up is not
# counted. color-thief (and the sharp decoder it needs) is installed into a
# scratch folder from the npm registry.
#   bench/compare-colorthief.sh [RUNS] [CPU]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
cpu=${2:-1}
scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target make-test-photo time-command tincture-command >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && npm install --silent --no-audit --no-fund colorthief sharp >/dev/null)
cat > "$scratch/colorthief.mjs" <<'JS'
import { getPalette } from 'colorthief';
const palette = await getPalette(process.argv[2], { colorCount: 5 });
console.log(palette.map((color) => color.hex()).join(' '));
JS
cat > "$scratch/in-process.mjs" <<'JS'
import { getPalette } from 'colorthief';
const [photo, runs] = [process.argv[2], Number(process.argv[3])];
const times = [];
for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    await getPalette(photo, { colorCount: 5 });
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
}
times.sort((a, b) => a - b);
console.log(JSON.stringify({ median: times[runs >> 1] }));
JS
field() { node -e "const v = JSON.parse(process.argv[1])[process.argv[2]]; console.log(typeof v === 'number' ? v.toFixed(1) : v.trim())" "$1" "$2"; }
ratio() { node -e "console.log((process.argv[1] / process.argv[2]).toFixed(1))" "$1" "$2"; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); median of $runs runs each, all on CPU $cpu"
for kind in smooth camera; do
    photo=$scratch/$kind.jpg
    build/bench/make-test-photo "$photo" 4032 3024 $([ $kind = camera ] && echo --camera)
    echo "$kind photo: $(stat -c %s "$photo") bytes, 4032x3024"
    tincture=$(taskset -c "$cpu" build/bench/time-command "$runs" build/bin/tincture colors "$photo")
    colorthief=$(cd "$scratch" && UV_THREADPOOL_SIZE=1 VIPS_CONCURRENCY=1 taskset -c "$cpu" "$OLDPWD/build/bench/time-command" "$runs" node colorthief.mjs "$photo")
    inProcess=$(cd "$scratch" && UV_THREADPOOL_SIZE=1 VIPS_CONCURRENCY=1 taskset -c "$cpu" node in-process.mjs "$photo" "$runs")
    echo "  tincture colors, process start to output:     $(field "$tincture" median) ms"
    echo "  color-thief, process start to output:         $(field "$colorthief" median) ms  ($(ratio "$(field "$colorthief" median)" "$(field "$tincture" median)") times tincture's)"
    echo "  color-thief, getPalette in a running Node:    $(field "$inProcess" median) ms  ($(ratio "$(field "$inProcess" median)" "$(field "$tincture" median)") times tincture's)"
    echo "  tincture:    $(field "$tincture" output | awk '{print $1}' | tr '\n' ' ')"
    echo "  color-thief: $(field "$colorthief" output)"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
