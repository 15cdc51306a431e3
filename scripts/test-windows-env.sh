# Sourced by the Windows test scripts with a preset name (windows or windows64): sets what the
# Wine commands of that build need, as the preset does for ctest. windows_bin is where the
# build's programs are, wine_loader the Wine that runs them. Debian's wine command starts the
# 32-bit loader whenever it is installed, so the 64-bit one is named directly.
# create_wine_prefix makes the prefix.
case "$1" in
    windows)
        wine_loader=wine
        export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
        ;;
    windows64)
        wine_loader=/usr/lib/wine/wine64
        export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine64-prefix}"
        export WINELOADER="$wine_loader"  # for the programs these programs start
        ;;
    *)
        echo "unknown Windows preset '$1' (windows or windows64)" >&2
        return 2
        ;;
esac
windows_bin="$PWD/build/$1/bin"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no prompts to install .NET or a browser engine

# Makes the prefix afresh, with no display needed, and returns once Wine has finished setting it
# up, so that no test races with it.
create_wine_prefix() {
    wineserver -k 2>/dev/null || true  # of an earlier run on the same prefix
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    env -u DISPLAY "$wine_loader" wineboot -i  # no window while the prefix is set up
    wineserver -w  # wineboot returns before the prefix is complete
    # Wine's own Marlett, which draws the caption buttons: without it in the prefix Wine draws
    # the close box as the letter "r" of another face.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}
