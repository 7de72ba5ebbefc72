#!/usr/bin/env bash
# Core figures on a 100000-event file with 20 message texts: load, every
# sentence, filter, report file, statistics, integrity check, the find bar's
# search; then `logwick-cli export` as a whole process in each report form:
# wall and processor time (medians of five) and peak memory; the start-up of
# `logwick-cli --version` and of the synchronisation's helper program.
# Appends "name: value unit" lines to $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/logwick-bench-core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/core.csv" --benchmark_out_format=csv

# Median wall time of each benchmark, in ms; of the keystrokes, the slowest.
awk -F, '
  BEGIN {
    label["load"] = "event file load"; label["sentences"] = "every sentence"; label["filter"] = "filter"
    label["report"] = "report file"; label["statistics"] = "statistics"
    label["integrity"] = "integrity check"
    label["search_index"] = "find: folding every row, once per filter change"
  }
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    if (name ~ /^keystroke\//) {
      if ($3 > worst) { worst = $3; needle = substr(name, 11) }
      next
    }
    printf "%s (100000 events): %.1f ms\n", label[name], $3
    # Wall time of the report includes flushing the file to the disk.
    if (name == "report") printf "report file, CPU only (100000 events): %.1f ms\n", $4
  }
  END { printf "find: one keystroke, slowest needle \"%s\" (100000 rows): %.2f ms\n", needle, worst }
' "$work/core.csv" >>"$summary"

"$bin/logwick-cli" sample -o "$work/log.t7kev" --count 100000 --texts 20
for format in txt csv jsonl html; do
  times=()
  cpus=()
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    read -r kib cpu < <("$bin/logwick-peak-rss" "$bin/logwick-cli" export "$work/log.t7kev" \
      -o "$work/log.$format" --format "$format")
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    cpus+=("$cpu")
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 3p)
  # The text report keeps the names its figures always had.
  awk -v f="$format" -v us="$median" -v cpu="$cpu" -v k="$kib" 'BEGIN {
    name = (f == "txt") ? "logwick-cli export" : "logwick-cli export --format " f
    printf "%s (100000 events): %.1f ms\n", name, us / 1000
    printf "%s, processor time (100000 events): %.1f ms\n", name, cpu
    printf "%s peak memory: %.1f MB\n", name, k / 1024
  }' >>"$summary"
done

# Start-up of a command that needs no server, and of the helper program that
# `archive sync` runs, which alone loads libpq (and through it Kerberos, LDAP,
# TLS): wall time (median of seven), processor time, peak memory and the
# shared libraries each loads.
startup() {
  local name=$1
  shift
  local times=() cpus=() kib cpu start end
  for _ in 1 2 3 4 5 6 7; do
    start=$(date +%s%N)
    read -r kib cpu < <("$bin/logwick-peak-rss" "$@" 2>/dev/null | tail -1)
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    cpus+=("$cpu")
  done
  local median cpu_median libs
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 4p)
  cpu_median=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 4p)
  libs=$(ldd "$1" | grep -c '=>' || true)
  awk -v n="$name" -v us="$median" -v cpu="$cpu_median" -v k="$kib" -v libs="$libs" 'BEGIN {
    printf "%s, whole process: %.1f ms\n", n, us / 1000
    printf "%s, processor time: %.1f ms\n", n, cpu
    printf "%s peak memory: %.1f MB\n", n, k / 1024
    printf "%s shared libraries: %d\n", n, libs
  }' >>"$summary"
}
startup "logwick-cli --version" "$bin/logwick-cli" --version
[ -x "$bin/logwick-sync" ] && startup "logwick-sync (archive sync's helper) --help" "$bin/logwick-sync" --help
