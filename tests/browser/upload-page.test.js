// End-to-end: the headless transfer server serves the upload page to headless Chromium,
// which ticks a folder and uploads two files through the page's own uploader. The files
// must arrive byte-identical in that folder and the queue must show both as done.
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

function startServer(home) {
  return new Promise((resolve, reject) => {
    const child = spawn(orbo, ['--headless', '--transfer', '--port', '0', '--address', 'localhost', '--home', home],
                        { stdio: ['ignore', 'ignore', 'pipe'] });
    let log = '';
    const timer = setTimeout(() => reject(new Error('server did not start: ' + log)), 15000);
    child.stderr.on('data', (chunk) => {
      log += chunk;
      const match = /Started HTTP server on port (\d+)/.exec(log);
      if (match) {
        clearTimeout(timer);
        resolve({ child, port: Number(match[1]), log: () => log });
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

main().catch((error) => {
  console.error('upload page test FAILED:', error);
  process.exit(1);
});
