// The page around the show (index.html): the start control, the download's
// progress, fullscreen, the music's <audio> element and the message line,
// and demoPage, the object through which the program (demo.js, whose
// browser backend is platform/web/) asks for what only the page has and
// tells it where the show stands. With ?at=MS in the address it is a test
// page: no start control and no sound; the program draws the frame at MS,
// then the title becomes "ready" ("failed" when the program stopped first).
// With ?at=MS&frames=N as well it draws N frames from MS at 60 frames/s of
// music time (&fps=F: at F), one per animation frame, recording each as a
// played page does (the benchmark's page, web/bench.js), then becomes "ready".
'use strict';

var demoPage = (function () {
    const $ = id => document.getElementById(id);
    const panel = $('panel'), play = $('play'), progress = $('progress'), status = $('status');
    const message = $('message'), audio = $('music');
    const lastMoment = 150001; // ms: one past the show's end, the last moment capture --at takes
    const mostFrames = 9000;   // frames of a test page: the whole show at 60 frames/s

    let messageTimer = 0;
    // One line on the page (the latest); while the show plays it goes after
    // ten seconds, so as not to stay over the picture.
    function showMessage(text) {
        message.textContent = text;
        message.hidden = false;
        clearTimeout(messageTimer);
        if (page.state === 'playing') messageTimer = setTimeout(() => { message.hidden = true; }, 10000);
    }

    // ?at=MS: a whole number of ms from 0 to lastMoment; -1 without it.
    function momentOf(search) {
        const text = new URLSearchParams(search).get('at');
        if (text === null) return -1;
        if (/^\d+$/.test(text) && Number(text) <= lastMoment) return Number(text);
        // Said once the page's state exists.
        setTimeout(() => showMessage(`Demo: ?at= takes a time in ms from 0 to ${lastMoment}, ` +
                                     `not "${text}"; the page plays the show.`));
        return -1;
    }

    // &NAME=N beside ?at=MS: a whole number from `least` to `most`; `otherwise` without it.
    function countOf(search, name, least, most, otherwise) {
        const text = new URLSearchParams(search).get(name);
        if (text === null) return otherwise;
        if (/^\d+$/.test(text) && Number(text) >= least && Number(text) <= most) return Number(text);
        setTimeout(() => showMessage(`Demo: &${name}= takes a whole number from ${least} to ${most}, ` +
                                     `not "${text}"; the page takes ${otherwise}.`));
        return otherwise;
    }

    // The reason a media error gives, in the words of the desktop show's
    // messages ("Demo: musa.mp3: REASON; the show plays silently.").
    function mediaProblem(error) {
        switch (error && error.code) {
        case MediaError.MEDIA_ERR_NETWORK: return 'could not be downloaded';
        case MediaError.MEDIA_ERR_DECODE: return 'is not an MP3 stream this browser can decode';
        case MediaError.MEDIA_ERR_SRC_NOT_SUPPORTED: return 'cannot be played (missing, or not audio this browser plays)';
        default: return 'cannot be played';
        }
    }

    // The music: the <audio> element streams the track from the server
    // beside the page. The program reads state() and positionMs() once a frame.
    const music = {
        problem: null,  // why there is no sound, once that is known
        ended: false,
        moved: false,   // the position has left the start: the sound is playing
        startSeconds: 0,
        load(url, fromMs) {
            this.startSeconds = fromMs / 1000;
            // A media fragment starts playback at a later point of the track.
            audio.src = fromMs > 0 ? `${url}#t=${this.startSeconds}` : url;
        },
        start() {
            if (!audio.src) return;
            audio.play().catch(e => {
                if (this.problem) return;
                this.problem = e.name === 'NotAllowedError'
                    ? 'the browser did not let the sound start (NotAllowedError)'
                    : `cannot be played (${e.name})`;
            });
        },
        stop() {
            audio.pause();
        },
        // 0: not playing yet, 1: playing (or stalled), 2: ended, 3: no sound (see problem).
        state() {
            if (this.problem) return 3;
            if (this.ended) return 2;
            if (!this.moved) this.moved = audio.currentTime > this.startSeconds;
            return this.moved ? 1 : 0;
        },
        positionMs() {
            return audio.currentTime * 1000;
        },
    };
    audio.addEventListener('error', () => { music.problem = music.problem || mediaProblem(audio.error); });
    audio.addEventListener('ended', () => { music.ended = true; });

    const page = {
        at: momentOf(location.search),
        frameCount: countOf(location.search, 'frames', 1, mostFrames, 1), // of a test page
        frameRate: countOf(location.search, 'fps', 1, 1000, 60),          // of a test page's frames
        state: 'loading', // loading, preparing, ready, playing, ended; "stopped" when the program gave up
        started: false,
        startedAt: 0,      // performance.now() of the start control
        lastClock: 0,      // ms, the clock's reading for the frame being drawn
        // One entry per frame drawn: [ms since the start control, clock ms,
        // audio position ms, ms the frame's steps took in the callback].
        frames: [],
        music,
        showMessage,

        ready() {
            if (page.at >= 0) { // a test page's frames start at once
                page.state = 'playing';
                page.started = true;
                page.startedAt = performance.now();
                return;
            }
            page.state = 'ready';
            status.textContent = '';
            progress.hidden = true;
            play.disabled = false;
            play.focus();
        },
        clockRead(ms) {
            page.lastClock = ms;
        },
        frameDrawn(busyMs) {
            page.frames.push([performance.now() - page.startedAt, page.lastClock,
                              audio.currentTime * 1000, busyMs]);
        },
        frameShown() {
            page.state = 'ready';
            document.title = 'ready';
        },
        ended() {
            if (page.at >= 0) {
                page.frameShown();
                return;
            }
            page.state = 'ended';
            document.body.classList.remove('playing');
            status.textContent = 'The end';
            play.textContent = 'Play again';
            panel.hidden = false;
            play.focus();
            const f = page.frames, ms = e => (e ? e[0].toFixed(0) : '-');
            const seconds = (performance.now() - page.startedAt) / 1000;
            console.log(`Demo: the show ended: ${f.length} frames in ${seconds.toFixed(1)} s; the first ` +
                        `${ms(f[0])} ms after the start control, the first moving one ${ms(f.find(e => e[1] > 0))} ms.`);
        },
    };

    play.addEventListener('click', () => {
        if (page.state === 'ended') {
            location.reload();
            return;
        }
        if (page.state !== 'ready') return;
        // Picture, sound and fullscreen together: browsers grant sound and
        // fullscreen only in answer to a gesture such as this click.
        page.state = 'playing';
        page.started = true;
        page.startedAt = performance.now();
        music.start();
        const root = document.documentElement;
        const fullscreen = root.requestFullscreen || root.webkitRequestFullscreen;
        if (fullscreen) Promise.resolve(fullscreen.call(root)).catch(() => {}); // else it plays in the window
        panel.hidden = true;
        document.body.classList.add('playing');
    });

    if (page.at >= 0) panel.hidden = true;

    window.Module = {
        canvas: $('canvas'),
        print: text => console.log(text),
        printErr: text => {
            console.error(text);
            showMessage(text);
        },
        // The loader reports "Downloading data... (LOADED/TOTAL)" for the
        // preloaded textures, then "Running..." as the program starts.
        setStatus: text => {
            const bytes = /\((\d+)\/(\d+)\)/.exec(text);
            if (bytes) {
                progress.max = Number(bytes[2]);
                progress.value = Number(bytes[1]);
                const mb = n => (n / 1048576).toFixed(1);
                status.textContent = `Loading ${mb(bytes[1])} of ${mb(bytes[2])} MB`;
            } else if (text.startsWith('Running')) {
                page.state = 'preparing';
                progress.value = progress.max;
                status.textContent = 'Preparing the pictures';
            }
        },
        // After main has returned or handed its frames to the browser: a page
        // still preparing then has a program that gave up (its reason is on
        // the message line).
        postRun: () => {
            if (page.state !== 'preparing') return;
            page.state = 'stopped';
            status.textContent = 'The show cannot play in this browser.';
            if (page.at >= 0) document.title = 'failed';
        },
        onAbort: what => {
            page.state = 'stopped';
            status.textContent = 'The show cannot play in this browser.';
            showMessage(`Demo: the program stopped (${what}).`);
            if (page.at >= 0) document.title = 'failed';
        },
    };
    return page;
})();
