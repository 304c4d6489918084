#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the web build (bench/web.sh runs it in the Debian 13 root):
- the bytes a first visit downloads, raw, gzip -9 and brotli -q 11: by file, and the
  program's WebAssembly by part, after the linker's map;
- the time from navigation to the window's first frame in headless Chromium, served from
  127.0.0.1: the program against the floor window, as a ratio of medians of runs in turns.

usage: webbench.py SITE_DIR FLOOR_SITE_DIR LINKER_MAP PAYLOADS_DIR [RUNS]"""

import functools
import gzip
import http.server
import pathlib
import re
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'tests'))
import webcheck  # noqa: E402


def compressed(data):
    brotli = subprocess.run(['brotli', '-c', '-q', '11'], input=data, capture_output=True, check=True)
    return len(data), len(gzip.compress(data, 9, mtime=0)), len(brotli.stdout)


def row(name, sizes):
    return f'| {name} | ' + ' | '.join(f'{size:,}' for size in sizes) + ' |'


# The archive or object each piece of code came from, and the part it belongs to. Our own
# code, with the resources it holds, is one object once optimised as a whole (lto.tmp).
PARTS = [
    (r'libQt6Core\.a', 'Qt Core'),
    (r'libQt6Gui\.a', 'Qt Gui'),
    (r'libQt6Widgets\.a', 'Qt Widgets'),
    (r'libqwasm\.a|libQt6OpenGL\.a|QWasmIntegrationPlugin', 'platform plugin'),
    (r'libQt6Bundled', 'Qt\'s bundled libraries (FreeType, HarfBuzz, PCRE2, libpng, zlib)'),
    (r'lto\.tmp|libtarvolin', 'our code'),
    (r'emscripten|sysroot|\.a\(', 'C and C++ runtime'),
]


def wasm_parts(map_file):
    """Bytes by part from wasm-ld's map: each input chunk's size, by the file it came from."""
    sizes = {}
    chunk = re.compile(r'\s+\S+\s+[0-9a-f]+\s+([0-9a-f]+)\s+(\S+?):\(')
    for line in pathlib.Path(map_file).read_text(errors='replace').splitlines():
        match = chunk.match(line)
        if match:
            part = next((name for pattern, name in PARTS if re.search(pattern, match[2])), 'other')
            sizes[part] = sizes.get(part, 0) + int(match[1], 16)
    return sizes


def sizes_report(site, map_file, payloads):
    """By file; then the program by part. The resources it carries (payloads/PART/*) are
    stored as they are, so they are measured as files; the code's shares of what the linker
    laid out are applied to the rest of the optimised file."""
    lines = ['| file | raw | gzip | brotli |', '|---|---|---|---|']
    totals = [0, 0, 0]
    # .htaccess is the server's, not the browser's.
    for path in sorted(p for p in site.iterdir() if not p.name.startswith('.')):
        sizes = compressed(path.read_bytes())
        totals = [a + b for a, b in zip(totals, sizes)]
        lines.append(row(path.name, sizes))
    lines.append(row('**first visit**', totals))

    rest = list(compressed((site / 'tarvolin.wasm').read_bytes()))
    parts = {}
    for folder in sorted(payloads.iterdir()):
        parts[folder.name] = compressed(b''.join(f.read_bytes() for f in sorted(folder.iterdir())))
        rest = [a - b for a, b in zip(rest, parts[folder.name])]
    code = wasm_parts(map_file)
    code['our code'] = max(0, code.get('our code', 0) - sum(size[0] for size in parts.values()))
    linked = sum(code.values())
    for part, size in code.items():
        parts[part] = [round(total * size / linked) for total in rest]
    lines += ['', '| tarvolin.wasm by part | raw | gzip | brotli |', '|---|---|---|---|']
    lines += [row(part, sizes) for part, sizes in sorted(parts.items(), key=lambda item: -item[1][0])]
    return '\n'.join(lines)


# Marks the first frame: the first animation frame in which the window's canvas has a pixel.
FIRST_FRAME = '''(() => {
    const look = () => {
        const canvas = document.getElementById('qt-shadow-container')?.shadowRoot?.querySelector('canvas');
        if (canvas && canvas.width
            && canvas.getContext('2d').getImageData(canvas.width >> 1, canvas.height >> 1, 1, 1).data[3]) {
            window.tarvolinFirstFrame = performance.now();
            return;
        }
        requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
})();'''


def first_frame(url):
    browser = webcheck.Chromium(1)
    try:
        browser.call('Page.addScriptToEvaluateOnNewDocument', source=FIRST_FRAME)
        browser.open(url)
        webcheck.wait_for(browser, 'window.tarvolinFirstFrame !== undefined', 'the first frame')
        return browser.evaluate('window.tarvolinFirstFrame')
    finally:
        browser.close()


def main():
    site, floor_site, map_file, payloads = (pathlib.Path(arg).resolve() for arg in sys.argv[1:5])
    runs = int(sys.argv[5]) if len(sys.argv) > 5 else 15
    print(sizes_report(site, map_file, payloads))

    times = {'program': [], 'floor': []}
    servers = {}
    for name, folder in (('program', site), ('floor', floor_site)):
        server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(webcheck.Site, directory=folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        servers[name] = server
    for _ in range(runs):
        for name, server in servers.items():
            times[name].append(first_frame(f'http://127.0.0.1:{server.server_port}/'))
            time.sleep(0.2)
    program, floor = statistics.median(times['program']), statistics.median(times['floor'])
    print(f'\nFirst frame from navigation, median of {runs} runs each in turns: program '
          f'{program:.0f} ms, floor {floor:.0f} ms, ratio {program / floor:.2f}')


if __name__ == '__main__':
    main()
