#!/bin/sh
# Ratios of benchmark times to a baseline measured in the same run, from the JSON output of a
# run with repetitions (--benchmark_repetitions=N --benchmark_out=FILE):
#   scripts/bench-ratios.sh FILE FIELD NAME=BASELINE...
# FIELD is cpu_time or real_time; NAME and BASELINE are run names as the benchmark prints them.
# Prints per pair the median time of NAME, the ratio of the medians and the smallest and
# largest ratio of a repetition of NAME to the same repetition of BASELINE.
#
#   scripts/bench-ratios.sh --table [BENCH_DIR [REPETITIONS [OUT_DIR]]]
# runs the benchmarks of BENCH_DIR (build/bench/bench by default) with REPETITIONS (5)
# repetitions in random interleaving and prints every row of the performance table, with the
# load average before and after; the JSON files stay in OUT_DIR when one is given.
set -eu

ratios() {
    file=$1 field=$2
    shift 2
    for pair in "$@"; do
        # Times in different units are compared in nanoseconds.
        jq -r --arg name "${pair%%=*}" --arg base "${pair#*=}" --arg field "$field" '
            def ns: {"ns": 1, "us": 1000, "ms": 1000000, "s": 1000000000}[.];
            def times($n): [.benchmarks[] | select(.run_type == "iteration" and .run_name == $n)
                            | {i: .repetition_index, t: (.[$field] * (.time_unit | ns)),
                               unit: .time_unit}];
            def median: sort | if length % 2 == 1 then .[length / 2 | floor]
                               else (.[length / 2 - 1] + .[length / 2]) / 2 end;
            times($name) as $a | times($base) as $b
            | if ($a | length) == 0 or ($b | length) == 0 then "\($name): no such run" else
              [$a[] as $x | $b[] | select(.i == $x.i) | $x.t / .t] as $ratios
              | "\($name)\t\($a | map(.t) | median / ($a[0].unit | ns) | . * 100 | round / 100) \($a[0].unit)"
                + "\t\(($a | map(.t) | median) / ($b | map(.t) | median) | . * 100 | round / 100)"
                + "\t\($ratios | min | . * 100 | round / 100)–\($ratios | max | . * 100 | round / 100)"
              end' "$file"
    done
}

# The median and range of a counter over the repetitions of one run.
counter() {
    jq -r --arg name "$2" --arg counter "$3" '
        [.benchmarks[] | select(.run_type == "iteration" and .run_name == $name) | .[$counter]]
        | sort | "\($name) \($counter)\t\(.[length / 2 | floor] | round)\t\(.[0] | round)–\(.[-1] | round)"' "$1"
}

row() {
    printf '%s\n' "$1"
    shift
    "$@" | sed 's/^/    /'
}

table() {
    dir=${1:-build/bench/bench}
    reps=${2:-5}
    if [ -n "${3:-}" ]; then
        out=$3
        mkdir -p "$out"
    else
        out=$(mktemp -d)
        trap 'rm -rf "$out"' EXIT
    fi
    flags="--benchmark_repetitions=$reps --benchmark_enable_random_interleaving=true --benchmark_out_format=json"
    echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
    # shellcheck disable=SC2086
    {
        TZ=Asia/Shanghai "$dir/bench_matching" $flags --benchmark_out="$out/shanghai.json" \
            --benchmark_filter='BM_IsActiveAt$|BM_OneLocaltimeR|BM_IsActTimeNow/(10/100|1000/1|1000000/1)$'
        TZ=UTC "$dir/bench_matching" $flags --benchmark_out="$out/utc.json" \
            --benchmark_filter='BM_IsActiveAt$|BM_OneLocaltimeR'
        TZ=Asia/Shanghai "$dir/bench_archive" $flags --benchmark_out="$out/archive.json" \
            --benchmark_filter='CopyRaw|ParseRaw|SaveToMemory|LoadFromMemory/.*/1/'
        TZ=Asia/Shanghai "$dir/bench_startup" $flags --benchmark_out="$out/startup.json" \
            --benchmark_filter='HostCheckProcess|(ReadFile|ParseFile)Process/100000/|Help|Date|CxxProgram'
    } >"$out/log" 2>&1 || { cat "$out/log" >&2; exit 1; }
    echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "row: run, median, ratio of medians, range of the repetitions' ratios"
    row "IsActiveAt ÷ one localtime_r, Asia/Shanghai (processor time)" \
        ratios "$out/shanghai.json" cpu_time BM_IsActiveAt=BM_OneLocaltimeR
    row "IsActiveAt ÷ one localtime_r, UTC" \
        ratios "$out/utc.json" cpu_time BM_IsActiveAt=BM_OneLocaltimeR
    row "IsActTimeNow 10 periods × 100 numbers ÷ one localtime_r, Asia/Shanghai" \
        ratios "$out/shanghai.json" cpu_time BM_IsActTimeNow/10/100=BM_OneLocaltimeR
    row "IsActTimeNow 1 number: 1 M periods ÷ 1 000 periods" \
        ratios "$out/shanghai.json" cpu_time BM_IsActTimeNow/1000000/1=BM_IsActTimeNow/1000/1
    row "save ÷ warm copy, the sample's times, 100 000 periods" \
        ratios "$out/archive.json" cpu_time BM_SaveToMemory/100000/0=BM_CopyRaw/100000/0
    row "save ÷ warm copy, a distinct time per period, 100 000 periods" \
        ratios "$out/archive.json" cpu_time BM_SaveToMemory/100000/1=BM_CopyRaw/100000/1
    # The in-process load reuses the cells of the list before it, as the sample lists keep the
    # pool's blocks: its floor parses into pages written before. Each load row also gives the
    # parse on fresh pages, a start-up's floor.
    row "load ÷ plain parse, a distinct time per period, 100 000 periods (and ÷ the parse on fresh pages)" \
        ratios "$out/archive.json" cpu_time \
        BM_LoadFromMemory/100000/1/1/iterations:5=BM_ParseRaw/100000/1/1/iterations:5 \
        BM_LoadFromMemory/100000/1/1/iterations:5=BM_ParseRaw/100000/1/0/iterations:5
    row "load ÷ plain parse, 1 M periods (and ÷ the parse on fresh pages)" \
        ratios "$out/archive.json" cpu_time \
        BM_LoadFromMemory/1000000/0/1/iterations:5=BM_ParseRaw/1000000/0/1/iterations:5 \
        BM_LoadFromMemory/1000000/0/1/iterations:5=BM_ParseRaw/1000000/0/0/iterations:5
    row "whole-process start-up, calvora-host check 1 ÷ a program that reads and parses the file, 100 000 periods (and ÷ one that only reads it; processor time of the child)" \
        ratios "$out/startup.json" real_time \
        BM_HostCheckProcess/100000/manual_time=BM_ParseFileProcess/100000/manual_time \
        BM_HostCheckProcess/100000/manual_time=BM_ReadFileProcess/100000/manual_time
    row "whole-process start-up, calvora-host --help ÷ date (and ÷ a C++ program that does nothing; that program ÷ date)" \
        ratios "$out/startup.json" real_time BM_HostHelpProcess/manual_time=BM_DateProcess/manual_time \
        BM_HostHelpProcess/manual_time=BM_CxxProgramProcess/manual_time \
        BM_CxxProgramProcess/manual_time=BM_DateProcess/manual_time
    row "resident bytes per loaded period, 1 M periods (host's peak, less its peak with no period)" \
        counter "$out/startup.json" BM_HostCheckProcess/1000000/manual_time rss_bytes_per_period
}

if [ "${1:-}" = --table ]; then
    shift
    table "$@"
    exit 0
fi
[ $# -ge 3 ] || { echo "usage: $0 FILE cpu_time|real_time NAME=BASELINE... | --table [DIR [N]]" >&2; exit 2; }
ratios "$@"
