# Sourced by the Windows scripts: points Wine at the private prefix of a build
# folder and keeps it quiet. Usage: . scripts/windows/wine-env.sh BUILD_DIR
mkdir -p "$1"
_build=$(cd "$1" && pwd)
export WINEPREFIX="$_build/wine"
export WINEARCH=win64
# A system code page other than Windows-1251 (the programs' texts must not
# depend on it), and file names in UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# No debug chatter, no Mono/Gecko installer prompts.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# Windows go to the build's virtual X server when it runs (scripts/windows/xvfb.sh).
if [[ -f "$_build/xvfb.display" && -f "$_build/xvfb.pid" ]] && kill -0 "$(<"$_build/xvfb.pid")" 2>/dev/null; then
  DISPLAY=$(<"$_build/xvfb.display")
  export DISPLAY
fi
unset _build
