#!/usr/bin/env bash
# Process start to login window shown, as a whole process, several runs; prints each run and
# the median. Usage: bench/startup.sh BUILD_DIR DATA_FOLDER [RUNS]
set -euo pipefail
build=${1:?build dir}; folder=${2:?data folder}; runs=${3:-9}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$build/bench/bench_startup" "$folder" >/dev/null
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "runs (ms): ${times[*]}"
echo "median process start to login shown: ${sorted[$(( runs / 2 ))]} ms (target < 500 ms)"
"$build/bench/bench_startup" "$folder"
