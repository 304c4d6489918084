#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tarvolin's web page against its floor, the same HTML with no script, served on 127.0.0.1
with gzip as Apache's mod_deflate does, in Debian's Chromium:
 - the bytes of a first visit, at device scale 1 and 2, gzip and brotli, of the files the
   server sent whole (the service worker's included; its revalidations send no body);
 - the time until the nine boxes and both buttons are in the accessibility tree, and for
   the page until a click gives an answer, unthrottled and under Lighthouse's mobile profile;
 - Lighthouse's mobile scores for the page.
Medians of alternating runs, each in a fresh browser; times as ratios to the floor.

usage: webbench.py SITE_DIR LIGHTHOUSE [RUNS]"""

import email.utils
import gzip
import json
import pathlib
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import brotli

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'tests'))
import webcheck  # noqa: E402

PRECOMPRESSED = ('.jpg', '.png')
# Lighthouse's mobile profile as DevTools applies it: a slow 4G link and a CPU four times slower.
MOBILE = {'latency': 150 * 3.75, 'downloadThroughput': 1.6 * 1024 * 0.9 * 1024 / 8,
          'uploadThroughput': 750 * 0.9 * 1024 / 8, 'cpu': 4}
USABLE = '''(() => {
    const box = document.getElementById('Check1_1')?.control, compute = document.getElementById('Command1_0');
    if (!box || !compute) return false;
    const answer = document.getElementById('Text2_0').value;
    box.checked = true;
    if (!answer)
        compute.click();  // again until the page's script has come and answered
    return answer === '2';
})()'''


class Handler(webcheck.Handler):
    """Files as a server with compression sends them, with validators as Apache gives."""

    def do_GET(self):
        path = pathlib.Path(self.translate_path(self.path))
        path = path / 'index.html' if path.is_dir() else path
        if not path.is_file():
            self.send_error(404)
            return
        tag = f'"{path.stat().st_mtime_ns:x}-{path.stat().st_size:x}"'
        modified = email.utils.formatdate(path.stat().st_mtime, usegmt=True)
        fresh = self.headers.get('If-None-Match') == tag or self.headers.get('If-Modified-Since') == modified
        self.send_response(304 if fresh else 200)
        self.send_header('ETag', tag)
        self.send_header('Last-Modified', modified)
        if fresh:
            self.end_headers()
            return
        body = path.read_bytes()
        self.send_header('Content-Type', self.guess_type(str(path)))
        if path.suffix not in PRECOMPRESSED and 'gzip' in self.headers.get('Accept-Encoding', ''):
            body = gzip.compress(body, 6, mtime=0)
            self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Site(webcheck.Site):
    handler = Handler


class Browser(webcheck.Chromium):
    def __init__(self, scale, throttled):
        super().__init__(scale)
        if throttled:
            self.call('Network.enable')
            self.call('Network.emulateNetworkConditions', offline=False, latency=MOBILE['latency'],
                      downloadThroughput=MOBILE['downloadThroughput'], uploadThroughput=MOBILE['uploadThroughput'])
            self.call('Emulation.setCPUThrottlingRate', rate=MOBILE['cpu'])

    def controls_present(self):
        tree = self.accessibility_tree()
        return (sum(node['role'] == 'checkbox' for node in tree) == 9
                and {'Изчисли', 'Изчисти'} <= {node['name'] for node in tree if node['role'] == 'button'})


def floor_of(site, work):
    floor = work / 'floor'
    shutil.copytree(site, floor)
    index = floor / 'index.html'
    page = index.read_text(encoding='utf-8')
    index.write_text(re.sub(r'<script [^>]*></script>\n|<link rel="preload" [^>]*>\n', '', page), encoding='utf-8')
    return floor


def first_visit(server, folder, scale):
    """The files a first visit asks for, once it has settled, and their bytes."""
    server.start(folder)
    Handler.sent.clear()
    browser = Browser(scale, throttled=False)
    browser.open(server.url)
    webcheck.wait_for(browser, webcheck.LOADED, 'the page')
    if folder.name != 'floor':
        webcheck.wait_for(browser, f'{webcheck.STORES}.then(s => s.length === 1 && s[0][1].length > 0)',
                          'the offline copy')
    time.sleep(1)
    browser.close()
    server.stop()
    sizes = {'files': len(Handler.sent), 'gzip': 0, 'brotli': 0}
    for name in Handler.sent:
        body = (folder / name).read_bytes()
        precompressed = name.endswith(PRECOMPRESSED)
        sizes['gzip'] += len(body) if precompressed else len(gzip.compress(body, 6, mtime=0))
        sizes['brotli'] += len(body) if precompressed else len(brotli.compress(body, quality=11))
    return sizes, sorted(Handler.sent)


def timed_visit(server, folder, throttled):
    """Seconds until the controls are in the accessibility tree, and until a click answers."""
    server.start(folder)
    browser = Browser(1, throttled)
    start = time.monotonic()
    browser.open(server.url)
    present = answered = None
    while answered is None and time.monotonic() - start < 60:
        if present is None and browser.controls_present():
            present = time.monotonic() - start
            if folder.name == 'floor':
                break
        if present is not None:
            try:
                if browser.evaluate(USABLE):
                    answered = time.monotonic() - start
            except webcheck.Failure:
                pass
        time.sleep(0.02)
    browser.close()
    server.stop()
    return present, answered


def lighthouse(tool, url, runs):
    scores = []
    for _ in range(runs):
        report = json.loads(subprocess.run(
            [tool, url, '--quiet', '--output=json', '--only-categories=performance,accessibility,best-practices',
             '--chrome-flags=--headless=new --no-sandbox'],
            check=True, capture_output=True, text=True).stdout)
        audits = report['audits']
        scores.append({name: report['categories'][name]['score'] for name in report['categories']}
                      | {'interactive': audits['interactive']['numericValue'] / 1000,
                         'blocking': audits['total-blocking-time']['numericValue'] / 1000,
                         'bytes': audits['total-byte-weight']['numericValue']})
    return scores


def main():
    site = pathlib.Path(sys.argv[1]).resolve()
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    work = pathlib.Path(tempfile.mkdtemp(prefix='tarvolin-webbench.'))
    floor = floor_of(site, work)
    server = Site(site, work)
    server.stop()

    print('first visit: files sent, KiB gzip, KiB brotli (pictures and icons as they are)')
    for scale in (1, 2):
        for name, folder in (('page', site), ('floor', floor)):
            sizes, asked = first_visit(server, folder, scale)
            print(f'  scale {scale} {name:5}  {sizes["files"]:2}  {sizes["gzip"] / 1024:6.1f}  '
                  f'{sizes["brotli"] / 1024:6.1f}   {" ".join(asked)}')

    for throttled in (False, True):
        times = {'page': [], 'floor': [], 'answer': []}
        for _ in range(runs):
            for name, folder in (('page', site), ('floor', floor)):
                present, answered = timed_visit(server, folder, throttled)
                webcheck.expect(present is not None, f'the {name} showed no controls within a minute')
                times[name].append(present)
                if name == 'page':
                    webcheck.expect(answered is not None, 'the page gave no answer within a minute')
                    times['answer'].append(answered)
        page, floor_time, answer = (statistics.median(times[key]) for key in ('page', 'floor', 'answer'))
        print(f'{"mobile profile" if throttled else "unthrottled"}, median of {runs}: controls in the tree '
              f'{page:.2f} s (floor {floor_time:.2f} s, ratio {page / floor_time:.2f}); '
              f'a click answers {answer:.2f} s (ratio to the floor {answer / floor_time:.2f})')

    server.start(site)
    scores = lighthouse(sys.argv[2], server.url, 3)
    server.stop()
    print('Lighthouse mobile, 3 runs: performance / accessibility / best practices; '
          'time to interactive, total blocking time, bytes')
    for score in scores:
        print(f'  {score["performance"]:.2f} / {score["accessibility"]:.2f} / {score["best-practices"]:.2f}; '
              f'{score["interactive"]:.2f} s, {score["blocking"]:.2f} s, {score["bytes"]:.0f}')
    shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
