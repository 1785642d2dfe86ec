# Sourced by the shell tests: one line per check and a count of the failed
# ones. Set test (the test's name) before calling finish.
failures=0
ok() { echo "ok   - $*"; }
bad() { echo "FAIL - $*"; failures=$((failures + 1)); }
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then ok "$what"; else bad "$what"; fi
}
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$test: $failures check(s) failed"
    exit 1
  fi
  echo "$test: all checks passed"
  exit 0
}
