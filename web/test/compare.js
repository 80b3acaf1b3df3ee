// Likeness of two frames of the same size, as the page test reports it: the
// mean absolute difference of each channel (0 to 255) and the share of the
// channel values that lie within 16 levels of each other. Two renderers of
// the same GL calls (llvmpipe natively, SwiftShader under WebGL, each with
// its own rasterisation and interpolation) differ by a level or two almost
// everywhere and more along edges; a wrong texture, blend, fog or a
// misplaced primitive moves both figures by far more.
'use strict';

// `a`, `b`: { width, height, rgb }. `box` ({ x, y, width, height }) picks a
// region of `a` to compare with the whole of `b`; by default all of `a`.
function compareFrames(a, b, box = { x: 0, y: 0, width: a.width, height: a.height }) {
    if (box.width !== b.width || box.height !== b.height)
        throw new Error(`frames of ${box.width}x${box.height} and ${b.width}x${b.height} pixels`);
    const sum = [0, 0, 0];
    let within = 0;
    for (let y = 0; y < box.height; y++) {
        for (let x = 0; x < box.width; x++) {
            const i = ((box.y + y) * a.width + box.x + x) * 3, j = (y * b.width + x) * 3;
            for (let c = 0; c < 3; c++) {
                const d = Math.abs(a.rgb[i + c] - b.rgb[j + c]);
                sum[c] += d;
                if (d <= 16) within++;
            }
        }
    }
    const n = box.width * box.height;
    return { mad: sum.map(s => s / n), within16: within / (3 * n) };
}

// The largest channel value in a region of `frame`: 0 for pure black.
function brightest(frame, box) {
    let most = 0;
    for (let y = box.y; y < box.y + box.height; y++) {
        for (let x = box.x; x < box.x + box.width; x++) {
            const i = (y * frame.width + x) * 3;
            most = Math.max(most, frame.rgb[i], frame.rgb[i + 1], frame.rgb[i + 2]);
        }
    }
    return most;
}

module.exports = { compareFrames, brightest };
