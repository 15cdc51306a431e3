#!/usr/bin/env bash
# Builds packages and checks them. deb: the source package, and calvora and calvora-dev built from
# it by dpkg-buildpackage, checked by lintian, unpacked into a scratch root, whose host lists and
# opens the configuration dialog on a virtual screen and whose SDK builds; with
# CALVORA_INSTALL_PACKAGES=1 (as root, as CI runs it) also installed, saved through by a member of
# the group calvora, and purged. zip: the Windows zip (windows preset) unpacked and run under Wine
# where 32-bit programs can run, otherwise its contents checked.
#   package.sh deb|zip
set -euo pipefail
kind="${1:-}"
[[ "$kind" == deb || "$kind" == zip ]] || { echo "usage: package.sh deb|zip" >&2; exit 2; }
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
scripts/setup.sh packaging
source scripts/check-helpers.sh

# The source package, and from a copy of the tree calvora and calvora-dev (with their -dbgsym
# packages) as Debian builds them: dpkg-buildpackage first checks that the Build-Depends are
# installed. The .dsc, the .changes and the packages land in build/package.
build_debs() {
    local version copy
    version="$(dpkg-parsechangelog -S Version)"
    copy="build/package/calvora-$version"
    if command -v ccache >/dev/null; then
        export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root" \
            CCACHE_DIR="${CCACHE_DIR:-$root/build/ccache}"
    fi
    export DEB_BUILD_OPTIONS="parallel=2"
    rm -rf build/package && mkdir -p "$copy"
    # The tracked files and the new ones git does not ignore, as the working tree has them.
    git ls-files -z --cached --others --exclude-standard |
        tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null | tar -C "$copy" -xf -
    { (cd build/package && dpkg-source -b "calvora-$version") &&
        (cd "$copy" && dpkg-buildpackage -us -uc -b); } >"$work/build.log" 2>&1 ||
        { tail -40 "$work/build.log"; fail "dpkg-buildpackage: the packages were not built"; exit 1; }
}

# Installed as a Debian user would: the group saves, others read, a copy of the host finds the
# installed module, the SDK builds as documented; purging removes the saved periods.
check_installed() {
    apt-get install -y -q --no-install-recommends ./build/package/calvora_*.deb \
        ./build/package/calvora-dev_*.deb >"$work/apt.log" 2>&1 ||
        { tail "$work/apt.log"; fail "the packages do not install"; return; }
    local member=calvora-check sample=/usr/share/calvora/sample-periods.tm
    id "$member" >/dev/null 2>&1 || useradd --system --no-create-home "$member"
    usermod -a -G calvora "$member"
    runuser -u "$member" -- env -u DISPLAY calvora-host receive "$sample" ||
        fail "a member of the group calvora cannot save: exit status $?"
    expect_eq "$(runuser -u nobody -- env -u DISPLAY calvora-host list | wc -l)" 3 "list by another user"
    local status=0
    runuser -u nobody -- env -u DISPLAY calvora-host receive "$sample" 2>"$work/hint" || status=$?
    expect_eq "$status $(grep -c 'members of the group calvora can save' "$work/hint")" "4 1" \
        "another user's receive: exit status and hint"
    check_planted_names "$member"
    cp /usr/bin/calvora-host "$work/"
    env -u DISPLAY "$work/calvora-host" list >/dev/null || fail "a copied host: exit status $?"
    check_sdk /usr
    userdel "$member"
    apt-get purge -y -q calvora calvora-dev >>"$work/apt.log" 2>&1 || fail "the packages do not purge"
    [[ ! -e /var/lib/calvora ]] || fail "purging left /var/lib/calvora"
    echo "installed packages: group save, copied host, SDK, purge passed"
}

# Each name a member of the group can put at the data file's path in /var/lib/calvora, under
# every command root runs there: the files the names lead to stay byte for byte and mode for
# mode as they were, and no file appears or changes outside /var/lib/calvora.
check_planted_names() {  # member
    local member="$1" data=/var/lib/calvora/calvora-host.tm planted command status
    local victim=/root/calvora-victim created=/root/calvora-created shared
    # The shared file lives in a folder of root's own on the data file's file system (a hard
    # link cannot cross one), never in a folder where another user could plant its name.
    shared="$(mktemp -d /var/lib/calvora-check.XXXXXXXX)/shared"
    chmod 0755 "${shared%/*}"
    env -u DISPLAY calvora-host export >"$work/periods.json"
    for planted in "ln -s $victim" "ln -s $created" "ln $shared" mkfifo mkdir; do
        for command in "receive /usr/share/calvora/sample-periods.tm" list \
            "import $work/periods.json" dialog postinst; do
            rm -rf "$data" "$created"
            printf 'root only\n' >"$victim" && chmod 0600 "$victim"
            printf 'shared\n' >"$shared" && chmod 0666 "$shared"
            touch -d '1 minute ago' "$victim" "$shared" && touch "$work/stamp"
            # shellcheck disable=SC2086  # the words of the command
            runuser -u "$member" -- $planted "$data" || fail "the member could not run $planted"
            status=0 dialog_status=0
            # shellcheck disable=SC2086  # the words of the command
            case "$command" in
                dialog) answer_dialog Return timeout 20 calvora-host config ;;
                postinst) timeout 20 /var/lib/dpkg/info/calvora.postinst configure >/dev/null 2>&1 ||
                    status=$? ;;
                *) timeout 20 env -u DISPLAY calvora-host $command >/dev/null 2>&1 || status=$? ;;
            esac
            [[ "$status" != 124 && "$dialog_status" != 124 ]] || fail "$planted: $command hangs"
            expect_eq "$(cat "$victim") $(stat -c %a "$victim")" "root only 600" \
                "$planted, $command: $victim"
            expect_eq "$(cat "$shared") $(stat -c %a "$shared")" "shared 666" \
                "$planted, $command: $shared"
            [[ ! -e "$created" ]] || fail "$planted, $command created $created"
            expect_eq "$(find /usr/bin /root /var/tmp /var/lib -maxdepth 1 ! -type d -newer "$work/stamp" \
                ! -name '.*' -print)" "" "$planted, $command: files changed outside /var/lib/calvora"
        done
    done
    rm -rf "$data" "$victim" "${shared%/*}"
    /var/lib/dpkg/info/calvora.postinst configure
    echo "names planted at the data file: nothing outside /var/lib/calvora read through or changed"
}

# The SDK under PREFIX: each installed header compiles alone with the warnings of a careful
# user under g++ and clang; the examples and a pkg-config consumer build; every function the
# headers declare links with the libraries calvora.pc names.
check_sdk() {  # prefix
    local prefix="$1" header compiler include
    export PKG_CONFIG_PATH="$prefix/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/pkgconfig"
    include="$(pkg-config --variable=includedir calvora)"
    for compiler in g++ clang++; do
        command -v "$compiler" >/dev/null || { fail "no $compiler"; continue; }
        while read -r header; do
            echo "#include \"${header#"$include"/}\"" |
                "$compiler" -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Werror -I"$include" \
                    -fsyntax-only -x c++ - 2>"$work/header.err" ||
                fail "$header alone under $compiler: $(head -5 "$work/header.err")"
        done < <(find "$include/calvora" -name '*.h')
    done
    for example in host sync_library; do
        cmake -S examples/$example -B "$work/example-$example" -D CMAKE_PREFIX_PATH="$prefix" \
            >/dev/null && cmake --build "$work/example-$example" -j2 >/dev/null ||
            fail "examples/$example does not build against $prefix"
    done
    expect_eq "$(nm -D --defined-only "$work/example-sync_library/Vessamark.so" | awk '{print $3}')" \
        SendObjlistToRemote "what the example sync library exports"
    printf '#include "calvora/framework/platform/text_encoding.h"\n#include "calvora/calvora_version.h"\nint main() { return Cp936ToUtf8("\\xb0\\xb2") == "\\xe5\\xae\\x89" ? CALVORA_VERSION_MAJOR - 1 : 1; }\n' \
        >"$work/pc.cpp"
    # shellcheck disable=SC2046  # the flags are words
    g++ -std=c++20 -o "$work/pc" "$work/pc.cpp" $(pkg-config --cflags --libs calvora) &&
        "$work/pc" || fail "a pkg-config consumer does not build or run"
    [[ -f "$(pkg-config --variable=moduledir calvora)/Calvora.so" ]] ||
        fail "calvora.pc's moduledir holds no Calvora.so"
    tests/sdk/declarations_link.sh "$prefix" ||
        fail "the installed headers declare functions that do not link"
}

check_deb() {
    build_debs
    echo "== $(ls build/package/*.deb | tr '\n' ' ')"
    lintian --fail-on error,warning build/package/*.changes build/package/*.dsc >"$work/lintian" 2>&1 ||
        fail "lintian reports errors or warnings"
    grep -v "running with root privileges" "$work/lintian" || echo "lintian: nothing to report"
    deb="$(ls build/package/calvora_*.deb)"
    depends="$(dpkg-deb -f "$deb" Depends)"
    echo "Depends: $depends"
    for package in libqt6widgets6 libqt6gui6 fonts-arphic-uming fonts-wqy-zenhei adduser; do
        [[ "$depends" == *"$package"* ]] || fail "calvora does not depend on $package"
    done
    expect_eq "$(dpkg-deb -f "$deb" Recommends)" "qt6-translations-l10n, qt6-wayland" "calvora's Recommends"
    scratch="$work/root"
    for package in build/package/*.deb; do dpkg -x "$package" "$scratch"; done
    host="$scratch/usr/bin/calvora-host"
    expect_eq "$(readlink "$scratch/usr/bin/calvora-host.tm")" /var/lib/calvora/calvora-host.tm \
        "the data file's link"
    # Outside the scratch root: the unpacked host gets a data file of its own.
    rm "$scratch/usr/bin/calvora-host.tm"
    cp host/demo/sample-periods.tm "$scratch/usr/bin/calvora-host.tm"
    listed="$(env -u DISPLAY "$host" list)" || fail "calvora-host list: exit status $?"
    [[ "$(wc -l <<<"$listed")" == 3 ]] || fail "calvora-host list printed: $listed"
    [[ -f "$scratch/usr/share/man/man1/calvora-host.1.gz" ]] || fail "no manual page"
    [[ "$(LC_ALL= LANG=C.UTF-8 LANGUAGE=zh_CN "$host" frob 2>&1)" == *未知命令* ]] ||
        fail "the unpacked host speaks no Chinese"
    [[ -f "$scratch/usr/share/bash-completion/completions/calvora-host" ]] || fail "no bash completion"

    # The configuration dialog on a screen of our own, left with Escape.
    start_screen
    answer_dialog Escape "$host" config-ex
    expect_eq "$dialog_status" 0 "calvora-host config-ex: exit status ($(cat "$work/dialog.err"))"
    echo "unpacked host: list and config passed"

    if [[ "${CALVORA_INSTALL_PACKAGES:-}" == 1 ]]; then
        check_installed
    else
        check_sdk "$scratch/usr"
        echo "packages not installed (CALVORA_INSTALL_PACKAGES=1 installs, checks and purges them)"
    fi
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
            lib/libcalvora_framework.a lib/cmake/Calvora/CalvoraConfig.cmake LICENSE README.txt \
            licenses/GPL-3.txt licenses/GCC-RUNTIME-LIBRARY-EXCEPTION-3.1.txt \
            licenses/winpthreads.txt share/calvora/sample-periods.tm examples/host/main.cpp \
            examples/sync_library/sync_library.cpp; do
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
