#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives Tarvolin's web page in real browsers from outside, as a pupil would: serves the
site on 127.0.0.1, clicks and types at the window's controls, and reads back what the page
shows and what a screen reader would read. One table of checks; each browser engine is a
small adapter: Chromium speaks the DevTools protocol, Firefox WebDriver BiDi, and WebKit
W3C WebDriver.

usage: webcheck.py SITE_DIR [SCREENSHOT_DIR]"""

import base64
import contextlib
import http.server
import json
import os
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
POLICY = {'default-src': "'self'", 'script-src': "'self' 'wasm-unsafe-eval'",
          'object-src': "'none'", 'base-uri': "'none'"}


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


def wait_for_file(path, what, seconds=30):
    deadline = time.monotonic() + seconds
    while not path.exists() or not path.read_text().strip():
        expect(time.monotonic() < deadline, what)
        time.sleep(0.1)
    return path.read_text()


# The page's answers travel as JSON text, which every protocol carries alike.
def as_json(expression):
    return f'(async () => JSON.stringify(await ({expression})))()'


def from_json(text):
    return None if text is None else json.loads(text)


class SocketBrowser:
    """A browser driven over one WebSocket by numbered commands and their answers, as the
    DevTools protocol and WebDriver BiDi both are; events in between go to note()."""

    def connect(self, url):
        self.socket = websocket.create_connection(url, timeout=60, suppress_origin=True)
        self.next_id = 0
        self.errors = []

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get('id') == self.next_id:
                expect('error' not in message, f'{method}: {message.get("error")} {message.get("message", "")}')
                return message['result']
            self.note(message.get('method'), message.get('params', {}))

    def close(self):
        self.socket.close()
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Chromium(SocketBrowser):
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
        port = wait_for_file(pathlib.Path(self.profile, 'DevToolsActivePort'),
                             'Chromium did not open its DevTools port').split()[0]
        pages = json.load(urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list'))
        self.connect(next(page['webSocketDebuggerUrl'] for page in pages if page['type'] == 'page'))
        for domain in ('Page', 'Runtime', 'Log', 'Accessibility'):
            self.call(f'{domain}.enable')
        self.resize(1280, 881)

    def resize(self, width, height):
        self.call('Emulation.setDeviceMetricsOverride', width=width, height=height,
                  deviceScaleFactor=self.scale, mobile=False)

    # What the console shows as errors: exceptions, console.error() and the browser's own
    # (failed loads, content the security policy refused).
    def note(self, method, params):
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
        result = self.call('Runtime.evaluate', expression=as_json(expression), awaitPromise=True)
        expect('exceptionDetails' not in result, f'{expression}: {result.get("exceptionDetails")}')
        return from_json(result['result'].get('value'))

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

    def installability_errors(self):
        return self.call('Page.getInstallabilityErrors')['installabilityErrors']

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


class WebDriverInput:
    """The mouse and the keyboard as WebDriver's actions, the same in BiDi and W3C WebDriver."""

    keys = {'Tab': '\ue004', 'Escape': '\ue00c', ' ': ' ', '5': '5'}

    def click(self, x, y, button='left'):
        button = 2 if button == 'right' else 0
        self.perform({'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'},
                      'actions': [{'type': 'pointerMove', 'x': round(x), 'y': round(y)},
                                  {'type': 'pointerDown', 'button': button}, {'type': 'pointerUp', 'button': button}]})

    def press(self, key, shift=False):
        keys = (['\ue008'] if shift else []) + [self.keys[key]]
        self.perform({'type': 'key', 'id': 'keyboard', 'actions': [{'type': 'keyDown', 'value': k} for k in keys]
                      + [{'type': 'keyUp', 'value': k} for k in reversed(keys)]})


class Firefox(SocketBrowser, WebDriverInput):
    """Debian's Firefox ESR, headless, over WebDriver BiDi."""

    name = 'firefox'

    def __init__(self, scale):
        self.profile = tempfile.mkdtemp(prefix='tarvolin-firefox.')
        self.process = subprocess.Popen(
            ['firefox-esr', '--headless', '--no-remote', '--profile', self.profile,
             '--remote-debugging-port', '0', '--width', '1280', '--height', '881', 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        server = wait_for_file(pathlib.Path(self.profile, 'WebDriverBiDiServer.json'),
                               'Firefox did not open its WebDriver BiDi port')
        self.connect(f'ws://127.0.0.1:{json.loads(server)["ws_port"]}/session')
        self.call('session.new', capabilities={})
        self.call('session.subscribe', events=['log.entryAdded'])
        self.context = self.call('browsingContext.getTree')['contexts'][0]['context']
        self.call('browsingContext.setViewport', context=self.context,
                  viewport={'width': 1280, 'height': 881}, devicePixelRatio=scale)

    def note(self, method, params):
        if method == 'log.entryAdded' and params['level'] == 'error':
            self.errors.append(params['text'])

    def open(self, url):
        self.call('browsingContext.navigate', context=self.context, url=url, wait='none')

    def evaluate(self, expression):
        result = self.call('script.evaluate', expression=as_json(expression), awaitPromise=True,
                           target={'context': self.context})
        expect(result['type'] == 'success', f'{expression}: {result.get("exceptionDetails")}')
        return from_json(result['result'].get('value'))

    def perform(self, actions):
        self.call('input.performActions', context=self.context, actions=[actions])

    def screenshot(self, path):
        data = self.call('browsingContext.captureScreenshot', context=self.context)['data']
        path.write_bytes(base64.b64decode(data))


class WebKit(WebDriverInput):
    """WebKitGTK, the engine of Safari, in its MiniBrowser under Xvfb, over W3C WebDriver.
    WebDriver gives no access to the console, so its errors are not read here."""

    name = 'webkit'
    browser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'

    def __init__(self, scale):
        self.errors = None
        self.display = subprocess.Popen(['Xvfb', ':73', '-screen', '0', '1400x1000x24', '-nolisten', 'tcp'],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.port = 4473
        self.process = subprocess.Popen(['WebKitWebDriver', f'--port={self.port}'],
                                        env={**os.environ, 'DISPLAY': ':73'},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.session = ''
        deadline = time.monotonic() + 30
        while True:
            try:
                self.call('GET', '/status')
                break
            except OSError:
                expect(time.monotonic() < deadline, 'WebKitWebDriver did not start')
                time.sleep(0.2)
        options = {'binary': self.browser, 'args': ['--automation']}
        self.session = '/session/' + self.call('POST', '/session', {'capabilities': {'alwaysMatch': {
            'webkitgtk:browserOptions': options}}})['sessionId']
        self.call('POST', '/window/rect', {'width': 1280, 'height': 881})

    def close(self):
        try:
            self.call('DELETE', '')
        finally:
            for process in (self.process, self.display):
                process.terminate()
                process.wait()

    def call(self, method, path, body=None):
        request = urllib.request.Request(f'http://127.0.0.1:{self.port}{self.session}{path}', method=method,
                                         data=None if body is None else json.dumps(body).encode(),
                                         headers={'Content-Type': 'application/json'})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                return json.load(response)['value']
        except urllib.error.HTTPError as error:
            raise Failure(f'{method} {path}: {error.read().decode(errors="replace")}') from None

    def open(self, url):
        # WebDriver waits for the load; the page's own checks wait for the program.
        self.call('POST', '/url', {'url': url})

    def evaluate(self, expression):
        script = (f'const done = arguments[0]; {as_json(expression)}'
                  '.then(done, error => done(JSON.stringify({error: String(error)})));')
        value = from_json(self.call('POST', '/execute/async', {'script': script, 'args': []}))
        expect(not (isinstance(value, dict) and value.keys() == {'error'}), f'{expression}: {value}')
        return value

    def perform(self, actions):
        self.call('POST', '/actions', {'actions': [actions]})

    def screenshot(self, path):
        path.write_bytes(base64.b64decode(self.call('GET', '/screenshot')))


class Site:
    """The site on one port of 127.0.0.1, which can be stopped, and served again from
    another folder, at the same address."""

    def __init__(self, directory, shots):
        self.directory = self.release = directory
        self.shots = shots
        self.port = 0
        self.server = None
        self.start()
        self.url = f'http://127.0.0.1:{self.port}/'

    def start(self, directory=None):
        self.directory = directory or self.release
        handler = lambda *args: Handler(*args, directory=self.directory)  # noqa: E731
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', self.port), handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    def files(self):
        """What the release serves to a browser."""
        return sorted(f.name for f in self.release.iterdir() if f.name not in ('sw.js', '.htaccess'))


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript',
                      '.webmanifest': 'application/manifest+json'}

    def log_message(self, *args):
        pass


SHADOW = "document.getElementById('qt-shadow-container').shadowRoot"
# Read from the page: the screen reader's copy of the window, which the platform plugin keeps
# in the window's shadow DOM once its hidden button has switched it on.
READ_WINDOW = f'''(() => {{
    const root = {SHADOW};
    const boxes = {{}};
    for (const box of root.querySelectorAll('input[type=checkbox]'))
        boxes[box.getAttribute('aria-label')] = box.checked;
    const result = root.querySelector('input[type=text]');
    return {{ boxes, result: result ? result.value : null,
             status: [...root.querySelectorAll('[role=status]')].map(e => e.textContent).join(''),
             menu: [...root.querySelectorAll('[role=menuitem]')].map(e => e.title) }};
}})()'''
WINDOW_SHOWN = ("document.getElementById('status').classList.contains('failed') || "
                f"document.getElementById('status').hidden && !!{SHADOW}?.querySelector('canvas')")
# What the page keeps in the browser: the offline store's names and files.
STORES = '''caches.keys().then(names => Promise.all(names.map(name => caches.open(name)
    .then(store => store.keys()).then(keys => [name, keys.map(k => k.url.split('/').pop()).sort()]))))'''


def wait_for(browser, expression, what, seconds=60):
    """Until the expression holds; while the page is still coming, it may also throw."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            if browser.evaluate(expression):
                return
        except Failure:
            pass
        expect(time.monotonic() < deadline, f'timed out waiting for {what}')
        time.sleep(0.2)


def open_window(browser, url):
    """Opens the page and waits for the window; then does what a screen-reader user does
    first: presses the hidden button that switches the page's screen-reader support on."""
    browser.open(url)
    wait_for(browser, WINDOW_SHOWN, 'the window')
    message = browser.evaluate("document.getElementById('status').hidden ? ''"
                               " : document.getElementById('message').textContent")
    expect(not message, f'the page says {message!r}')
    browser.evaluate(f"{SHADOW}.querySelector('.hidden-visually-read-by-screen-reader').click()")
    settle(browser)


def settle(browser):
    # Two animation frames: Qt handles the input and paints before the page is read.
    browser.evaluate('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))')
    time.sleep(0.1)


def click_at(browser, point, button='left'):
    x, y = browser.evaluate("(r => [r.x, r.y])(document.querySelector('.client').getBoundingClientRect())")
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


def expect_274(browser, what):
    result = compute_with(browser, ['II', 'V', 'IX'])['result']
    expect(result == '274', f'{what}: II, V and IX gave {result!r}')


# The checks; each takes the browser and the site.
def check_page(browser, site):
    expect(browser.evaluate('document.documentElement.lang') == 'bg', 'the page is not in Bulgarian')
    title = browser.evaluate('document.title')
    expect(title == CAPTION, f'the tab title is {title!r}')
    caption = browser.evaluate("document.querySelector('.caption').textContent.trim()")
    expect(caption == CAPTION, f'the title bar shows {caption!r}')


def check_own_origin_only(browser, site):
    # Refusals of the policy fail the console check; this one checks the policy itself.
    text = browser.evaluate('''document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.content''')
    policy = dict((part.strip().split(' ', 1) + [''])[:2] for part in (text or '').split(';'))
    wrong = {name: policy.get(name) for name, value in POLICY.items() if policy.get(name) != value}
    expect(not wrong, f'the page\'s security policy has {wrong}')
    expect("'unsafe" not in policy.get('script-src', ''), 'the policy lets inline script run')
    origins = browser.evaluate("[...new Set(performance.getEntriesByType('resource')"
                               ".map(e => new URL(e.name).origin))]")
    expect(origins == [site.url.rstrip('/')], f'the page loaded from {origins}')
    kept = browser.evaluate('''(async () => [document.cookie, localStorage.length + sessionStorage.length,
        (await indexedDB.databases()).length])()''')
    expect(kept == ['', 0, 0], f'the page keeps cookies, storage or databases: {kept}')


def check_window_place(browser, site):
    rects = browser.evaluate(f'''(() => {{
        const rect = e => {{ const r = e.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; }};
        const canvas = {SHADOW}.querySelector('canvas');
        return {{ client: rect(document.querySelector('.client')), canvas: canvas && rect(canvas),
                 page: [innerWidth, innerHeight] }};
    }})()''')
    x, y, width, height = rects['client']
    expect((width, height) == CLIENT, f'the client area is {width} × {height}')
    expect(rects['canvas'] and [round(v) for v in rects['canvas']] == [round(v) for v in rects['client']],
           f'the window is drawn at {rects["canvas"]}, not over the client area {rects["client"]}')
    page_width, page_height = rects['page']
    expect(abs(x + width / 2 - page_width / 2) <= 1 and abs(y + height / 2 - page_height / 2) <= 1,
           f'the client area at {x}, {y} is not centred in {page_width} × {page_height}')


def check_answers(browser, site):
    for numerals, shown in ((['II', 'V', 'IX'], '274'), ([], 'Грешни данни!'),
                            (['II', 'IV', 'V', 'VI', 'IX'], '314'),
                            (['I', 'II', 'IV', 'V', 'VI', 'IX'], 'Грешни данни!')):
        state = compute_with(browser, numerals)
        expect(state['result'] == shown, f'{"+".join(numerals) or "nothing"} gave {state["result"]!r}, not {shown!r}')
        ticked = sorted(name for name, checked in state['boxes'].items() if checked)
        expect(ticked == sorted(BOX_NAMES[n] for n in numerals), f'after compute the ticked boxes are {ticked}')
        expect(state['status'] == shown, f'the announcement was {state["status"]!r}, not {shown!r}')
    compute_with(browser, ['II', 'V', 'IX'])
    browser.screenshot(site.shots / f'{browser.name}-{browser.scale}x-274.png')
    click_at(browser, RESULT)
    browser.press('5')
    settle(browser)
    typed = window_state(browser)['result']
    expect(typed == '274', f'typing made the result box {typed!r}')
    click_at(browser, CLEAR)
    state = window_state(browser)
    expect(state['result'] == '' and not any(state['boxes'].values()),
           f'clear left {state}')


def check_tab_order(browser, site):
    # Into the fresh window by keyboard, where the focus starts in the statement: Tab to I and
    # tick it; ten more reach IX, past VIII and both buttons; tick it; back two to «Изчисли»
    # and press it: 1 + 256.
    browser.evaluate(f"{SHADOW}.querySelector('canvas').focus()")
    keys = [('Tab', False), (' ', False)] + [('Tab', False)] * 10 + [(' ', False)] \
        + [('Tab', True)] * 2 + [(' ', False)]
    for key, shift in keys:
        browser.press(key, shift)
        settle(browser)
    state = window_state(browser)
    expect(state['result'] == '257', f'the Tab order led to {state["result"]!r}, not 257')


def check_narrow_screen(browser, site):
    # A phone 360 pixels wide: the window stays whole, and what does not fit can be scrolled to.
    browser.resize(360, 640)
    try:
        settle(browser)
        left, right, width = browser.evaluate("(r => [r.left + scrollX, r.right + scrollX,"
                                              " document.documentElement.scrollWidth])"
                                              "(document.querySelector('.window').getBoundingClientRect())")
        expect(left >= 0 and right <= width, f'the window spans {left} to {right} of a page {width} wide')
    finally:
        browser.resize(1280, 881)
        settle(browser)


def check_context_menu(browser, site):
    compute_with(browser, ['II', 'V', 'IX'])
    click_at(browser, RESULT, 'right')
    menu = window_state(browser)['menu']
    browser.press('Escape')
    settle(browser)
    expect(any('Копир' in item for item in menu), f'the result box\'s menu reads {menu}')


def check_screen_reader(browser, site):
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


def check_installable(browser, site):
    errors = browser.installability_errors()
    expect(not errors, f'Chromium cannot install the page: {errors}')


def check_offline(browser, site):
    wait_for(browser, 'navigator.serviceWorker.controller !== null', 'the service worker to take the page')
    stores = browser.evaluate(STORES)
    expect(len(stores) == 1 and stores[0][1] == site.files(),
           f'the offline store holds {stores}, not the release\'s {site.files()}')
    site.stop()
    try:
        open_window(browser, site.url)
        expect_274(browser, 'offline')
    finally:
        site.start()


def check_update(browser, site):
    # The next release: another version number, and a page that shows it has arrived.
    with tempfile.TemporaryDirectory() as folder:
        release = pathlib.Path(folder, 'next')
        shutil.copytree(site.release, release)
        worker = release / 'sw.js'
        old_store = browser.evaluate('caches.keys()')[0]
        new_store = old_store.replace('tarvolin-', 'tarvolin-next-', 1)
        worker.write_text(worker.read_text().replace(old_store, new_store))
        page = release / 'index.html'
        page.write_text(page.read_text().replace('<body ', '<body data-next-release ', 1))
        site.stop()
        site.start(release)
        try:
            browser.open(site.url)
            wait_for(browser, f"document.body.hasAttribute('data-next-release') && ({WINDOW_SHOWN})",
                     'the next release')
            open_window(browser, site.url)
            expect_274(browser, 'the next release')
            stores = browser.evaluate('caches.keys()')
            expect(stores == [new_store], f'after the update the stores are {stores}, not {[new_store]}')
        finally:
            site.stop()
            site.start()


# The Tab order starts from the fresh window.
CHECKS = [check_page, check_window_place, check_tab_order, check_answers, check_own_origin_only,
          check_context_menu, check_narrow_screen, check_screen_reader]
SHOWN_ALIKE = [check_page, check_window_place, check_answers]
RUNS = [(Chromium, 1, CHECKS + [check_installable, check_offline, check_update]), (Chromium, 2, CHECKS),
        (Firefox, 1, SHOWN_ALIKE), (WebKit, 1, SHOWN_ALIKE)]


def started(engine, scale, site, label):
    """A browser showing the window. WebKit's first start in a new root once showed nothing
    for a minute, and the next start was quick; so a second browser gets one more try, and
    a picture of what the first showed is kept."""
    for attempt in (1, 2):
        browser = engine(scale)
        browser.scale = scale
        try:
            open_window(browser, site.url)
            return browser
        except Failure as failure:
            message = f'the window did not open: {failure}; the console shows {browser.errors}'
            with contextlib.suppress(Failure, OSError):
                browser.screenshot(site.shots / f'{browser.name}-{scale}x-not-open-{attempt}.png')
            browser.close()
            expect(attempt == 1, message)
            print(f'RETRY: {label}: {message}; a new browser tries once more')


def run(engine, scale, checks, site):
    label = f'{engine.name} × {scale}'
    try:
        browser = started(engine, scale, site, label)
    except Failure as failure:
        print(f'FAIL: {label}: {failure}')
        return 0, len(checks) + 1
    try:
        failures = 0
        for check in checks:
            try:
                check(browser, site)
                print(f'PASS: {label}: {check.__name__}')
            except Failure as failure:
                failures += 1
                print(f'FAIL: {label}: {check.__name__}: {failure}')
        if browser.errors is None:
            print(f'SKIP: {label}: the console cannot be read')
            return len(checks) - failures, failures
        if browser.errors:
            failures += 1
            print(f'FAIL: {label}: the console shows errors: {[e[:300] for e in browser.errors]}')
        else:
            print(f'PASS: {label}: no console errors')
        return len(checks) + 1 - failures, failures
    finally:
        browser.close()


def main():
    shots = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()).resolve()
    shots.mkdir(parents=True, exist_ok=True)
    site = Site(pathlib.Path(sys.argv[1]).resolve(), shots)
    passed = failed = 0
    for engine, scale, checks in RUNS:
        good, bad = run(engine, scale, checks, site)
        passed, failed = passed + good, failed + bad
    site.stop()
    print(f'{passed} passed, {failed} failed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
