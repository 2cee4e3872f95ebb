#!/usr/bin/env bash
# gammu, a third-party AT client, reads, sends and deletes the virtual card's short messages:
# the proof that they answer as a real card's do. Skipped (77) where gammu is not installed.
#
#   gammu-sms-test.sh <virtual-modem executable>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/gammu-card.sh" "$1" sms

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
