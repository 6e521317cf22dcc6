#!/usr/bin/env bash
# Writes the shipped language files from their UTF-8 masters, each in its language's Windows code
# page, as the program reads a language file whose name has no "_utf-8" or "_unicode".
set -euo pipefail
cd "$(dirname "$0")"
codepage() {
    case "$1" in
    Russian) echo CP1251 ;;
    Chinese_Simplified) echo CP936 ;;
    *) echo CP1252 ;;
    esac
}
for master in masters/*.ini; do
    name=$(basename "$master" .ini)
    iconv -f UTF-8 -t "$(codepage "$name")" "$master" > "$name.ini"
done
