# Sourced by tools/test-windows.sh and tools/wine-run.sh: where Wine's 64-bit
# loader and server are, and the settings every Wine run of the tests shares.
# Exported, so the scripts' inner shells (under xvfb-run) see them too.
export LUMO_WINE=/usr/lib/wine/wine64
export LUMO_WINESERVER=/usr/lib/wine/wineserver64
export LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
# WinINet under Wine sends even loopback requests through these proxies.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
