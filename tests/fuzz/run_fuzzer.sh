#!/usr/bin/env bash
# Runs the picture fuzzer for a bounded time from a fresh seed corpus.
# Usage: run_fuzzer.sh FUZZER SECONDS [SOURCE_DIR [SEED_DIR...]]
# FUZZ_SEED fixes libFuzzer's random seed (0, the default, picks one).
# Crash, leak, timeout and out-of-memory inputs are kept in an artifacts folder beside the
# fuzzer (in the build tree), which is also where libFuzzer runs, so nothing lands in the sources.
set -euo pipefail
fuzzer=$(realpath "$1")
seconds=$2
source_dir=$(realpath "${3:-"$(dirname "$0")/../.."}")
extra_seeds=()
for dir in "${@:4}"; do extra_seeds+=("$(realpath "$dir")"); done
artifacts="$(dirname "$fuzzer")/artifacts"
mkdir -p "$artifacts"
for tool in convert heif-enc avifenc cjxl; do
  command -v $tool >/dev/null || { echo "run_fuzzer: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/seeds"
cp "$source_dir/assets/sample.gif" "$work/seeds/"
for format in png jpg bmp webp tiff gif; do
  convert -size 24x16 gradient:red-blue "$work/seeds/gradient.$format"
done
convert -size 16x16 gradient:yellow-cyan -colorspace CMYK "$work/seeds/cmyk.jpg"
convert -size 16x16 gradient:white-black -interlace PNG "$work/seeds/interlaced.png"
# Colour profiles: one alone, and pictures tagged with matrix and grey ones.
icc=/usr/share/color/icc
cp "$icc/colord/SwappedRedAndGreen.icc" "$icc/ghostscript/ps_cmyk.icc" "$work/seeds/"
convert -size 16x16 gradient:navy-orange -colorspace CMYK "$work/seeds/cmyk.tif"
convert -size 12x8 gradient:red-blue -profile "$icc/colord/AdobeRGB1998.icc" "$work/seeds/adobe.jpg"
convert -size 12x8 gradient:red-blue -profile "$icc/colord/ProPhotoRGB.icc" "$work/seeds/prophoto.png"
convert -size 12x8 gradient:white-black -colorspace Gray -profile "$icc/Gray.icc" \
  "$work/seeds/grey.jpg"
convert -size 16x16 xc:none -fill red -draw "circle 8,8 4,4" "$work/seeds/alpha.png"
# Small frames in vast logical screens, which Qt decodes whole: the harness must turn them
# away by what decodes, not by the frame size the header gives.
convert -size 16x16 gradient:red-blue -set page 1028x65282+3+5 "$work/seeds/screen-tall.gif"
convert "$work/seeds/alpha.png" -set page 65304x255+40+9 "$work/seeds/screen-wide.gif"
convert -size 8x8 gradient:yellow-cyan -set page 10000x10000 "$work/seeds/screen-100mp.gif"
# Formats Qt has no reader for; the 16-bit gradient makes a 10-bit HEIC.
heif-enc "$work/seeds/gradient.png" -o "$work/seeds/gradient.heic" >/dev/null
avifenc "$work/seeds/alpha.png" "$work/seeds/alpha.avif" >/dev/null
cjxl "$work/seeds/alpha.png" "$work/seeds/alpha.jxl" 2>/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$source_dir/tests/fuzz/lsan-suppressions.txt:print_suppressions=0}
# One input at a time: the separation's worker threads would only spin between inputs.
export OMP_NUM_THREADS=1
export QT_LOGGING_RULES="qt.gui.imageio*=false"
status=0
(cd "$artifacts" && "$fuzzer" "$work/corpus" "$work/seeds" "${extra_seeds[@]}" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" -seed="${FUZZ_SEED:-0}") >"$work/log" 2>&1 || status=$?
# The seed, so that a failure of a run with a random one can be repeated.
grep -E "^(INFO: Seed:|#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|\
==[0-9]+==ERROR|SUMMARY)" "$work/log" || true
if ((status != 0)); then
  tail -n 60 "$work/log" >&2
  echo "run_fuzzer: failing inputs are in $artifacts" >&2
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
