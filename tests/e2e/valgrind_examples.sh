#!/usr/bin/env bash
# Runs the handler under valgrind's memcheck on every example in EXAMPLES_DIR
# (NAME.txt with the arguments of NAME.args) and fails on any memory error or
# any definite or indirect leak. The handler's own exit status (1 for a
# result, 0 for an exception document) is not judged here; the examples test
# does that.
#
#   valgrind_examples.sh VALGRIND HANDLER EXAMPLES_DIR
set -uo pipefail
if [ "$#" -ne 3 ]; then
  echo "usage: $0 VALGRIND HANDLER EXAMPLES_DIR" >&2
  exit 2
fi
valgrind="$1" handler="$2" examples="$3"
# valgrind exits with this status when it found an error or a leak; the
# handler itself only ever exits 0 or 1.
readonly error_status=99

failed=0
count=0
for args in "$examples"/*.args; do
  [ -e "$args" ] || continue
  name="$(basename "$args" .args)"
  log="$(mktemp)"
  # The arguments are words without quoting, as the examples runner reads them.
  read -r -a words <"$args"
  "$valgrind" --tool=memcheck --error-exitcode="$error_status" \
    --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --log-file="$log" "$handler" "${words[@]}" "$examples/$name.txt" \
    >/dev/null
  status=$?
  count=$((count + 1))
  if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    failed=$((failed + 1))
    echo "FAIL $name: exit status $status under valgrind" >&2
    cat "$log" >&2
  fi
  rm -f "$log"
done
if [ "$count" -eq 0 ]; then
  echo "no example in $examples" >&2
  exit 1
fi
echo "valgrind: $count examples, $failed with errors or leaks"
[ "$failed" -eq 0 ]
