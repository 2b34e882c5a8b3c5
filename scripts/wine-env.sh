# Sourced: the Wine environment of one build tree. Needs BUILD_DIR.
: "${BUILD_DIR:?BUILD_DIR must be set}"
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export XDG_CONFIG_HOME="$BUILD_DIR/xdg/config"
export XDG_CACHE_HOME="$BUILD_DIR/xdg/cache"
export XDG_DATA_HOME="$BUILD_DIR/xdg/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
