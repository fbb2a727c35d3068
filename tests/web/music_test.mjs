// The page's music in headless Chromium (Debian's, driven by playwright-core):
// the AudioWorklet makes sound from the reader's first click, a piece's end
// is reported once and never after a Close or an Open cut it short, and a
// missing or damaged file leaves the music silent.
//
//   node tests/web/music_test.mjs SITE_URL WAV_OUT
//
// SITE_URL serves build-web/ as page/ and this folder as test/ (music.sh);
// WAV_OUT receives three seconds of the demo's music as the worklet made it.

import { writeFileSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { chromium } from "../../src/presentation/web/node_modules/playwright-core/index.mjs";

const [site, wavOut] = process.argv.slice(2);
const profile = mkdtempSync(join(tmpdir(), "vorn-music-chromium-"));
const browser = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: [
        "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
        "--disable-background-networking", "--disable-component-update", "--disable-sync",
        "--autoplay-policy=no-user-gesture-required",
    ],
});

let failures = 0;
const results = {};

function check(condition, what) {
    if (!condition) {
        ++failures;
        console.error(`FAILED: ${what}`);
    }
}

// Each case in a page of its own, with the warnings the page wrote.
async function test(name, body) {
    const page = await browser.newPage();
    const warnings = [];
    page.on("console", (m) => { if (m.type() === "warning" || m.type() === "error") warnings.push(`${m.text()} ${m.location().url}`); });
    page.on("pageerror", (e) => warnings.push(`page error: ${e.message}`));
    page.on("response", (r) => { if (r.status() >= 400) warnings.push(`${r.status()} ${r.url()}`); });
    try {
        await page.goto(`${site}/test/music_page.html`);
        await page.waitForFunction(() => window.ready === true);
        await page.evaluate(() => window.makeMusic());
        await body(page, warnings);
        console.log(`ok: ${name}`);
    } catch (error) {
        ++failures;
        console.error(`FAILED: ${name}: ${error.stack ?? error}`);
    } finally {
        await page.close();
    }
}

async function unlock(page) {
    await page.click("#unlock");
    check(await page.evaluate(() => window.unlocked), "the synthesizer starts on the click");
}

// FluidSynth's effects leave noise of some -160 dB when nothing plays; what
// the reverb holds when a Close cuts the notes dies away below -50 dB.
const silent = (level) => level.peak < 1e-5;
const stopped = (level) => level.peak < 3e-3;
const musicOff = (warnings) => warnings.filter((w) => w.startsWith("vorn: music is off"));

try {
    await test("the demo's music, asked for before the first click, sounds from it", async (page, warnings) => {
        await page.evaluate(() => window.loadFile("theme.mid", "theme.mid"));
        await page.evaluate(() => {
            window.send(["Notify", false], ["Wait", true], ["Shareable", false], ["DeviceType", "Sequencer"]);
            window.startPiece("theme.mid");
        });
        await unlock(page);
        const toSound = await page.evaluate(() => window.timeToFirstSound(15000));
        check(toSound !== null, "the demo's music makes a sound");
        results.unlockToFirstSoundMs = Math.round(toSound);
        writeFileSync(wavOut, Buffer.from(await page.evaluate(() => window.recordWav(3)), "base64"));
        const { peak, rms } = await page.evaluate(() => window.level());
        results.peak = +peak.toFixed(3);
        results.rms = +rms.toFixed(4);
        check(peak > 0.05 && rms > 0.005, `the music is not silence (peak ${peak}, RMS ${rms})`);
        check(warnings.length === 0, `no warnings: ${warnings.join(" | ")}`);
    });

    await test("a piece that ends is reported once; started again at each end, it loops", async (page) => {
        // Before the click the device keeps only the latest state: the
        // short piece that replaced the demo's is the one that plays.
        await page.evaluate(async () => {
            await window.loadFile("theme.mid", "theme.mid");
            window.putNote("short.mid", 300);
            window.startPiece("theme.mid");
            window.startPiece("short.mid");
        });
        await unlock(page);
        await page.evaluate(() => window.timeToFirstSound(15000));
        await page.evaluate(() => window.sleep(1200));
        check(await page.evaluate(() => window.ends) === 1, "the short piece's end is reported once");
        await page.evaluate(() => window.sleep(800));
        check(await page.evaluate(() => window.ends) === 1, "an end is reported only once");
        await page.evaluate(() => { window.loop = "short.mid"; window.ends = 0; window.startPiece("short.mid"); });
        await page.evaluate(() => window.level());
        await page.evaluate(() => window.sleep(2500));
        const loops = await page.evaluate(() => window.ends);
        results.loopsOf300msIn2500ms = loops;
        check(loops >= 6 && loops <= 9, `the 300 ms piece loops about eight times in 2.5 s (${loops})`);
        const { peak, restartGapMs } = await page.evaluate(() => window.level());
        check(peak > 0.05, `the looping piece sounds (peak ${peak})`);
        results.loopRestartGapMs = +restartGapMs.toFixed(1);
    });

    await test("the reader's volume scales the music, and zero silences it", async (page) => {
        await page.evaluate(() => window.putNote("long.mid", 2000));
        await unlock(page);
        // The same note from its start at each level, after the last one has died away.
        const loudness = (level) => page.evaluate(async (wanted) => {
            window.setLevel(wanted);
            window.startPiece("long.mid");
            await window.sleep(50);
            await window.level();
            await window.sleep(400);
            const measured = await window.level();
            window.send(["Command", "Close"]);
            await window.sleep(1200);
            return measured;
        }, level);
        const full = await loudness(1);
        const quarter = await loudness(0.25);
        const none = await loudness(0);
        results.quarterVolumeRmsRatio = +(quarter.rms / full.rms).toFixed(3);
        check(full.rms > 0.005, `the note sounds at full volume (RMS ${full.rms})`);
        check(Math.abs(quarter.rms / full.rms - 0.25) < 0.05, `a quarter of the level gives a quarter of the sound (${quarter.rms / full.rms})`);
        check(silent(none), `level 0 is silence ${JSON.stringify(none)}`);
    });

    await test("no end is reported for a playback that a Close or an Open cut short", async (page) => {
        await page.evaluate(() => { window.putNote("half.mid", 500); window.putNote("long.mid", 1200); });
        await unlock(page);
        await page.evaluate(async () => {
            window.startPiece("half.mid");
            await window.sleep(200);
            window.send(["Command", "Close"]);
            await window.sleep(50);
            await window.level();
            await window.sleep(900);
        });
        check(await page.evaluate(() => window.ends) === 0, "no end after a Close");
        const afterClose = await page.evaluate(() => window.level());
        check(stopped(afterClose), `a Close silences the music at once ${JSON.stringify(afterClose)}`);

        // The first piece's end falls where the second already plays.
        await page.evaluate(async () => {
            window.startPiece("half.mid");
            await window.sleep(200);
            window.startPiece("long.mid");
            await window.sleep(900);
        });
        check(await page.evaluate(() => window.ends) === 0, "no end for the piece an Open replaced");
        await page.evaluate(() => window.sleep(900));
        check(await page.evaluate(() => window.ends) === 1, "the piece that replaced it ends once");

        // The end is already on its way while the page is busy, and the
        // next piece comes before the page hears of it: that end must not
        // start the new piece over.
        await page.evaluate(async () => {
            window.ends = 0;
            window.startPiece("half.mid");
            await window.sleep(300);
            window.busy(600);
            window.startPiece("long.mid");
            await window.sleep(500);
        });
        check(await page.evaluate(() => window.ends) === 0, "an end overtaken by a Close and an Open is not reported");
    });

    await test("a missing file or one that is no MIDI file leaves the music silent", async (page, warnings) => {
        await page.evaluate(async () => {
            await window.loadFile("theme.mid", "theme.mid");
            window.putFile("bad.mid", [...new TextEncoder().encode("MThd, or so it says")]);
            window.putFile("cut.mid", [0x4d, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 1, 0, 3, 0x01, 0xe0, 0x4d, 0x54]);
        });
        await unlock(page);
        for (const name of ["gone.mid", "bad.mid", "cut.mid", ""]) {
            await page.evaluate((n) => window.startPiece(n), name);
            await page.evaluate(() => window.sleep(400));
            const l = await page.evaluate(() => window.level());
            check(silent(l), `"${name}" plays nothing ${JSON.stringify(l)}`);
        }
        check(await page.evaluate(() => window.ends) === 0, "a file that cannot play never ends");
        check(musicOff(warnings).length === 1, `the music being off is said once: ${warnings.join(" | ")}`);
        check(/cannot play "gone.mid"/.test(musicOff(warnings)[0] ?? ""), "the warning names the missing file");
        // A later piece that can play, plays.
        await page.evaluate(() => window.startPiece("theme.mid"));
        await page.evaluate(() => window.sleep(1500));
        check((await page.evaluate(() => window.level())).peak > 0.05, "the next good piece plays");
    });

    await test("stop() silences the music and forgets the piece", async (page) => {
        await page.evaluate(() => { window.putNote("short.mid", 300); window.startPiece("short.mid"); });
        await unlock(page);
        await page.evaluate(() => window.timeToFirstSound(15000));
        await page.evaluate(() => { window.stopMusic(); });
        await page.evaluate(() => window.level());
        await page.evaluate(() => window.sleep(800));
        const afterStop = await page.evaluate(() => window.level());
        check(stopped(afterStop), `silence after stop() ${JSON.stringify(afterStop)}`);
        check(await page.evaluate(() => window.ends) === 0, "no end after stop()");
        await page.evaluate(() => window.send(["Command", "Play"]));
        await page.evaluate(() => window.sleep(300));
        check(stopped(await page.evaluate(() => window.level())), "a Play after stop() has no piece to play");
    });

    await test("a synthesizer that cannot start leaves the game playing in silence", async (page, warnings) => {
        await page.evaluate(() => { window.makeMusic("../nowhere/"); window.putNote("short.mid", 300); window.startPiece("short.mid"); });
        await page.click("#unlock");
        check(await page.evaluate(() => window.unlocked) === false, "unlock() says the music cannot play");
        await page.evaluate(async () => { window.startPiece("short.mid"); await window.sleep(600); });
        check(await page.evaluate(() => window.ends) === 0, "no end without a synthesizer");
        check(musicOff(warnings).length === 1 && /cannot start the synthesizer/.test(musicOff(warnings)[0]),
              `why is said once: ${warnings.join(" | ")}`);
    });
} finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
}

console.log(`music: ${JSON.stringify(results)}`);
process.exit(failures ? 1 : 0);
