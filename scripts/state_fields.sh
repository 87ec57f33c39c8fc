#!/bin/sh
# Lists every data member of the state record as FIELD(name), so that a comparison of two
# records covers the whole record, fields added later included.
#   scripts/state_fields.sh src/app/instrument_state.h OUT
set -e
mkdir -p "$(dirname "$2")"
sed -nE 's/^    [A-Za-z_][A-Za-z0-9_:<>, ]*[ *&]([A-Za-z_][A-Za-z0-9_]*) *(=.*|\{\})?;(\};)?$/FIELD(\1)/p' \
  "$1" | grep -v 'FIELD(BufferSize)' >"$2.new"
n=$(wc -l <"$2.new")
[ "$n" -ge 150 ] || { echo "$0: only $n fields found in $1" >&2; exit 1; }
mv "$2.new" "$2"
