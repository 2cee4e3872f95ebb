#!/usr/bin/env bash
# gammu, a third-party AT client, reads the virtual card's SIM phonebook and writes names in
# several scripts to it: the proof that the phonebook answers as a real card's does. The test
# is skipped (77) where gammu is not installed.
#
#   gammu-phonebook-test.sh <virtual-modem executable>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/gammu-card.sh" "$1" pb

# A SIM that a phone filled: gammu reads every entry.
control "phonebook fill SM 40"
gammu getallmemory SM >"$folder/out" 2>&1 || fail "gammu getallmemory failed"
[ "$(grep -c '^Memory SM, Location' "$folder/out")" = 40 ] || fail "gammu did not read 40 entries"
expect '^Name +: "Contact 40"$'
expect '^General number +: "\+5491140000040"$'

# gammu writes names in four scripts; a name that needs UCS-2 and does not fit the SIM's field
# is refused, as a real SIM refuses it.
control "phonebook clear SM"
printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:%s\r\nTEL;CELL:%s\r\nEND:VCARD\r\n' \
  'Иван' '+79161234567' '王小明' '10086' 'José Ñañez' '0800123' '@£ Ana' '555' >"$folder/in.vcf"
# (addnew then sets the card's clock, which this card has no command for: its status is not ours)
gammu addnew "$folder/in.vcf" -yes -memory SM >"$folder/out" 2>&1 || true
expect 'Writing: 100 percent'
grep -q 'Invalid data' "$folder/out" && fail "the card refused a name gammu wrote"
gammu getallmemory SM >"$folder/out" 2>&1 || fail "gammu getallmemory failed"
expect '^Name +: "Иван"$'
expect '^General number +: "\+79161234567"$'
expect '^Name +: "王小明"$'
expect '^Name +: "José Ñañez"$'
expect '^Name +: "@£ Ana"$'

printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:Иван Петрович\r\nTEL;CELL:1\r\nEND:VCARD\r\n' \
  >"$folder/long.vcf"
gammu addnew "$folder/long.vcf" -yes -memory SM >"$folder/out" 2>&1 || true
grep -q 'Invalid data' "$folder/out" || fail "the SIM took a UCS-2 name longer than its field"

echo "gammu read the SIM phonebook and wrote names in four scripts to it"
