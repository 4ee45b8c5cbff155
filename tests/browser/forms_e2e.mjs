// A form filled in Chromium is sent as a message through the built-in simulator, and its status is looked up.
// Usage: node forms_e2e.mjs /path/to/tessaro   (CHROMIUM names the browser; Debian's /usr/bin/chromium by default)
import { chromium } from 'playwright-core';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const tessaro = process.argv[2];
const browserPath = process.env.CHROMIUM || '/usr/bin/chromium';
const dataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'tessaro-forms-e2e-'));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function fail(message) {
    throw new Error(message);
}

async function waitFor(what, probe, timeoutMs) {
    const until = Date.now() + timeoutMs;
    for (;;) {
        const value = await probe();
        if (value) return value;
        if (Date.now() > until) fail(`timed out waiting for ${what}`);
        await sleep(250);
    }
}

// Starts the headless program and resolves with the forms server's URL once it has printed it.
function startTessaro() {
    const child = spawn(tessaro, ['--headless', '--simulator', '--forms-port', '0', '--data-dir', dataDir,
                                  '--accept-disclaimer', '-log'], { stdio: ['ignore', 'pipe', 'pipe'] });
    const output = [];
    const onData = (chunk) => output.push(...chunk.toString('latin1').split('\n'));
    child.stdout.on('data', onData);
    child.stderr.on('data', onData);
    const run = { child, output, exited: false };
    child.on('exit', () => { run.exited = true; });
    run.url = waitFor('the "Forms server:" line', () => {
        if (run.exited) fail('tessaro ended early:\n' + output.join('\n'));
        for (const line of output) {
            const m = line.match(/Forms server: (http:\/\/\S+\/)/);
            if (m) return m[1];
        }
        return null;
    }, 60000);
    return run;
}

async function stopTessaro(run) {
    if (!run || run.exited) return;
    run.child.kill('SIGTERM');
    try {
        await waitFor('tessaro to stop', () => run.exited, 20000);
    } catch {
        run.child.kill('SIGKILL');
    }
}

const readLatin1 = (file) => (fs.existsSync(file) ? fs.readFileSync(file).toString('latin1') : '');

// Tessaro.ini holds "[Key]" lines each followed by the value line; a default LES per ocean region lets the
// simulator accept a Telex whichever ocean it reports.
function setDefaultLes() {
    const ini = path.join(dataDir, 'Tessaro.ini');
    let text = readLatin1(ini);
    if (!text) fail('Tessaro.ini was not written by the first run');
    const ids = { West: '002', East: '112', Pacific: '212', Indian: '312' };
    for (const [ocean, id] of Object.entries(ids)) {
        const key = `[Default LES ${ocean}]`;
        const re = new RegExp(`(\\[Default LES ${ocean}\\]\\r?\\n)[^\\r\\n]*`);
        text = re.test(text) ? text.replace(re, `$1${id}`) : text + `${key}\r\n${id}\r\n\r\n`;
    }
    fs.writeFileSync(ini, Buffer.from(text, 'latin1'));
}

let run;
let browser;
let ok = false;
try {
    run = startTessaro();
    await run.url;
    await stopTessaro(run);
    setDefaultLes();

    run = startTessaro();
    const base = await run.url;
    // The transceiver time placeholder is filled from the simulator once the engine has polled it.
    await waitFor('the engine to read the simulator\'s clock', async () => {
        const page = await (await fetch(base)).text();
        return /transceiver time \d{4}-\d\d-\d\d \d\d:\d\d UTC/.test(page) && !page.includes('1970-01-01');
    }, 90000);

    // A message needs the ocean (it picks the default LES): wait for the status poll to report the login.
    await waitFor('the simulator to report its login and ocean', () =>
        run.output.some((line) => /logged in, ocean (West|East|Pacific|Indian)/.test(line)), 90000);

    browser = await chromium.launch({ executablePath: browserPath, headless: true, args: ['--no-sandbox'] });
    const page = await browser.newPage();
    await page.goto(base + 'position_report.htm');
    if ((await page.title()) !== 'Position report') fail('the position report form did not load');
    const html = await page.content();
    if (html.includes('<%=')) fail('a placeholder was left in the form');
    const position = await page.inputValue('#position');
    const time = await page.inputValue('#time');
    if (!position) fail('the position placeholder is empty');
    if (!/^\d{4}-\d\d-\d\d \d\d:\d\d$/.test(time)) fail(`the time placeholder reads "${time}"`);

    await page.selectOption('#msgtype', 'Telex');
    await page.fill('#address', '4711');
    await page.fill('#remarks', 'e2e check & <done>');
    await Promise.all([page.waitForNavigation(), page.click('#send')]);
    const answer = await page.innerText('body');
    const ref = (answer.match(/Ref:(\S+)/) || [])[1];
    if (!ref || answer.includes('Error')) fail(`the form was not sent: ${answer}`);

    // The communication log shows the transceiver's side: the upload stored with the announced size and the
    // "tx" accepted. The outbox copy shows that the form's fields made up the text that was uploaded.
    const commLog = path.join(dataDir, 'CommLog.txt');
    const transceiverName = ref.slice(0, 6) + ref.slice(-6);
    const announced = await waitFor('the simulator to accept the message', () => {
        const log = readLatin1(commLog);
        const tr = log.match(new RegExp(`tr ${transceiverName.replace('.', '\\.')} -b (\\d+)`));
        return tr && log.includes(`${transceiverName}: ${tr[1]} bytes stored`) && log.includes(`tx ${transceiverName}`) &&
               /accepted for transmission/i.test(log) && Number(tr[1]);
    }, 60000);
    const outboxFile = fs.readdirSync(dataDir, { withFileTypes: true })
        .filter((e) => e.isDirectory())
        .map((e) => path.join(dataDir, e.name, ref))
        .find((f) => fs.existsSync(f));
    const body = outboxFile ? readLatin1(outboxFile).replace(/\r\n$/, '') : '';
    if (!body.startsWith('POSITION REPORT,' + position + ',') || !body.endsWith(',e2e check & <done>'))
        fail(`the sent text reads "${body}"`);
    if (body.length !== announced) fail(`the text has ${body.length} characters, the upload announced ${announced}`);

    await page.goto(base + 'message_status.htm');
    await page.fill('#ref', ref);
    await Promise.all([page.waitForNavigation(), page.click('#lookup')]);
    const status = await page.innerText('body');
    if (!status.includes(`Ref:${ref}`) || !/Status:\s*\S+/.test(status)) fail(`the status page reads: ${status}`);

    console.log(`browser forms e2e: passed (reference ${ref}, ${status.replace(/\s+/g, ' ').trim()})`);
    ok = true;
} catch (error) {
    console.error('browser forms e2e: FAILED: ' + error.message);
    if (run) console.error('--- tessaro output ---\n' + run.output.slice(-60).join('\n'));
    console.error('data folder kept: ' + dataDir);
} finally {
    if (browser) await browser.close();
    await stopTessaro(run);
    if (ok) fs.rmSync(dataDir, { recursive: true, force: true });
}
process.exit(ok ? 0 : 1);
