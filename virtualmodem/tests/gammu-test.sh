#!/usr/bin/env bash
# gammu, a third-party AT client, identifies the virtual card and reads its network: the proof
# that the card answers as a real one does.
#
#   gammu-test.sh <virtual-modem executable>
set -euo pipefail

virtual_modem=$1
if ! command -v gammu >/dev/null; then
  echo "gammu is not installed (scripts/setup installs it)" >&2
  exit 1
fi

folder=$(mktemp -d /tmp/virtualmodem-gammu-XXXXXX)
card_pid=
cleanup() {
  if [ -n "$card_pid" ]; then kill "$card_pid" 2>/dev/null || true; wait "$card_pid" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap cleanup EXIT

"$virtual_modem" --link "$folder/card" --pin 2468 >"$folder/card.log" 2>&1 &
card_pid=$!
for _ in $(seq 50); do
  [ -e "$folder/card" ] && break
  sleep 0.1
done
if [ ! -e "$folder/card" ]; then
  echo "the card did not come up:" >&2
  cat "$folder/card.log" >&2
  exit 1
fi

cat >"$folder/gammurc" <<CONFIG
[gammu]
device = $folder/card
connection = at
logfile = $folder/gammu.log
logformat = textall
CONFIG

fail() {
  echo "$1" >&2
  echo "--- gammu said:" >&2
  cat "$folder/out" >&2
  echo "--- gammu's log:" >&2
  tail -60 "$folder/gammu.log" >&2 || true
  exit 1
}

# expect <pattern> : the output of the last gammu run holds a line matching the pattern.
expect() {
  grep -Eq "$1" "$folder/out" || fail "gammu's output lacks: $1"
}

# The SIM starts locked: a wrong PIN is refused, the right one opens it (the IMSI below needs it).
gammu -c "$folder/gammurc" getsecuritystatus >"$folder/out" 2>&1 || fail "gammu getsecuritystatus failed"
expect 'Waiting for PIN'
if gammu -c "$folder/gammurc" entersecuritycode PIN 1357 >"$folder/out" 2>&1; then
  fail "gammu took a wrong PIN"
fi
gammu -c "$folder/gammurc" entersecuritycode PIN 2468 >"$folder/out" 2>&1 || fail "gammu could not enter the PIN"

gammu -c "$folder/gammurc" --identify >"$folder/out" 2>&1 || fail "gammu --identify failed"
expect '^Manufacturer +: Lumadial$'
expect '^Firmware +: VDC 1\.0\.0$'
expect '^IMEI +: 356938035643809$'
expect '^SIM IMSI +: 722310123456789$'

gammu -c "$folder/gammurc" networkinfo >"$folder/out" 2>&1 || fail "gammu networkinfo failed"
expect '^Network state +: home network$'
expect '^Network +: 722310 .*LAC 2C1A, CID 01A2B3C4$'
expect '^Name in phone +: "Brisa"$'
expect '^Packet network state +: home network$'
expect '^GPRS +: attached$'

echo "gammu unlocked the SIM, identified the card and read its network"
