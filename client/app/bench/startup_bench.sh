#!/usr/bin/env bash
# The client's start-up against a minimal local server of the same kind, in one run: the lobby
# stand-in activates each the same way (out of process, the same IStartGame calls, ShowWindow)
# and reports the time from the activation to the table on screen, and the longest a message to
# the table waits in its first 4 s (how soon a click is answered). Rounds alternate between the
# two; the medians and their ratio are printed. A measurement, run by hand:
#   startup_bench.sh <bin-dir> [rounds]   (inside a Wine prefix that is up, in Xvfb)
set -uo pipefail
bin=$(cd "$1" && pwd) rounds=${2:-5}
root=${root:-$(cd "$(dirname "$0")/../../.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
minimal='{5C3E0B7A-8E21-4F6B-9D3C-2A71C4E9B815}'

cd "$bin" || exit 1
for dll in Korvel.dll KorvelTable.dll Vitrine.dll Parley.dll VyrSock.dll OzkPersonList.dll \
           KorvelFlash.dll KorvelAnimImage.dll; do
  wine regsvr32 /s "$dll"
done
wine KorvelGame.exe /RegServer
wine minimal_start_server.exe /RegServer
wine reg add 'HKCU\Software\Hollin\insound' /ve /d 0 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Marrowby' /v AppPath /d "$(winepath -w "$PWD/../chat/sample")" /f \
  >/dev/null 2>&1

# One start: the lobby until the table has answered for 4 s; prints "<shown ms> <answer ms>".
start() {
  local log=$work/lobby.log server= port=
  if [ "$1" = client ]; then
    rm -f "$work/port"
    (cd "$root/tools/tableserver" && PYTHONDONTWRITEBYTECODE=1 exec python3 -m tableserver \
       --port 0 --port-file "$work/port" --player-record 120,0) >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
    port=$(cat "$work/port")
    set -- "--server=127.0.0.1:$port"
  else
    set -- "--clsid=$minimal"
  fi
  wine lobby.exe "--person=1001,player1,一号玩家,0,4,3,120,0" "--person=1002,player2,电脑玩家,1,4,3,120,0" \
    --me=player1 --myid=1001 --watch=0 --seats=2 --subtype=0,3,1,0 --room=3,30,1 \
    "--dll=$(winepath -w "$PWD")\\KorvelGame.exe" --hold=0 --probe-answers "$@" > "$log" 2>&1 &
  local lobby=$!
  for _ in $(seq 300); do grep -q "table answers" "$log" && break; sleep 0.1; done
  wine taskkill /f /im KorvelGame.exe >/dev/null 2>&1
  wait $lobby 2>/dev/null
  [ -n "$server" ] && kill $server 2>/dev/null && wait $server 2>/dev/null
  local shown answer up call
  shown=$(sed -n 's/^table shown \([0-9]*\) ms.*/\1/p' "$log")
  answer=$(sed -n 's/^table answers within \([0-9]*\) ms.*/\1/p' "$log")
  up=$(sed -n 's/.*the server up after \([0-9]*\) ms.*/\1/p' "$log")
  call=$(sed -n 's/.*ShowWindow took \([0-9]*\) ms.*/\1/p' "$log")
  echo "${shown:-0} ${answer:-0} ${up:-0} ${call:-0}"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

: > "$work/client" ; : > "$work/minimal"
for r in $(seq "$rounds"); do
  for side in minimal client; do
    read -r shown answer up call < <(start $side)
    echo "startup: round $r $side: table shown ${shown} ms after the activation (server up" \
         "${up} ms, ShowWindow ${call} ms), answers within ${answer} ms"
    echo "$shown $answer" >> "$work/$side"
  done
done
wine minimal_start_server.exe /UnregServer
c=$(cut -d' ' -f1 "$work/client" | median) m=$(cut -d' ' -f1 "$work/minimal" | median)
ca=$(cut -d' ' -f2 "$work/client" | median) ma=$(cut -d' ' -f2 "$work/minimal" | median)
echo "startup: median to the table on screen: client ${c} ms, minimal server ${m} ms," \
     "ratio $(awk -v c="$c" -v m="$m" 'BEGIN { printf "%.2f", m ? c / m : 0 }')"
echo "startup: median longest wait for an answer in the first 4 s: client ${ca} ms, minimal server ${ma} ms"
