#!/usr/bin/env bash
# Installs the Debian packages that are missing: those of the Linux build (packages.txt), and
# with "tests" also those of the test suite and CI (packages-tests.txt). As root it runs apt-get;
# otherwise it prints the command to run.
#   setup.sh [build|tests]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
lists=("$here/packages.txt")
case "${1:-build}" in
    build) ;;
    tests) lists+=("$here/packages-tests.txt") ;;
    *) echo "usage: setup.sh [build|tests]" >&2; exit 2 ;;
esac

missing=()
while read -r package; do
    [[ -z "$package" || "$package" == \#* ]] && continue
    status="$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)"
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done < <(cat "${lists[@]}")

if ((${#missing[@]} == 0)); then
    exit 0
fi
if [[ "$(id -u)" == 0 ]]; then
    if grep -q ':i386' <<<"${missing[*]}"; then dpkg --add-architecture i386; fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
else
    echo "Missing packages; run as root:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
fi
