#!/usr/bin/env bash
# gammu, a third-party AT client, reads, sends and deletes the virtual card's short messages:
# the proof that they answer as a real card's do. Skipped (77) where gammu is not installed.
#
#   gammu-sms-test.sh <virtual-modem executable>
set -euo pipefail

virtual_modem=$1
if ! command -v gammu >/dev/null; then
  echo "gammu is not installed: skipped" >&2
  exit 77
fi
command -v socat >/dev/null || { echo "socat is not installed: skipped" >&2; exit 77; }

folder=$(mktemp -d /tmp/virtualmodem-gammu-sms-XXXXXX)
card_pid=
cleanup() {
  if [ -n "$card_pid" ]; then kill "$card_pid" 2>/dev/null || true; wait "$card_pid" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap cleanup EXIT

"$virtual_modem" --link "$folder/card" --control "$folder/control" --pin-required off \
  --sim-busy 0 >"$folder/card.log" 2>&1 &
card_pid=$!
for _ in $(seq 50); do
  [ -e "$folder/card" ] && [ -e "$folder/control" ] && break
  sleep 0.1
done
[ -e "$folder/card" ] || { echo "the card did not come up:" >&2; cat "$folder/card.log" >&2; exit 1; }

# gammu reads ~/.gammurc: the test gets a home of its own.
export HOME=$folder
cat >"$HOME/.gammurc" <<CONFIG
[gammu]
device = $folder/card
connection = at
logfile = $folder/gammu.log
logformat = textall
CONFIG

control() {
  local answer
  answer=$(echo "$1" | socat - "UNIX-CONNECT:$folder/control")
  [ "$answer" = OK ] || { echo "control '$1' answered: $answer" >&2; exit 1; }
}

fail() {
  echo "$1" >&2
  echo "--- gammu said:" >&2
  cat "$folder/out" >&2
  echo "--- gammu's log:" >&2
  tail -60 "$folder/gammu.log" >&2 || true
  exit 1
}

expect() {
  grep -Eq "$1" "$folder/out" || fail "gammu's output lacks: $1"
}

# Received messages of three codings, one of them long, all read back whole.
control "sms +5491140005555 Hello there"
control "sms ucs2 +5491140005556 Привет мир"
control "sms reversed +5491140005557 $(printf 'word%.0s ' {1..60})end"
gammu getallsms >"$folder/out" 2>&1 || fail "gammu getallsms failed"
expect '^Hello there$'
expect '^Привет мир$'
expect 'word end$'
expect '4 SMS parts in 4 SMS sequences'  # getallsms lists parts one by one

# Sending: to the card's own number (it comes back), and to a number the network refuses.
control "sms-fail +5491149999999 on"
gammu sendsms TEXT +5491140000001 -text "to myself" >"$folder/out" 2>&1 || fail "gammu sendsms failed"
expect 'OK, message reference='
if gammu sendsms TEXT +5491149999999 -text "refused" >"$folder/out" 2>&1; then
  fail "a refused send was reported as sent"
fi
gammu getallsms >"$folder/out" 2>&1 || fail "gammu getallsms failed"
expect '^to myself$'

gammu deleteallsms 1 >"$folder/out" 2>&1 || fail "gammu deleteallsms failed"
gammu getallsms >"$folder/out" 2>&1 || fail "gammu getallsms failed"
expect '0 SMS parts in 0 SMS sequences'

echo "gammu read, sent and deleted the card's short messages"
