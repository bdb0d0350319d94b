# Shared helpers of the CLI check scripts (tools/zel/*_test.sh), sourced by
# each: `source "$(dirname "$0")/testlib.sh"` with the zel binary as $1.
# Each script ends with `finish`.
set -u
zel=$1
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The Windows build's zel.exe runs under Wine, through a small wrapper so
# that every check calls "$zel" alike.  Checks of what only a POSIX host
# has (its devices, /proc, FIFOs, links, its paths) are guarded with
# `posix_only`.
host=posix
if [[ $zel == *.exe ]]; then
  host=win32
  # Quiet Wine whatever the check's environment (its own messages would
  # mix with the tool's).
  printf '#!/bin/sh\nWINEDEBUG=-all exec wine "%s" "$@"\n' "$(realpath "$zel")" >"$tmp/zel"
  chmod +x "$tmp/zel"
  zel=$tmp/zel
fi
zel_abs=$(realpath "$zel")  # for commands run from another directory

# posix_only REASON: succeeds on a POSIX host; elsewhere says which check is
# skipped and why, and fails, so that `posix_only ... && expect ...` skips.
posix_only() {
  [ "$host" = posix ] && return 0
  echo "skipped on $host: $*"
  return 1
}

# expect NAME EXPECTED_STATUS EXPECTED_STDOUT -- COMMAND...   (stdin from $input)
input=/dev/null
expect() {
  local name=$1 want_status=$2 want_out=$3
  shift 4
  local out status
  out=$("$@" <"$input" 2>"$tmp/stderr")
  status=$?
  if [ "$status" != "$want_status" ] || [ "$out" != "$want_out" ]; then
    echo "FAIL: $name"
    echo "  command: $*"
    echo "  status $status (want $want_status)"
    echo "  stdout: $(printf '%q' "$out")"
    echo "  want:   $(printf '%q' "$want_out")"
    echo "  stderr: $(cat "$tmp/stderr")"
    failures=$((failures + 1))
  fi
}
# expect_match NAME EXPECTED_STATUS REGEX -- COMMAND...
expect_match() {
  local name=$1 want_status=$2 regex=$3
  shift 4
  local out status
  out=$("$@" <"$input" 2>&1)
  status=$?
  if [ "$status" != "$want_status" ] || ! grep -Eq -- "$regex" <<<"$out"; then
    echo "FAIL: $name (status $status, want $want_status; output does not match /$regex/)"
    echo "$out" | head -5 | sed 's/^/  /'
    failures=$((failures + 1))
  fi
}

# expect_write_error NAME [STATUS] -- COMMAND...: with stdout on a full disk
# the command must say so, with the reason, and exit 1 (or STATUS: 2 for the
# commands that answer "no match") (stdin from $input).
expect_write_error() {
  local name=$1 want=1
  if [ "$2" != "--" ]; then want=$2; shift; fi
  shift 2
  [ -w /dev/full ] || return 0
  posix_only "$name: the full-disk device /dev/full" || return 0
  local status
  "$@" <"$input" >/dev/full 2>"$tmp/stderr"
  status=$?
  if [ "$status" != "$want" ] || ! grep -q "write error: No space left on device" "$tmp/stderr"; then
    echo "FAIL: $name (status $status, want $want and a write error with its reason on a full disk)"
    sed 's/^/  /' "$tmp/stderr" | head -3
    failures=$((failures + 1))
  fi
}

# finish: prints the summary and exits 1 when a check failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures CLI check(s) failed"
    exit 1
  fi
  echo "all CLI checks passed"
}
