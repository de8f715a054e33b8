#!/bin/sh
# run_clients.sh BUILD_DIR
#
# As scripts/check-windows.sh runs it: with WINEPREFIX, WINE (the Wine
# program), LC_ALL and the Wine settings exported, in a prefix it has made. Runs the
# shell's own tests (kavrolin_com_tests.exe), registers BUILD_DIR/bin/Kavrolin.dll
# with regsvr32, then runs the client tests against it, each from a fresh
# folder of its own below BUILD_DIR/clients: the script host pos_host.vbs
# with cscript, early_client.exe and typelib_client.exe. Everything this
# script writes stays inside the prefix and below BUILD_DIR/clients.
#
# Wine's cscript prints nothing and exits 0 when a script error stops the
# script: a client passes only when its output ends with its marker line,
# reports "failures 0" and, for the script, Wine logged no script error.
# Wine's output goes to files: its background processes keep pipes open.
set -u

bin=$(cd "$1/bin" && pwd) || exit 2
prefix=${WINEPREFIX:?run_clients: WINEPREFIX is not set}
wine=${WINE:-wine}
here=$(cd "$(dirname "$0")" && pwd)
runs=$(dirname "$bin")/clients

[ -f "$bin/Kavrolin.dll" ] || { echo "run_clients: no $bin/Kavrolin.dll" >&2; exit 2; }
[ -d "$prefix" ] || { echo "run_clients: no Wine prefix at $prefix" >&2; exit 2; }

# The terminal simulator answers approved with its default card.
unset KAVROLIN_SIM_RESULT KAVROLIN_SIM_RESPONSE KAVROLIN_SIM_CARD KAVROLIN_SIM_PRINT

mkdir -p "$runs"
status=0

# A fresh folder for one client run; trans.dll beside the host program is
# not needed, the library finds it beside itself.
fresh() { mktemp -d "$runs/$1.XXXXXX"; }

# check NAME OUTPUT_FILE MARKER [LOG_FILE]
check() {
  name=$1 out=$2 marker=$3 log=${4:-}
  tr -d '\r' < "$out" > "$out.txt"
  grep '^FAIL' "$out.txt" | sed "s/^/$name: /"
  if ! grep -qx "$marker" "$out.txt"; then
    echo "$name: stopped before its end (no \"$marker\"); output in $out" >&2
    status=1
  elif ! grep -qx 'failures 0' "$out.txt"; then
    echo "$name: $(grep '^failures' "$out.txt")" >&2
    status=1
  fi
  if [ -n "$log" ] && grep -q 'ActiveScriptSite_OnScriptError' "$log"; then
    echo "$name: the script stopped on a script error; see $log" >&2
    status=1
  fi
  echo "$name: $(grep -c '^ok' "$out.txt") checks passed"
}

if [ -f "$bin/kavrolin_com_tests.exe" ]; then
  dir=$(fresh com_tests)
  if (cd "$dir" && WINEDEBUG=-all "$wine" "$bin/kavrolin_com_tests.exe" > "$dir/out" 2> "$dir/err"); then
    echo "com_tests: $(tr -d '\r' < "$dir/out" | grep -c '^\[       OK \]') tests passed"
  else
    tr -d '\r' < "$dir/out" | grep -E '^\[  FAILED|Failure|Expected|Which is|actual' | head -40
    echo "com_tests: failed; output in $dir/out" >&2
    status=1
  fi
fi

dir=$(fresh regsvr32)
# Wine shows the host's root as drive Z:.
dll="Z:$(printf '%s' "$bin/Kavrolin.dll" | tr / '\\')"
if ! (cd "$dir" && WINEDEBUG=-all "$wine" regsvr32 /s "$dll" > "$dir/out" 2> "$dir/err"); then
  echo "run_clients: regsvr32 Kavrolin.dll failed; see $dir/err" >&2
  exit 1
fi

dir=$(fresh pos_host)
cp "$here/pos_host.vbs" "$dir/"
# The script's terminal calls count from 1 in a state file of this run: the
# first six are approved, every later one declined.
# Its payment records go to the folder "records" of the run.
(cd "$dir" && KAVROLIN_SIM_STATE=sim.state KAVROLIN_SIM_RESULT=1,1,1,1,1,1,0 KAVROLIN_PREFIX=records \
   WINEDEBUG=-all,fixme+wscript "$wine" cscript //nologo pos_host.vbs > "$dir/out" 2> "$dir/err")
check pos_host "$dir/out" "POS HOST DONE" "$dir/err"

# The write-ahead records of the script's six transactions that move money
# (the inquiries make none), read back by the program as an operator would.
if [ -f "$bin/kavrolin.exe" ]; then
  (cd "$dir" && KAVROLIN_PREFIX=records WINEDEBUG=-all "$wine" "$bin/kavrolin.exe" history > "$dir/history" 2> "$dir/history.err")
  tr -d '\r' < "$dir/history" > "$dir/history.txt"
  if grep -qx "records of $(date +%Y%m%d): 6" "$dir/history.txt" &&
     [ "$(grep -c ': approved, return code 1' "$dir/history.txt")" = 5 ] &&
     [ "$(grep -c ': declined, return code 0' "$dir/history.txt")" = 1 ]; then
    echo "pos_host: payment records of the six transactions read back"
  else
    echo "pos_host: payment records differ; see $dir/history.txt" >&2
    status=1
  fi
fi

# The journal's bytes as the script left them in the prefix's C:\YHLOG: the
# code page's form of the Chinese texts, every line stamped and ended by CR LF.
journal="$prefix/drive_c/YHLOG/$(date +%Y%m%d).txt"
if [ ! -f "$journal" ]; then
  echo "pos_host: no journal file $journal" >&2
  status=1
elif ! iconv -f CP936 -t UTF-8 < "$journal" > "$dir/journal.txt" 2> /dev/null; then
  echo "pos_host: the journal is not in code page 936: $journal" >&2
  status=1
elif ! grep -q '消费成功 卡号：6222000000000009    索引：' "$dir/journal.txt" ||
     ! grep -q '消费失败 卡号：6222000000000009     索引：' "$dir/journal.txt"; then
  echo "pos_host: the journal lacks the sale lines; see $dir/journal.txt" >&2
  status=1
elif grep -qv "$(printf '^[0-9]\\{4\\}-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9] .*\r$')" "$dir/journal.txt"; then
  echo "pos_host: a journal line without its stamp or CR LF; see $dir/journal.txt" >&2
  status=1
else
  echo "pos_host: journal bytes in code page 936 with stamped CR LF lines"
fi

# Hosts that pass GetPrintTxt's array by value (JScript always, VBScript for
# Empty or a parenthesised variable) are refused and keep the receipt.
for script in by_value.js by_value.vbs; do
  dir=$(fresh "$script")
  cp "$here/$script" "$dir/"
  marker="BY VALUE $(echo "${script##*.}" | tr a-z A-Z) DONE"
  (cd "$dir" && KAVROLIN_SIM_STATE=sim.state KAVROLIN_PREFIX=records \
     WINEDEBUG=-all,fixme+wscript "$wine" cscript //nologo "$script" > "$dir/out" 2> "$dir/err")
  check "$script" "$dir/out" "$marker" "$dir/err"
done

# Names beyond ASCII in another letter case through every member that takes
# a path, and the key list of an INI file that repeats its keys.
dir=$(fresh names.js)
cp "$here/names.js" "$dir/"
(cd "$dir" && KAVROLIN_PREFIX=records WINEDEBUG=-all,fixme+wscript "$wine" cscript //nologo names.js \
   > "$dir/out" 2> "$dir/err")
check names.js "$dir/out" "NAMES JS DONE" "$dir/err"

# A long-running host: create, call and release each class CYCLES times
# after a warm-up round; the script host's resident memory may grow by at most
# MAX_GROWTH_KB between the two readings (a reference or allocation lost per
# object would show as megabytes).
cycles=20000 max_growth_kb=1024
dir=$(fresh cycles)
cp "$here/cycles.vbs" "$dir/"
(cd "$dir" && KAVROLIN_PREFIX=records WINEDEBUG=-all,fixme+wscript "$wine" cscript //nologo cycles.vbs $cycles \
   > "$dir/out" 2> "$dir/err") &
cycles_runner=$!
# resident_kb MARK: the script host's VmRSS when the script reached MARK.
resident_kb() {
  waited=0
  while [ ! -f "$dir/$1" ] && [ $waited -lt 600 ] && kill -0 $cycles_runner 2>/dev/null; do
    sleep 0.5; waited=$((waited + 1))
  done
  kb=
  for pid in $(pgrep -f 'cycles\.vbs'); do
    this=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    if [ -n "$this" ] && { [ -z "$kb" ] || [ "$this" -gt "$kb" ]; }; then kb=$this; fi
  done
  touch "$dir/$1.read"
  echo "${kb:-0}"
}
warm=$(resident_kb warm)
done_kb=$(resident_kb done)
wait $cycles_runner
tr -d '\r' < "$dir/out" > "$dir/out.txt"
if ! grep -qx 'CYCLES DONE' "$dir/out.txt" || [ "$warm" = 0 ] || [ "$done_kb" = 0 ]; then
  echo "cycles: the script did not run to its end; see $dir/out and $dir/err" >&2
  status=1
elif [ $((done_kb - warm)) -gt $max_growth_kb ]; then
  echo "cycles: $cycles create-call-release cycles of each class grew the script host by $((done_kb - warm)) KiB (from $warm KiB), more than $max_growth_kb" >&2
  status=1
else
  echo "cycles: $cycles cycles of each class grew the script host by $((done_kb - warm)) KiB (at most $max_growth_kb)"
fi

if [ -f "$bin/early_client.exe" ]; then
  dir=$(fresh early_client)
  (cd "$dir" && WINEDEBUG=-all "$wine" "$bin/early_client.exe" > "$dir/out" 2> "$dir/err")
  check early_client "$dir/out" "EARLY CLIENT DONE"
else
  echo "run_clients: no early_client.exe in $bin" >&2
  status=1
fi

if [ -f "$bin/typelib_client.exe" ]; then
  dir=$(fresh typelib_client)
  (cd "$dir" && WINEDEBUG=-all "$wine" "$bin/typelib_client.exe" > "$dir/out" 2> "$dir/err")
  check typelib_client "$dir/out" "TYPELIB CLIENT DONE"
else
  echo "run_clients: no typelib_client.exe in $bin" >&2
  status=1
fi

exit $status
