#!/usr/bin/env bash
# Runs the native rivovuz-cli under valgrind's memcheck over a long random session and
# requires 0 errors and 0 bytes definitely or indirectly lost.
# Usage: memcheck.sh GENERATOR CLI MODE COUNT SEED
#   MODE keys: random events (exit 0); eval: random expressions (exit 0);
#   bad: good and bad lines mixed, a megabyte line among them (exit 1, as for any bad line)
set -uo pipefail
generator=$1
cli=$2
mode=$3
count=$4
seed=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$generator" "$mode" "$count" "$seed" >"$work/input" || exit 1
case "$mode" in
  keys) args=(keys --seed 7); want=0; error_exit=1 ;;
  eval) args=(eval); want=0; error_exit=1 ;;
  bad) args=(keys --seed 7); want=1; error_exit=99 ;; # the driver's own exit code is 1 here
  *) echo "memcheck.sh: unknown mode $mode" >&2; exit 2 ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
valgrind --error-exitcode=$error_exit --leak-check=full --show-leak-kinds=definite,indirect \
  --errors-for-leak-kinds=definite,indirect --suppressions="$here/valgrind.supp" \
  --log-file="$work/valgrind.log" \
  "$cli" "${args[@]}" <"$work/input" >"$work/out" 2>"$work/err"
rc=$?

lines_in=$(wc -l <"$work/input")
lines_out=$(wc -l <"$work/out")
bad_reports=$(wc -l <"$work/err")
status=0
if [ "$rc" -ne "$want" ]; then
  echo "FAIL: exit code $rc, expected $want (valgrind reports errors with $error_exit)"
  status=1
fi
if [ "$mode" != bad ] && [ "$lines_out" -ne "$lines_in" ]; then
  echo "FAIL: $lines_in lines in, $lines_out lines out"
  status=1
fi
if [ "$mode" = bad ] && [ $((lines_out + bad_reports)) -ne "$lines_in" ]; then
  echo "FAIL: $lines_in lines in, $lines_out answered and $bad_reports reported"
  status=1
fi
grep -q 'ERROR SUMMARY: 0 errors' "$work/valgrind.log" || status=1
if ! grep -q 'All heap blocks were freed' "$work/valgrind.log"; then
  grep -q 'definitely lost: 0 bytes' "$work/valgrind.log" &&
    grep -q 'indirectly lost: 0 bytes' "$work/valgrind.log" || status=1
fi

echo "memcheck $mode: $lines_in input lines, $lines_out output lines, $bad_reports reported, exit $rc"
grep -E 'in use at exit|definitely lost|indirectly lost|All heap blocks|ERROR SUMMARY' "$work/valgrind.log" |
  sed 's/^==[0-9]*== */  /'
[ "$status" -eq 0 ] || { echo "FAIL"; sed -n '1,60p' "$work/valgrind.log"; }
exit $status
