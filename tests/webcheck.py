#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives Tarvolin's web page in real browsers from outside, as a pupil would: serves the
site on 127.0.0.1, finds the controls by the names a screen reader gives them, clicks, taps
and types at them, and reads back what the page shows and what a screen reader would read.
One table of checks; each browser engine is a small adapter: Chromium speaks the DevTools
protocol, Firefox WebDriver BiDi, and WebKit W3C WebDriver.

usage: webcheck.py SITE_DIR AXE_JS [SCREENSHOT_DIR]"""

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
import xml.etree.ElementTree as ElementTree

import websocket

CAPTION = 'www.mersodal.example Мерсодал'
CLIENT = (517, 355)
NUMERALS = 'I II III IV V VI VII VIII IX'.split()
# What a screen reader calls each box, as on Linux.
BOX_NAMES = {numeral: f'Дегустатор {numeral}' for numeral in NUMERALS}
CLEARED = 'Отметките и резултатът са изчистени.'
AXE = ''  # axe-core's script, read by main()
POLICY = {'default-src': "'self'", 'script-src': "'self' 'wasm-unsafe-eval'", 'style-src': "'self'",
          'object-src': "'none'", 'base-uri': "'none'"}
SOURCE = pathlib.Path(__file__).resolve().parent.parent
FORM = SOURCE / 'app' / 'mainform.ui'
# The last release that drew the window on a canvas with Qt for WebAssembly; its offline
# copy is what a pupil's device may still hold.
CANVAS_RELEASE = '1151217'


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

    def resize(self, width, height, scale=None, mobile=False):
        self.call('Emulation.setDeviceMetricsOverride', width=width, height=height,
                  deviceScaleFactor=scale or self.scale, mobile=mobile)
        self.call('Emulation.setTouchEmulationEnabled', enabled=mobile)

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

    def tap(self, x, y):
        self.call('Input.dispatchTouchEvent', type='touchStart', touchPoints=[{'x': x, 'y': y}])
        self.call('Input.dispatchTouchEvent', type='touchEnd', touchPoints=[])

    def press(self, key, shift=False):
        code, keycode, text = {'Tab': ('Tab', 9, ''), ' ': ('Space', 32, ' '), '5': ('Digit5', 53, '5')}[key]
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

    keys = {'Tab': '\ue004', ' ': '\ue00d', '5': '5'}

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

    handler = None  # Handler below, unless a subclass serves otherwise

    def __init__(self, directory, shots):
        self.directory = self.release = directory
        self.shots = shots
        self.port = 0
        self.server = None
        self.start()
        self.url = f'http://127.0.0.1:{self.port}/'

    def start(self, directory=None):
        self.directory = directory or self.release
        handler = lambda *args: (self.handler or Handler)(*args, directory=self.directory)  # noqa: E731
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', self.port), handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    def offline_files(self, scale):
        """What the release's service worker keeps on a device of this scale, as it lists them,
        and the other size of the picture, which it keeps once the device has shown it."""
        worker = (self.release / 'sw.js').read_text()
        def listed(name):
            names = worker.split(f'const {name} = [', 1)[1].split(']', 1)[0].split(',')
            return [name.strip().strip("'") for name in names]
        pictures = listed('pictures')
        return sorted(listed('files') + [pictures.pop(scale - 1)]), pictures


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript',
                      '.webmanifest': 'application/manifest+json'}

    sent = []  # the files sent whole, in order

    def log_request(self, code='-', size='-'):
        if code == 200:
            self.sent.append(self.path.rsplit('/', 1)[-1] or 'index.html')

    def log_message(self, *args):
        pass


# Read from the page: the boxes by their accessible names, the result box, and every line
# the announcer has been given since the page was opened.
READ_WINDOW = '''(() => {
    const boxes = {};
    for (const box of document.querySelectorAll('input[type=checkbox]'))
        boxes[box.getAttribute('aria-label')] = box.checked;
    return { boxes, result: document.getElementById('Text2_0').value,
             announced: window.tarvolinAnnounced, notice: document.getElementById('notice').hidden
                 ? '' : document.getElementById('notice').textContent };
})()'''
LISTEN = '''(() => {
    window.tarvolinAnnounced = [];
    new MutationObserver(changes => { for (const change of changes) for (const node of change.addedNodes)
        window.tarvolinAnnounced.push(node.textContent); })
        .observe(document.getElementById('Announcement'), { childList: true });
    return true;
})()'''
# The middle of the control a screen reader calls NAME: a box by its label, a button by its text.
FIND = '''(name => {
    const control = [...document.querySelectorAll('input, button, output, section, img')].find(e =>
        (e.getAttribute('aria-label') ?? e.textContent.trim()) === name);
    if (!control) return null;
    control.scrollIntoView({ block: 'nearest', inline: 'nearest' });
    const r = control.getBoundingClientRect();
    return [r.x + r.width / 2, r.y + r.height / 2];
})'''
STORES = '''caches.keys().then(names => Promise.all(names.map(name => caches.open(name)
    .then(store => store.keys()).then(keys => [name, keys.map(k => k.url.split('/').pop() || 'index.html').sort()]))))'''
LOADED = "document.readyState === 'complete' && !!document.getElementById('MainForm')"


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


def open_page(browser, url):
    browser.open(url)
    wait_for(browser, LOADED, 'the page')
    browser.evaluate(LISTEN)
    notice = window_state(browser)['notice']
    expect(not notice, f'the page says {notice!r}')


def settle(browser):
    browser.evaluate('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))')


def point_at(browser, name):
    point = browser.evaluate(f'{FIND}({json.dumps(name)})')
    expect(point, f'no control is called {name!r}')
    return point


def press_control(browser, name, touch=False):
    x, y = point_at(browser, name)
    if touch:
        browser.tap(x, y)
    else:
        browser.click(x, y)
    settle(browser)


def window_state(browser):
    return browser.evaluate(READ_WINDOW)


def compute_with(browser, numerals, touch=False):
    press_control(browser, 'Изчисти', touch)
    for numeral in numerals:
        press_control(browser, BOX_NAMES[numeral], touch)
    press_control(browser, 'Изчисли', touch)
    return window_state(browser)


def expect_274(browser, what, touch=False):
    result = compute_with(browser, ['II', 'V', 'IX'], touch)['result']
    expect(result == '274', f'{what}: II, V and IX gave {result!r}')


def form_widgets():
    """Each widget of the form with its place in the window, its text and accessible name."""
    widgets = {}

    def walk(widget, left, top):
        for child in widget.findall('widget'):
            rect = child.find("property[@name='geometry']/rect")
            x, y, width, height = (int(rect.find(a).text) for a in ('x', 'y', 'width', 'height'))
            texts = {name: child.findtext(f"property[@name='{name}']/string")
                     for name in ('text', 'title', 'accessibleName')}
            widgets[child.get('name')] = {'rect': [left + x, top + y, width, height], **texts}
            walk(child, left + x, top + y)
    walk(ElementTree.parse(FORM).getroot().find('widget'), 0, 0)
    return widgets


# The checks; each takes the browser and the site.
def check_page(browser, site):
    expect(browser.evaluate('document.documentElement.lang') == 'bg', 'the page is not in Bulgarian')
    title = browser.evaluate('document.title')
    expect(title == CAPTION, f'the tab title is {title!r}')
    heading = browser.evaluate("[...document.querySelectorAll('h1')].map(h => h.textContent.trim())")
    expect(heading == [CAPTION], f'the page\'s heading is {heading}')


def check_page_matches_form(browser, site):
    """Every control of the form at its place, with its text and name, as the window has it."""
    shown = browser.evaluate('''(() => {
        const client = document.getElementById('MainForm').getBoundingClientRect();
        const shown = {};
        for (const e of document.querySelectorAll('#MainForm [id]')) {
            const r = e.getBoundingClientRect();
            shown[e.id] = { rect: [r.x - client.x, r.y - client.y, r.width, r.height].map(Math.round),
                text: (e.matches('fieldset') ? e.querySelector('legend') : e).textContent.trim(),
                name: e.getAttribute('aria-label') ?? e.querySelector('[aria-label]')?.getAttribute('aria-label')
                    ?? e.getAttribute('alt') };
        }
        return shown;
    })()''')
    wrong = []
    for name, widget in form_widgets().items():
        page = shown.get(name)
        if page is None:
            wrong.append(f'{name} is missing')
            continue
        if widget['rect'][2] and page['rect'] != widget['rect']:
            wrong.append(f'{name} is at {page["rect"]}, the form has {widget["rect"]}')
        text = widget['text'] or widget['title']
        if text and page['text'] != text:
            wrong.append(f'{name} reads {page["text"]!r}, the form has {text!r}')
        if widget['accessibleName'] and page['name'] != widget['accessibleName']:
            wrong.append(f'{name} is called {page["name"]!r}, the form has {widget["accessibleName"]!r}')
    statement = (SOURCE / 'resources' / 'statement.txt').read_text(encoding='utf-8').splitlines()
    paragraphs = browser.evaluate("[...document.querySelectorAll('#Text1_0 p')].map(p => p.textContent)")
    if paragraphs != statement:
        wrong.append(f'the statement box holds {len(paragraphs)} paragraphs, not the statement\'s {len(statement)}')
    expect(not wrong, '; '.join(wrong))


def check_own_origin_only(browser, site):
    # Refusals of the policy fail the console check; this one checks the policy itself.
    text = browser.evaluate('''document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.content''')
    policy = dict((part.strip().split(' ', 1) + [''])[:2] for part in (text or '').split(';'))
    wrong = {name: policy.get(name) for name, value in POLICY.items() if policy.get(name) != value}
    expect(not wrong, f'the page\'s security policy has {wrong}')
    origins = browser.evaluate("[...new Set(performance.getEntriesByType('resource')"
                               ".map(e => new URL(e.name).origin))]")
    expect(origins == [site.url.rstrip('/')], f'the page loaded from {origins}')
    kept = browser.evaluate('''(async () => [document.cookie, localStorage.length + sessionStorage.length,
        (await indexedDB.databases()).length])()''')
    expect(kept == ['', 0, 0], f'the page keeps cookies, storage or databases: {kept}')


def check_window_place(browser, site):
    x, y, width, height = browser.evaluate(
        "(r => [r.x, r.y, r.width, r.height])(document.getElementById('MainForm').getBoundingClientRect())")
    expect((width, height) == CLIENT, f'the client area is {width} × {height}')
    page_width, page_height = browser.evaluate('[innerWidth, innerHeight]')
    expect(abs(x + width / 2 - page_width / 2) <= 1 and abs(y + height / 2 - page_height / 2) <= 1,
           f'the client area at {x}, {y} is not centred in {page_width} × {page_height}')


def check_answers(browser, site):
    before = len(window_state(browser)['announced'])
    spoken = []
    for numerals, shown in ((['II', 'V', 'IX'], '274'), (['II', 'V', 'IX'], '274'), ([], 'Грешни данни!'),
                            (['II', 'IV', 'V', 'VI', 'IX'], '314'),
                            (['I', 'II', 'IV', 'V', 'VI', 'IX'], 'Грешни данни!')):
        state = compute_with(browser, numerals)
        expect(state['result'] == shown, f'{"+".join(numerals) or "nothing"} gave {state["result"]!r}, not {shown!r}')
        ticked = sorted(name for name, checked in state['boxes'].items() if checked)
        expect(ticked == sorted(BOX_NAMES[n] for n in numerals), f'after compute the ticked boxes are {ticked}')
        spoken += [CLEARED, shown]
    announced = window_state(browser)['announced'][before:]
    expect(announced == spoken, f'the announcements were {announced}, not {spoken}')
    compute_with(browser, ['II', 'V', 'IX'])
    browser.screenshot(site.shots / f'{browser.name}-{browser.scale}x-274.png')
    press_control(browser, 'Съмнения за номер')
    browser.press('5')
    settle(browser)
    typed = window_state(browser)['result']
    expect(typed == '274', f'typing made the result box {typed!r}')
    press_control(browser, 'Изчисти')
    state = window_state(browser)
    expect(state['result'] == '' and not any(state['boxes'].values()), f'clear left {state}')


def check_keyboard(browser, site):
    # From a fresh page by keyboard alone: the first Tab reaches the statement, the next I;
    # on to II and V, ticking them; six more reach IX, past VIII and both buttons; back two
    # to «Изчисли» and press it. Then on from there: Изчисти, IX, the result, the picture.
    # A click on the caption puts the start of the Tab order there, in every engine.
    open_page(browser, site.url)
    browser.click(*browser.evaluate("(r => [r.x + 40, r.y + r.height / 2])"
                                    "(document.querySelector('h1').getBoundingClientRect())"))
    keys = ['Tab', 'Tab', 'Tab', ' ', 'Tab', 'Tab', 'Tab', ' '] + ['Tab'] * 6 + [' ', '-Tab', '-Tab', ' ']
    for key in keys:
        browser.press(key.lstrip('-'), shift=key.startswith('-'))
    settle(browser)
    result = window_state(browser)['result']
    expect(result == '274', f'the keyboard gave {result!r}, not 274')
    order = []
    for _ in range(4):
        browser.press('Tab')
        order.append(browser.evaluate("document.activeElement.closest('[id]')?.id"))
    expect(order == ['Command1_1', 'Check1_8', 'Text2_0', 'Picture1'], f'after «Изчисли» Tab goes to {order}')


def check_touch(browser, site):
    browser.resize(360, 640, scale=3, mobile=True)
    try:
        open_page(browser, site.url)
        expect_274(browser, 'taps', touch=True)
    finally:
        browser.resize(1280, 881)
    open_page(browser, site.url)


def check_reflow(browser, site):
    # A 360-pixel phone, and a 1280 × 881 and a 1024 × 768 window at 200 % zoom: nothing
    # scrolls sideways, every control fits the width, and every one is large enough to tap.
    for width, height, scale, mobile in ((360, 640, 3, True), (640, 440, 2, False), (512, 384, 2, False)):
        browser.resize(width, height, scale=scale, mobile=mobile)
        try:
            settle(browser)
            layout = browser.evaluate('''(() => ({ page: document.documentElement.scrollWidth, width: innerWidth,
                controls: [...document.querySelectorAll('#MainForm input, #MainForm button')].map(e => {
                    const r = e.getBoundingClientRect();
                    return [e.getAttribute('aria-label') ?? e.textContent, r.left + scrollX, r.right + scrollX,
                            r.width, r.height]; }) }))()''')
            size = f'{width} × {height} at scale {scale}'
            expect(layout['page'] <= layout['width'], f'{size}: the page is {layout["page"]} wide')
            for name, left, right, w, h in layout['controls']:
                expect(left >= 0 and right <= layout['width'], f'{size}: {name} spans {left} to {right}')
                expect(w >= 24 and h >= 24, f'{size}: {name} is {w} × {h}, too small to tap')
            browser.screenshot(site.shots / f'{browser.name}-{width}x{height}-scale{scale}.png')
        finally:
            browser.resize(1280, 881)


def check_screen_reader(browser, site):
    # A fresh page, nothing pressed yet: what a screen reader finds at once.
    open_page(browser, site.url)
    nodes = browser.accessibility_tree()
    boxes = {n['name']: n['checked'] for n in nodes if n['role'] == 'checkbox'}
    expect(boxes == {name: 'false' for name in BOX_NAMES.values()}, f'the screen reader reads the boxes as {boxes}')
    buttons = sorted(n['name'] for n in nodes if n['role'] == 'button')
    expect(buttons == ['Изчисли', 'Изчисти'], f'the buttons read as {buttons}')
    statement = [n for n in nodes if n['name'] == 'Условие на задачата']
    expect(statement, 'the statement cannot be found by its name')
    compute_with(browser, ['II', 'V', 'IX'])
    nodes = browser.accessibility_tree()
    status = [n for n in nodes if n['role'] == 'status']
    result = [n for n in status if n['name'] == 'Съмнения за номер']
    expect(result, f'the result is not a status called «Съмнения за номер»: {status}')
    announcer = [n for n in status if n['live'] == 'polite' and n['name'] != 'Съмнения за номер']
    expect(announcer, f'no live region announces the outcome: {status}')
    texts = [n['name'] for n in nodes if n['role'] in ('StaticText', 'staticText')]
    expect(texts.count('274') == 2, f'the result and the announcement do not both read 274: {texts}')


def check_axe(browser, site):
    browser.evaluate(f'(() => {{ {AXE}; return true; }})()')
    violations = browser.evaluate("axe.run(document, { resultTypes: ['violations'] })"
                                  ".then(r => r.violations.map(v => `${v.id}: ${v.nodes.length}`))")
    expect(not violations, f'axe-core finds {violations}')


def check_installable(browser, site):
    errors = browser.installability_errors()
    expect(not errors, f'Chromium cannot install the page: {errors}')


def check_offline(browser, site):
    wait_for(browser, 'navigator.serviceWorker.controller !== null', 'the service worker to take the page')
    wait_for(browser, f'{STORES}.then(s => s.length === 1 && s[0][1].length > 0)', 'the offline copy')
    stores = browser.evaluate(STORES)
    kept, other_picture = site.offline_files(browser.scale)
    expect(len(stores) == 1 and [name for name in stores[0][1] if name not in other_picture] == kept,
           f'the offline store holds {stores}, not the release\'s {kept}')
    site.stop()
    try:
        open_page(browser, site.url)
        expect_274(browser, 'offline')
    finally:
        site.start()


def check_first_visit(browser, site):
    # A school link carries each file once: the offline copy is made from what the page has
    # just fetched, and holds the one picture this device shows.
    Handler.sent.clear()
    open_page(browser, site.url)
    check_offline(browser, site)
    twice = sorted({name for name in Handler.sent if Handler.sent.count(name) > 1})
    expect(not twice, f'a first visit fetched {twice} twice: {Handler.sent}')
    stores = browser.evaluate(STORES)
    expect(stores[0][1] == site.offline_files(browser.scale)[0], f'the offline store holds {stores}')


def next_release(site, folder, old_store):
    """The site again under another store name, with a page that shows it has arrived."""
    release = pathlib.Path(folder, 'next')
    shutil.copytree(site.release, release)
    worker = release / 'sw.js'
    new_store = old_store.replace('tarvolin-', 'tarvolin-next-', 1)
    worker.write_text(worker.read_text().replace(old_store, new_store))
    page = release / 'index.html'
    page.write_text(page.read_text().replace('<body>', '<body data-next-release>', 1))
    return release, new_store


def check_update(browser, site):
    with tempfile.TemporaryDirectory() as folder:
        release, new_store = next_release(site, folder, browser.evaluate('caches.keys()')[0])
        site.stop()
        site.start(release)
        try:
            browser.open(site.url)
            wait_for(browser, f"document.body.hasAttribute('data-next-release') && {LOADED}", 'the next release')
            open_page(browser, site.url)
            expect_274(browser, 'the next release')
            stores = browser.evaluate('caches.keys()')
            expect(stores == [new_store], f'after the update the stores are {stores}, not {[new_store]}')
        finally:
            site.stop()
            site.start()


def canvas_release(folder, site):
    """The canvas release's own page, script and service worker, from the project's history,
    as its build configured them; the program files it listed stand in as empty files."""
    def old(path):
        return subprocess.run(['git', '-C', str(SOURCE), 'show', f'{CANVAS_RELEASE}:{path}'],
                              check=True, capture_output=True, text=True).stdout
    release = pathlib.Path(folder, 'canvas')
    release.mkdir()
    files = ['index.html', 'page.js', 'page.css', 'manifest.webmanifest', 'tarvolin.png', 'icon-192.png',
             'icon-512.png', 'icon-maskable-512.png', 'qtloader.js', 'tarvolin.js', 'tarvolin.wasm']
    for name in files[3:]:
        source = site.release / name
        (release / name).write_bytes(source.read_bytes() if source.exists() else b'')
    policy = ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' data:; "
              "object-src 'none'; base-uri 'none'")
    (release / 'index.html').write_text(old('packaging/web/index.html.in').replace('@TARVOLIN_WEB_CSP@', policy)
                                        .replace('@TARVOLIN_CAPTION@', CAPTION))
    (release / 'page.js').write_text(old('packaging/web/page.js'))
    (release / 'page.css').write_text(old('packaging/web/page.css'))
    (release / 'sw.js').write_text(old('packaging/web/sw.js.in').replace('@TARVOLIN_VERSION@', '1.00')
                                   .replace('@digest@', 'canvas')
                                   .replace('@files@', ', '.join(f"'{f}'" for f in files)))
    # Put up a day before the new release, as the server's file times would have it.
    for file in release.iterdir():
        os.utime(file, (time.time() - 86400,) * 2)
    return release


def check_update_from_canvas(browser, site):
    # A device that kept the canvas release offline: online again, the next visit brings
    # the new page, and the old store is gone.
    with tempfile.TemporaryDirectory() as folder:
        site.stop()
        site.start(canvas_release(folder, site))
        try:
            browser.open(site.url)
            wait_for(browser, 'navigator.serviceWorker.controller !== null', 'the canvas release to go offline')
            wait_for(browser, "caches.keys().then(k => k.includes('tarvolin-1.00-canvas'))", 'its store')
            site.stop()
            site.start()
            browser.open(site.url)
            wait_for(browser, LOADED, 'the new page in place of the canvas release')
            # What the canvas page said before it handed over (it had no program) is its own;
            # it runs in a browser of its own, so nothing else's is lost.
            browser.errors.clear()
            open_page(browser, site.url)
            expect_274(browser, 'after the canvas release')
            stores = browser.evaluate('caches.keys()')
            expect(len(stores) == 1 and 'canvas' not in stores[0], f'after the update the stores are {stores}')
        finally:
            site.stop()
            site.start()


# The keyboard check and the screen reader's first look open a fresh page themselves.
CHECKS = [check_page, check_page_matches_form, check_window_place, check_answers, check_keyboard,
          check_own_origin_only, check_screen_reader, check_touch, check_reflow, check_axe]
SHOWN_ALIKE = [check_page, check_window_place, check_answers]
FRESH = [check_update_from_canvas, check_first_visit]  # these open the page themselves
# Firefox's WebDriver BiDi moves the focus by Tab, but its space key ticks no box.
RUNS = [(Chromium, 1, CHECKS + [check_installable, check_offline, check_update]), (Chromium, 2, CHECKS),
        (Chromium, 1, [check_update_from_canvas]), (Chromium, 2, [check_first_visit]), (Firefox, 1, SHOWN_ALIKE),
        (WebKit, 1, SHOWN_ALIKE + [check_keyboard])]


def started(engine, scale, site, label, checks):
    """A browser showing the page, except for the check that must find the browser new. WebKit's first start in a new root once showed nothing
    for a minute, and the next start was quick; so a second browser gets one more try, and
    a picture of what the first showed is kept."""
    for attempt in (1, 2):
        browser = engine(scale)
        browser.scale = scale
        try:
            if checks[0] not in FRESH:
                open_page(browser, site.url)
            return browser
        except Failure as failure:
            message = f'the page did not open: {failure}; the console shows {browser.errors}'
            with contextlib.suppress(Failure, OSError):
                browser.screenshot(site.shots / f'{browser.name}-{scale}x-not-open-{attempt}.png')
            browser.close()
            expect(attempt == 1, message)
            print(f'RETRY: {label}: {message}; a new browser tries once more')


def run(engine, scale, checks, site):
    label = f'{engine.name} × {scale}'
    try:
        browser = started(engine, scale, site, label, checks)
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
    global AXE
    AXE = pathlib.Path(sys.argv[2]).read_text(encoding='utf-8')
    shots = pathlib.Path(sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp()).resolve()
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
