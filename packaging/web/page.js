// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts the program in the page: downloads its WebAssembly with a progress bar, then hands
// it to Qt's loader with the page's screen, and says in Bulgarian what went wrong, if anything.
'use strict';

(() => {
    const program = document.body.dataset.program;
    const status = document.getElementById('status');
    const message = document.getElementById('message');
    const progress = document.getElementById('progress');

    const fail = (text, error) => {
        if (error)
            console.error(error);
        message.textContent = text;
        progress.hidden = true;
        status.classList.add('failed');
        status.hidden = false;
    };

    // A compressed response's length is not the length of what it unpacks to; then the bar
    // only shows that something is coming.
    const download = async url => {
        const response = await fetch(url);
        if (!response.ok)
            throw new Error(`${url}: HTTP ${response.status}`);
        const length = response.headers.get('Content-Encoding') ? 0
                                                                 : Number(response.headers.get('Content-Length'));
        if (!length || !response.body)
            return response.arrayBuffer();
        const bytes = new Uint8Array(length);
        const reader = response.body.getReader();
        for (let received = 0;;) {
            const { done, value } = await reader.read();
            if (done)
                return bytes.buffer;
            bytes.set(value, received);
            received += value.length;
            progress.value = received / length;
        }
    };

    // The service worker keeps the release for offline use. A newer release on the server is
    // fetched whole and put in place before the program starts, never under a running one;
    // then the page reloads itself once. Offline, or where the browser has no service
    // workers, the program simply starts.
    const takeNewerRelease = async () => {
        if (!('serviceWorker' in navigator))
            return false;
        try {
            const registration = await navigator.serviceWorker.register('sw.js');
            if (!navigator.serviceWorker.controller)
                return false;
            await Promise.race([registration.update(), new Promise(done => setTimeout(done, 5000))]);
            const incoming = registration.installing ?? registration.waiting;
            if (!incoming)
                return false;
            message.textContent = 'Зарежда се новото издание на Тарволин…';
            progress.removeAttribute('value');
            while (incoming.state === 'installing')
                await new Promise(done => incoming.addEventListener('statechange', done, { once: true }));
            if (incoming.state !== 'installed')
                return false;
            navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
            incoming.postMessage('take-over');
            return true;
        } catch (error) {
            console.warn('Tarvolin works without its offline copy:', error);
            return false;
        }
    };

    const start = async () => {
        // Hidden until now, so that a page without JavaScript shows only why it cannot run.
        message.hidden = progress.hidden = false;
        if (typeof WebAssembly !== 'object') {
            fail('Този браузър не може да изпълнява Тарволин, защото не поддържа WebAssembly. '
                 + 'Отворете страницата в съвременен браузър.');
            return;
        }
        if (location.protocol === 'file:') {
            fail('Тарволин се отваря през уеб сървър, не като файл от диска. '
                 + 'Вижте README.txt в архива с програмата.');
            return;
        }
        if (await takeNewerRelease())
            return;
        try {
            const bytes = await download(`${program}.wasm`);
            await qtLoad({
                arguments: (document.body.dataset.arguments ?? '').split(' ').filter(Boolean),
                qt: {
                    entryFunction: window[`${program}_entry`],
                    containerElements: [document.getElementById('screen')],
                    module: WebAssembly.compile(bytes),
                    onLoaded: () => { status.hidden = true; },
                    onExit: exit => fail('Тарволин спря неочаквано. Презаредете страницата.', exit.text),
                },
            });
        } catch (error) {
            fail('Тарволин не успя да се зареди. Проверете връзката с мрежата и презаредете страницата.',
                 error);
        }
    };

    start();
})();
