#!/usr/bin/env bash
# Builds a package from the build of its preset and checks it: the .deb (default preset)
# unpacked into a scratch root, whose host lists and opens the configuration dialog on a virtual
# screen; the Windows zip (windows preset) unpacked and run under Wine where 32-bit programs can
# run, otherwise its contents checked.
#   package.sh deb|zip
set -euo pipefail
kind="${1:-}"
[[ "$kind" == deb || "$kind" == zip ]] || { echo "usage: package.sh deb|zip" >&2; exit 2; }
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
source scripts/check-helpers.sh

check_deb() {
    (cd build/default && rm -f calvora_*.deb && cpack -G DEB >/dev/null)
    deb="$(ls build/default/calvora_*.deb)"
    echo "== $deb"
    depends="$(dpkg-deb -f "$deb" Depends)"
    echo "Depends: $depends"
    for package in libqt6widgets6 qt6-qpa-plugins fonts-arphic-uming fonts-wqy-zenhei; do
        [[ "$depends" == *"$package"* ]] || fail "the .deb does not depend on $package"
    done
    scratch="$work/root"
    dpkg -x "$deb" "$scratch"
    export LD_LIBRARY_PATH="$scratch/usr/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    host="$scratch/usr/bin/calvora-host"
    cp host/demo/sample-periods.tm "$scratch/usr/bin/calvora-host.tm"
    listed="$(env -u DISPLAY "$host" list)" || fail "calvora-host list: exit status $?"
    [[ "$(wc -l <<<"$listed")" == 3 ]] || fail "calvora-host list printed: $listed"
    [[ -f "$scratch/usr/share/man/man1/calvora-host.1" ]] || fail "no manual page"

    # The configuration dialog on a screen of our own, left with Escape.
    start_screen
    answer_dialog Escape "$host" config-ex
    expect_eq "$dialog_status" 0 "calvora-host config-ex: exit status ($(cat "$work/dialog.err"))"
    echo "installed host: list and config passed"
}

check_zip() {
    if [[ ! -f build/windows/bin/Calvora.dll ]]; then
        echo "Windows zip not built: the windows preset has not been built (its resource writer runs under 32-bit Wine)"
    else
        (cd build/windows && rm -f calvora-*-win32.zip && cpack -G ZIP >/dev/null)
        zip="$(ls build/windows/calvora-*-win32.zip)"
        echo "== $zip"
        unzip -q "$zip" -d "$work/zip"
        top="$(ls -d "$work"/zip/*/)"
        for file in bin/Calvora.dll bin/calvora-host.exe bin/libstdc++-6.dll bin/libgcc_s_dw2-1.dll \
            bin/libwinpthread-1.dll lib/Calvora.def lib/libCalvora.dll.a \
            include/calvora/api/calvora_api.h include/calvora/api/sync_library.h \
            lib/libcalvora_framework.a lib/cmake/Calvora/CalvoraConfig.cmake; do
            [[ -f "$top$file" ]] || fail "the zip lacks $file"
        done
        if /usr/lib/wine/wine --version >/dev/null 2>&1; then
            export WINEPREFIX="$root/build/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml="
            cp host/demo/sample-periods.tm "$top/bin/calvora-host.tm"
            listed="$(cd "$top/bin" && WINEDEBUG=-all wine calvora-host.exe list | tr -d '\r')" ||
                fail "calvora-host.exe list: exit status $?"
            [[ "$(wc -l <<<"$listed")" == 3 ]] || fail "calvora-host.exe list printed: $listed"
            echo "Windows zip: calvora-host.exe list passed under Wine"
        else
            echo "Windows zip not run: this kernel cannot run 32-bit programs, so 32-bit Wine cannot start; its contents were checked"
        fi
    fi
}

check_$kind
((failures == 0))
