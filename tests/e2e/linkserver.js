#!/usr/bin/env node
// The link check's test server: answers by path on 127.0.0.1 (or on
// 127.0.0.1 to 127.0.0.N, all on one port, for the bench) and counts the
// requests open at once per host and in all. Node alone, no packages.
//   node tests/e2e/linkserver.js [--hosts N] [--port P] [--port-file FILE] [--slow-ms MS]
//                                [--stats-file FILE] [--watch-pid PID]
// The port goes to standard output ("linkserver: port P") and, when asked,
// into FILE, written once every address listens. With --stats-file the
// counts of /__stats are also kept in that file, replaced whole after each
// request, for a reader that has no HTTP client. With --watch-pid it ends
// when that process has ended (a script killed before its own clean-up).
//
// Paths:
//   /ok                 200
//   /moved301           301 to /ok (an absolute Location)
//   /moved308           308 to /ok (a relative Location)
//   /chain302a          302 to /chain302b, which 302s to /ok
//   /gone404 /gone410   404, 410
//   /nohead405          405 to HEAD, 200 to GET (likewise /nohead403 with 403)
//   /toomany429         429
//   /error500           500
//   /slow               200 after --slow-ms (default 20000: past the
//                       client's 15 s), or after ?ms=N when given
//   /loop               302 to itself
//   /reset              closes the connection without an answer
//   /delay50/...        200 after 50 ms
//   /__stats            the counts as JSON (not counted themselves)
//   /__reset            sets the counts to zero
// Anything else is 404.
'use strict';
const http = require('http');
const fs = require('fs');

function parseArgs(argv) {
    const opts = { hosts: 1, port: 0, portFile: '', slowMs: 20000, statsFile: '', watchPid: 0 };
    for (let i = 0; i < argv.length; i++) {
        const value = argv[i + 1];
        switch (argv[i]) {
            case '--hosts': opts.hosts = Number(value); i++; break;
            case '--port': opts.port = Number(value); i++; break;
            case '--port-file': opts.portFile = value; i++; break;
            case '--slow-ms': opts.slowMs = Number(value); i++; break;
            case '--stats-file': opts.statsFile = value; i++; break;
            case '--watch-pid': opts.watchPid = Number(value); i++; break;
            default:
                console.error(`linkserver: unknown argument ${argv[i]}`);
                process.exit(2);
        }
    }
    if (!(opts.hosts >= 1 && opts.hosts <= 254) || !(opts.port >= 0) || !(opts.slowMs >= 0)) {
        console.error('linkserver: --hosts 1..254, --port and --slow-ms at least 0');
        process.exit(2);
    }
    return opts;
}

const opts = parseArgs(process.argv.slice(2));

// The requests open now, per host and in all: a request is open from its
// arrival until its answer is sent or its connection closes.
const live = { open: 0, hosts: {} };
// What was counted since the last reset; the maxima start from what is open.
let stats;
function resetStats() {
    const hosts = {};
    for (const [host, open] of Object.entries(live.hosts))
        if (open > 0) hosts[host] = { requests: 0, maxOpen: open };
    stats = { requests: 0, maxOpen: live.open, maxOpenPerHost: Math.max(0, ...Object.values(live.hosts)),
              hosts, paths: {} };
}
resetStats();

// Counts a request arriving; returns what counts its end.
function opened(host, key) {
    live.hosts[host] = (live.hosts[host] || 0) + 1;
    live.open++;
    const h = stats.hosts[host] || (stats.hosts[host] = { requests: 0, maxOpen: 0 });
    h.requests++;
    h.maxOpen = Math.max(h.maxOpen, live.hosts[host]);
    stats.requests++;
    stats.maxOpen = Math.max(stats.maxOpen, live.open);
    stats.maxOpenPerHost = Math.max(stats.maxOpenPerHost, live.hosts[host]);
    stats.paths[key] = (stats.paths[key] || 0) + 1;
    return () => {
        live.hosts[host]--;
        live.open--;
        saveStats();
    };
}

function statsText() {
    return JSON.stringify(Object.assign({ open: live.open }, stats), null, 1) + '\n';
}

function saveStats() {
    if (!opts.statsFile) return;
    fs.writeFileSync(`${opts.statsFile}.new`, statsText());
    fs.renameSync(`${opts.statsFile}.new`, opts.statsFile);
}

function answer(req, res, status, headers) {
    const body = req.method === 'HEAD' || status === 204 ? '' :
        `<!DOCTYPE html><title>${status}</title><p>${status} ${req.url}</p>\n`;
    res.writeHead(status, Object.assign({ 'Content-Type': 'text/html; charset=utf-8',
                                          'Content-Length': Buffer.byteLength(body) }, headers));
    res.end(body);
}

// Answers after |ms| unless the client goes first.
function later(req, res, ms, status) {
    const timer = setTimeout(() => answer(req, res, status), ms);
    res.on('close', () => clearTimeout(timer));
}

function handle(req, res) {
    const url = new URL(req.url, 'http://placeholder');
    const path = url.pathname;
    if (path === '/__stats') {
        const body = statsText();
        res.writeHead(200, { 'Content-Type': 'application/json', 'Content-Length': Buffer.byteLength(body) });
        res.end(body);
        return;
    }
    if (path === '/__reset') {
        resetStats();
        saveStats();
        answer(req, res, 204);
        return;
    }
    const host = (req.headers.host || `${req.socket.localAddress}:${req.socket.localPort}`).toLowerCase();
    const closed = opened(host, `${req.method} ${path}`);
    let done = false;
    res.on('close', () => {
        if (!done) { done = true; closed(); }
    });
    const origin = `http://${req.headers.host || `${req.socket.localAddress}:${req.socket.localPort}`}`;
    const head = req.method === 'HEAD';
    switch (path) {
        case '/ok': return answer(req, res, 200);
        case '/moved301': return answer(req, res, 301, { Location: `${origin}/ok` });
        case '/moved308': return answer(req, res, 308, { Location: '/ok' });
        case '/chain302a': return answer(req, res, 302, { Location: '/chain302b' });
        case '/chain302b': return answer(req, res, 302, { Location: `${origin}/ok` });
        case '/gone404': return answer(req, res, 404);
        case '/gone410': return answer(req, res, 410);
        case '/nohead405': return answer(req, res, head ? 405 : 200, head ? { Allow: 'GET' } : {});
        case '/nohead403': return answer(req, res, head ? 403 : 200);
        case '/toomany429': return answer(req, res, 429, { 'Retry-After': '3600' });
        case '/error500': return answer(req, res, 500);
        case '/loop': return answer(req, res, 302, { Location: '/loop' });
        case '/reset': return req.socket.resetAndDestroy();
        case '/slow': {
            const ms = url.searchParams.has('ms') ? Number(url.searchParams.get('ms')) : opts.slowMs;
            return later(req, res, ms >= 0 ? ms : opts.slowMs, 200);
        }
    }
    if (path.startsWith('/delay50/')) return later(req, res, 50, 200);
    answer(req, res, 404);
}

function listenOn(address, port) {
    return new Promise((resolve, reject) => {
        const server = http.createServer(handle);
        // Many requests at once from the bench: keep the connections the
        // client keeps, and never queue a connection behind another.
        server.keepAliveTimeout = 30000;
        server.once('error', reject);
        server.listen({ host: address, port, backlog: 1024 }, () => resolve(server));
    });
}

// Every address on one port: take a free one on the first address, then the
// same on the others; when one of them has it taken, start again.
async function listenAll() {
    for (let attempt = 0; attempt < 50; attempt++) {
        const servers = [];
        try {
            servers.push(await listenOn('127.0.0.1', opts.port));
            const port = servers[0].address().port;
            for (let i = 2; i <= opts.hosts; i++) servers.push(await listenOn(`127.0.0.${i}`, port));
            return { servers, port };
        } catch (err) {
            for (const s of servers) s.close();
            if (err.code !== 'EADDRINUSE' || opts.port !== 0) throw err;
        }
    }
    throw new Error('no port free on every address');
}

listenAll().then(({ port }) => {
    saveStats();
    if (opts.portFile) fs.writeFileSync(opts.portFile, `${port}\n`);
    console.log(`linkserver: port ${port} on 127.0.0.1${opts.hosts > 1 ? ` to 127.0.0.${opts.hosts}` : ''}`);
}, (err) => {
    console.error(`linkserver: ${err.message}`);
    process.exit(1);
});
if (opts.watchPid > 0) {
    setInterval(() => {
        try {
            process.kill(opts.watchPid, 0);
        } catch (err) {
            if (err.code === 'ESRCH') process.exit(0);
        }
    }, 500).unref();
}
for (const signal of ['SIGTERM', 'SIGINT', 'SIGHUP']) process.on(signal, () => process.exit(0));
