#!/bin/sh
# Runs the PyVISA client against PROGRAM serve with the first Python that has PyVISA and
# its pure-Python backend (Debian's python3-pyvisa and python3-pyvisa-py, which the
# scripts install for /usr/bin/python3); skipped (77) where none has them.
for py in /usr/bin/python3 python3; do
  if "$py" -c 'import pyvisa, pyvisa_py' 2>/dev/null; then
    exec "$py" "$(dirname "$0")/pyvisa_client.py" "$1"
  fi
done
echo "PyVISA with pyvisa-py is not installed: skipped" >&2
exit 77
