#!/usr/bin/env python3
"""Runs every benchmark and prints one table of figures next to their targets.

Usage: bench_table.py BUILD_DIR OUT.md
"""
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time

build, out_path = sys.argv[1], sys.argv[2]
bench = os.path.join(build, "bench")
cli = os.path.join(build, "app", "cli", "morvane-r7-cli")
gui = os.path.join(build, "app", "gui", "morvane-r7")
sim = os.path.join(build, "src", "sim", "morvane-r7-sim")
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
rows = []


def gbench(binary, extra=()):
    """Google Benchmark results by name."""
    res = subprocess.run([os.path.join(bench, binary), "--benchmark_format=json", *extra],
                         capture_output=True, text=True, check=True)
    return {b["name"]: b for b in json.loads(res.stdout)["benchmarks"]}


def us(b):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[b["time_unit"]]
    return b["real_time"] * scale


def median_seconds(cmd, runs, env=None):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def peak_rss_mb(cmd, env=None):
    res = subprocess.run(["/usr/bin/time", "-f", "%M", *cmd], capture_output=True, text=True, env=env)
    return int(res.stderr.strip().splitlines()[-1]) / 1024


def shared_libraries(binary):
    """The libraries the loader maps at start, the program's own dependencies and theirs."""
    res = subprocess.run(["ldd", binary], capture_output=True, text=True, check=True)
    return sum(1 for line in res.stdout.splitlines() if "/" in line)


codec = gbench("bench_codec")
rows.append(("Decode + encode of one image (hex text)", f"{us(codec['BM_DecodeEncodeHexText']):.1f} µs", "< 10 µs"))
rows.append(("  decode / encode alone", f"{us(codec['BM_DecodeImage']):.1f} / {us(codec['BM_EncodeImage']):.1f} µs", ""))
files = gbench("bench_files")
rows.append(("Open a .DAT (read + decode)", f"{us(files['BM_OpenDat']):.1f} µs", ""))
rows.append(("Save a .DAT (encode + safe write, fsync)", f"{us(files['BM_SaveDat']) / 1000:.2f} ms", ""))
csv = gbench("bench_csv")
rows.append(("CSV export / import of 16 channels",
             f"{us(csv['BM_ExportChannelsCsv']):.1f} / {us(csv['BM_ImportChannelsCsv']):.1f} µs", ""))

link = gbench("bench_link")
for name, label in (("BM_ReadPaced", "Read"), ("BM_WritePaced", "Write")):
    b = next(v for k, v in link.items() if k.startswith(name))
    rows.append((f"{label} against the simulator at 9600 baud",
                 f"{b['measured_s']:.3f} s vs wire {b['wire_s']:.3f} s (ratio {b['ratio']:.3f})", "within 5 %"))

with tempfile.TemporaryDirectory() as tmp:
    sample = os.path.join(tmp, "sample.DAT")
    with open(os.path.join(root, "docs", "sample-config.json"), "rb") as f:
        subprocess.run([cli, "encode", "-", sample], stdin=f, check=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    start_gui = [gui, "--quit-after-first-paint"]
    rows.append(("Window start-up to its first painted frame (offscreen)",
                 f"{median_seconds(start_gui, 10, env) * 1000:.0f} ms", "< 300 ms"))
    rows.append(("morvane-r7-cli --version, whole run",
                 f"{median_seconds([cli, '--version'], 20) * 1000:.1f} ms", "< 10 ms"))
    rows.append(("morvane-r7-cli dump, whole run",
                 f"{median_seconds([cli, 'dump', sample], 20) * 1000:.1f} ms", "< 10 ms"))
    rows.append(("morvane-r7-cli shared libraries loaded (ldd)", f"{shared_libraries(cli)}", "QtCore, QtSerialPort"))
    rows.append(("morvane-r7-cli sheet (hands over to morvane-r7-sheet), whole run",
                 f"{median_seconds([cli, 'sheet', sample, '-o', os.path.join(tmp, 's.pdf')], 5, env) * 1000:.0f} ms", ""))

    simp = subprocess.Popen([sim, "--load", sample, "--no-stdin"], stdout=subprocess.PIPE, text=True)
    device = simp.stdout.readline().strip()
    try:
        genv = dict(env, MORVANE_R7_COM1=device)
        for n in range(2, 9):
            genv[f"MORVANE_R7_COM{n}"] = device
        shot = os.path.join(tmp, "after-read.png")
        rows.append(("Window peak memory after a read", f"{peak_rss_mb([gui, '--read-on-start', '--screenshot', shot], genv):.1f} MB", "< 60 MB"))
        rows.append(("morvane-r7-cli read, peak memory",
                     f"{peak_rss_mb([cli, 'read', '--port', device, '-o', os.path.join(tmp, 'r.DAT')]):.1f} MB", ""))
    finally:
        simp.terminate()
        simp.wait()
    rows.append(("morvane-r7-cli dump, peak memory", f"{peak_rss_mb([cli, 'dump', sample]):.1f} MB", ""))

cpu = platform.processor() or platform.machine()
try:
    with open("/proc/cpuinfo", encoding="utf-8") as f:
        cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
except (OSError, StopIteration):
    pass
memory = os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / 2**30
machine = f"{cpu}, {os.cpu_count()} cores, {memory:.0f} GiB, {platform.platform()}"
stamp = time.strftime("%Y-%m-%d %H:%M")
lines = [f"Measured {stamp} on {machine}.", "", "| What | Measured | Target |", "|---|---|---|"]
lines += [f"| {a} | {b} | {c} |" for a, b, c in rows]
text = "\n".join(lines) + "\n"
with open(out_path, "w", encoding="utf-8") as f:
    f.write(text)
print(text)
