#!/usr/bin/env bash
# Times pelmora-cli as scripts use it: the start-up of "pelmora-cli --list"
# and 10,000 t-test requests answered through --batch.  Wall times; run it on
# an idle machine.  /bin/true is timed alike: what starting any process costs
# here.
# Usage: scripts/benchmark-cli.sh [BUILD_FOLDER]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
cli="${1:-build}/src/pelmora-cli"
[ -x "$cli" ] || { echo "$cli is missing: build the program first" >&2; exit 1; }

# The median and the fastest of the times on standard input, in microseconds.
# With "s" as its argument, in seconds.
summary() {
  sort -n | awk -v unit="${1:-ms}" '{ t[NR] = $1 } END {
    scale = unit == "s" ? 1e6 : 1e3; digits = unit == "s" ? 3 : 2
    printf "median %.*f %s, fastest %.*f %s (%d runs)\n", digits, t[int((NR + 1) / 2)] / scale, unit, digits, t[1] / scale, unit, NR }'
}

# Runs "$@" RUNS times with standard input from INPUT and prints the summary
# (in seconds with UNIT=s in the environment).
timed() {
  local runs=$1 input=$2 start end
  # The shell's own clock, in microseconds: starting "date" would add the
  # start of a process to every time.
  shift 2
  for ((k = 0; k < runs; k++)); do
    start=${EPOCHREALTIME/[.,]/}
    "$@" <"$input" >/dev/null
    end=${EPOCHREALTIME/[.,]/}
    echo $((end - start))
  done | summary "${UNIT:-ms}"
}

echo "start-up, pelmora-cli --list: $(timed 200 /dev/null "$cli" --list)"
echo "start-up, /bin/true:          $(timed 200 /dev/null /bin/true)"

requests=$(mktemp)
trap 'rm -f "$requests"' EXIT
# Half of them solve the first sample size of the unpaired t-test with equal
# sizes, half the P-value of the paired t-test.
awk 'BEGIN {
  for (i = 0; i < 10000; i++)
    if (i % 2 == 0)
      printf "{\"id\": %d, \"test\": 0, \"modes\": {\"2\": 2}, \"set\": {\"Standard Deviation\": %.1f, \"Mean 2\": %.2f}, \"unknown\": \"Sample Size 1\"}\n", i, 0.5 + (i % 10) / 10, 0.5 + (i % 7) / 20
    else
      printf "{\"id\": %d, \"test\": 1, \"set\": {\"Sample Size\": %d}, \"unknown\": \"P-value\"}\n", i, 10 + i % 50
}' >"$requests"
solved=$("$cli" --batch <"$requests" | grep -c '"status": "solved"' || true)
[ "$solved" -eq 10000 ] || { echo "only $solved of 10000 requests were solved" >&2; exit 1; }
echo "10,000 t-test requests, --batch: $(timed 5 "$requests" "$cli" --batch)"

# The first sample size of the unpaired t-test with equal sizes for means 0
# and a second mean from 0.5 to 0.8, standard deviation 1: by its
# just-significant result, and planned by a power of 0.8 (each answer with
# the achieved power at the whole sizes).
# sizes_requests EXTRA: 10,000 such requests, EXTRA added to each.
sizes_requests() {
  awk -v extra="$1" 'BEGIN {
    for (i = 0; i < 10000; i++)
      printf "{\"id\": %d, \"test\": 0, \"modes\": {\"2\": 2}%s, \"set\": {\"Mean 1*\": 0, \"Mean 2*\": %.3f, \"Standard Deviation*\": 1, \"Sample Size 2 / Sample Size 1\": 1}, \"unknown\": \"Sample Size 1\"}\n", i, extra, 0.5 + (i % 31) / 100
  }'
}
for kind in just-significant power; do
  if [ "$kind" = power ]; then sizes_requests ', "power": 0.8'; else sizes_requests ''; fi >"$requests"
  answers=$("$cli" --batch <"$requests")
  solved=$(grep -c '"status": "solved"' <<<"$answers" || true)
  [ "$solved" -eq 10000 ] || { echo "only $solved of 10000 $kind requests were solved" >&2; exit 1; }
  if [ "$kind" = power ]; then
    whole=$(grep -c '"whole"' <<<"$answers" || true)
    [ "$whole" -eq 10000 ] || { echo "only $whole of 10000 answers give the whole sizes" >&2; exit 1; }
    echo "10,000 t-test requests planned by power, --batch: $(UNIT=s timed 5 "$requests" "$cli" --batch)"
  else
    echo "10,000 just-significant t-test requests, --batch: $(UNIT=s timed 5 "$requests" "$cli" --batch)"
  fi
done
