// A static file server for the page (build-web/), on 127.0.0.1 only: the
// types a browser insists on (application/wasm for streaming compilation),
// byte ranges (the <audio> element asks for them to stream and seek) and no
// caching, so that a rebuilt page is always fetched afresh. Used by
// `make serve-web` and by the page test.
//   node web/server.js FOLDER [PORT]   (PORT 0 or none: 8080)
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.mp3': 'audio/mpeg',
};

// The file under `root` that `url` names, or null for anything outside it.
function fileOf(root, url) {
    let name = decodeURIComponent(new URL(url, 'http://host').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    return file.startsWith(root + path.sep) ? file : null;
}

function handle(root, request, response) {
    const file = fileOf(root, request.url);
    let stat = null;
    try {
        stat = file && fs.statSync(file);
    } catch (e) {
        stat = null;
    }
    if (!stat || !stat.isFile()) {
        response.writeHead(404, { 'Content-Type': 'text/plain' });
        response.end('not found\n');
        return;
    }
    const headers = {
        'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Accept-Ranges': 'bytes',
        'Cache-Control': 'no-cache',
    };
    let start = 0, end = stat.size - 1;
    const range = /^bytes=(\d*)-(\d*)$/.exec(request.headers.range || '');
    if (range && (range[1] || range[2])) {
        if (range[1]) {
            start = Number(range[1]);
            if (range[2]) end = Math.min(end, Number(range[2]));
        } else {
            start = Math.max(0, stat.size - Number(range[2])); // the last N bytes
        }
        if (start > end) {
            response.writeHead(416, { 'Content-Range': `bytes */${stat.size}` });
            response.end();
            return;
        }
        headers['Content-Range'] = `bytes ${start}-${end}/${stat.size}`;
    }
    headers['Content-Length'] = end - start + 1;
    response.writeHead(headers['Content-Range'] ? 206 : 200, headers);
    if (request.method === 'HEAD') {
        response.end();
        return;
    }
    fs.createReadStream(file, { start, end }).pipe(response);
}

// Serves `folder` on 127.0.0.1:`port` (0: a free port); resolves to the
// server and the page's address.
function serve(folder, port) {
    const root = path.resolve(folder);
    const server = http.createServer((request, response) => handle(root, request, response));
    return new Promise((resolve, reject) => {
        server.on('error', reject);
        server.listen(port, '127.0.0.1', () =>
            resolve({ server, url: `http://127.0.0.1:${server.address().port}/` }));
    });
}

if (require.main === module) {
    const [folder, port] = process.argv.slice(2);
    if (!folder || !fs.existsSync(path.join(folder, 'index.html'))) {
        console.error('usage: node web/server.js FOLDER [PORT]  (FOLDER holds index.html: make web builds build-web/)');
        process.exit(2);
    }
    serve(folder, Number(port) || 8080).then(({ url }) => {
        console.log(`Serving ${folder} at ${url} (Ctrl-C stops)`);
    }, e => {
        console.error(`server: ${e.message}`);
        process.exit(1);
    });
}

module.exports = { serve };
