#!/bin/sh
# Ratios of benchmark times to a baseline measured in the same run, from the JSON output of a
# run with repetitions (--benchmark_repetitions=N --benchmark_out=FILE):
#   scripts/bench-ratios.sh FILE FIELD NAME=BASELINE...
# FIELD is cpu_time or real_time; NAME and BASELINE are run names as the benchmark prints them.
# Prints per pair the median time of NAME, the ratio of the medians and the smallest and
# largest ratio of a repetition of NAME to the same repetition of BASELINE.
set -eu
[ $# -ge 3 ] || { echo "usage: $0 FILE cpu_time|real_time NAME=BASELINE..." >&2; exit 2; }
file=$1 field=$2
shift 2
for pair in "$@"; do
    jq -r --arg name "${pair%%=*}" --arg base "${pair#*=}" --arg field "$field" '
        def times($n): [.benchmarks[] | select(.run_type == "iteration" and .run_name == $n)
                        | {i: .repetition_index, t: .[$field], unit: .time_unit}];
        def median: sort | if length % 2 == 1 then .[length / 2 | floor]
                           else (.[length / 2 - 1] + .[length / 2]) / 2 end;
        times($name) as $a | times($base) as $b
        | if ($a | length) == 0 or ($b | length) == 0 then "\($name): no such run" else
          [$a[] as $x | $b[] | select(.i == $x.i) | $x.t / .t] as $ratios
          | "\($name)\t\($a | map(.t) | median | . * 100 | round / 100) \($a[0].unit)"
            + "\t\(($a | map(.t) | median) / ($b | map(.t) | median) | . * 100 | round / 100)"
            + "\t\($ratios | min | . * 100 | round / 100)–\($ratios | max | . * 100 | round / 100)"
          end' "$file"
done
