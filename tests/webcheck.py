#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives Tarvolin's web page in a real browser from outside, as a pupil would: serves the
site on 127.0.0.1, clicks and types at the window's controls, and reads back what the page
shows and what a screen reader would read. One table of checks; each browser engine is a
small adapter (Chromium speaks the DevTools protocol).

usage: webcheck.py SITE_DIR [SCREENSHOT_DIR]"""

import base64
import functools
import http.server
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import websocket

CAPTION = 'www.mersodal.example Мерсодал'
CLIENT = (517, 355)
NUMERALS = 'I II III IV V VI VII VIII IX'.split()
# What a screen reader calls each box, as on Linux.
BOX_NAMES = {numeral: f'Дегустатор {numeral}' for numeral in NUMERALS}


def centre(left, top, width, height):
    """A control's middle in CSS pixels from its place in twips (15 to the pixel)."""
    return ((left + width / 2) / 15, (top + height / 2) / 15)


# The boxes stand in a 3 × 3 grid in the frame at (120, 480).
BOXES = {numeral: centre(240 + 840 * (k % 3), 840 + 480 * (k // 3), 735, 375)
         for k, numeral in enumerate(NUMERALS)}
COMPUTE = centre(2880, 600, 1215, 375)
RESULT = centre(2400, 2640, 1695, 405)
CLEAR = centre(2880, 1920, 1215, 375)


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


class Chromium:
    """Debian's headless Chromium over the DevTools protocol."""

    name = 'chromium'

    def __init__(self, scale):
        self.scale = scale
        self.profile = tempfile.mkdtemp(prefix='tarvolin-chromium.')
        self.process = subprocess.Popen(
            ['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync',
             '--disable-quic', f'--user-data-dir={self.profile}', '--remote-debugging-port=0',
             '--window-size=1280,881', 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = pathlib.Path(self.profile, 'DevToolsActivePort')
        deadline = time.monotonic() + 30
        while not port_file.exists() or not port_file.read_text().strip():
            expect(time.monotonic() < deadline, 'Chromium did not open its DevTools port')
            time.sleep(0.1)
        port = port_file.read_text().split()[0]
        pages = json.load(urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list'))
        url = next(page['webSocketDebuggerUrl'] for page in pages if page['type'] == 'page')
        self.socket = websocket.create_connection(url, timeout=30, suppress_origin=True)
        self.next_id = 0
        self.errors = []
        for domain in ('Page', 'Runtime', 'Log', 'Accessibility'):
            self.call(f'{domain}.enable')
        self.resize(1280, 881)

    def resize(self, width, height):
        self.call('Emulation.setDeviceMetricsOverride', width=width, height=height,
                  deviceScaleFactor=self.scale, mobile=False)

    def close(self):
        self.socket.close()
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get('id') == self.next_id:
                expect('error' not in message, f'{method}: {message.get("error")}')
                return message['result']
            self.note(message)

    # What the console shows as errors: exceptions, console.error() and the browser's own
    # (failed loads, refused content).
    def note(self, event):
        method, params = event.get('method'), event.get('params', {})
        if method == 'Runtime.exceptionThrown':
            details = params['exceptionDetails']
            self.errors.append(details.get('exception', {}).get('description', details['text']))
        elif method == 'Runtime.consoleAPICalled' and params['type'] == 'error':
            self.errors.append(' '.join(str(arg.get('value', arg.get('description')))
                                        for arg in params['args']))
        elif method == 'Log.entryAdded' and params['entry']['level'] == 'error':
            self.errors.append(params['entry']['text'])

    def open(self, url):
        self.call('Page.navigate', url=url)

    def evaluate(self, expression):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True,
                           awaitPromise=True)
        expect('exceptionDetails' not in result, f'{expression}: {result.get("exceptionDetails")}')
        return result['result'].get('value')

    def click(self, x, y, button='left'):
        for kind in ('mousePressed', 'mouseReleased'):
            self.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button=button, clickCount=1)

    def press(self, key, shift=False):
        code, keycode, text = {'Tab': ('Tab', 9, ''), ' ': ('Space', 32, ' '),
                               'Escape': ('Escape', 27, ''), '5': ('Digit5', 53, '5')}[key]
        for kind in ('keyDown', 'keyUp'):
            self.call('Input.dispatchKeyEvent', type=kind, key=key, code=code, text=text if kind == 'keyDown' else '',
                      windowsVirtualKeyCode=keycode, modifiers=8 if shift else 0)

    def screenshot(self, path):
        path.write_bytes(base64.b64decode(self.call('Page.captureScreenshot', format='png')['data']))

    def accessibility_tree(self):
        """The nodes a screen reader reads, as role, name, value, checked and live state."""
        nodes = []
        for node in self.call('Accessibility.getFullAXTree')['nodes']:
            if node.get('ignored'):
                continue
            properties = {p['name']: p['value'].get('value') for p in node.get('properties', [])}
            nodes.append({'role': node.get('role', {}).get('value'),
                          'name': node.get('name', {}).get('value', ''),
                          'value': node.get('value', {}).get('value', ''),
                          'checked': properties.get('checked'),
                          'live': properties.get('live')})
        return nodes


class Site(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


# Read from the page: the screen reader's copy of the window, which the platform plugin keeps
# in the window's shadow DOM once its hidden button has switched it on.
READ_WINDOW = '''(() => {
    const root = document.getElementById('qt-shadow-container').shadowRoot;
    const boxes = {};
    for (const box of root.querySelectorAll('input[type=checkbox]'))
        boxes[box.getAttribute('aria-label')] = box.checked;
    const result = root.querySelector('input[type=text]');
    return { boxes, result: result ? result.value : null,
             status: [...root.querySelectorAll('[role=status]')].map(e => e.textContent).join(''),
             menu: [...root.querySelectorAll('[role=menuitem]')].map(e => e.title) };
})()'''


def wait_for(browser, expression, what, seconds=30):
    """Until the expression holds; while the page is still coming, it may also throw."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            if browser.evaluate(expression):
                return
        except Failure:
            pass
        expect(time.monotonic() < deadline, f'timed out waiting for {what}')
        time.sleep(0.1)


def settle(browser):
    # Two animation frames: Qt handles the input and paints before the page is read.
    browser.evaluate('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))')
    time.sleep(0.1)


def client_origin(browser):
    return browser.evaluate("(() => { const r = document.querySelector('.client')"
                            ".getBoundingClientRect(); return [r.x, r.y]; })()")


def click_at(browser, point, button='left'):
    x, y = client_origin(browser)
    browser.click(x + point[0], y + point[1], button)
    settle(browser)


def window_state(browser):
    return browser.evaluate(READ_WINDOW)


def compute_with(browser, numerals):
    click_at(browser, CLEAR)
    for numeral in numerals:
        click_at(browser, BOXES[numeral])
    click_at(browser, COMPUTE)
    return window_state(browser)


# The checks, in order; each takes the browser and the run's screenshot prefix.
def check_page(browser, shots):
    expect(browser.evaluate('document.documentElement.lang') == 'bg', 'the page is not in Bulgarian')
    title = browser.evaluate('document.title')
    expect(title == CAPTION, f'the tab title is {title!r}')
    caption = browser.evaluate("document.querySelector('.caption').textContent.trim()")
    expect(caption == CAPTION, f'the title bar shows {caption!r}')


def check_window_place(browser, shots):
    rects = browser.evaluate('''(() => {
        const rect = e => { const r = e.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; };
        const canvas = document.getElementById('qt-shadow-container').shadowRoot.querySelector('canvas');
        return { client: rect(document.querySelector('.client')), canvas: canvas && rect(canvas),
                 page: [innerWidth, innerHeight] };
    })()''')
    x, y, width, height = rects['client']
    expect((width, height) == CLIENT, f'the client area is {width} × {height}')
    expect(rects['canvas'] and [round(v) for v in rects['canvas']] == [round(v) for v in rects['client']],
           f'the window is drawn at {rects["canvas"]}, not over the client area {rects["client"]}')
    page_width, page_height = rects['page']
    expect(abs(x + width / 2 - page_width / 2) <= 1 and abs(y + height / 2 - page_height / 2) <= 1,
           f'the client area at {x}, {y} is not centred in {page_width} × {page_height}')


def check_answers(browser, shots):
    for numerals, shown in ((['II', 'V', 'IX'], '274'), ([], 'Грешни данни!'),
                            (['II', 'IV', 'V', 'VI', 'IX'], '314'),
                            (['I', 'II', 'IV', 'V', 'VI', 'IX'], 'Грешни данни!')):
        state = compute_with(browser, numerals)
        expect(state['result'] == shown, f'{"+".join(numerals) or "nothing"} gave {state["result"]!r}, not {shown!r}')
        ticked = sorted(name for name, checked in state['boxes'].items() if checked)
        expect(ticked == sorted(BOX_NAMES[n] for n in numerals), f'after compute the ticked boxes are {ticked}')
        expect(state['status'] == shown, f'the announcement was {state["status"]!r}, not {shown!r}')
    compute_with(browser, ['II', 'V', 'IX'])
    browser.screenshot(shots.with_name(shots.name + '-274.png'))
    click_at(browser, RESULT)
    browser.press('5')
    settle(browser)
    typed = window_state(browser)['result']
    expect(typed == '274', f'typing made the result box {typed!r}')
    click_at(browser, CLEAR)
    state = window_state(browser)
    expect(state['result'] == '' and not any(state['boxes'].values()),
           f'clear left {state}')


def check_tab_order(browser, shots):
    # Into the fresh window by keyboard, where the focus starts in the statement: Tab to I and
    # tick it; ten more reach IX, past VIII and both buttons; tick it; back two to «Изчисли»
    # and press it: 1 + 256.
    browser.evaluate("document.getElementById('qt-shadow-container').shadowRoot"
                     ".querySelector('canvas').focus()")
    keys = [('Tab', False), (' ', False)] + [('Tab', False)] * 10 + [(' ', False)] \
        + [('Tab', True)] * 2 + [(' ', False)]
    for key, shift in keys:
        browser.press(key, shift)
        settle(browser)
    state = window_state(browser)
    expect(state['result'] == '257', f'the Tab order led to {state["result"]!r}, not 257')


def check_narrow_screen(browser, shots):
    # A phone 360 pixels wide: the window stays whole, and what does not fit can be scrolled to.
    browser.resize(360, 640)
    try:
        settle(browser)
        left, right, width = browser.evaluate("(() => { const r = document.querySelector('.window')"
                                              ".getBoundingClientRect(); return [r.left + scrollX, r.right + scrollX,"
                                              " document.documentElement.scrollWidth]; })()")
        expect(left >= 0 and right <= width, f'the window spans {left} to {right} of a page {width} wide')
    finally:
        browser.resize(1280, 881)
        settle(browser)


def check_context_menu(browser, shots):
    compute_with(browser, ['II', 'V', 'IX'])
    click_at(browser, RESULT, 'right')
    menu = window_state(browser)['menu']
    browser.press('Escape')
    settle(browser)
    expect(any('Копир' in item for item in menu), f'the result box\'s menu reads {menu}')


def check_screen_reader(browser, shots):
    compute_with(browser, ['II', 'V', 'IX'])
    nodes = browser.accessibility_tree()
    boxes = {n['name']: n['checked'] for n in nodes if n['role'] == 'checkbox'}
    expected = {name: 'true' if numeral in ('II', 'V', 'IX') else 'false' for numeral, name in BOX_NAMES.items()}
    expect(boxes == expected, f'the screen reader reads the boxes as {boxes}')
    buttons = sorted(n['name'] for n in nodes if n['role'] == 'button')
    expect({'Изчисли', 'Изчисти'} <= set(buttons), f'the buttons read as {buttons}')
    values = [n['value'] for n in nodes if n['role'] == 'textbox']
    expect('274' in values, f'no text box reads 274: {values}')
    expect(any('бурето с пургатив' in value for value in values), 'the statement cannot be read')
    status = [n for n in nodes if n['role'] == 'status']
    expect(status and status[0]['live'] == 'polite', f'no live region announces the result: {status}')
    texts = [n['name'] for n in nodes if n['role'] in ('StaticText', 'staticText')]
    expect('274' in texts, 'the announcement does not read 274')


CHECKS = [check_page, check_window_place, check_tab_order, check_answers, check_context_menu,
          check_narrow_screen, check_screen_reader]


def run(engine, scale, url, shots):
    browser = engine(scale)
    try:
        browser.open(url)
        try:
            wait_for(browser, "document.getElementById('status').classList.contains('failed')"
                     " || document.getElementById('status').hidden"
                     " && !!document.getElementById('qt-shadow-container').shadowRoot?.querySelector('canvas')",
                     'the window')
            message = browser.evaluate("document.getElementById('status').hidden ? ''"
                                       " : document.getElementById('message').textContent")
            expect(not message, f'the page says {message!r}')
        except Failure as failure:
            print(f'FAIL: {browser.name} × {scale}: the window did not open: {failure}; '
                  f'the console shows {browser.errors}')
            return 0, len(CHECKS) + 1
        # What a screen-reader user does first: press the hidden button that switches the
        # page's screen-reader support on.
        browser.evaluate("document.getElementById('qt-shadow-container').shadowRoot"
                         ".querySelector('.hidden-visually-read-by-screen-reader').click()")
        settle(browser)
        failures = []
        for check in CHECKS:
            try:
                check(browser, shots)
                print(f'PASS: {browser.name} × {scale}: {check.__name__}')
            except Failure as failure:
                failures.append(check.__name__)
                print(f'FAIL: {browser.name} × {scale}: {check.__name__}: {failure}')
        errors = browser.errors
        if errors:
            failures.append('console')
            print(f'FAIL: {browser.name} × {scale}: the console shows errors: {errors}')
        else:
            print(f'PASS: {browser.name} × {scale}: no console errors')
        return len(CHECKS) + 1 - len(failures), len(failures)
    finally:
        browser.close()


def main():
    site = pathlib.Path(sys.argv[1]).resolve()
    shots = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()).resolve()
    shots.mkdir(parents=True, exist_ok=True)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Site, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{server.server_port}/'
    passed = failed = 0
    for engine in (Chromium,):
        for scale in (1, 2):
            good, bad = run(engine, scale, url, shots / f'{engine.name}-{scale}x')
            passed, failed = passed + good, failed + bad
    server.shutdown()
    print(f'{passed} passed, {failed} failed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
