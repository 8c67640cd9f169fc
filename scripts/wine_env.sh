# Sourced by the scripts: the Wine environment of this build (its own prefix under build/).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/${KORVEL_BUILD:-build}/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8

# Makes the prefix once (wineboot), keeps a wineserver alive for the run.
wine_prefix_up() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== wine prefix: $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # wineboot returns before the prefix's set-up is written out (COM classes, type-library
    # marshalling); the first out-of-process activation can hang until it is. Wait for it.
    timeout 180 wineserver -w || true
  fi
  wineserver -p >/dev/null 2>&1 || true
  # Start the prefix's services now, with no handle of ours: started later by a test, they
  # would inherit its output pipes and ctest would wait for them to close.
  wineboot </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_prefix_down() {
  wineserver -k >/dev/null 2>&1 || true
}
