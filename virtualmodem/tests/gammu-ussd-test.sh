#!/usr/bin/env bash
# gammu, a third-party AT client, asks the virtual card's network for USSD services: the proof
# that +CUSD answers as a real card's does. Skipped (77) where gammu is not installed.
#
#   gammu-ussd-test.sh <virtual-modem executable>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/gammu-card.sh" "$1" ussd

gammu getussd '*100#' >"$folder/out" 2>&1 || fail "gammu getussd *100# failed"
expect '^Status +: No action needed$'
expect 'Ihr Guthaben beträgt 12,50 €\. Gültig bis'
gammu getussd '*101#' >"$folder/out" 2>&1 || fail "gammu getussd *101# failed"
expect 'Ваш баланс: 150,00 руб\.'
gammu getussd '*102#' >"$folder/out" 2>&1 || fail "gammu getussd *102# failed"
expect 'Bonus aktiviert 🎉 Danke! 😀'
gammu getussd '*123#' >"$folder/out" 2>&1 || fail "gammu getussd *123# failed"
expect '^Status +: Action needed$'
expect '^1 Guthaben$'
gammu getussd '*999#' >"$folder/out" 2>&1 || fail "gammu getussd *999# failed"
expect '^Status +: Not supported$'

echo "gammu read the balance in German, Russian and with emoji, a menu and a refusal"
