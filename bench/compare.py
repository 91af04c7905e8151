"""Speed of Vellora against general image tools, one run, side by side.

Vellora's in-process figures come from the Google Benchmark programs (build with
-DVELLORA_BENCH=ON); the peers' in-process figures are timed here on decoded arrays. Codec and
whole-road rows are whole processes on both sides. Every row is best of N, Vellora and the
peer interleaved, single thread on both sides, then Vellora on two threads.
"""
import argparse
import datetime
import json
import math
import os
import platform
import re
import shutil
import subprocess
import sys
import tempfile
import time

SIZES = {12: (4000, 3000), 24: (6000, 4000)}
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
APT_PEERS = {  # program or module -> Debian package
    "/usr/bin/convert": "imagemagick", "/usr/bin/gm": "graphicsmagick",
    "/usr/bin/pnmquant": "netpbm", "/usr/bin/vips": "libvips-tools",
    "PIL": "python3-pil", "cv2": "python3-opencv", "numpy": "python3-numpy",
    "/usr/bin/time": "time"}
SINGLE = {"MAGICK_THREAD_LIMIT": "1", "OMP_NUM_THREADS": "1", "VIPS_CONCURRENCY": "1",
          "VELLORA_THREADS": "1", "OMP_THREAD_LIMIT": "1"}


def missing_peers():
    missing = []
    for name, package in APT_PEERS.items():
        if name.startswith("/"):
            if not os.path.exists(name):
                missing.append(package)
        else:
            try:
                __import__(name)
            except ImportError:
                missing.append(package)
    return missing


# Rows whose peer is a base tool: asked for alone, they need only what makes the pictures.
SELF_CONTAINED = ("invert-process",)
PICTURE_MAKERS = ("python3-pil", "python3-numpy")


def install_peers():
    alone = ARGS.only and any(ARGS.only in key for key in SELF_CONTAINED)
    missing = [p for p in missing_peers() if not alone or p in PICTURE_MAKERS]
    if not missing:
        return
    print("installing", " ".join(missing), file=sys.stderr)
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(sudo + ["apt-get", "update"], check=True)
    subprocess.run(sudo + ["apt-get", "install", "-y"] + missing, check=True,
                   env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    still = [p for p in missing_peers() if p in missing]
    if still:
        sys.exit("peers still missing: " + " ".join(still))


# ---------------------------------------------------------------- test pictures
def photo(width, height):
    """Deterministic photo-like picture: smooth gradients, waves, hard-edged shapes, noise."""
    import numpy as np
    y, x = np.mgrid[0:height, 0:width].astype(np.float32)
    u, v = x / width, y / height
    r = 255 * u * (1 - 0.5 * v) + 30 * np.sin(23 * u + 7 * v)
    g = 127 + 110 * np.sin(9 * u + 4 * v) * np.cos(5 * v)
    b = 255 * (1 - v) * (0.6 + 0.4 * np.cos(13 * u))
    image = np.stack([r, g, b], axis=-1)
    disc = (u - 0.3) ** 2 + ((v - 0.6) * height / width) ** 2 < 0.02
    image[disc] = image[disc] * 0.35 + np.array([200, 40, 60], np.float32)
    bar = (np.abs(u - 0.7) < 0.08) & (np.abs(v - 0.3) < 0.2)
    image[bar] = 255 - image[bar]
    noise = np.random.default_rng(20261207).normal(0, 6, image.shape).astype(np.float32)
    return np.clip(image + noise, 0, 255).astype(np.uint8)


def make_pictures(folder, sizes):
    from PIL import Image
    pictures = {}
    for mp, (w, h) in sizes.items():
        pixels = photo(w, h)
        base = os.path.join(folder, f"photo{mp}")
        image = Image.fromarray(pixels)
        image.save(base + ".bmp")
        image.save(base + ".ppm")
        image.save(base + ".jpg", quality=90, subsampling=2)
        pictures[mp] = {"rgb": pixels, "base": base}
    return pictures


# ---------------------------------------------------------------- timing
def best_of(function, repeats):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        function()
        best = min(best, time.perf_counter() - start)
    return best


def process_time(command, env, repeats=1):
    def run():
        subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    return best_of(run, repeats)


def bench_time(program, name, threads):
    """Seconds per iteration of one Google Benchmark case, run alone; `{t}` in the name stands
    for the thread count where the benchmark takes it as an argument."""
    path = os.path.join(ARGS.build, "bin", program)
    env = dict(os.environ, **dict(SINGLE, VELLORA_THREADS=str(threads)))
    pattern = "^" + name.format(t=threads) + "(/iterations:[0-9]+)?(/repeats:[0-9]+)?(/real_time)?$"
    out = subprocess.run([path, "--benchmark_filter=" + pattern, "--benchmark_format=json"],
                         check=True, env=env, capture_output=True, text=True).stdout
    cases = [c for c in json.loads(out)["benchmarks"] if c.get("run_type") == "iteration"]
    if not cases:
        raise RuntimeError(f"{program}: no benchmark {name}")
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[cases[0]["time_unit"]]
    return min(c["real_time"] for c in cases) * scale


# ---------------------------------------------------------------- peers in process
def peer_functions(pic):
    import cv2
    import numpy as np
    from PIL import Image
    cv2.setNumThreads(1)
    rgb = pic["rgb"]
    pil = Image.fromarray(rgb)
    h, w = rgb.shape[:2]
    safe = Image.new("P", (1, 1))
    steps = [0, 51, 102, 153, 204, 255]
    safe.putpalette([c for r in steps for g in steps for b in steps for c in (r, g, b)])
    gauss = {k: cv2.getGaussianKernel(k, 0) @ cv2.getGaussianKernel(k, 0).T for k in (3, 5, 7)}
    # A rotation keeps the whole picture, as Vellora's does: the frame grows to the turned
    # picture's bounding box and the turn is shifted to its centre.
    turn30 = cv2.getRotationMatrix2D((w / 2, h / 2), -30, 1.0)
    cos30, sin30 = math.cos(math.radians(30)), math.sin(math.radians(30))
    frame = (int(w * cos30 + h * sin30 + 0.5), int(w * sin30 + h * cos30 + 0.5))
    turn30[0, 2] += (frame[0] - w) / 2
    turn30[1, 2] += (frame[1] - h) / 2
    lut = np.array([(i * 6 // 256) * 51 for i in range(256)], np.uint8)
    return {
        "copy": [("numpy copy", lambda: rgb.copy())],
        "mc16": [("Pillow median cut", lambda: pil.quantize(16, Image.Quantize.MEDIANCUT))],
        "mc256": [("Pillow median cut", lambda: pil.quantize(256, Image.Quantize.MEDIANCUT))],
        "map": [("Pillow", lambda: pil.quantize(palette=safe, dither=Image.Dither.NONE))],
        "mapfs": [("Pillow", lambda: pil.quantize(palette=safe, dither=Image.Dither.FLOYDSTEINBERG))],
        "tiles": [("Pillow box", lambda: pil.resize((64, 48), Image.Resampling.BOX))],
        **{f"conv{k}": [("OpenCV filter2D", lambda k=k: cv2.filter2D(rgb, -1, gauss[k]))]
           for k in (3, 5, 7)},
        "median3": [("OpenCV medianBlur", lambda: cv2.medianBlur(rgb, 3))],
        "median7": [("OpenCV medianBlur", lambda: cv2.medianBlur(rgb, 7))],
        "edge": [("OpenCV bilateral", lambda: cv2.bilateralFilter(rgb, 5, 50, 50))],
        "up2": [("OpenCV cubic", lambda: cv2.resize(rgb, (2 * w, 2 * h), interpolation=cv2.INTER_CUBIC)),
                ("Pillow bicubic", lambda: pil.resize((2 * w, 2 * h), Image.Resampling.BICUBIC))],
        "down4": [("Pillow box", lambda: pil.resize((w // 4, h // 4), Image.Resampling.BOX)),
                  ("OpenCV area", lambda: cv2.resize(rgb, (w // 4, h // 4), interpolation=cv2.INTER_AREA))],
        "rot_cubic": [("OpenCV warpAffine", lambda: cv2.warpAffine(rgb, turn30, frame, flags=cv2.INTER_CUBIC))],
        "rot_near": [("OpenCV warpAffine", lambda: cv2.warpAffine(rgb, turn30, frame, flags=cv2.INTER_NEAREST))],
        "gray": [("OpenCV cvtColor", lambda: cv2.cvtColor(rgb, cv2.COLOR_RGB2GRAY))],
        "invert": [("OpenCV bitwise_not", lambda: cv2.bitwise_not(rgb))],
        "posterize": [("OpenCV LUT", lambda: cv2.LUT(rgb, lut))],
        "stretch": [("OpenCV normalize", lambda: cv2.normalize(rgb, None, 0, 255, cv2.NORM_MINMAX))],
        "bw": [("Pillow", lambda: pil.convert("1"))],
    }


# (key, label, bench program, benchmark name, target kind, target value, threaded)
# Target kinds: ratio = Vellora / fastest peer; abs = seconds; copy = multiple of a plain copy.
KERNEL_ROWS = [
    ("mc16", "median cut 16", "colorBench", "medianCut/12/16", "abs", 0.3, True),
    ("mc256", "median cut 256", "colorBench", "medianCut/12/256", "abs", 0.3, True),
    ("map", "map to 216 colours, plain", "compareBench", "mapToSafePalette/0", "ratio", 1.0, False),
    ("mapfs", "map to 216 colours, Floyd-Steinberg", "compareBench", "mapToSafePalette/1", "ratio", 1.0, False),
    ("tiles", "tile averages 64x48", "compareBench", "tileAverages", "ratio", 1.0, False),
    ("conv3", "convolution 3x3", "filterBench", "BM_Gaussian3x3/{t}", "ratio", 1.5, True),
    ("conv5", "convolution 5x5", "filterBench", "BM_Gaussian5x5/{t}", "ratio", 1.5, True),
    ("conv7", "convolution 7x7", "filterBench", "BM_Gaussian7x7/{t}", "ratio", 1.5, True),
    ("median3", "median de-noise 3x3", "filterBench", "BM_DeNoise/{t}/3", "abs", 0.05, True),
    ("median7", "median de-noise 7x7", "filterBench", "BM_DeNoise/{t}/7", "abs", 0.5, True),
    ("edge", "edge-preserving 5x5", "filterBench", "BM_EdgePreserving/{t}/0", "abs", 0.3, True),
    ("up2", "resize 2x up bicubic", "geometryBench", "resize/8000/6000/1", "ratio", 1.0, True),
    ("down4", "resize 4x down area", "geometryBench", "resize/1000/750/1", "ratio", 2.0, True),
    ("rot_cubic", "rotation 30 bicubic", "geometryBench", "rotate/30/1", "ratio", 1.0, True),
    ("rot_near", "rotation 30 nearest", "geometryBench", "rotate/30/0", "ratio", 1.0, True),
    ("gray", "gray", "toneBench", "grayScale/256/0", "copy", 3.0, False),
    ("invert", "invert", "toneBench", "invert", "copy", 3.0, False),
    ("posterize", "posterize", "toneBench", "posterize/7", "copy", 3.0, False),
    ("stretch", "histogram stretch", "toneBench", "histogram", "copy", 3.0, False),
    ("bw", "black and white, diffusion", "toneBench", "blackWhite/0/1", "ratio", 1.0, False),
]


def kernel_rows(pic, repeats):
    peers = peer_functions(pic)
    copy_seconds = best_of(peers["copy"][0][1], repeats)
    rows = []
    for key, label, program, name, kind, target, threaded in KERNEL_ROWS:
        if ARGS.only and ARGS.only not in key:
            continue
        mine, theirs = float("inf"), {p: float("inf") for p, _ in peers[key]}
        two = float("inf") if threaded else None
        for _ in range(repeats):  # interleaved so drift hits both sides
            mine = min(mine, bench_time(program, name, 1))
            for peer, function in peers[key]:
                theirs[peer] = min(theirs[peer], best_of(function, 1))
            if threaded:  # the two-thread figure is a best of as many runs
                two = min(two, bench_time(program, name, 2))
        peer = min(theirs, key=theirs.get)
        rows.append(judge(label, mine, peer, theirs[peer], kind, target, two, copy_seconds,
                          threaded))
    return rows


# ---------------------------------------------------------------- whole processes
ROAD_SCRIPT = os.path.join(ROOT, "bench", "peerRoad.py")


def process_rows(pictures, repeats, folder):
    cli = os.path.join(ARGS.build, "bin", "vellora-cli")
    env = dict(os.environ, **SINGLE)
    pic12 = pictures[12]["base"]
    out = lambda name: os.path.join(folder, name)
    py = "/usr/bin/python3"
    pil_save = "from PIL import Image; import sys; Image.open(sys.argv[1]).save(sys.argv[2]{})"
    cases = [
        ("jpeg", "JPEG decode (process, to BMP)", [cli, pic12 + ".jpg", "-o", out("v.bmp")], {
            "ImageMagick": ["/usr/bin/convert", pic12 + ".jpg", out("im.bmp")],
            "GraphicsMagick": ["/usr/bin/gm", "convert", pic12 + ".jpg", out("gm.bmp")],
            "Pillow": [py, "-c", pil_save.format(""), pic12 + ".jpg", out("pil.bmp")]}, 1.1),
        ("jpeg", "JPEG encode q90 (process, from BMP)",
         [cli, "--set", "saveQuality=90", pic12 + ".bmp", "-o", out("v.jpg")], {
             "ImageMagick": ["/usr/bin/convert", pic12 + ".bmp", "-quality", "90",
                             "-sampling-factor", "4:2:0", out("im.jpg")],
             "vips": ["/usr/bin/vips", "copy", pic12 + ".bmp", out("vips.jpg") + "[Q=90]"],
             "Pillow": [py, "-c", pil_save.format(", quality=90, subsampling=2"), pic12 + ".bmp",
                        out("pil.jpg")]}, 1.1),
        ("png", "PNG encode (process, from BMP)", [cli, pic12 + ".bmp", "-o", out("v.png")], {
            "Pillow level 6": [py, "-c", pil_save.format(", compress_level=6"), pic12 + ".bmp",
                               out("pil.png")],
            "OpenCV level 1": [py, "-c", "import cv2,sys; cv2.setNumThreads(1); "
                               "cv2.imwrite(sys.argv[2], cv2.imread(sys.argv[1]), "
                               "[cv2.IMWRITE_PNG_COMPRESSION, 1])", pic12 + ".bmp", out("cv.png")]},
         1.0),
    ]
    road_mp = max(pictures)  # 24 MP; 12 MP in the quick mode
    pic24 = pictures[road_mp]["base"]
    road = [cli, pic24 + ".jpg", "tiling", "--table", out("v.txt"), "--csv", out("v.csv"),
            "-o", out("road.bmp")]
    peer_road = {"Pillow+numpy script": [py, ROAD_SCRIPT, pic24 + ".jpg", out("p.bmp"),
                                         out("p.txt"), out("p.csv")]}
    cases.append(("road", f"whole road {road_mp} MP (process)", road, peer_road, 1.0))
    cases.append(("invert-process", "invert 12 MP BMP (process, against cp)",
                  [cli, pic12 + ".bmp", "invert", "-o", out("inv.bmp")],
                  {"cp": ["/bin/cp", pic12 + ".bmp", out("cp.bmp")]}, 2.0))
    rows = []
    for key, label, mine_cmd, peers, target in cases:
        if ARGS.only and ARGS.only not in key:
            continue
        mine, theirs = float("inf"), {p: float("inf") for p in peers}
        for _ in range(repeats):
            mine = min(mine, process_time(mine_cmd, env))
            for peer, command in peers.items():
                theirs[peer] = min(theirs[peer], process_time(command, env))
        two = process_time(mine_cmd, dict(env, VELLORA_THREADS="2"), repeats)
        peer = min(theirs, key=theirs.get)
        row = judge(label, mine, peer, theirs[peer], "ratio", target, two, None)
        if key == "road":  # also within an absolute time
            row = row[:5] + (row[5] + " and <= 0.8 s", row[6] and mine <= 0.8) + row[7:]
        rows.append(row)
    if not ARGS.only or ARGS.only in "road":
        rows += road_extras(pictures[road_mp]["base"], road_mp, env, repeats, out)
    return rows


def peak_memory(command, env):
    """Peak resident bytes of one run of command. GNU time measures it: a child started from
    this process directly would report this process's own peak, which the kernel carries over
    the exec, and with the decoded pictures held here that is far above the program's."""
    report = tempfile.NamedTemporaryFile(suffix=".time")
    report.close()
    try:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + command, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        with open(report.name) as text:
            return int(text.read().split()[-1]) * 1024
    finally:
        os.unlink(report.name)


def road_extras(picture, megapixels, env, repeats, out):
    """The road with median cut 16 colours against its absolute target, and the road's peak
    memory against three times the 24 bpp picture."""
    cli = os.path.join(ARGS.build, "bin", "vellora-cli")
    road = [cli, picture + ".jpg", "tiling", "--table", out("m.txt"), "--csv", out("m.csv"),
            "-o", out("m.bmp")]
    median = [cli, "--set", "tilingPaletteClass=0"] + road[1:]
    mine = process_time(median, env, repeats)
    rows = [judge(f"whole road {megapixels} MP, median cut 16 (process)", mine, "-", None, "abs",
                  1.3, None, None)]
    rows.append(ciede2000_row(road, megapixels, env, repeats))
    width, height = SIZES[megapixels]
    limit = 3 * width * height * 3
    peak = peak_memory(road, env)
    rows.append((f"peak memory of the road {megapixels} MP (MB)", peak / 1e6, "-", None,
                 peak / (width * height * 3), f"<= 3 x picture ({limit / 1e6:.0f} MB)",
                 peak <= limit, None, False))
    return rows


def ciede2000_row(road, megapixels, env, repeats):
    """The road with tile colours matched by CIEDE2000 against the same road by RGB distance,
    the two runs interleaved."""
    perceptual = road + ["--match", "ciede2000"]
    mine, plain = float("inf"), float("inf")
    for _ in range(repeats):
        mine = min(mine, process_time(perceptual, env))
        plain = min(plain, process_time(road, env))
    return judge(f"whole road {megapixels} MP, CIEDE2000 matching (process)", mine,
                 "same road, RGB matching", plain, "ratio", 1.5, None, None)


def view_rows(repeats):
    """The desktop view's repaint while scrolling a 24 MP picture, at the slowest of the zooms
    the QtTest benchmark walks; absent when the desktop program was not built."""
    path = os.path.join(ARGS.build, "bin", "viewRepaint")
    if not os.path.exists(path):
        return []
    env = dict(os.environ, **SINGLE, QT_QPA_PLATFORM="offscreen")
    best = {}
    for _ in range(repeats):
        out = subprocess.run([path], env=env, capture_output=True, text=True, check=True).stdout
        for zoom, msecs in re.findall(r'RESULT : \S+:"([^"]+)":\s+([0-9.]+) msecs', out):
            best[zoom] = min(best.get(zoom, float("inf")), float(msecs) / 1000)
    if not best:
        raise RuntimeError("viewRepaint: no results")
    zoom = max(best, key=best.get)
    return [judge(f"view repaint 24 MP while scrolling, slowest zoom ({zoom})", best[zoom], "-",
                  None, "abs", 0.016, None, None)]


def judge(label, mine, peer, peer_seconds, kind, target, two, copy_seconds, threaded=False):
    """The table row; the two-thread speed-up is judged only for the threaded kernels."""
    row = judge_time(label, mine, peer, peer_seconds, kind, target, two, copy_seconds)
    return row + (threaded and two is not None,)


def judge_time(label, mine, peer, peer_seconds, kind, target, two, copy_seconds):
    if kind == "ratio":
        ratio = mine / peer_seconds
        return (label, mine, peer, peer_seconds, ratio, f"<= {target} x", ratio <= target, two)
    if kind == "copy":
        ratio = mine / peer_seconds
        holds = mine <= target * copy_seconds
        return (label, mine, peer, peer_seconds, ratio, f"<= {target} x copy ({copy_seconds:.4f} s)",
                holds, two)
    ratio = mine / peer_seconds if peer_seconds else None
    return (label, mine, peer, peer_seconds, ratio, f"<= {target} s", mine <= target, two)


# ---------------------------------------------------------------- report
def versions():
    import cv2
    import numpy
    import PIL
    def first_line(command):
        try:
            return subprocess.run(command, capture_output=True, text=True).stdout.splitlines()[0]
        except (OSError, IndexError):
            return "?"
    return {"ImageMagick": first_line(["/usr/bin/convert", "-version"]),
            "GraphicsMagick": first_line(["/usr/bin/gm", "-version"]),
            "vips": first_line(["/usr/bin/vips", "--version"]),
            "netpbm": first_line(["dpkg-query", "-W", "-f", "${Version}\\n", "netpbm"]),
            "Pillow": PIL.__version__, "OpenCV": cv2.__version__, "numpy": numpy.__version__,
            "Python": platform.python_version()}


def fmt(value, digits=4):
    return "-" if value is None else f"{value:.{digits}f}"


def table(rows):
    lines = ["| operation | Vellora s | fastest peer | peer s | ratio | target | holds | "
             "Vellora 2 threads s | speed-up (target >= 1.7) |",
             "|---|---|---|---|---|---|---|---|---|"]
    for label, mine, peer, theirs, ratio, target, holds, two, judged in rows:
        speed = mine / two if (two and mine) else None
        speed_text = "-" if speed is None else f"{speed:.2f}"
        if judged:
            speed_text += " (yes)" if speed >= 1.7 else " (NO)"
        held = holds if isinstance(holds, str) else ("yes" if holds else "NO")
        lines.append(f"| {label} | {fmt(mine)} | {peer} | {fmt(theirs)} | {fmt(ratio, 2)} | "
                     f"{target} | {held} | {fmt(two)} | {speed_text} |")
    return "\n".join(lines)


def machine():
    model = "?"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{os.cpu_count()} cores, {model}"


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"),
                        help="build folder holding bin/*Bench and bin/vellora-cli")
    parser.add_argument("--quick", action="store_true", help="best of 3, 12 MP only")
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--only", default="", help="run only rows whose key contains this")
    parser.add_argument("--no-results", action="store_true", help="do not write bench/RESULTS.md")
    ARGS = parser.parse_args()
    repeats = 3 if ARGS.quick else max(3, ARGS.repeats)
    if not os.path.isdir(os.path.join(ARGS.build, "bin", "palette", "preset")):
        sys.exit(f"{ARGS.build}: build the bench programs, vellora-cli and vellora_preset_palettes")
    install_peers()
    sizes = {12: SIZES[12]} if ARGS.quick else SIZES
    folder = tempfile.mkdtemp(prefix="vellora-compare-")
    try:
        pictures = make_pictures(folder, sizes)
        kernels = not ARGS.only or any(ARGS.only in row[0] for row in KERNEL_ROWS)
        rows = kernel_rows(pictures[12], repeats) if kernels else []
        rows += process_rows(pictures, repeats, folder)
        if not ARGS.only or ARGS.only in "view":
            rows += view_rows(repeats)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    text = table(rows)
    print(text)
    if not ARGS.no_results:
        now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
        notes = "\n".join(f"- {k}: {v}" for k, v in versions().items())
        mode = "quick (best of 3, 12 MP only)" if ARGS.quick else f"best of {repeats}"
        with open(os.path.join(ROOT, "bench", "RESULTS.md"), "w") as results:
            results.write(f"# Speed against the peers\n\n{now}; {machine()}; {mode}; "
                          f"single thread unless the column says two threads.\n\n{text}\n\n"
                          f"## Versions\n\n{notes}\n")


ARGS = None
if __name__ == "__main__":
    main()
