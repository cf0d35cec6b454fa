#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt (and any extra list
# given as an argument) that are not installed yet. Safe to run repeatedly.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

lists=("$here/packages.txt" "$@")
missing=()
for list in "${lists[@]}"; do
    while read -r pkg; do
        case "$pkg" in ''|'#'*) continue ;; esac
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        [ "$status" = "install ok installed" ] || missing+=("$pkg")
    done < "$list"
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
