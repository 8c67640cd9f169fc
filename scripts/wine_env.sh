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
  wine_audio_choose
  # Start the prefix's services now, with no handle of ours: started later by a test, they
  # would inherit its output pipes and ctest would wait for them to close.
  wineboot </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Wine's sound drivers report every failure to reach a device on the terminal. Where this machine
# has no sound device (no ALSA playback device, no PulseAudio or PipeWire server; a virtual
# display in CI) the prefix gets no driver at all ("Audio"="": sounds go nowhere, quietly);
# where one exists Wine's own choice is left in place and sounds play.
wine_audio_device() {
  compgen -G '/dev/snd/pcmC*p' >/dev/null && return 0
  [ -n "${PULSE_SERVER:-}" ] && return 0
  [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ]
}

wine_audio_choose() {
  local none=0
  awk '/^\[/ { in_drivers = index($0, "[Software\\\\Wine\\\\Drivers]") == 1 }
       in_drivers && $0 == "\"Audio\"=\"\"" { found = 1 } END { exit !found }' \
    "$WINEPREFIX/user.reg" 2>/dev/null && none=1
  if wine_audio_device; then
    [ $none -eq 0 ] || wine reg delete 'HKCU\Software\Wine\Drivers' /v Audio /f \
      </dev/null >/dev/null 2>&1 || true
  else
    [ $none -eq 1 ] || wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f \
      </dev/null >/dev/null 2>&1 || true
  fi
}

wine_prefix_down() {
  wineserver -k >/dev/null 2>&1 || true
}
