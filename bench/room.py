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

Per run: bytes read per viewer per frame written (rchar in /proc/PID/io), the share of
frames each viewer showed, write-to-paint latency (the viewer's --trace: paint time less
the file's modification time), the presenter's CPU per frame and tick time, beside ffmpeg's
x11grab encoding the same screen at 2 frames a second in the same run (BMP for today, PNG
with the "up" filter at compression level 1 for after).

  bench/room.py [--seconds 60] [--viewers 30] [--smb-viewers 5] [--runs today,after,smb]

Needs a built tree (cmake --build build --target bench_room quorix-view), Xvfb, ffmpeg,
and the pictures of bench/data/make-screens.sh (made when missing).
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")


def start_xvfb():
    r, w = os.pipe()
    proc = subprocess.Popen(
        ["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1080x24", "-screen", "1",
         "1600x1200x24", "-nolisten", "tcp"], pass_fds=(w,), stderr=subprocess.DEVNULL)
    os.close(w)
    number = os.read(r, 64).decode().strip()
    os.close(r)
    return proc, ":" + number


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


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--viewers", type=int, default=30)
    ap.add_argument("--smb-viewers", type=int, default=5)
    ap.add_argument("--runs", default="today,after,smb")
    ap.add_argument("--keep", action="store_true", help="keep the viewers' traces")
    args = ap.parse_args()
    pictures = os.path.join(BUILD, "bench-screens")
    if not os.path.exists(os.path.join(pictures, "desktop.png")):
        subprocess.run([os.path.join(ROOT, "bench/data/make-screens.sh"), pictures], check=True)
    xvfb, display = start_xvfb()
    changer = subprocess.Popen([os.path.join(BUILD, "bench_room"), "screen", pictures],
                               env=dict(os.environ, DISPLAY=display + ".0",
                                        QT_QPA_PLATFORM="xcb"))
    time.sleep(2)
    results = []
    try:
        for kind in args.runs.split(","):
            home = tempfile.mkdtemp(prefix=f"room-{kind}-")
            if kind.startswith("smb"):
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
