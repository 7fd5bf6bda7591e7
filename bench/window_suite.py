#!/usr/bin/env python3
"""The window benchmark: the real program on a real X display beside its peers.

usage: window_suite.py ORVA DEMO_DIR [ONSCRIPTER ONSCRIPTER_GAME_DIR] (run under Xvfb, e.g. xvfb-run)

Peers, run in interleaved rounds: orva as it starts (its own choice of presentation), another
build of it when ORVA_WINDOW_BASELINE names one, the same program with SDL's OpenGL renderer
forced on (left out with ORVA_WINDOW_NO_GL=1), and ONScripter on the same scene when a game
directory is given. Each run measures the start-up to the first picture on the screen (a row of
the screen polled until it is not black; orva's own line is given too, without the game's fixed
500-ms wait), the CPU a waiting message costs over 10 s, the thread count, the CPU of a
click-through of ten messages and the peak resident memory (/usr/bin/time -v). Medians are
printed with each peer's ratio to orva (above 1: orva uses less).
"""
import ctypes
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROUNDS = int(os.environ.get("ORVA_WINDOW_ROUNDS", "5"))
IDLE_S = 10
CLICKS = 10
START_WAIT_MS = 500  # the demo's own wait before its first frame

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_uint8)), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("window suite: no X display (run it under xvfb-run)")
root = x11.XDefaultRootWindow(display)
screen_w, screen_h = x11.XDisplayWidth(display, 0), x11.XDisplayHeight(display, 0)


def screen_row_lit():
    """Whether the screen's middle row shows anything but black (both programs centre their windows)."""
    img = x11.XGetImage(display, root, 0, screen_h // 2, screen_w, 1, 0xFFFFFFFF, 2)
    if not img:
        return False
    im = XImage.from_address(img)
    data = ctypes.string_at(im.data, im.bytes_per_line)
    x11.XFree(im.data)
    x11.XFree(img)
    return data.strip(b"\0") != b""


def cpu_seconds(pid):
    """CPU time of every thread of a process, from the scheduler's nanosecond counters."""
    total = 0
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            total += int(open(f"/proc/{pid}/task/{tid}/schedstat").read().split()[0])
        except (OSError, ValueError):
            pass
    return total / 1e9


def child_of(pid):
    for _ in range(500):
        try:
            kids = open(f"/proc/{pid}/task/{pid}/children").read().split()
            if kids:
                return int(kids[0])
        except OSError:
            pass
        time.sleep(0.002)
    raise RuntimeError("the program did not start")


def window_of(pid):
    out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True, timeout=20).stdout.split()
    return out[0]


def click(window, x, y):
    subprocess.run(["xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1"], check=True)


def run_once(name, argv, env, orva):
    work = tempfile.mkdtemp(prefix="orva-window-")
    env = dict(os.environ, **env, XDG_DATA_HOME=os.path.join(work, "data"), XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_RUNTIME_DIR=work,
               HOME=os.environ.get("HOME", work), SDL_AUDIODRIVER="dummy", SDL_VIDEO_CENTERED="1",
               ORVA_REPORT_FIRST_FRAME="1")
    timefile, errfile = os.path.join(work, "time.txt"), os.path.join(work, "stderr.txt")
    wall0 = time.time()
    start = time.perf_counter()
    proc = subprocess.Popen(["/usr/bin/time", "-v", "-o", timefile] + argv, env=env, cwd=work,
                            stdout=subprocess.DEVNULL, stderr=open(errfile, "w"))
    pid = child_of(proc.pid)
    while not screen_row_lit():
        if time.perf_counter() - start > 30:
            raise RuntimeError(f"{name}: nothing on the screen after 30 s")
        time.sleep(0.002)
    seen_ms = (time.perf_counter() - start) * 1e3
    window = window_of(pid)
    if orva:
        seen_ms -= START_WAIT_MS
        time.sleep(1.0)
        click(window, 640, 225)  # the title's "new game"
        time.sleep(5.0)          # the scene fades in and the first message prints
    else:
        time.sleep(4.0)          # the scene fades in and the first message prints
    c0 = cpu_seconds(pid)
    time.sleep(IDLE_S)
    idle = (cpu_seconds(pid) - c0) / IDLE_S * 100
    threads = len(os.listdir(f"/proc/{pid}/task"))
    c0 = cpu_seconds(pid)
    for _ in range(CLICKS):
        click(window, 400, 300)
        time.sleep(1.0)
    clicks = cpu_seconds(pid) - c0
    os.kill(pid, signal.SIGTERM)
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        os.kill(pid, signal.SIGKILL)
        proc.wait()
    text = open(timefile).read()
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) / 1024
    own = None
    m = re.search(r"first frame presented at ([0-9.]+)", open(errfile).read())
    if m:
        own = (float(m.group(1)) - wall0) * 1e3 - (START_WAIT_MS if orva else 0)
    shutil.rmtree(work, ignore_errors=True)
    return {"peak": peak, "idle": idle, "start": seen_ms, "own": own, "clicks": clicks, "threads": threads}


def main():
    # Each run starts in a fresh folder of its own, so the programs are named by absolute paths.
    orva, demo = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    ons = sys.argv[3:5] if len(sys.argv) > 4 and sys.argv[3] else None
    game = ["--game", demo, "--seed", "1"]
    peers = [("orva", [orva] + game, {}, True)]
    # ORVA_WINDOW_BASELINE: another build of the program (e.g. before a change) run beside it.
    baseline = os.environ.get("ORVA_WINDOW_BASELINE")
    baseline = os.path.abspath(baseline) if baseline else None
    if baseline:
        peers.append(("orva, baseline", [baseline] + game, {}, True))
    # ORVA_WINDOW_NO_GL=1 leaves out the GL-forced run (a shorter suite).
    if os.environ.get("ORVA_WINDOW_NO_GL") != "1":
        peers.append(("orva, GL forced", [orva] + game, {"SDL_RENDER_DRIVER": "opengl"}, True))
    if ons:
        peers.append(("ONScripter", [ons[0], "-r", ons[1]], {}, False))
    results = {name: [] for name, *_ in peers}
    for _ in range(ROUNDS):
        for name, argv, env, is_orva in peers:
            results[name].append(run_once(name, argv, env, is_orva))
    med = {name: {k: statistics.median(r[k] for r in runs if r[k] is not None) if any(r[k] is not None for r in runs)
                  else None for k in runs[0]} for name, runs in results.items()}
    ours = med["orva"]
    rows = [("peak resident memory, MiB", "peak", "{:.1f}"),
            ("CPU while a message waits, % of a core", "idle", "{:.2f}"),
            ("start-up to the first frame on screen, ms", "start", "{:.0f}"),
            ("CPU clicking through 10 messages, s", "clicks", "{:.2f}"),
            ("threads", "threads", "{:.0f}")]
    names = [n for n, *_ in peers]
    print(f"| {'window run (median of ' + str(ROUNDS) + ')':<42} | " + " | ".join(f"{n:>22}" for n in names) + " |")
    print(f"|{'-' * 44}|" + "|".join("-" * 24 for _ in names) + "|")
    for label, key, fmt in rows:
        cells = []
        for n in names:
            v = med[n][key]
            cell = fmt.format(v)
            if n != "orva" and ours[key]:
                cell += f" ({v / ours[key]:.2f}×)"
            cells.append(f"{cell:>22}")
        print(f"| {label:<42} | " + " | ".join(cells) + " |")
    own = ours["own"]
    if own is not None:
        gl = med.get("orva, GL forced", {}).get("own")
        print(f"orva's own first-frame line, without the 500-ms wait: {own:.0f} ms"
              + (f" (GL forced: {gl:.0f} ms)" if gl is not None else ""))
    if not ons:
        print("ONScripter is not installed (apt-get install onscripter): its column is left out.")


if __name__ == "__main__":
    main()
