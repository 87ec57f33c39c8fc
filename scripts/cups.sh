# Sourced by scripts/test: a CUPS scheduler with the cups-pdf printer as the default, so
# the print tests print as a user does and read back the PDF that arrives in ~/PDF.
# A scheduler that is already running is used and left running; one started here is
# stopped again, by its process id, by cups_stop. Where no scheduler can run, the tests
# that need it skip and say why.

CUPS_PID=""

cups_running() { [[ "$(lpstat -r 2>/dev/null)" == *"scheduler is running"* ]]; }

cups_start() {
  if ! command -v lpstat >/dev/null || [ ! -x /usr/sbin/cupsd ]; then
    echo "cups.sh: CUPS is not installed; the spooler print tests will skip."
    return 0
  fi
  if ! cups_running; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "cups.sh: no CUPS scheduler is running and only root may start one here;"
      echo "         the spooler print tests will skip."
      return 0
    fi
    mkdir -p /run/cups
    /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 &
    CUPS_PID=$!
    local i
    for i in $(seq 1 50); do
      cups_running && break
      kill -0 "$CUPS_PID" 2>/dev/null || break
      sleep 0.2
    done
    if ! cups_running; then
      echo "cups.sh: the CUPS scheduler did not start; the spooler print tests will skip."
      cups_stop
      return 0
    fi
  fi
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  if [ ! -f "$ppd" ]; then
    echo "cups.sh: cups-pdf is not installed; the spooler print tests will skip."
    return 0
  fi
  # The default printer, and a second queue that stays stopped (a printer off-line).
  if lpadmin -p PDF -v cups-pdf:/ -P "$ppd" -E 2>/dev/null && lpoptions -d PDF >/dev/null &&
    lpadmin -p PDF-offline -v cups-pdf:/ -P "$ppd" -E 2>/dev/null &&
    cupsdisable PDF-offline; then
    echo "cups.sh: printing to the cups-pdf printer PDF (default)."
  else
    echo "cups.sh: could not set up the cups-pdf printers; the spooler print tests will skip."
  fi
  return 0
}

cups_stop() {
  [ -n "$CUPS_PID" ] || return 0
  kill "$CUPS_PID" 2>/dev/null || true
  local i
  for i in $(seq 1 50); do
    kill -0 "$CUPS_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$CUPS_PID" 2>/dev/null || true
  wait "$CUPS_PID" 2>/dev/null || true
  CUPS_PID=""
}
