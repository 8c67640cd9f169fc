#!/usr/bin/env bash
# Twenty hands in a row at the table server (the computer deals itself a winning hand each time,
# the player starts each hand), with the client's private memory read after a first hand and
# again after the twenty: prints the growth. A measurement, run by hand:
#   e2e_twenty_hands.sh <bin-dir> <artefact-dir>   (inside a Wine prefix that is up, in Xvfb)
set -uo pipefail
bin=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
root=${root:?}
# While a hand runs, the dice button (322) is clicked whenever it shows: the player throws when
# the computer's throw names the player, and again when the player's own throw does.
steps=(frame:40 button:310:30 sleep:3000 wait-button:310:30:322 mem:start)
for _ in $(seq 20); do steps+=(button:310:30 sleep:3000 wait-button:310:30:322); done
steps+=(mem:end close press:160:10 gone:30)
log=$(mktemp)
E2E_MAX_SECONDS=900 bash "$here/e2e_hand.sh" "$bin" "$root/tools/tableserver/scenarios/twenty_hands.json" "$out" \
  "${steps[@]}" | tee "$log"
rc=${PIPESTATUS[0]}
start=$(sed -n 's/^e2e: mem start private \([0-9]*\) KiB.*/\1/p' "$log")
end=$(sed -n 's/^e2e: mem end private \([0-9]*\) KiB.*/\1/p' "$log")
[ -n "$start" ] && [ -n "$end" ] && echo "e2e: twenty hands: private memory ${start} KiB -> ${end} KiB ($((end - start)) KiB)"
rm -f "$log"
exit $rc
