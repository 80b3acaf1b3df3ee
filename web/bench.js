// The browser's frame benchmark (make bench-web): the show's page
// (WEB_BUILD) served on 127.0.0.1 and drawn in headless Chromium, WebGL on
// SwiftShader, at 1024x768 as the desktop's bench_frames draws. For each
// scene the page draws FRAMES frames (default 120) from the moment that
// pictures it at 60 frames/s of music time, one per animation frame
// (index.html?at=MS&frames=N), and this prints the median and 90th
// percentile interval between frames, which is the frame time the page
// keeps up (the browser paces animation frames at 60 per second at most, so
// nothing shows below 16.7 ms), and the median time the program's own steps
// took in the callback; the rest of a frame is the browser's GPU process
// drawing it. The first ten frames are left out: they compile the layer's
// shaders. Compare with `bench_frames` on the desktop run in the same minute.
//   node web/bench.js WEB_BUILD DESKTOP_BUILD [FRAMES] [SCENE...]
'use strict';
const { execFileSync } = require('child_process');
const path = require('path');
const { Browser } = require('./test/browser');
const { serve } = require('./server');

const [webBuild, desktopBuild, framesText, ...sceneTexts] = process.argv.slice(2);
const frameCount = Number(framesText || 120);
if (!webBuild || !desktopBuild || !(frameCount >= 20 && frameCount <= 9000) ||
    sceneTexts.some(t => !/^\d+$/.test(t))) {
    console.error('usage: node web/bench.js WEB_BUILD DESKTOP_BUILD [FRAMES (20 to 9000)] [SCENE...]');
    process.exit(2);
}
const warmUp = 10; // frames left out at the start of each run
const fps = 60;

// The scenes as `capture --scenes` lists them: number, start, end, moment (ms).
const scenes = execFileSync(path.join(desktopBuild, 'capture'), ['--scenes'], { encoding: 'utf8' })
    .trim().split('\n').map(line => {
        const [scene, start, end, at] = line.split(' ').map(Number);
        return { scene, start, end, at };
    })
    .filter(s => sceneTexts.length === 0 || sceneTexts.includes(String(s.scene)));

const quantile = (a, q) => [...a].sort((x, y) => x - y)[Math.floor(q * (a.length - 1))];

(async () => {
    const { server, url } = await serve(webBuild, 0);
    const browser = await Browser.launch(1024, 768);
    let failed = false;
    try {
        console.log(`headless Chromium (SwiftShader), 1024x768, ${frameCount} frames a scene at ${fps} frames/s:`);
        console.log('scene  frames  interval median  90 %  drawn median (ms)');
        for (const { scene, end, at } of scenes) {
            // Frames that stay within the scene.
            const n = Math.max(warmUp + 2, Math.min(frameCount, Math.floor((end - at) * fps / 1000)));
            await browser.navigate(`${url}index.html?at=${at}&frames=${n}`);
            const title = await browser.waitFor(`['ready', 'failed'].includes(document.title) && document.title`,
                                                120000 + n * 1000);
            if (title !== 'ready') {
                console.log(`scene ${scene}: the page's program stopped`);
                failed = true;
                continue;
            }
            const f = (await browser.evaluate('demoPage.frames')).slice(warmUp);
            const intervals = f.slice(1).map((e, i) => e[0] - f[i][0]);
            const busy = f.map(e => e[3]);
            console.log(`${String(scene).padStart(5)}  ${String(intervals.length + 1).padStart(6)}  ` +
                        `${quantile(intervals, 0.5).toFixed(1).padStart(15)}  ` +
                        `${quantile(intervals, 0.9).toFixed(1).padStart(4)}  ` +
                        `${quantile(busy, 0.5).toFixed(1).padStart(12)}`);
        }
        const errors = browser.console.filter(c => c.type === 'error').map(c => c.text);
        if (errors.length) {
            console.log(`console errors: ${errors.join(' | ')}`);
            failed = true;
        }
    } finally {
        await browser.close();
        server.close();
    }
    process.exit(failed ? 1 : 0);
})().catch(e => {
    console.error(`bench-web: ${e.stack || e}`);
    process.exit(1);
});
