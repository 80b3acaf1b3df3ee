// The browser's frame benchmark (make bench-web): the show's page
// (WEB_BUILD) served on 127.0.0.1 and drawn in headless Chromium, WebGL on
// SwiftShader, at 1024x768, frame by frame as the desktop's bench_frames
// draws: each scene from its start to its end at FPS frames per second of
// music time (default 10, bench_frames' own), one frame per animation frame
// (index.html?at=START&frames=N&fps=FPS). Each frame ends with a pixel read
// back, which waits until the browser has drawn it, so its time ("drawn") is
// the frame's wall time from the first step to the finished picture, as
// bench_frames times up to glFinish. Printed per scene: the median and 95th
// percentile of that, and the median interval between animation frames (the
// browser paces them at 60 a second at most: nothing shows below 16.7 ms).
// The first two frames of each scene are left out: they build the layer's
// programs. Run bench_frames in the same minute to compare.
//   node web/bench.js WEB_BUILD DESKTOP_BUILD [--fps FPS] [SCENE...]
'use strict';
const { Browser } = require('./test/browser');
const { desktopScenes, testPageDone, quantile } = require('./test/show');
const { serve } = require('./server');

const args = process.argv.slice(2);
const [webBuild, desktopBuild] = args;
let fps = 10;
const sceneTexts = [];
let usable = Boolean(webBuild && desktopBuild);
for (let i = 2; i < args.length; i++) {
    if (args[i] === '--fps' && /^\d+$/.test(args[i + 1] || '') && Number(args[i + 1]) >= 1 &&
        Number(args[i + 1]) <= 1000) {
        fps = Number(args[++i]);
    } else if (/^\d+$/.test(args[i])) {
        sceneTexts.push(args[i]);
    } else {
        usable = false;
    }
}
if (!usable) {
    console.error('usage: node web/bench.js WEB_BUILD DESKTOP_BUILD [--fps FPS (1 to 1000)] [SCENE...]');
    process.exit(2);
}
const warmUp = 2; // frames left out at the start of each scene

const scenes = desktopScenes(desktopBuild)
    .filter(s => sceneTexts.length === 0 || sceneTexts.includes(String(s.scene)));

(async () => {
    const { server, url } = await serve(webBuild, 0);
    const browser = await Browser.launch(1024, 768);
    let failed = false;
    try {
        console.log(`headless Chromium (SwiftShader), 1024x768, ${fps} frames/s of music time:`);
        console.log('| scene | frames | drawn median ms | drawn p95 ms | interval median ms |');
        console.log('|------:|-------:|----------------:|-------------:|-------------------:|');
        for (const { scene, start, end } of scenes) {
            // The grid frames from the scene's start up to its end.
            const n = Math.max(warmUp + 2, Math.ceil((end - start) * fps / 1000));
            await browser.navigate(`${url}index.html?at=${start}&frames=${n}&fps=${fps}`);
            const title = await testPageDone(browser, 120000 + n * 2000, 250);
            if (title !== 'ready') {
                console.log(`scene ${scene}: the page's program stopped`);
                failed = true;
                continue;
            }
            const f = (await browser.evaluate('demoPage.frames')).slice(warmUp);
            const intervals = f.slice(1).map((e, i) => e[0] - f[i][0]);
            const drawn = f.map(e => e[3]);
            const cell = (x, width) => x.toFixed(1).padStart(width);
            console.log(`| ${String(scene).padStart(5)} | ${String(f.length).padStart(6)} | ` +
                        `${cell(quantile(drawn, 0.5), 15)} | ${cell(quantile(drawn, 0.95), 12)} | ` +
                        `${cell(quantile(intervals, 0.5), 18)} |`);
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
