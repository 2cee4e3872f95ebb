#!/usr/bin/env bash
# gammu, a third-party AT client, dials, answers, sends tones to and hangs up the virtual card's
# voice calls, and its call monitor sees a caller come and go: the proof that the card's calls
# behave as a real card's do. Skipped (77) where gammu is not installed.
#
#   gammu-voice-test.sh <virtual-modem executable>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/gammu-card.sh" "$1" voice

monitor_pid=
trap '[ -n "$monitor_pid" ] && kill "$monitor_pid" 2>/dev/null; cleanup' EXIT

ask() { echo "$1" | socat - "UNIX-CONNECT:$folder/control"; }

# Waits until the card's call list ("OK 1:0" ...) or a file's text is as expected.
wait_for_calls() {
  for _ in $(seq 300); do
    [ "$(ask 'call list')" = "$1" ] && return 0
    sleep 0.1
  done
  fail "the card's calls are '$(ask 'call list')', not '$1'"
}
wait_for_text() {
  for _ in $(seq 600); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  cp "$1" "$folder/out"
  fail "gammu never said: $2"
}

control "call timing answer 200"
gammu dialvoice +5491140005555 >"$folder/out" 2>&1 || fail "gammu dialvoice failed"
wait_for_calls "OK 1:0"
gammu senddtmf '123#' >"$folder/out" 2>&1 || fail "gammu senddtmf failed"
[ "$(ask 'call tones')" = "OK 123#" ] || fail "the card heard the tones '$(ask 'call tones')'"
gammu cancelcall >"$folder/out" 2>&1 || fail "gammu cancelcall failed"
wait_for_calls "OK"

control "call incoming +5491140006666"
wait_for_calls "OK 1:4"
gammu answercall >"$folder/out" 2>&1 || fail "gammu answercall failed"
wait_for_calls "OK 1:0"
gammu cancelcall >"$folder/out" 2>&1 || fail "gammu cancelcall failed"
wait_for_calls "OK"

# The monitor: a caller rings, then gives up.
gammu monitor 100000 >"$folder/monitor" 2>&1 &
monitor_pid=$!
wait_for_text "$folder/monitor" "Signal strength"
control "call incoming +5491140007777"
wait_for_text "$folder/monitor" 'incoming call from "+5491140007777"'
control "call hangup"
wait_for_text "$folder/monitor" "call end from remote side"

echo "gammu dialled, answered, sent tones to and hung up the card's calls, and saw a caller"
