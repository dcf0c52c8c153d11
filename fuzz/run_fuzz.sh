#!/usr/bin/env bash
# Runs every fuzz target of a build for a given time, seeded from a directory of
# real GSD files. The seeds are copied into work directories inside the build
# directory (corpus-<target>), never into the repository. Any crash, leak,
# timeout, memory blow-up or sanitizer report makes the script fail; the input
# that caused it is left in <build>/artifacts-<target>/ and belongs, once the
# fault is fixed, under fuzz/regressions/<target>/.
#
# usage: fuzz/run_fuzz.sh BUILD_DIR SECONDS SEED_DIR
set -euo pipefail

build=${1:?build directory}
seconds=${2:?seconds per target}
seeds=${3:?seed directory}

if [ ! -d "$seeds" ]; then
  echo "run_fuzz: seed directory $seeds not found" >&2
  exit 2
fi

dict="$(dirname "$0")/gsd.dict"
status=0
for target in fuzz_check_gsd fuzz_scanners; do
  work="$build/corpus-$target"
  artifacts="$build/artifacts-$target"
  mkdir -p "$work" "$artifacts"
  case "$target" in
    fuzz_check_gsd)
      # Whole files: the flow reads a whole document.
      max_len=400000
      for f in "$seeds"/*.[gG][sS]?; do cp -n "$f" "$work/" 2>/dev/null || true; done
      ;;
    fuzz_scanners)
      # The scanners read lines: pieces of the real files of up to 4 KB, cut at line ends.
      max_len=4096
      if [ ! -e "$work/.seeded" ]; then
        for f in "$seeds"/*.[gG][sS]?; do split -C 4096 -d -a 3 "$f" "$work/$(basename "$f")-"; done
        touch "$work/.seeded"
      fi
      ;;
  esac
  log="$build/$target.log"
  echo "== $target: ${seconds}s, seeds in $work, log in $log"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
     "$build/fuzz/$target" "$work" -max_total_time="$seconds" -max_len="$max_len" -dict="$dict" -timeout=10 \
       -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1; then
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log" || true
  else
    status=1
    echo "!! $target FAILED; the end of its log:" >&2
    tail -n 60 "$log" >&2
    echo "!! failing inputs:" >&2
    ls -l "$artifacts" >&2
  fi
done
exit $status
