#!/usr/bin/env bash
# The five-colour palette of generated 4032x3024 JPEG photos, end to end
# (read, reduce, count, pick), by tincture and by color-thief's npm package,
# each pinned to one core, side by side: the smooth photo and the camera-like
# one (texture and sensor noise, as a phone's camera gives). color-thief (and the sharp decoder it
# needs) is installed into a scratch folder from the npm registry.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target make-test-photo image-palette-benchmarks tincture-command >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && npm install --silent --no-audit --no-fund colorthief sharp >/dev/null)
cat > "$scratch/palette.mjs" <<'JS'
import { getPalette } from 'colorthief';
const times = [];
let palette;
for (let i = 0; i < 5; ++i) {
    const start = process.hrtime.bigint();
    palette = await getPalette(process.argv[2], { colorCount: 5 });
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
}
times.sort((a, b) => a - b);
console.log(JSON.stringify({ median: times[2], palette: palette.map((color) => color.hex()) }));
JS

for kind in smooth camera; do
    photo=$scratch/$kind.jpg
    build/bench/make-test-photo "$photo" 4032 3024 $([ $kind = camera ] && echo --camera)
    echo "$kind photo: $photo ($(stat -c %s "$photo") bytes, 4032x3024)"
    colorthief=$(cd "$scratch" && UV_THREADPOOL_SIZE=1 VIPS_CONCURRENCY=1 taskset -c 0 node palette.mjs "$photo")
    colorthiefMilliseconds=$(node -e "console.log(JSON.parse(process.argv[1]).median.toFixed(1))" "$colorthief")
    tinctureMilliseconds=$(MENUTONE_BENCH_PHOTO="$photo" MENUTONE_BENCH_CAMERA_PHOTO="$photo" taskset -c 0 build/bench/image-palette-benchmarks --benchmark_filter=paletteOfPhoto/0 \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json \
        | node -e "let s='';process.stdin.on('data',d=>s+=d).on('end',()=>{const r=JSON.parse(s).benchmarks.find(b=>b.aggregate_name==='median');console.log(r.real_time.toFixed(1))})")
    echo "tincture:     ${tinctureMilliseconds} ms  $(build/apps/tincture colors "$photo" --json)"
    echo "color-thief:  ${colorthiefMilliseconds} ms  $(node -e "console.log(JSON.stringify(JSON.parse(process.argv[1]).palette))" "$colorthief")"
    node -e "console.log('tincture is ' + (process.argv[1] / process.argv[2]).toFixed(1) + ' times faster')" "$colorthiefMilliseconds" "$tinctureMilliseconds"
done
