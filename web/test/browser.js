// Headless Chromium driven over the DevTools protocol through a pipe
// (--remote-debugging-pipe: requests on fd 3, replies on fd 4, each message
// JSON ended by a NUL byte), so the test needs no WebSocket client and no
// package beyond Node itself. One page per browser; its console lines,
// uncaught exceptions and failed requests are collected for the checks.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';

// Flags for a closed network and a machine without a GPU: WebGL runs on
// SwiftShader only with --enable-unsafe-swiftshader (--use-gl=swiftshader
// leaves no WebGL at all); a fresh profile keeps earlier runs out. With
// `autoplay` the page may start the music without a gesture (and without a
// sound card: the sound is muted, its clock runs all the same); without it
// the browser's own policy holds.
function chromiumArgs(profile, width, height, autoplay) {
    return [
        '--headless=new', '--no-sandbox', '--enable-unsafe-swiftshader',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--no-first-run', '--disable-quic', '--no-default-browser-check',
        ...(autoplay ? ['--autoplay-policy=no-user-gesture-required'] : []),
        '--user-data-dir=' + profile, `--window-size=${width},${height}`,
        '--force-device-scale-factor=1', '--hide-scrollbars', '--mute-audio',
        '--remote-debugging-pipe', 'about:blank',
    ];
}

class Browser {
    // Starts Chromium and attaches to its first page, whose viewport is
    // `width` x `height` CSS pixels at one device pixel each.
    static async launch(width, height, { autoplay = true } = {}) {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'demo-chromium-'));
        const child = spawn(chromiumPath, chromiumArgs(profile, width, height, autoplay),
            { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
        const browser = new Browser(child, profile);
        const { targetInfos } = await browser.send('Target.getTargets');
        const page = targetInfos.find(t => t.type === 'page');
        const { sessionId } = await browser.send('Target.attachToTarget',
            { targetId: page.targetId, flatten: true });
        browser.session = sessionId;
        await browser.command('Runtime.enable');
        await browser.command('Page.enable');
        await browser.command('Network.enable');
        await browser.setViewport(width, height);
        return browser;
    }

    constructor(child, profile) {
        this.child = child;
        this.profile = profile;
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = [];
        this.console = [];    // { type, text } of every console call
        this.exceptions = []; // texts of uncaught exceptions
        this.failedRequests = []; // "reason URL" of each request that failed
        this.requests = new Map(); // URL of each request by its id
        this.stderr = '';
        child.stderr.on('data', d => { this.stderr += d; });
        let buffered = Buffer.alloc(0);
        child.stdio[4].on('data', chunk => {
            buffered = Buffer.concat([buffered, chunk]);
            for (let end; (end = buffered.indexOf(0)) >= 0;) {
                this.receive(JSON.parse(buffered.subarray(0, end).toString()));
                buffered = buffered.subarray(end + 1);
            }
        });
        this.exited = new Promise(resolve => child.on('exit', resolve));
        this.exited.then(() => {
            for (const { reject } of this.pending.values())
                reject(new Error('Chromium exited: ' + this.stderr.slice(-2000)));
        });
    }

    receive(message) {
        if (message.id !== undefined) {
            const call = this.pending.get(message.id);
            this.pending.delete(message.id);
            if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
            else call.resolve(message.result);
            return;
        }
        const p = message.params;
        if (message.method === 'Runtime.consoleAPICalled') {
            const text = p.args.map(a => a.value !== undefined ? String(a.value) : a.description || '').join(' ');
            this.console.push({ type: p.type, text });
        } else if (message.method === 'Runtime.exceptionThrown') {
            const d = p.exceptionDetails;
            this.exceptions.push((d.exception && d.exception.description) || d.text);
        } else if (message.method === 'Network.requestWillBeSent') {
            this.requests.set(p.requestId, p.request.url);
        } else if (message.method === 'Network.loadingFailed') {
            const why = p.blockedReason ? `blocked (${p.blockedReason})` : p.errorText;
            this.failedRequests.push(`${why} ${this.requests.get(p.requestId)}`);
        } else if (message.method === 'Network.responseReceived' && p.response.status >= 400) {
            this.failedRequests.push(`${p.response.status} ${p.response.url}`);
        }
        for (const listener of this.listeners) listener(message);
    }

    // A browser-level request.
    send(method, params = {}, sessionId) {
        const id = this.nextId++;
        const message = { id, method, params };
        if (sessionId) message.sessionId = sessionId;
        this.child.stdio[3].write(JSON.stringify(message) + '\0');
        return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method }));
    }

    // A request to the page.
    command(method, params = {}) {
        return this.send(method, params, this.session);
    }

    // The value of a JavaScript expression in the page (awaited when it is a promise).
    async evaluate(expression) {
        const { result, exceptionDetails } = await this.command('Runtime.evaluate',
            { expression, returnByValue: true, awaitPromise: true });
        if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
        return result.value;
    }

    // Opens `url` and waits until its load event (its scripts have run).
    async navigate(url) {
        this.console = [];
        this.exceptions = [];
        this.failedRequests = [];
        const loaded = new Promise(resolve => {
            const listener = message => {
                if (message.method !== 'Page.loadEventFired') return;
                this.listeners = this.listeners.filter(l => l !== listener);
                resolve();
            };
            this.listeners.push(listener);
        });
        await this.command('Page.navigate', { url });
        await loaded;
    }

    // Polls `expression` every `everyMs` until it is truthy; fails after `timeoutMs`.
    async waitFor(expression, timeoutMs, everyMs = 100) {
        const end = Date.now() + timeoutMs;
        for (;;) {
            const value = await this.evaluate(expression);
            if (value) return value;
            if (Date.now() > end) throw new Error(`timed out after ${timeoutMs} ms waiting for ${expression}`);
            await new Promise(resolve => setTimeout(resolve, everyMs));
        }
    }

    // The page's viewport in CSS pixels, one device pixel each; a change
    // reaches the page as a resize of its window.
    setViewport(width, height) {
        return this.command('Emulation.setDeviceMetricsOverride',
            { width, height, deviceScaleFactor: 1, mobile: false });
    }

    // A click at the centre of the element `selector` names, delivered as
    // the mouse's: a user gesture, as the browser counts them (unlike a
    // click() called from a script).
    async click(selector) {
        const [x, y] = await this.evaluate(`(() => {
            const r = document.querySelector(${JSON.stringify(selector)}).getBoundingClientRect();
            return [r.x + r.width / 2, r.y + r.height / 2];
        })()`);
        for (const type of ['mousePressed', 'mouseReleased'])
            await this.command('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
    }

    // A key pressed and released, as the keyboard's: `key` and `code` as the
    // DOM names them, `keyCode` its Windows virtual key code.
    async pressKey(key, code, keyCode) {
        for (const type of ['keyDown', 'keyUp'])
            await this.command('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: keyCode });
    }

    // A PNG of the viewport as the compositor shows it.
    async screenshot() {
        const { data } = await this.command('Page.captureScreenshot', { format: 'png' });
        return Buffer.from(data, 'base64');
    }

    async close() {
        this.send('Browser.close').catch(() => {});
        const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
        await this.exited;
        clearTimeout(timer);
        fs.rmSync(this.profile, { recursive: true, force: true });
    }
}

module.exports = { Browser };
