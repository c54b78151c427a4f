#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60).
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# The working corpus of a target grows in build/fuzz/corpus/<target>, seeded from
# fuzz/corpus/<target>; inputs that crash, hang or exhaust memory land in
# build/fuzz/artifacts/<target>/. JOBS=n runs n targets at once (default 1).
# Exits non-zero when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"${BUILD_JOBS:-6}" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

# The engine starts its sound library before main; no target needs a real device.
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=offscreen
out=build/fuzz
run_one() {
  local t=$1
  mkdir -p "$out/corpus/$t" "$out/artifacts/$t"
  # Images and meshes need room for their headers and a few blocks; text readers do not.
  local max_len=4096
  case $t in image_fuzz | texture_fuzz | xfile_fuzz) max_len=65536 ;; esac
  local dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  if "$out/fuzz/$t" "$out/corpus/$t" "fuzz/corpus/$t" "${dict[@]}" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
      -print_final_stats=1 -artifact_prefix="$out/artifacts/$t/" >"$out/$t.log" 2>&1; then
    echo "$t: ok ($(grep -c . "$out/$t.log" >/dev/null; grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$t.log" | grep -o '[0-9]*$') runs)"
  else
    echo "$t: FAULT, see $out/$t.log and $out/artifacts/$t/"
    return 1
  fi
}

export -f run_one
export out seconds
status=0
printf '%s\n' "${targets[@]}" | xargs -P "${JOBS:-1}" -I{} bash -c 'run_one {}' || status=1
exit $status
