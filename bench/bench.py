#!/usr/bin/env python3
"""Side-by-side benchmark of ravelin and ImageMagick's convert; see bench/README.md.

bench.py PEAK RAVELIN WORKDIR [RUNS]

PEAK is the built bench/peak.c.

Every case is run RUNS times per tool, the tools taking turns so that a disturbance from
other work on the machine hits both. Wall time is the median; peak memory is the median of
the per-run peak resident sizes, read with wait4() (ru_maxrss). The straight conversions are
checked twice: ravelin's PSD byte for byte against the reference checksums in
bench/reference.sha256, and both tools' PSDs decoded to the input bitmap's pixels.
"""
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PEAK = None

# name, generator kind, width, height
INPUTS = [
    ("big24", "rgb24", 6000, 4000),
    ("big8", "pal8", 6000, 4000),
    ("big32", "rgba32", 6000, 4000),
    ("small24", "rgb24", 640, 480),
]

WATERMARK = "Veltrano sample"
RAVELIN_CHAIN = [
    "--width=3000", "--height=2000", "--keep-aspect-ratio", "--resize-algorithm=lanczos",
    "--fr-solid-left=20", "--fr-solid-right=20", "--fr-solid-top=20", "--fr-solid-bottom=20",
    "--fr-solid-left-color=1F3A93", "--fr-solid-right-color=1F3A93",
    "--fr-solid-top-color=1F3A93", "--fr-solid-bottom-color=1F3A93",
    "--wm-text=" + WATERMARK, "--wm-font=Arial", "--wm-font-size=48", "--wm-font-color=FFFFFF",
    "--wm-text-position=BOTTOMRIGHT",
]
# The nearest ImageMagick work: the same resize, a frame painted inside the picture (shave
# 20 pixels, border 20 back) and the text drawn at the same corner.
IM_CHAIN = [
    "-filter", "Lanczos", "-resize", "3000x2000",
    "-shave", "20x20", "-bordercolor", "#1F3A93", "-border", "20x20",
    "-font", "Liberation-Sans", "-pointsize", "48", "-fill", "white",
    "-gravity", "southeast", "-annotate", "+30+30", WATERMARK,
]


def measure(command, before=None):
    """Runs command once through the peak tool; returns (seconds, peak resident MiB)."""
    if before:
        before()
    done = subprocess.run([PEAK] + command, check=True, stdout=subprocess.PIPE, text=True)
    seconds, kib, status = done.stdout.split()
    if status != "0":
        sys.exit("failed (status %s): %s" % (status, " ".join(command)))
    return float(seconds), int(kib) / 1024.0


def clear(folder):
    def run():
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    return run


def series(commands, runs):
    """commands: {label: (argv, before)}; runs them in turns; {label: [(s, MiB) per run]}."""
    samples = {label: [] for label in commands}
    for _ in range(runs):
        for label, (argv, before) in commands.items():
            samples[label].append(measure(argv, before))
    return samples


def medians(samples):
    """(median s, median MiB) of one tool's runs."""
    return statistics.median(s for s, _ in samples), statistics.median(m for _, m in samples)


def spread(ours, theirs, column):
    """The lowest and highest ratio of runs made in the same turn: how much the noise moves it."""
    ratios = [o[column] / t[column] for o, t in zip(ours, theirs)]
    return min(ratios), max(ratios)


def machine():
    """The processor, the cores this run may use and the kernel's huge-page mode: the figures
    depend on them more than on anything else."""
    model = "unknown processor"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    thp = "unknown"
    try:
        with open("/sys/kernel/mm/transparent_hugepage/enabled") as f:
            thp = next((w.strip("[]") for w in f.read().split() if w.startswith("[")), thp)
    except OSError:
        pass
    return "%s, %d cores usable (%d online), kernel %s, transparent huge pages: %s" % (
        model, len(os.sched_getaffinity(0)), os.cpu_count(), os.uname().release, thp)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def decode(path, channels):
    """The picture decoded by ImageMagick to 8-bit rgb or rgba, top row first; None when it
    cannot. A layered PSD is read from its last layer: ImageMagick's own files keep the
    picture there and a composite blended for display in front."""
    done = subprocess.run(["convert", path, "-depth", "8", channels + ":-"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return done.stdout if done.returncode == 0 else None


def pixel_verdict(got, expected, step):
    if got is None:
        return "unreadable"
    if got == expected:
        return "same"
    if len(got) != len(expected):
        return "SIZE DIFFERS"
    first = next(i for i in range(len(got)) if got[i] != expected[i]) // step
    return "DIFFERS from pixel %d" % first


def psd_alpha(path):
    """The fourth plane of ravelin's flat four-channel PSD, top row first."""
    with open(path, "rb") as f:
        head = f.read(26)
        height = int.from_bytes(head[14:18], "big")
        width = int.from_bytes(head[18:22], "big")
        plane = width * height
        f.seek(26 + 12 + 2 + 3 * plane)
        return f.read(plane)


def load_reference():
    table = {}
    path = os.path.join(HERE, "reference.sha256")
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    table[parts[1]] = parts[0]
    return table


def main():
    global PEAK
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    PEAK, ravelin, work = (os.path.abspath(a) for a in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    inputs = os.path.join(work, "inputs")
    os.makedirs(inputs, exist_ok=True)
    for name, kind, width, height in INPUTS:
        path = os.path.join(inputs, name + ".bmp")
        if not os.path.exists(path):
            subprocess.run([sys.executable, os.path.join(HERE, "make_bmp.py"), kind, str(width),
                            str(height), path], check=True)

    # The converter lets one copy run per user: a private lock folder keeps the bench's copies
    # apart from any other the user has running.
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    os.chmod(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime

    reference = load_reference()
    load_before = os.getloadavg()
    rows, checks = [], []
    cases = [(name, name, []) for name, _, _, _ in INPUTS] + [("big24 chain", "big24", "chain")]
    for label, name, chain in cases:
        source = os.path.join(inputs, name + ".bmp")
        tag = label.replace(" ", "-")
        ours_dir = os.path.join(work, "out-ravelin-" + tag) + "/"
        theirs_dir = os.path.join(work, "out-im-" + tag)
        theirs = os.path.join(theirs_dir, name + ".psd")
        ours = os.path.join(ours_dir, name + ".psd")
        ours_argv = [ravelin, "-q", "-i", source, "-o", ours_dir] + (RAVELIN_CHAIN if chain else [])
        theirs_argv = ["convert", source] + (IM_CHAIN if chain else []) + [theirs]
        # Small pictures finish in milliseconds: more runs steady the median.
        count = runs if os.path.getsize(source) > 8 << 20 else runs * 4
        result = series({"ravelin": (ours_argv, clear(ours_dir)),
                         "convert": (theirs_argv, clear(theirs_dir))}, count)
        # ravelin ends with status 0 whatever happened; the file tells.
        if not os.path.exists(ours):
            sys.exit("ravelin wrote no %s: %s" % (ours, " ".join(ours_argv)))
        out_size = os.path.getsize(ours)
        floor_file = os.path.join(work, "floor.out")
        floor = series({"floor": (["sh", "-c", 'cat "$1" >/dev/null && head -c "$2" /dev/zero >"$3"',
                                   "floor", source, str(out_size), floor_file], None)}, count)["floor"]
        os.remove(floor_file)
        ours_runs, theirs_runs = result["ravelin"], result["convert"]
        rows.append((label, medians(ours_runs), medians(theirs_runs), medians(floor),
                     spread(ours_runs, theirs_runs, 0), spread(ours_runs, theirs_runs, 1)))
        if not chain:
            digest = sha256(ours)
            expected = reference.get(name + ".psd")
            verdict = ("identical to reference" if digest == expected else
                       "no reference" if expected is None else "DIFFERS from reference")
            # ImageMagick reads ravelin's flat four-channel PSD as RGB: the fourth plane is
            # compared straight from the file.
            rgba = decode(source, "rgba")
            ours_rgb = decode(ours, "rgb")
            if ours_rgb is not None and psd_alpha(ours) != rgba[3::4]:
                ours_rgb = b""
            rgb = bytearray(len(rgba) // 4 * 3)
            for i in range(3):
                rgb[i::3] = rgba[i::4]
            checks.append((label, verdict, digest, pixel_verdict(ours_rgb, rgb, 3),
                           pixel_verdict(decode(theirs + "[-1]", "rgba"), rgba, 4)))

    print()
    print("%-12s %9s %9s %7s %11s %9s %9s %7s %11s %9s" % (
        "case", "ours s", "IM s", "time", "time runs", "ours MiB", "IM MiB", "memory",
        "memory runs", "floor s"))
    for label, (ot, om), (it, im), (ft, _), (tlo, thi), (mlo, mhi) in rows:
        print("%-12s %9.3f %9.3f %7.2f %11s %9.1f %9.1f %7.2f %11s %9.3f" % (
            label, ot, it, ot / it, "%.2f-%.2f" % (tlo, thi), om, im, om / im,
            "%.2f-%.2f" % (mlo, mhi), ft))
    print()
    print("(time and memory: ours / ImageMagick, of the medians; the runs columns give the lowest"
          " and highest ratio of one turn; %d runs per big case, %d per small one)" % (runs, runs * 4))
    print("Machine: %s" % machine())
    print("Load average (1, 5, 15 min): %s before, %s after" % (
        ", ".join("%.2f" % x for x in load_before), ", ".join("%.2f" % x for x in os.getloadavg())))
    print()
    failed = False
    print("Pixels decoded by ImageMagick against the input bitmap's:")
    for label, verdict, digest, ours_pixels, theirs_pixels in checks:
        print("%-12s ravelin: %s, %s pixels; convert: %s pixels" % (
            label, verdict, ours_pixels, theirs_pixels))
        failed |= verdict.startswith("DIFFERS") or ours_pixels != "same"
        # ImageMagick 6.9 cannot read back the indexed PSD it writes for a palette bitmap.
        failed |= theirs_pixels not in ("same", "unreadable")
    if os.environ.get("BENCH_PRINT_SHA"):
        for label, _, digest, _, _ in checks:
            print("%s  %s.psd" % (digest, label))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
