// End-to-end: the headless transfer server serves the upload page to headless Chromium,
// which ticks a folder and uploads two files through the page's own uploader. The files
// must arrive byte-identical in that folder and the queue must show both as done.
// Then the same with a server that asks for a code: without it the browser gets nothing,
// with it (HTTP Digest, as the browser's login dialog sends it) the upload goes through.
// Usage: node upload-page.test.js <path to orbo>
'use strict';
const { chromium } = require('playwright-core');
const { spawn } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const os = require('os');
const path = require('path');

const orbo = process.argv[2];
if (!orbo) {
  console.error('usage: node upload-page.test.js <orbo>');
  process.exit(2);
}

function startServer(home, extra = []) {
  return new Promise((resolve, reject) => {
    const child = spawn(orbo, ['--headless', '--transfer', '--port', '0', '--address', 'localhost', '--home', home,
                               ...extra],
                        { stdio: ['ignore', 'ignore', 'pipe'] });
    let log = '';
    const timer = setTimeout(() => reject(new Error('server did not start: ' + log)), 15000);
    child.stderr.on('data', (chunk) => {
      log += chunk;
      const match = /Started HTTP server on port (\d+)/.exec(log);
      const code = /Access code: (\d{6})/.exec(log);
      if (match && (code || !extra.includes('--require-code'))) {
        clearTimeout(timer);
        resolve({ child, port: Number(match[1]), code: code && code[1], log: () => log });
      }
    });
    child.on('exit', (code) => reject(new Error('server exited with ' + code + ': ' + log)));
  });
}

// Bytes that a careless multipart parser would trip over: CRLFs, boundary-like lines.
function awkwardBytes(size, seed) {
  const parts = [crypto.randomBytes(size)];
  parts.push(Buffer.from('\r\n------WebKitFormBoundary' + seed + '\r\n--\r\n\r\n'));
  parts.push(crypto.randomBytes(977));
  parts.push(Buffer.from('\r\n'));
  return Buffer.concat(parts);
}

async function main() {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'orbo-browser-'));
  const source = fs.mkdtempSync(path.join(os.tmpdir(), 'orbo-browser-src-'));
  fs.mkdirSync(path.join(home, 'Documents', 'Rock'), { recursive: true });
  fs.mkdirSync(path.join(home, 'Documents', 'Jazz'), { recursive: true });
  const files = [
    { name: 'first song.mp3', bytes: awkwardBytes(300 * 1024, 'A') },
    { name: 'second.m4a', bytes: awkwardBytes(70 * 1024, 'B') },
  ];
  for (const file of files) fs.writeFileSync(path.join(source, file.name), file.bytes);

  const server = await startServer(home);
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  let failed = false;
  try {
    const page = await browser.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(String(error)));
    await page.goto(`http://127.0.0.1:${server.port}/`);
    await page.waitForSelector('.uploadifyButton');

    // Tick the Rock folder: the field shows it and the other boxes clear.
    await page.check("input[name=folderChechBox][value='Rock']");
    const field = await page.inputValue('#folderName');
    if (field !== 'Rock') throw new Error('folder field shows ' + JSON.stringify(field));
    if (await page.isChecked("input[name=folderChechBox][value='/']")) throw new Error('root box still ticked');

    await page.setInputFiles('#file_upload', files.map((f) => path.join(source, f.name)));
    await page.waitForFunction(() => {
      const items = document.querySelectorAll('#file_uploadQueue .uploadifyQueueItem');
      return items.length === 2 && [...items].every((i) => i.dataset.status === 'done' || i.dataset.status === 'error');
    }, null, { timeout: 30000 });
    const queue = await page.$$eval('#file_uploadQueue .uploadifyQueueItem',
                                    (items) => items.map((i) => [i.dataset.status, i.textContent]));
    for (const [status, text] of queue)
      if (status !== 'done' || !/Done/.test(text)) throw new Error('queue item not done: ' + text);

    for (const file of files) {
      const stored = fs.readFileSync(path.join(home, 'Documents', 'Rock', file.name));
      if (!stored.equals(file.bytes)) throw new Error(file.name + ' differs from what was uploaded');
    }
    const leftovers = fs.readdirSync(path.join(home, 'Documents', 'Rock')).filter((n) => n.startsWith('.'));
    if (leftovers.length) throw new Error('temporary files left behind: ' + leftovers);
    for (const file of files)
      if (!server.log().includes(`[${file.name}] upload Success`)) throw new Error('no upload message for ' + file.name);
    if (problems.length) throw new Error('script errors on the page: ' + problems.join('; '));

    if (process.env.ORBO_SCREENSHOT) await page.screenshot({ path: process.env.ORBO_SCREENSHOT, fullPage: true });
    console.log('upload page: 2 files uploaded into Rock through the page, byte-identical, queue done');
    await withCode(browser, home, source, files[1]);
  } catch (error) {
    failed = true;
    console.error('upload page test FAILED:', error.message);
  } finally {
    await browser.close();
    server.child.kill('SIGTERM');
    fs.rmSync(home, { recursive: true, force: true });
    fs.rmSync(source, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
}

// A server that asks for a code: nothing without it, the page and an upload with it.
async function withCode(browser, home, source, file) {
  fs.rmSync(path.join(home, 'Documents', 'Jazz', file.name), { force: true });
  const server = await startServer(home, ['--require-code']);
  try {
    // Without the code, or with a wrong one, the browser gets a refusal (and gives up asking).
    const refusedWith = async (credentials) => {
      const context = await browser.newContext(credentials ? { httpCredentials: credentials } : {});
      const page = await context.newPage();
      const outcome = await page.goto(`http://127.0.0.1:${server.port}/`)
        .then(async (response) => ({ status: response.status(), text: await response.text() }),
              (error) => ({ status: String(error), text: '' }));
      await context.close();
      // A 401 page, or an error once the browser stops retrying: anything but the page.
      return outcome.status !== 200 && !outcome.text.includes('uploadify');
    };
    if (!(await refusedWith(null))) throw new Error('the page was served without the code');
    const wrong = server.code === '000000' ? '000001' : '000000';
    if (!(await refusedWith({ username: 'me', password: wrong }))) throw new Error('a wrong code was let in');

    const owner = await browser.newContext({ httpCredentials: { username: 'me', password: server.code } });
    const page = await owner.newPage();
    await page.goto(`http://127.0.0.1:${server.port}/`);
    await page.waitForSelector('.uploadifyButton');
    await page.check("input[name=folderChechBox][value='Jazz']");
    await page.setInputFiles('#file_upload', [path.join(source, file.name)]);
    await page.waitForFunction(() => {
      const items = document.querySelectorAll('#file_uploadQueue .uploadifyQueueItem');
      return items.length === 1 && ['done', 'error'].includes(items[0].dataset.status);
    }, null, { timeout: 30000 });
    const status = await page.$eval('#file_uploadQueue .uploadifyQueueItem', (i) => i.dataset.status);
    if (status !== 'done') throw new Error('the upload with the code ended ' + status);
    const stored = fs.readFileSync(path.join(home, 'Documents', 'Jazz', file.name));
    if (!stored.equals(file.bytes)) throw new Error('the upload with the code differs');
    await owner.close();
    console.log('upload page with a code: refused without it or with a wrong one, upload done with it');
  } finally {
    server.child.kill('SIGTERM');
  }
}

main().catch((error) => {
  console.error('upload page test FAILED:', error);
  process.exit(1);
});
