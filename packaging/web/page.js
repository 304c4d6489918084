// SPDX-FileCopyrightText: 2026 The Tarvolin authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The buttons: each click runs the program's own rule, compiled to WebAssembly, against the
// page's boxes and result box, then tells a screen reader what came of it. Also keeps the
// page for offline use.
'use strict';

(() => {
    const result = document.getElementById('Text2_0');
    const announcer = document.getElementById('Announcement');
    const notice = document.getElementById('notice');
    const box = index => document.getElementById(`Check1_${index}`).control;
    const button = index => document.getElementById(`Command1_${index}`);

    // A new paragraph each time, so that the same answer twice is spoken twice.
    const announce = text => {
        const line = document.createElement('p');
        line.textContent = text;
        announcer.replaceChildren(line);
    };

    const fail = (text, error) => {
        if (error)
            console.error(error);
        notice.textContent = text;
        notice.hidden = false;
    };

    const loadRule = async () => {
        if (location.protocol === 'file:')
            throw new Error('Тарволин се отваря през уеб сървър, не като файл от диска. '
                            + 'Вижте README.txt в архива с програмата.');
        if (typeof WebAssembly !== 'object')
            throw new Error('Този браузър не може да изчисли отговора, защото не поддържа '
                            + 'WebAssembly. Отворете страницата в съвременен браузър.');
        let memory;
        const decoder = new TextDecoder();
        const page = {
            boxState: index => (box(index).checked ? 1 : 0),
            setBoxState: (index, state) => { box(index).checked = state === 1; },
            setResultText: (utf8, size) => {
                result.value = decoder.decode(new Uint8Array(memory.buffer, utf8, size));
            },
        };
        let bytes;
        try {
            const response = await fetch('logic.wasm');
            if (!response.ok)
                throw new Error(`logic.wasm: HTTP ${response.status}`);
            bytes = await response.arrayBuffer();
        } catch (error) {
            console.error(error);
            throw new Error('Тарволин не успя да се зареди. Проверете връзката с мрежата и '
                            + 'презаредете страницата.');
        }
        const { instance } = await WebAssembly.instantiate(bytes, { page });
        memory = instance.exports.memory;
        return instance.exports.onActionButtonClick;
    };

    const rule = loadRule();
    rule.catch(error => fail(error.message, error));
    for (const index of [0, 1]) {
        button(index).addEventListener('click', async () => {
            const onActionButtonClick = await rule;
            onActionButtonClick(index);
            announce(index === 0 ? result.value : 'Отметките и резултатът са изчистени.');
        });
    }

    // Registered once the page has loaded, so that the offline copy is made from what the
    // browser has just fetched, not downloaded a second time. A newer release that arrives
    // before the pupil has touched anything takes over at once; otherwise at the next visit.
    const untouched = () => !result.value && [...Array(9).keys()].every(index => !box(index).checked);
    const keepOffline = async () => {
        const hadRelease = navigator.serviceWorker.controller !== null;
        const registration = await navigator.serviceWorker.register('sw.js');
        if (hadRelease)
            await registration.update();
        const incoming = registration.installing ?? registration.waiting;
        if (!hadRelease || !incoming)
            return;
        while (incoming.state === 'installing')
            await new Promise(done => incoming.addEventListener('statechange', done, { once: true }));
        if (incoming.state === 'installed' && untouched()) {
            navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
            incoming.postMessage('take-over');
        }
    };
    if ('serviceWorker' in navigator && location.protocol !== 'file:') {
        addEventListener('load', () => keepOffline().catch(
            error => console.warn('Tarvolin works without its offline copy:', error)));
    }
})();
