#!/usr/bin/env python3
"""Benchmark of the packed viewer against the baseline saver, under Wine on
the Xvfb display and scratch prefix that tests/support/winenv provides.
Prints start latency, close latency, frame pacing (beside a plain-sleep loop
and the cost of one engine frame), CPU time, resident memory and the viewer's
size, each the median of several runs. Run by scripts/bench."""
import os, statistics, subprocess, sys, tempfile, time

BIN = os.environ["ORMELIX_BIN"]
SOURCE = os.environ["ORMELIX_SOURCE"]
RUNS = int(os.environ.get("ORMELIX_BENCH_RUNS", "5"))
WORK = tempfile.mkdtemp(dir=os.environ["ORMELIX_SCRATCH"])
TRACE = os.path.join(WORK, "trace.txt")
CLOCK_TICK = os.sysconf("SC_CLK_TCK")


def winpath(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def install(delay):
    """Installs the demo project with the given frame delay; the packed viewer's path."""
    script = ('. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"; '
              'saver_install "$1" Bench "$ORMELIX_SOURCE/demo/demo.project" "$2" 0 0; echo "$SAVER_SCR"')
    out = subprocess.run(["bash", "-c", script, "bash", WORK, str(delay)], check=True,
                         capture_output=True, text=True).stdout
    return out.strip().splitlines()[-1]


def trace_lines():
    try:
        with open(TRACE, "rb") as f:
            return f.read().decode("latin-1").replace("\r", "").splitlines()
    except FileNotFoundError:
        return []


def start(program):
    """Starts a saver full screen; (process, seconds from launch to its first Frame)."""
    if os.path.exists(TRACE):
        os.remove(TRACE)
    env = dict(os.environ, ORMELIX_ENGINE_TRACE=winpath(TRACE))
    launched = time.perf_counter()
    process = subprocess.Popen(["wine", program, "/s"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    while not any(line.split(" ")[1:2] == ["Frame"] for line in trace_lines()):
        if time.perf_counter() - launched > 20 or process.poll() is not None:
            raise RuntimeError(f"{program}: no frame")
        time.sleep(0.001)
    return process, time.perf_counter() - launched


def xdotool_startup():
    """Median seconds xdotool takes to start and do nothing, taken off the close latency."""
    times = []
    for _ in range(5):
        begun = time.perf_counter()
        subprocess.run(["xdotool", "sleep", "0"], check=True)
        times.append(time.perf_counter() - begun)
    return statistics.median(times)


XDOTOOL_STARTUP = None


def close_by_key(process):
    """Presses a real key; seconds from the key press to the process's exit.
    The key leaves xdotool about when a no-op xdotool would have ended."""
    global XDOTOOL_STARTUP
    if XDOTOOL_STARTUP is None:
        XDOTOOL_STARTUP = xdotool_startup()
    begun = time.perf_counter()
    subprocess.Popen(["xdotool", "key", "space"])
    pressed = begun + XDOTOOL_STARTUP
    while process.poll() is None:
        if time.perf_counter() - pressed > 20:
            process.kill()
            raise RuntimeError("the saver did not close on a key")
        time.sleep(0.0005)
    return time.perf_counter() - pressed


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICK


def resident_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def pacing(seconds=2.0):
    """Rendered and presented frames per second over the trace's last seconds."""
    frames, paints = [], []
    for line in trace_lines():
        parts = line.split(" ")
        if len(parts) >= 2 and parts[1] == "Frame":
            frames.append(float(parts[0]))
        elif len(parts) >= 4 and parts[1] == "WindowMessage" and parts[3] == "0x000F":
            paints.append(float(parts[0]))
    end = frames[-1]
    window = [t for t in frames if t >= end - seconds * 1000]
    span = (window[-1] - window[0]) / 1000
    rendered = (len(window) - 1) / span
    presented = len([t for t in paints if window[0] <= t <= window[-1]]) / span
    return rendered, presented


def frame_cost(runs):
    """The stand-in engine's Frame cost and the frame rate of a plain sleep of
    the delay after each frame (tests/bench/FrameCost-win32.cpp), medians:
    {"median": ms, "p90": ms, delay: fps}."""
    install(20)
    runs_seen = []
    for _ in range(runs):
        out = subprocess.run(["wine", os.path.join(BIN, "framecost.exe"),
                              winpath(os.path.join(WORK, "install")), "project.txt"],
                             check=True, capture_output=True, text=True).stdout
        seen = {}
        for line in out.replace("\r", "").splitlines():
            parts = line.split()
            if parts[:1] == ["frame-ms"]:
                seen["median"], seen["p90"] = float(parts[1]), float(parts[2])
            elif parts[:1] == ["plain-sleep"]:
                seen[int(parts[1])] = float(parts[2])
        runs_seen.append(seen)
    return {k: statistics.median(r[k] for r in runs_seen) for k in runs_seen[0]}


def measure(program, runs, settle=2.5):
    """Median figures over runs of one saver: start, close, fps, presented, CPU, memory."""
    results = {k: [] for k in ("start", "close", "fps", "presented", "cpu", "rss")}
    for _ in range(runs):
        process, started = start(program)
        time.sleep(0.3)
        cpu0, t0 = cpu_seconds(process.pid), time.perf_counter()
        time.sleep(settle)
        cpu1, t1 = cpu_seconds(process.pid), time.perf_counter()
        results["rss"].append(resident_mb(process.pid))
        fps, presented = pacing(settle - 0.5)
        results["close"].append(close_by_key(process))
        results["start"].append(started)
        results["fps"].append(fps)
        results["presented"].append(presented)
        results["cpu"].append((cpu1 - cpu0) / (t1 - t0))
    return {k: statistics.median(v) for k, v in results.items()}


def main():
    baseline = os.path.join(BIN, "baselinesaver.scr")
    print(f"runs per figure: {RUNS} (medians); display {os.environ.get('DISPLAY')}")
    base = measure(baseline, RUNS)
    viewer20 = measure(install(20), RUNS)
    print()
    print(f"{'figure':44} {'viewer':>12} {'baseline':>12}  target")
    print(f"{'start latency to first frame (ms)':44} {viewer20['start']*1000:12.1f} {base['start']*1000:12.1f}"
          f"  <= baseline + 50 = {base['start']*1000 + 50:.1f}")
    print(f"{'close latency, key to exit (ms), delay 20':44} {viewer20['close']*1000:12.1f} {base['close']*1000:12.1f}"
          f"  <= delay + 20 = 40")
    print(f"{'CPU per second of run (%), delay 20':44} {viewer20['cpu']*100:12.1f} {base['cpu']*100:12.1f}")
    print(f"{'resident memory (MB)':44} {viewer20['rss']:12.1f} {base['rss']:12.1f}")
    print(f"{'baseline frames/s on its 20 ms timer':44} {'':12} {base['fps']:12.1f}"
          "  (drawn on the window thread: all reach the screen)")
    cost = frame_cost(max(3, RUNS // 2))
    print(f"{'stand-in engine Frame() cost (ms)':44} median {cost['median']:.2f}, 90th percentile {cost['p90']:.2f}")
    print()
    print("Frame pacing: the viewer pauses the delay less the frame's time; 'plain sleep' is a loop")
    print("of Frame() and Sleep(delay) with the same engine, for comparison.")
    print(f"{'delay (ms)':>10} {'target fps':>11} {'rendered fps':>13} {'presented fps':>14} {'off target':>11}"
          f" {'plain sleep fps':>16} {'off target':>11} {'close ms':>9}")
    for delay in (1, 10, 20, 50):
        figures = viewer20 if delay == 20 else measure(install(delay), max(3, RUNS // 2))
        target = 1000 / delay
        plain = (f"{cost[delay]:16.1f} {(cost[delay] - target) / target * 100:10.1f}%" if delay in cost
                 else f"{'-':>16} {'-':>11}")
        print(f"{delay:10d} {target:11.1f} {figures['fps']:13.1f} {figures['presented']:14.1f} "
              f"{(figures['fps'] - target) / target * 100:10.1f}% {plain} {figures['close']*1000:9.1f}")
    size = os.path.getsize(os.path.join(BIN, "saverviewer.scr"))
    print()
    print(f"saverviewer.scr: {size} bytes (target <= 30720)")


if __name__ == "__main__":
    main()
