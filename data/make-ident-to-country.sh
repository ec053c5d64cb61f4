#!/usr/bin/env bash
# Writes IdentToCountry.csv: the country of every airport of the given apt.dat
# files whose ident is an ICAO location indicator, from the indicator's first
# two letters, or its first letter where one letter names the country.
#
#   make-ident-to-country.sh OUTPUT PREFIXES.csv APT.DAT...
set -euo pipefail
export LC_ALL=C

OUT="${1:?usage: make-ident-to-country.sh OUTPUT PREFIXES.csv APT.DAT...}"
PREFIXES="${2:?}"
shift 2
[ $# -gt 0 ] || { echo "make-ident-to-country.sh: no apt.dat given" >&2; exit 1; }

{
    echo "ICAO,Country"
    # Airport rows (1, 16, 17) carry the ident in their fifth field, the
    # metadata row "1302 icao_code" the official code.
    awk '{ sub(/\r$/, "") }
         ($1 == "1" || $1 == "16" || $1 == "17") && NF >= 5 { print $5 }
         $1 == "1302" && $2 == "icao_code" && NF >= 3 { print $3 }' "$@" |
        grep -E '^[A-Z]{4}$' | sort -u |
        awk -F, 'NR == FNR { if (FNR > 1) country[$1] = $2; next }
                 { c = country[substr($0, 1, 2)]
                   if (c == "") c = country[substr($0, 1, 1)]
                   if (c != "") print $0 "," c }' "$PREFIXES" -
} >"$OUT.tmp"
mv "$OUT.tmp" "$OUT"
