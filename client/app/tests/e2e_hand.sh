#!/usr/bin/env bash
# One end-to-end run: the table server in scripted mode, the lobby stand-in starting the client
# against it, and e2e_driver.exe playing the player's side. Runs inside a Wine prefix that is up
# (scripts/wine_env.sh) in a virtual display.
#   e2e_hand.sh <bin-dir> <scenario.json> <artefact-dir> <driver steps...>
#   E2E_REVIEW=<record> e2e_hand.sh <bin-dir> review <artefact-dir> <driver steps...>
#     (the client replays the saved hand <bin-dir>/<record> in review mode; no table server)
# Screenshots the driver asks for land in <artefact-dir>/<name>.png. Passes when the driver
# did every step and the table server saw every frame it expected.
set -uo pipefail
bin=$1 scenario=$2 out=$3
shift 3
root=${root:?}
mkdir -p "$out" && out=$(cd "$out" && pwd) || exit 1
work=$(mktemp -d)
trap 'kill $server $watcher $lobby 2>/dev/null; rm -rf "$work"' EXIT

server=
if [ "$scenario" = review ]; then
  # A saved hand replayed: no table server; E2E_REVIEW names the record in <bin-dir>.
  touch "$work/server.log"
else
  (cd "$root/tools/tableserver" && PYTHONDONTWRITEBYTECODE=1 exec python3 -m tableserver \
     --port 0 --port-file "$work/port" --script "$scenario" --once --max-seconds "${E2E_MAX_SECONDS:-240}" -v) \
     > "$work/server.log" 2>&1 &
  server=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
  port=$(cat "$work/port" 2>/dev/null) || { echo "e2e: no table server"; exit 1; }
fi

cd "$bin" || exit 1
# Screenshots on request: the driver writes NAME.req holding the frame's rectangle, in this
# run's own folder (runs side by side share the program folder).
export KORVEL_E2E_EXCHANGE
KORVEL_E2E_EXCHANGE=$(winepath -w "$work")
(
  cd "$work" || exit 1
  while :; do
    for req in *.req; do
      [ -e "$req" ] || continue
      read -r x y w h mode < <(tr -d "\r" < "$req") || true
      name=${req%.req}
      if [ "$mode" = raw ]; then
        # Pixels for the driver to read: BGRA rows of the rectangle.
        xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage \
          -depth 8 bgra:"$name.raw.part" 2>/dev/null && mv -f "$name.raw.part" "$name.raw"
      else
        sleep 0.3
        xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage \
          "$out/$name.png" 2>/dev/null
      fi
      rm -f "$req"
    done
    sleep 0.05
  done
) &
watcher=$!

for dll in Korvel.dll KorvelTable.dll Vitrine.dll Parley.dll VyrSock.dll OzkPersonList.dll \
           KorvelFlash.dll KorvelAnimImage.dll; do
  wine regsvr32 /s "$dll"
done
wine KorvelGame.exe /RegServer
# Sound off, as a player can set it: a display without an audio device has no use for it, and
# Wine's synchronous playback can stall there.
wine reg add 'HKCU\Software\Hollin\insound' /ve /d 0 /f >/dev/null 2>&1
# The chat's installation (its skin, faces and adverts): the sample made by the build.
wine reg add 'HKLM\Software\Marrowby' /v AppPath /d "$(winepath -w "$PWD/../chat/sample")" /f \
  >/dev/null 2>&1

if [ -n "$server" ]; then
  where=(--watch=0 "--server=127.0.0.1:$port")
else
  where=(--watch=2 "--review=$(winepath -w "$PWD")\\${E2E_REVIEW:?}")
fi
wine lobby.exe "--person=1001,player1,一号玩家,0,4,3" "--person=1002,player2,电脑玩家,1,4,3" \
  --me=player1 --myid=1001 --seats=2 "${where[@]}" --subtype=0,3,1,0 \
  --room=3,30,1 "--dll=$(winepath -w "$PWD")\\KorvelGame.exe" --timeout="${E2E_MAX_SECONDS:-240}" \
  > "$work/lobby.log" 2>&1 &
lobby=$!

wine e2e_driver.exe "$@"
driver=$?
if [ $driver -ne 0 ]; then
  # The hand went wrong: nothing more will happen at the table.
  if [ -n "${KORVEL_E2E_BACKTRACE:-}" ]; then
    wine winedbg --command "backtrace all" > "$out/backtrace.txt" 2>&1
  fi
  wine taskkill /f /im KorvelGame.exe >/dev/null 2>&1
  [ -n "$server" ] && kill $server 2>/dev/null
fi
wait $lobby
served=0
if [ -n "$server" ]; then
  wait $server
  served=$?
fi
echo "--- table server"; cat "$work/server.log"
echo "--- lobby"; cat "$work/lobby.log"
echo "e2e: driver $driver, table server $served"
[ $driver -eq 0 ] && [ $served -eq 0 ]
