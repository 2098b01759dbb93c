# Sourced by the end-to-end scripts that plant libraries where a program must
# not load them from (after e2e.sh). $planted is a library that appends its
# own path to $ORMELIX_PLANTED_LOG whenever it is loaded, whatever its name.
planted="$ORMELIX_BIN/planted/planted.dll"
export ORMELIX_PLANTED_LOG
ORMELIX_PLANTED_LOG="$(winpath "$E2E_DIR")\\planted.log"

# planted_loads: the planted libraries loaded since planted_forget, by path.
planted_loads() { [ -f "$E2E_DIR/planted.log" ] && tr -d '\r' <"$E2E_DIR/planted.log" | paste -sd, || true; }
# planted_forget: starts a fresh record of planted loads.
planted_forget() { rm -f "$E2E_DIR/planted.log"; }
