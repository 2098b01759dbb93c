# Sourced by the end-to-end scripts: starting the packed viewer with the
# stand-in engine's call trace, and reading that trace.

# start_traced SCR ARGS...: starts the saver with a fresh trace in TRACE.
start_traced() {
    TRACE="$E2E_DIR/trace.txt"
    rm -f "$TRACE"
    ORMELIX_ENGINE_TRACE="$(winpath "$E2E_DIR")\\trace.txt" start_wine "$@"
}

# trace_ops: the trace without times and line ends: "Operation arguments".
trace_ops() { [ -f "$TRACE" ] && tr -d '\r' <"$TRACE" | cut -d' ' -f2- || true; }

# trace_calls: the viewer's calls of the engine interface, WindowMessage left
# out (it comes from the window thread in between the others).
trace_calls() {
    trace_ops | grep -E '^(GetEngineControlInstance|SetInstallDir|SetRegistryKey|Initialize|GetCore|CreateObject|Open|FindChunk|ReadChunk|LoadProject|FindChannel|SetValue|Run|Frame|Destroy)( |$)' || true
}

# destroys_after_run: how many Destroy calls came after Run (the settings
# loader's own Destroy comes before it).
destroys_after_run() { trace_calls | awk '/^Run/ { run = 1 } run && /^Destroy/ { n++ } END { print n + 0 }'; }

# frame_gaps: milliseconds between consecutive Frame calls, one a line.
frame_gaps() { tr -d '\r' <"$TRACE" | awk '$2 == "Frame" { if (n++) print $1 - last; last = $1 }'; }

trace_matches() { trace_ops | grep -q -- "$1"; }
trace_has_frames() { [ "$(trace_ops | grep -c '^Frame')" -ge "$1" ]; }

# wait_trace REGEX: waits until a trace line (without its time) matches.
wait_trace() { wait_for "no trace line matching '$1'" trace_matches "$1"; }

# wait_frames N: waits until the trace holds at least N Frame calls.
wait_frames() { wait_for "fewer than $1 frames" trace_has_frames "$1"; }
