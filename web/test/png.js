// Reads the PNG files the page test compares: Chromium's screenshots and the
// desktop capture's frames. 8 bits a channel, RGB or RGBA, not interlaced
// (what both write); anything else is refused with the reason.
'use strict';
const zlib = require('zlib');

const signature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);

// Paeth's predictor (the PNG standard, filter type 4).
function paeth(a, b, c) {
    const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// { width, height, rgb }: rgb holds 3 bytes a pixel, the top row first.
function decodePng(bytes) {
    if (!bytes.subarray(0, 8).equals(signature)) throw new Error('not a PNG file');
    let width = 0, height = 0, channels = 0;
    const data = [];
    for (let at = 8; at < bytes.length;) {
        const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
        const body = bytes.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const depth = body[8], colour = body[9], interlace = body[12];
            channels = { 2: 3, 6: 4 }[colour];
            if (depth !== 8 || !channels || interlace !== 0)
                throw new Error(`PNG of depth ${depth}, colour type ${colour}, interlace ${interlace}: not read here`);
        } else if (type === 'IDAT') {
            data.push(body);
        } else if (type === 'IEND') {
            break;
        }
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        const out = rows.subarray(y * stride, (y + 1) * stride);
        const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
        for (let x = 0; x < stride; x++) {
            const a = x >= channels ? out[x - channels] : 0, b = up[x], c = x >= channels ? up[x - channels] : 0;
            const predicted = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
            if (predicted === undefined) throw new Error(`PNG row filter ${filter} is not one of 0 to 4`);
            out[x] = (line[x] + predicted) & 255;
        }
    }
    const rgb = Buffer.alloc(width * height * 3);
    for (let i = 0, o = 0; i < rows.length; i += channels, o += 3) {
        rgb[o] = rows[i];
        rgb[o + 1] = rows[i + 1];
        rgb[o + 2] = rows[i + 2];
    }
    return { width, height, rgb };
}

module.exports = { decodePng };
