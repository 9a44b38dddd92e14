#!/bin/sh
# Runs a Windows program under Wine with the project's private prefix.
# scripts/wine-env.sh provides the display, the sound server and the
# persistent wineserver; this only names the prefix and silences Wine.
if [ -z "$WINEPREFIX" ]; then
    echo "wine-run.sh: WINEPREFIX is not set; run tests through scripts/test.sh or scripts/wine-env.sh" >&2
    exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
