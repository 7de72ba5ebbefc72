# Sourced by the Windows scripts: points Wine at the private prefix of a build
# folder and keeps it quiet. Usage: . scripts/windows/wine-env.sh BUILD_DIR
mkdir -p "$1"
_build=$(cd "$1" && pwd)
export WINEPREFIX="$_build/wine"
export WINEARCH=win64
# Console programs only: no debug chatter, no Mono/Gecko installer prompts.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
unset _build
