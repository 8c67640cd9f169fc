#!/usr/bin/env bash
# The scripted hand with the connection cut by the table server right after the computer's
# first discard: the client finds the silence, connects again, is given the table as it stood
# (654) and plays the hand to its end. The driver goes on when the chat tells of the player
# entering the table again (the rejoin), not after a fixed wait: the table server's clock runs
# from the rejoin, and a busy machine must not make the driver's claim come after it. The table before the cut and after the recovery must
# look the same (the chat pane, which tells of the player coming back, is left out).
#   e2e_disconnect.sh <bin-dir> <artefact-dir>
set -uo pipefail
bin=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
root=${root:?}
bash "$here/e2e_hand.sh" "$bin" "$root/tools/tableserver/scenarios/hand_disconnect.json" "$out" \
  frame:40 button:310:20 sleep:1500 button:322:30 hand:14:13:30:322 button:306:10 \
  wait-button:311:30 sleep:1000 shot:e2e_before_cut chat-has:进入牌桌:120 sleep:1500 \
  shot:e2e_recovered button:311:30 hand:11:10:20 button:306:10 button:309:30 board:0:2:10 hand:8:2:20 \
  button:306:10 button:315:30 sleep:2000 close gone:20 || exit 1
# The table display's part of the frame: pixels that differ by more than a little.
crop=1000x960+10+40
convert "$out/e2e_before_cut.png" -crop $crop +repage "$out/.before.png" &&
  convert "$out/e2e_recovered.png" -crop $crop +repage "$out/.after.png" || exit 1
differ=$(compare -metric AE -fuzz 8% "$out/.before.png" "$out/.after.png" null: 2>&1)
rm -f "$out/.before.png" "$out/.after.png"
echo "e2e: ${differ} of 960000 pixels of the table differ after the recovery"
[ "${differ%%.*}" -lt 9600 ] 2>/dev/null
