#!/usr/bin/env bash
# Pipes input through rivovuz-cli and compares what it prints and its exit code.
# Usage: cli_test.sh GROUP EXE [EMULATOR...]   (GROUP: keys, eval or bad_input)
# Non-ASCII bytes are written as octal escapes; the characters are in comments.
set -u
shopt -s lastpipe  # check runs at the end of a pipe and must count its failures here
group=$1
exe=$2
shift 2
run=("$@" "$exe")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Input on stdin. check NAME "ARGS" WANT_RC WANT_OUT [ERR_PATTERN]
# WANT_OUT is a printf format; ERR_PATTERN an extended regex that stderr must match.
check() {
  local name=$1 args=$2 want_rc=$3 want_out=$4 err_pattern=${5:-}
  local rc=0
  # shellcheck disable=SC2086  # ARGS is split into words on purpose
  "${run[@]}" $args >"$work/out" 2>"$work/err" || rc=$?
  printf -- "$want_out" >"$work/want"
  if [ "$rc" -ne "$want_rc" ]; then
    echo "FAIL $name: exit code $rc, expected $want_rc"; failures=$((failures + 1))
  elif ! cmp -s "$work/out" "$work/want"; then
    echo "FAIL $name: output differs"; diff <(od -c "$work/want") <(od -c "$work/out") | head -20
    failures=$((failures + 1))
  elif [ -n "$err_pattern" ] && ! grep -Eq "$err_pattern" "$work/err"; then
    echo "FAIL $name: stderr does not match '$err_pattern':"; head -5 "$work/err"
    failures=$((failures + 1))
  elif [ -z "$err_pattern" ] && [ -s "$work/err" ]; then
    echo "FAIL $name: unexpected stderr:"; head -5 "$work/err"; failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# \303\227 is "×"; \351\224\231\350\257\257 is "错误"; \346\227\240\347\251\267\345\244\247 is "无穷大";
# \350\256\241\347\256\227\345\231\250 is "计算器".
case $group in
keys)
  # Key 1001 is "0", so 1002 is "1" and 1003 is "2".
  printf 'k 1002\nk 1012\nk 1003\nk 1016\n' | check one_plus_two keys 0 '1\n1+\n1+2\n3\n'
  printf 'k 1003\nk 1012\nk 1004\nk 1016\n' | check two_plus_three keys 0 '2\n2+\n2+3\n5\n'
  printf 'c 54\nc 42\nc 55\nc 13\nc 42\nc 50\nc 13\n' |
    check typed_multiplication keys 0 '6\n6\303\227\n6\303\2277\n42\n42\303\227\n42\303\2272\n84\n'
  printf 'k 1003\nk 1045\ntitle\nk 1044\ntitle\n' |
    check memory_marker keys 0 '2\n2\nRivovuz-\350\256\241\347\256\227\345\231\250   [M]\n2\nRivovuz-\350\256\241\347\256\227\345\231\250\n'
  printf 'k 1003\r\nk 1016\r\n' | check crlf_lines keys 0 '2\n2\n'
  printf '\357\273\277k 1005\n' | check byte_order_mark keys 0 '4\n'
  printf 'k 1001\nk 1016\n' | check blank_equals keys 0 '0\n0\n'
  # An error is undone back to its expression, redone, and recalled from the history.
  printf 'c 49\nc 47\nc 48\nc 13\nundo\nredo\nup\ndown\nstate\n' |
    check undo_redo_history keys 0 '1\n1\303\267\n1\303\2670\n\351\224\231\350\257\257\n1\303\2670\n\351\224\231\350\257\257\n1\303\2670\n\351\224\231\350\257\257\n\351\224\231\350\257\257\t0\t0\t1\t1\n'
  printf 'paste 12*(3\\r+1\\\\\nundo\nredo\nk 1045\nk 1022\nstate\nk 1017\nundo\nundo\nstate\n' |
    check paste_and_state keys 0 '36+1\n0\n36+1\n36+1\n36+1\n36+1\t36\t1\t1\t0\n0\n36+1\n36+1\n36+1\t36\t0\t1\t0\n'
  # Memory with the 17 digits that tell a double apart ("0.3" types as ".3"; m+ reads 0.3).
  printf 'paste 0.3\nk 1045\nstate\n' | check state_memory_digits keys 0 '.3\n.3\n.3\t0.29999999999999999\t0\t1\t0\n'
  printf 'k 1011\n' | check point_first keys 0 '0.\n'  # no result is shown at the start
  # The first events meet the program's start state: nothing to redo, no walk to leave,
  # a memory step as the first step.
  printf 'down\nstate\n' | check down_at_start keys 0 '0\n0\t0\t0\t1\t0\n'
  printf 'redo\nundo\nstate\n' | check redo_at_start keys 0 '0\n0\n0\t0\t0\t1\t0\n'
  printf 'c 53\nk 1045\nk 1045\nundo\nstate\nundo\nstate\n' |
    check memory_undo_at_start keys 0 '5\n5\n5\n5\n5\t5\t0\t1\t0\n5\n5\t0\t0\t1\t0\n'
  # An answer longer than the writer's buffer comes out whole.
  digits=$(printf '1%0699d' 7)
  printf 'paste %s\n' "$digits" | check long_answer keys 0 "$digits\n"
  # An id that is no key does nothing, even where it is the code of a typed character.
  printf 'k 1002\nk 1012\nk 1003\nk 13\nk 50\n' | check unknown_key_id keys 0 '1\n1+\n1+2\n1+2\n1+2\n'

  # Shortcuts: Alt+S then 30 and Enter in radians and in degrees; F3 twice leaves
  # degrees on; memory by Ctrl+P, Ctrl+R and Ctrl+L; 2nd by Alt+I, one undo step each.
  printf 'shortcut Alt+S\nc 51\nc 48\nc 13\nshortcut F3\nshortcut F3\nstate\nc 27\nshortcut Alt+S\nc 51\nc 48\nc 13\nshortcut F4\nstate\n' |
    check shortcut_sine keys 0 'sin(\nsin(3\nsin(30\n-0.988031624093\n-0.988031624093\n-0.988031624093\n-0.988031624093\t0\t0\t0\t1\n0\nsin(\nsin(3\nsin(30\n0.5\n0.5\n0.5\t0\t0\t1\t1\n'
  printf 'c 55\nshortcut Ctrl+P\nc 27\nshortcut Ctrl+R\ntitle\nshortcut Ctrl+L\ntitle\n' |
    check shortcut_memory keys 0 '7\n7\n0\n7\nRivovuz-\350\256\241\347\256\227\345\231\250   [M]\n7\nRivovuz-\350\256\241\347\256\227\345\231\250\n'
  printf 'shortcut Alt+I\nshortcut Alt+S\nshortcut Alt+2\nundo\nundo\nstate\nshortcut F9\nshortcut Alt+1\nshortcut Alt+P\n' |
    check shortcut_second_and_undo keys 0 '0\nasin(\nasin(^2\nasin(\n0\n0\t0\t1\t1\t0\n-0\n-0!\n-0!pi\n'

  # The README's table and the zip's read-me list every shortcut the program has.
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  rc=0
  printf 'shortcuts\n' | "${run[@]}" keys >"$work/shortcuts" 2>"$work/err" || rc=$?
  missing=""
  while IFS=$'\t' read -r name key; do
    grep -qF "| $name | $key |" "$here/../README.md" || missing="$missing README.md:$name"
    grep -qE "(^|  )${name//+/\\+} +[^ ]" "$here/../packaging/README.txt" || missing="$missing README.txt:$name"
  done <"$work/shortcuts"
  count=$(grep -c . "$work/shortcuts")
  if [ "$rc" -eq 0 ] && [ -z "$missing" ] && [ "$count" -ge 27 ] &&
    [ "$(grep -cE '^\| (Alt|Ctrl|F[0-9])' "$here/../README.md")" -eq "$count" ]
  then echo "ok   shortcut_list_in_readmes"
  else echo "FAIL shortcut_list_in_readmes: $count shortcuts, missing:$missing"; failures=$((failures + 1)); fi

  # Captions: 48 fields, and the angle-mode key names the mode in force.
  rc=0
  printf 'k 1022\nk 1023\ncaptions\n' | "${run[@]}" keys >"$work/captions" 2>"$work/err" || rc=$?
  fields=$(sed -n 3p "$work/captions" | awk -F'\t' '{ print NF, $1, $25, $41 }')
  if [ "$fields" = "48 2nd asin Deg" ] && [ "$rc" -eq 0 ] && [ ! -s "$work/err" ]; then echo "ok   captions"
  else echo "FAIL captions: got '$fields'"; failures=$((failures + 1)); fi

  # The same seed gives the same "Rand" values, each from 0 to 1.
  printf 'k 1048\nk 1048\nk 1048\n' | "${run[@]}" keys --seed 42 >"$work/rand1"
  printf 'k 1048\nk 1048\nk 1048\n' | "${run[@]}" keys --seed 42 >"$work/rand2"
  if cmp -s "$work/rand1" "$work/rand2" && [ "$(grep -cE '^(0|1|0\.0*[1-9][0-9]{0,5}|[1-9](\.[0-9]{1,5})?e-05)$' "$work/rand1")" = 3 ]
  then echo "ok   seeded_rand"
  else echo "FAIL seeded_rand:"; cat "$work/rand1" "$work/rand2"; failures=$((failures + 1)); fi

  # A second later: the seed still fixes the draws, and without one they change. Other
  # seeds draw otherwise; the largest seed reads whole.
  draws() { printf 'k 1048\nk 1048\nk 1048\n' | "${run[@]}" keys "$@"; }
  draws >"$work/unseeded1"
  sleep 1.1
  draws --seed 42 >"$work/rand3"
  draws >"$work/unseeded2"
  draws --seed 10 >"$work/seed10" && draws --seed 20 >"$work/seed20" &&
    draws --seed 4294967295 >"$work/seed_max" && draws --seed 4294967294 >"$work/seed_max1"
  if [ $? -eq 0 ] && cmp -s "$work/rand1" "$work/rand3" && ! cmp -s "$work/unseeded1" "$work/unseeded2" &&
    ! cmp -s "$work/seed10" "$work/seed20" && ! cmp -s "$work/seed_max" "$work/seed_max1" &&
    [ -s "$work/seed10" ] && [ -s "$work/seed_max" ]
  then echo "ok   seed_changes_rand"
  else echo "FAIL seed_changes_rand"; failures=$((failures + 1)); fi
  ;;
eval)
  printf '1+2\n6\303\2277\n(1+2\nsin(30\n1/0\n10^400\n\n0\n2e\n' |
    check expressions 'eval --degrees' 0 '3\n42\n3\n0.5\n\351\224\231\350\257\257\n\346\227\240\347\251\267\345\244\247\n\n0\n2\n'
  printf 'sin(30)\n' | check radians eval 0 '-0.988031624093\n'
  { yes '1+' | head -n 524288 | tr -d '\n'; echo 1; } | check megabyte_sum eval 0 '524289\n'
  { head -c 1048576 /dev/zero | tr '\0' '9'; echo; } | check megabyte_number eval 0 '\351\224\231\350\257\257\n'
  { head -c 1048576 /dev/zero | tr '\0' '('; echo 7; } | check megabyte_parentheses eval 0 '7\n'
  # --full: the shortest text that reads back as the same double (Python's repr gives the
  # same texts); error words, "" and "0" as "=" leaves them; numbers read as without it.
  printf '0.1+0.2\n1/3\n2^0.5\n-0\n2^-1074\n1e15\n123456789012\n1/0\n10^400\n\n0\n(1+2\n1e308%%3\n' |
    check full 'eval --full' 0 '0.30000000000000004\n0.3333333333333333\n1.4142135623730951\n-0\n5e-324\n1e+15\n123456789012\n\351\224\231\350\257\257\n\346\227\240\347\251\267\345\244\247\n\n0\n3\n2\n'
  # The correctly rounded results, the same on every build: a sine that was one unit off,
  # and a cube root's last bit magnified by "*" and "%" (one unit lower shows 0.948...).
  printf 'sin(0.7944243089884551)\n(cbrt(6.61908)*1e15)%%1.1\nacosh(1.0001)\n' |
    check full_correctly_rounded 'eval --full' 0 '0.7134603390175887\n0.6983973678399185\n0.014142017775251545\n'
  printf '(cbrt(6.61908)*1e15)%%1.1\n' | check magnified_display eval 0 '0.69839736784\n'
  # With --degrees, in either order; sin of the rounded 30 degrees is just below 0.5.
  printf 'sin(30)\n' | check full_degrees 'eval --degrees --full' 0 '0.49999999999999994\n'
  printf '' | check full_degrees_arguments 'eval --full --degrees sin(30) 0.1*3' 0 '0.49999999999999994\n0.30000000000000004\n'
  printf 'sin(30)\n' | check degrees_shown 'eval --degrees' 0 '0.5\n'
  # Arguments in place of standard input, one line each; standard input is then not read.
  printf '7\n' | check arguments 'eval --degrees 1+2 sin(30 1/0' 0 '3\n0.5\n\351\224\231\350\257\257\n'
  # Non-ASCII arguments arrive whole on Windows too, not through the ANSI code page
  # ("6×7" and "8÷2"; Wine reads the Unix arguments in the locale's encoding).
  printf '' | LC_ALL=C.UTF-8 check utf8_arguments $'eval 6\303\2277 8\303\2672' 0 '42\n4\n'
  ;;
bad_input)
  printf 'k 1002\nbogus\nk\nk 99999999999999999999999\n\nc -1\nk 1012 7\n\377\376\nk 1003\ntitle x\n' |
    check bad_event_lines keys 1 '1\n12\n' '^rivovuz-cli: line 8: not valid UTF-8$'
  printf 'k 1002\nbogus\n' | check unknown_event keys 1 '1\n' '^rivovuz-cli: line 2: unknown event'
  printf 'k 1002\nshortcut alt+s\nshortcut Ctrl+C\nshortcut\nk 1003\n' |
    check bad_shortcut keys 1 '1\n12\n' '^rivovuz-cli: line 4: shortcut needs one name'
  printf 'k 1002\npaste 3\\t\nk 1003\n' | check bad_paste_escape keys 1 '1\n12\n' '^rivovuz-cli: line 2: paste: a backslash'
  printf 'paste 12\0003\nstate\n' | check paste_stops_at_null keys 0 '12\n12\t0\t0\t1\t0\n'
  printf 'k 1002\nbogus\n' | "${run[@]}" keys >/dev/null 2>"$work/err"
  printf 'rivovuz-cli: line 2: unknown event; expected %s\n' \
    'k ID, c CODE, shortcut NAME, undo, redo, up, down, paste TEXT, title, captions, state or shortcuts' >"$work/want"
  if cmp -s "$work/err" "$work/want"; then echo "ok   whole_message"
  else echo "FAIL whole_message:"; od -c "$work/err" | head -5; failures=$((failures + 1)); fi
  printf '1+1\n\300\257\n2*3\n\355\240\200\n' | check eval_invalid_utf8 eval 1 '2\n6\n' 'line 4: not valid UTF-8'
  # Arguments are numbered from 1 as lines are. Natively only: Wine hands a Windows
  # program its arguments decoded from the locale's encoding, so no byte arrives invalid.
  if [ $# -eq 0 ]; then
    printf '' | check eval_invalid_argument $'eval 1+1 2*3 \377 4' 1 '2\n6\n4\n' '^rivovuz-cli: line 3: not valid UTF-8$'
  fi
  # A Ctrl-Z byte is a character like any other, not the end of the input (Windows).
  printf '1+1\n\032\n2+2\n' | check ctrl_z eval 0 '2\n\351\224\231\350\257\257\n4\n'
  { head -c 1048576 /dev/zero | tr '\0' 'k'; echo; echo 'k 1009'; } |
    check megabyte_event keys 1 '8\n' 'line 1: unknown event'
  printf '' | check no_arguments '' 2 '' '^usage: rivovuz-cli'
  printf '' | check bad_seed 'keys --seed x' 2 '' '^usage: rivovuz-cli'
  printf '' | check seed_too_large 'keys --seed 4294967296' 2 '' '^usage: rivovuz-cli'
  printf '' | check seed_missing 'keys --seed' 2 '' '^usage: rivovuz-cli'
  printf '' | check unknown_keys_option 'keys --degrees' 2 '' '^usage: rivovuz-cli'
  printf '' | check eval_seed_option 'eval --seed' 2 '' '^usage: rivovuz-cli'
  rc=0
  "${run[@]}" keys --seed '' </dev/null >/dev/null 2>&1 || rc=$?
  if [ "$rc" -eq 2 ]; then echo "ok   empty_seed"
  else echo "FAIL empty_seed: exit code $rc, expected 2"; failures=$((failures + 1)); fi
  printf '' | check unknown_mode 'calc' 2 '' '^usage: rivovuz-cli'
  printf '' | check unknown_eval_option 'eval --radians 1' 2 '' '^usage: rivovuz-cli'
  printf '' | check full_twice 'eval --full --degrees --full 1' 2 '' '^usage: rivovuz-cli'
  printf '' | check full_misspelt 'eval --full --ful 1' 2 '' '^usage: rivovuz-cli'
  printf '' | check full_in_keys 'keys --full' 2 '' '^usage: rivovuz-cli'
  printf '1+1\n\300\257\n' | check full_invalid_utf8 'eval --full' 1 '2\n' 'line 2: not valid UTF-8'
  printf '' | check help_and_more '--help eval' 2 '' '^usage: rivovuz-cli'
  # --help prints the same usage on standard output and succeeds.
  "${run[@]}" calc 2>"$work/usage" >/dev/null
  printf '1+1\n' | check help --help 0 "$(cat "$work/usage")\n"  # and reads no input
  printf '1+1\n' | check version --version 0 "rivovuz-cli ${RIVOVUZ_VERSION:?set by CTest from CMake}\n"
  ;;
*)
  echo "unknown group $group"; exit 2 ;;
esac

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
