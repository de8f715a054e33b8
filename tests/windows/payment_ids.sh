#!/bin/sh
# payment_ids.sh BUILD_DIR
#
# As scripts/check-windows.sh runs it: with WINEPREFIX, WINE (the Wine
# program), LC_ALL and the Wine settings exported. Sales through
# `kavrolin.exe batch` against trans.dll (the simulator approves), in two
# processes, then `kavrolin.exe history --json` and `pending --resolve`: the
# payment records' numbers run from 1 in the order of the sales, the second
# process goes on from the first one's last, and a number no record has is
# refused. The records go to a folder of this run below BUILD_DIR/clients.
set -u

bin=$(cd "$1/bin" && pwd) || exit 2
wine=${WINE:-wine}
[ -f "$bin/kavrolin.exe" ] || { echo "payment_ids: no $bin/kavrolin.exe" >&2; exit 2; }
runs=$(dirname "$bin")/clients
mkdir -p "$runs"
dir=$(mktemp -d "$runs/payment_ids.XXXXXX")

# The terminal simulator answers approved with its default card.
unset KAVROLIN_SIM_RESULT KAVROLIN_SIM_RESPONSE KAVROLIN_SIM_CARD KAVROLIN_SIM_PRINT

kavrolin() {
  (cd "$dir" && KAVROLIN_PREFIX=records KAVROLIN_SIM_STATE=sim.state WINEDEBUG=-all "$wine" "$bin/kavrolin.exe" "$@")
}

# One process: one object, one sale per invoice number given.
sales() {
  {
    printf '{"new":"a","class":"Kavrolin.clsInterFace"}\n'
    for invoice in "$@"; do printf '{"call":"a.Sale","args":[12.34,"%s","01","A1"]}\n' "$invoice"; done
    printf '{"release":"a"}\n'
  } > "$dir/batch.in"
  kavrolin batch < "$dir/batch.in" >> "$dir/batch.out" 2>> "$dir/batch.err"
}

status=0
sales 1 2
sales 3
tr -d '\r' < "$dir/batch.out" > "$dir/batch.txt"
if [ "$(grep -c '"result":true' "$dir/batch.txt")" != 3 ]; then
  echo "payment_ids: the three sales did not all succeed; see $dir/batch.txt and $dir/batch.err" >&2
  status=1
fi

kavrolin history --json > "$dir/history" 2> "$dir/history.err"
ids=$(tr -d '\r' < "$dir/history" | grep -o '"id":[0-9]*' | tr '\n' ' ')
invoices=$(tr -d '\r' < "$dir/history" | grep -o '"invoice":"[0-9]*"' | tr '\n' ' ')
if [ "$ids" != '"id":1 "id":2 "id":3 ' ] || [ "$invoices" != '"invoice":"1" "invoice":"2" "invoice":"3" ' ]; then
  echo "payment_ids: the records are numbered $ids for invoices $invoices, not 1 2 3; see $dir/history" >&2
  status=1
fi

if kavrolin pending --resolve 4 --outcome paid > "$dir/resolve" 2> "$dir/resolve.err"; then
  echo "payment_ids: resolving number 4, which no record has, succeeded" >&2
  status=1
elif ! tr -d '\r' < "$dir/resolve.err" | grep -q 'no transaction 4'; then
  echo "payment_ids: resolving number 4 failed for another reason; see $dir/resolve.err" >&2
  status=1
fi

[ "$status" = 0 ] && echo "payment_ids: three sales in two processes numbered 1, 2, 3"
exit "$status"
