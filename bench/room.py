#!/usr/bin/env python3
"""The room benchmark: a presenter sends a changing 1080p screen for a minute to viewers.

One Xvfb with two screens: screen 0 (1920 x 1080) is what the presenter captures, with
bench_room's changing window on it; screen 1 holds the viewers' small windows, so they are
not on the captured screen. Three runs:

  today  the presenter writes the 32-bit shar.bmp alone (as before the compact picture);
         30 viewers read it from a local folder
  after  the presenter writes through the program's own sending (24-bit shar.bmp and the
         compact picture); 30 viewers
  smb    as "after", through a real SMB share: the presenter writes through one smbnetfs
         mount, 5 viewers read through another (needs root, smbd, smbnetfs, FUSE)
  only, smb-only   as "after" and "smb" with "only Quorix viewers in this room": the
         compact picture alone, no shar.bmp

  change, change30, change-smb   the real main window (bench_latency present) with the
         screen source and automatic sending on; a window filling the captured screen takes
         a new colour every 1-1.5 s and every viewer's window is polled straight from the X
         server until it shows it (10 viewers, 30 viewers, 5 through the SMB share)
  vnc    the reference: one x11vnc serving the same screen view-only to 10 xtightvncviewer
         windows, timed the same way (needs x11vnc and xtightvncviewer)

Per run: bytes read per viewer per frame written (rchar in /proc/PID/io), the share of
frames each viewer showed, write-to-paint latency (the viewer's --trace: paint time less
the file's modification time), the presenter's CPU per frame and tick time, beside ffmpeg's
x11grab encoding the same screen at 2 frames a second in the same run (BMP for today, PNG
with the "up" filter at compression level 1 for after).

  bench/room.py [--seconds 60] [--viewers 30] [--smb-viewers 5] [--runs today,after,smb]
                [--changes 40]

Needs a built tree (cmake --build build --target bench_room quorix-view), Xvfb, ffmpeg,
and the pictures of bench/data/make-screens.sh (made when missing).
"""
import argparse
import os
import re
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")


def start_xvfb():
    # Another server started at the same moment may take the same number: try again.
    for _ in range(5):
        r, w = os.pipe()
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1080x24", "-screen", "1",
             "1600x1200x24", "-nolisten", "tcp"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        number = os.read(r, 64).decode().strip()
        os.close(r)
        time.sleep(1)
        if proc.poll() is None and number:
            return proc, ":" + number
    sys.exit("Xvfb did not start")


def rchar(pid):
    try:
        with open(f"/proc/{pid}/io") as f:
            for line in f:
                if line.startswith("rchar:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def write_lines(path, lines):
    with open(path, "wb") as f:
        f.write(b"".join(l.encode() + b"\r\n" for l in lines))


def percentile(values, p):
    if not values:
        return float("nan")
    v = sorted(values)
    return v[min(len(v) - 1, int(p * len(v)))]


def run(kind, writer, folder, viewers, seconds, display, home):
    """The presenter writes into `writer`; the viewers read the same files as `folder`."""
    write_lines(os.path.join(writer, "quorix.cfg"),
                [os.path.join(folder, "shar.bmp"), "1", "1", "0", "0", "0", "", "0"])
    env = dict(os.environ, DISPLAY=display + ".1", HOME=home, XDG_CONFIG_HOME=home + "/config",
               QT_QPA_PLATFORM="xcb")
    mode = {"today": "today", "only": "only", "smb-only": "only"}.get(kind, "after")
    present_env = dict(os.environ, DISPLAY=display + ".0", QT_QPA_PLATFORM="xcb")
    # A first frame before the viewers start: what they read on starting is not counted.
    subprocess.run([os.path.join(BUILD, "bench_room"), "present", writer, mode, "1"],
                   env=present_env, capture_output=True)
    procs, traces = [], []
    for i in range(viewers):
        trace = open(os.path.join(home, f"viewer{i}.trace"), "w+")
        x, y = 10 + (i % 6) * 265, 10 + (i // 6) * 235
        procs.append(subprocess.Popen(
            [os.path.join(BUILD, "quorix-view"), "--trace", folder,
             "-qwindowgeometry", f"256x192+{x}+{y}"], env=env, stderr=trace,
            stdout=subprocess.DEVNULL))
        traces.append(trace)
    time.sleep(4)
    start = {p.pid: rchar(p.pid) for p in procs}
    ffmpeg = None
    if shutil.which("ffmpeg"):
        out = os.path.join(home, "ffmpeg-out")
        os.makedirs(out, exist_ok=True)
        codec = ["-c:v", "bmp"] if mode == "today" else \
            ["-c:v", "png", "-pred", "up", "-compression_level", "1"]
        ffmpeg = subprocess.Popen(
            ["ffmpeg", "-loglevel", "error", "-y", "-f", "x11grab", "-draw_mouse", "0",
             "-framerate", "2", "-video_size", "1920x1080", "-i", display + ".0",
             "-frames:v", str(2 * seconds)] + codec +
            ["-f", "image2", "-update", "1", os.path.join(out, "frame." + codec[1])],
            env=dict(os.environ, DISPLAY=display + ".0"))
    run_start_ns = time.time_ns()
    presenter = subprocess.run(
        [os.path.join(BUILD, "bench_room"), "present", writer, mode, str(seconds)],
        env=present_env, capture_output=True, text=True)
    if presenter.returncode != 0:
        sys.exit(f"the presenter failed: {presenter.stderr[-2000:]}")
    figures = dict(kv.split("=") for kv in presenter.stdout.split())
    ff_cpu = None
    if ffmpeg:
        _, status, usage = os.wait4(ffmpeg.pid, 0)
        ff_cpu = (usage.ru_utime + usage.ru_stime) * 1000 / (2 * seconds)
    time.sleep(2)
    end = {p.pid: rchar(p.pid) for p in procs}
    for p in procs:
        p.terminate()
    for p in procs:
        p.wait()

    frames = int(figures["frames"])
    per_viewer_bytes, shown_share, latencies = [], [], []
    for p, trace in zip(procs, traces):
        trace.seek(0)
        mtimes = set()
        for line in trace:
            m = re.search(r"painted mtime_ns=(\d+) paint_ns=(\d+)", line)
            # Only frames written during the run: not the one there when the viewer started.
            if m and int(m.group(1)) >= run_start_ns:
                mtime, paint = int(m.group(1)), int(m.group(2))
                if mtime not in mtimes:
                    latencies.append((paint - mtime) / 1e6)
                mtimes.add(mtime)
        trace.close()
        if start[p.pid] is not None and end[p.pid] is not None and frames:
            per_viewer_bytes.append((end[p.pid] - start[p.pid]) / frames)
        shown_share.append(min(1.0, len(mtimes) / frames) if frames else 0)
    return {
        "run": kind, "viewers": viewers, "frames": frames,
        "bytes_per_frame_written": int(figures["bytes_per_frame"]),
        "read_per_viewer_per_frame": statistics.median(per_viewer_bytes) if per_viewer_bytes else 0,
        "shown_min": min(shown_share) if shown_share else 0,
        "shown_median": statistics.median(shown_share) if shown_share else 0,
        "latency_p50": percentile(latencies, 0.5), "latency_p95": percentile(latencies, 0.95),
        "cpu_per_frame": float(figures["cpu_ms_per_frame"]),
        "tick_p50": float(figures["tick_ms_p50"]), "tick_p95": float(figures["tick_ms_p95"]),
        "ffmpeg_cpu_per_frame": ff_cpu,
    }


def viewer_place(i):
    return 10 + (i % 6) * 265, 10 + (i // 6) * 235


def change_run(kind, writer, folder, viewers, changes, display, home):
    """The real main window presents; every change of colour is timed on every viewer."""
    bench = os.path.join(BUILD, "bench_latency")
    env = dict(os.environ, DISPLAY=display + ".1", HOME=home, XDG_CONFIG_HOME=home + "/config",
               QT_QPA_PLATFORM="xcb")
    changer = subprocess.Popen([bench, "change", str(changes), "1000",
                                "-" if kind == "vnc" else writer] +
                               [f"{x + 8},{y + 8}" for x, y in map(viewer_place, range(viewers))],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                               env=dict(os.environ, DISPLAY=display))
    if changer.stdout.readline().strip() != "ready":
        sys.exit("bench_latency change did not start")
    procs, traces, presenter, server = [], [], None, None
    # Long enough for the start, the changes (1-1.5 s apart) and 20 s of a still screen.
    still_from = 8 + int(changes * 2.2) + 4
    if kind == "vnc":
        with socket.socket() as s:  # a free port on the loopback address
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        server = subprocess.Popen(["x11vnc", "-display", display + ".0", "-viewonly", "-shared",
                                   "-forever", "-nopw", "-localhost", "-rfbport", str(port), "-q"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)
        for i in range(viewers):
            x, y = viewer_place(i)
            procs.append(subprocess.Popen(
                ["xtightvncviewer", "-viewonly", "-geometry", f"256x192+{x}+{y}", f"localhost::{port}"],
                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    else:
        write_lines(os.path.join(writer, "quorix.cfg"),
                    [os.path.join(folder, "shar.bmp"), "1", "1", "0", "0", "0", "", "0"])
        program = os.path.join(home, "program")
        os.makedirs(program)
        write_lines(os.path.join(program, "qx.cfg"), [os.path.join(writer, "quorix.cfg")])
        presenter = subprocess.Popen([bench, "present", program, str(still_from + 20),
                                      str(still_from)],
                                     env=dict(os.environ, DISPLAY=display + ".0", HOME=home,
                                              QT_QPA_PLATFORM="xcb"),
                                     stdout=subprocess.PIPE, text=True)
        time.sleep(2)
        for i in range(viewers):
            trace = open(os.path.join(home, f"viewer{i}.trace"), "w+")
            x, y = viewer_place(i)
            procs.append(subprocess.Popen(
                [os.path.join(BUILD, "quorix-view"), "--trace", folder,
                 "-qwindowgeometry", f"256x192+{x}+{y}"], env=env, stderr=trace,
                stdout=subprocess.DEVNULL))
            traces.append(trace)
    time.sleep(6)
    changer.stdin.write("go\n")
    changer.stdin.flush()
    out = changer.communicate()[0]
    figures = dict(kv.split("=") for kv in out.strip().splitlines()[-1].split())
    result = {"run": kind, "viewers": viewers}
    result.update({k: float(v) for k, v in figures.items()})
    if presenter:
        pres = presenter.communicate()[0]
        result.update({k: float(v) for k, v in (kv.split("=") for kv in pres.split())})
    for p in procs:
        p.terminate()
    for p in procs:
        p.wait()
    if server:
        server.terminate()
        try:
            server.wait(5)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()
    decode, scale = [], []
    for trace in traces:
        trace.seek(0)
        for line in trace:
            m = re.search(r"decode_us=(\d+) scale_us=(\d+)", line)
            if m:
                decode.append(int(m.group(1)) / 1000)
                scale.append(int(m.group(2)) / 1000)
        trace.close()
    result["decode_p50"] = percentile(decode, 0.5)
    result["scale_p50"] = percentile(scale, 0.5)
    if os.environ.get("ROOM_KEEP_LOG"):
        print(out)
    return result


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--viewers", type=int, default=30)
    ap.add_argument("--smb-viewers", type=int, default=5)
    ap.add_argument("--runs", default="today,after,smb")
    ap.add_argument("--changes", type=int, default=40)
    ap.add_argument("--keep", action="store_true", help="keep the viewers' traces")
    args = ap.parse_args()
    pictures = os.path.join(BUILD, "bench-screens")
    scrolling = [k for k in args.runs.split(",") if k in ("today", "after", "smb", "only",
                                                          "smb-only")]
    if scrolling and not os.path.exists(os.path.join(pictures, "desktop.png")):
        subprocess.run([os.path.join(ROOT, "bench/data/make-screens.sh"), pictures], check=True)
    xvfb, display = start_xvfb()
    # The scrolling screen of the throughput runs (the change runs paint their own).
    changer = subprocess.Popen(["sleep", "infinity"])
    if scrolling:
        changer = subprocess.Popen([os.path.join(BUILD, "bench_room"), "screen", pictures],
                                   env=dict(os.environ, DISPLAY=display + ".0",
                                            QT_QPA_PLATFORM="xcb"))
        time.sleep(2)
    results, changes = [], []
    try:
        for kind in args.runs.split(","):
            home = tempfile.mkdtemp(prefix=f"room-{kind}-")
            if kind in ("change", "change30", "vnc"):
                changer.terminate()  # the change runs paint the screen themselves
                changer.wait()
                folder = os.path.join(home, "shared")
                os.makedirs(folder)
                n = args.viewers if kind == "change30" else 10
                r = change_run(kind, folder, folder, n, args.changes, display, home)
                changes.append(r)
                print(r, flush=True)
                if args.keep:
                    print(f"traces kept in {home}")
                else:
                    shutil.rmtree(home, ignore_errors=True)
                continue
            if kind.startswith("smb") or kind == "change-smb":
                share = subprocess.Popen([os.path.join(BUILD, "bench_room"), "share"],
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
                line = share.stdout.readline().strip()
                if not line.startswith("writer="):
                    print(f"smb: skipped, {line}")
                    share.stdin.close()
                    share.wait()
                    continue
                paths = dict(kv.split("=", 1) for kv in line.split())
                # The viewers read what the presenter writes through the other mount.
                if kind == "change-smb":
                    changer.terminate()
                    changer.wait()
                    r = change_run(kind, paths["writer"], paths["viewer"], args.smb_viewers,
                                   args.changes, display, home)
                    changes.append(r)
                    print(r, flush=True)
                    share.stdin.close()
                    share.wait()
                    if args.keep:
                        print(f"traces kept in {home}")
                    else:
                        shutil.rmtree(home, ignore_errors=True)
                    continue
                r = run(kind, paths["writer"], paths["viewer"], args.smb_viewers,
                        args.seconds, display, home)
                share.stdin.close()
                share.wait()
            else:
                folder = os.path.join(home, "shared")
                os.makedirs(folder)
                r = run(kind, folder, folder, args.viewers, args.seconds, display, home)
            results.append(r)
            print(r, flush=True)
            if args.keep:
                print(f"traces kept in {home}")
            else:
                shutil.rmtree(home, ignore_errors=True)
    finally:
        changer.terminate()
        changer.wait()
        xvfb.terminate()
        xvfb.wait()
    print()
    if changes:
        print(f"load: {open('/proc/loadavg').read().split()[:3]}")
        print(f"{'run':10} {'viewers':>7} {'every p50':>9} {'every p95':>9} {'each p50':>8} "
              f"{'each p95':>8} {'png p50':>7} {'bmp p50':>7} {'frames':>6} {'still fr':>8} "
              f"{'still CPU':>9} {'encode':>6} {'bmp wr':>6} {'decode':>6} {'scale':>5} {'missed':>6}")
        for r in changes:
            g = lambda k, f="{:.0f}": f.format(r[k]) if k in r and r[k] >= 0 else "-"
            print(f"{r['run']:10} {r['viewers']:7d} {g('all_p50'):>9} {g('all_p95'):>9} "
                  f"{g('each_p50'):>8} {g('each_p95'):>8} {g('png_p50'):>7} {g('bmp_p50'):>7} "
                  f"{g('frames'):>6} {g('still_frames'):>8} {g('still_cpu_share', '{:.2f}%'):>9} "
                  f"{g('encode_ms', '{:.1f}'):>6} {g('bitmap_write_ms', '{:.1f}'):>6} "
                  f"{g('decode_p50', '{:.1f}'):>6} {g('scale_p50', '{:.1f}'):>5} {g('missed'):>6}")
    if not results:
        return
    print(f"{'run':8} {'viewers':>7} {'frames':>6} {'written/frame':>13} {'read/viewer/frame':>17} "
          f"{'shown min':>9} {'p50 ms':>7} {'p95 ms':>7} {'tick p50':>8} {'tick p95':>8} "
          f"{'CPU/frame':>9} {'ffmpeg':>7}")
    for r in results:
        ff = f"{r['ffmpeg_cpu_per_frame']:.1f}" if r["ffmpeg_cpu_per_frame"] else "-"
        print(f"{r['run']:8} {r['viewers']:7d} {r['frames']:6d} {r['bytes_per_frame_written']:13,d} "
              f"{r['read_per_viewer_per_frame']:17,.0f} {100 * r['shown_min']:8.0f}% "
              f"{r['latency_p50']:7.0f} {r['latency_p95']:7.0f} {r['tick_p50']:8.1f} "
              f"{r['tick_p95']:8.1f} {r['cpu_per_frame']:9.1f} {ff:>7}")


if __name__ == "__main__":
    main()
