// What the page test and the browser's benchmark share about the show:
// its scenes as the desktop build lists them, the end of a test page, and
// quantiles of frame figures.
'use strict';
const { execFileSync } = require('child_process');
const path = require('path');

// The scenes as `capture --scenes` of the desktop build lists them:
// { scene, start, end, at }, the number, start and end (ms) and a moment
// that pictures it.
function desktopScenes(desktopBuild) {
    return execFileSync(path.join(desktopBuild, 'capture'), ['--scenes'], { encoding: 'utf8' })
        .trim().split('\n').map(line => {
            const [scene, start, end, at] = line.split(' ').map(Number);
            return { scene, start, end, at };
        });
}

// Waits until a test page (?at=MS) is done: its title "ready" once its
// frames are drawn, "failed" when its program stopped first. Returns the title.
function testPageDone(browser, timeoutMs, everyMs) {
    return browser.waitFor(`['ready', 'failed'].includes(document.title) && document.title`, timeoutMs, everyMs);
}

// The value at quantile q (0 to 1) of the numbers in a.
const quantile = (a, q) => [...a].sort((x, y) => x - y)[Math.floor(q * (a.length - 1))];

module.exports = { desktopScenes, testPageDone, quantile };
