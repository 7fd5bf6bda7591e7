#!/usr/bin/env python3
"""The program through a real sound server: a private PulseAudio server with a null sink, whose
monitor records what the program played. The bundled game's title music must reach the server
soon after the trace's "bgm" event, and the device must not run short. The figure is printed: it
is 40-50 ms here, the program's start-up before its clock starts and the fade-in's first silent
frames included, so the bound checked is a loose 200 ms (room for a sanitizer build's slower
start) that still catches a ring refilled half a second at a time.

Both clocks are estimated so that the latency can only come out too long, never too short: the
program's clock starts no earlier than its launch, and the recording's first sample was played
no later than any moment minus the samples recorded by then.

Usage: pulse_latency_test.py ORVA_BINARY GAME_DIR. Exit 77 (skipped) without PulseAudio."""
import array, json, os, shutil, signal, subprocess, sys, tempfile, time

RATE = 44100


def main():
    orva, game = sys.argv[1], sys.argv[2]
    server, recorder = shutil.which("pulseaudio"), shutil.which("parec")
    if not server or not recorder:
        print("pulseaudio or parec is not installed: skipped")
        return 77
    root = tempfile.mkdtemp(prefix="orva-pulse-")
    socket = os.path.join(root, "native")
    env = dict(os.environ, HOME=root, XDG_RUNTIME_DIR=root, XDG_DATA_HOME=os.path.join(root, "data"),
               XDG_CONFIG_HOME=os.path.join(root, "config"), PULSE_RUNTIME_PATH=os.path.join(root, "run"),
               PULSE_SERVER="unix:" + socket, SDL_AUDIODRIVER="pulseaudio", SDL_VIDEODRIVER="dummy",
               SDL_RENDER_DRIVER="software")
    children = []
    try:
        log = open(os.path.join(root, "server.log"), "w")
        children.append(subprocess.Popen(
            [server, "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-null-sink sink_name=out rate=44100",
             "--load=module-native-protocol-unix socket=%s auth-anonymous=1" % socket],
            env=env, stdout=log, stderr=log))
        for _ in range(500):
            if os.path.exists(socket):
                break
            time.sleep(0.01)
        else:
            print("the sound server did not start")
            return 1
        time.sleep(0.3)
        raw = os.path.join(root, "played.raw")
        children.append(subprocess.Popen(
            [recorder, "-d", "out.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
             "--latency-msec=5", raw], env=env, stdout=log, stderr=log))
        for _ in range(1000):
            if os.path.exists(raw) and os.path.getsize(raw) > 0:
                break
            time.sleep(0.01)
        sample_zero = float("inf")
        end = time.time() + 1.0
        while time.time() < end:
            size = os.path.getsize(raw)
            sample_zero = min(sample_zero, time.time() - size // 4 / RATE)
            time.sleep(0.001)

        trace = os.path.join(root, "trace.jsonl")
        launched = time.time()
        program = subprocess.Popen([orva, "--game", game, "--trace", trace], env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        time.sleep(3.0)
        program.send_signal(signal.SIGTERM)
        output = program.communicate(timeout=30)[0].decode(errors="replace")
        time.sleep(0.3)
        data = array.array("h", open(raw, "rb").read())
        events = [json.loads(line) for line in open(trace) if '"ev":"bgm"' in line]
        if not events:
            print("no music was started:\n" + output)
            return 1
        t = events[0]["t"] / 1000.0
        first = int((launched + t - sample_zero - 0.1) * RATE)
        onset = next((i for i in range(max(first, 0), len(data) // 2) if data[2 * i] or data[2 * i + 1]), None)
        if onset is None:
            print("the music never reached the server:\n" + output)
            return 1
        latency = (sample_zero + onset / RATE - (launched + t)) * 1000
        print("heard at most %.1f ms after its trace event (t=%d ms)" % (latency, events[0]["t"]))
        if "ran short" in output:
            print("the device ran short: " + output)
            return 1
        return 0 if latency < 200 else 1
    finally:
        for child in reversed(children):
            child.terminate()
            child.wait()
        shutil.rmtree(root, ignore_errors=True)


sys.exit(main())
