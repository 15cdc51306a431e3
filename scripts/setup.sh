#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are missing. As root it runs
# apt-get; otherwise it prints the command to run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

missing=()
while read -r package; do
    [[ -z "$package" || "$package" == \#* ]] && continue
    status="$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)"
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done < "$here/packages.txt"

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
