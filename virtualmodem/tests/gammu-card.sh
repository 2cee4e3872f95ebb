# Sourced by the gammu tests: starts a virtual card for gammu, points gammu at it, and gives
# the tests control(), fail() and expect(). Skips the test (77) where gammu or socat is missing.
#
#   . gammu-card.sh <virtual-modem executable> <name of the test's folder>
virtual_modem=$1
test_name=$2
if ! command -v gammu >/dev/null; then
  echo "gammu is not installed: skipped" >&2
  exit 77
fi
command -v socat >/dev/null || { echo "socat is not installed: skipped" >&2; exit 77; }

folder=$(mktemp -d /tmp/virtualmodem-gammu-$test_name-XXXXXX)
card_pid=
cleanup() {
  if [ -n "$card_pid" ]; then kill "$card_pid" 2>/dev/null || true; wait "$card_pid" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap cleanup EXIT

"$virtual_modem" --link "$folder/card" --control "$folder/control" --pin-required off \
  --sim-busy 0 >"$folder/card.log" 2>&1 &
card_pid=$!
for _ in $(seq 300); do
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
