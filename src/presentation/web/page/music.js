// The page's music device: the game's MIDI music through FluidSynth, compiled
// to WebAssembly, in an AudioWorklet (music-worklet.js), with a General MIDI
// soundfont served beside the page.
//
// It takes the music properties the interpreter sets, in order, and does what
// the desktop player's device does with them:
//   Open   closes what was open, then reads the file named by FileName; a file
//          that is missing or no MIDI file leaves the music silent
//   Play   starts the open file, unless it is already playing
//   Close  stops the music at once and forgets the file
// DeviceType, Notify, Wait and Shareable change nothing. When a playback
// reaches the end of its file by itself, onEnded is called, once; never for a
// playback that a Close or an Open cut short, even when the news of its end
// was already on its way. Anything that keeps the music from playing is said
// once on the console; the game never hears of it.
//
// Browsers let a page make sound only after the reader's first click or key,
// so the synthesizer starts in unlock(). Until then the device keeps the
// latest state (the file open, and whether it plays), and the piece that
// should be playing starts with the first click.

const MAX_MIDI_BYTES = 16 * 1024 * 1024;

// The files of the synthesizer, beside the page.
const WORKLET_FILES = ["libfluidsynth-2.4.6.js", "js-synthesizer.worklet.min.js", "music-worklet.js"];
const SOUNDFONT_FILE = "soundfont.sf2";

function bigEndian(bytes, at, length) {
    let value = 0;
    for (let i = 0; i < length; ++i) value = value * 256 + bytes[at + i];
    return value;
}

function tagAt(bytes, at) {
    return String.fromCharCode(...bytes.subarray(at, at + 4));
}

// A RIFF MIDI file (.rmi), as Windows' sequencer plays them, carries a
// Standard MIDI File in its "data" chunk.
function unwrapRiffMidi(bytes) {
    if (bytes.length < 12 || tagAt(bytes, 0) !== "RIFF" || tagAt(bytes, 8) !== "RMID") return bytes;
    let at = 12;
    while (at + 8 <= bytes.length) {
        const length = bytes[at + 4] | (bytes[at + 5] << 8) | (bytes[at + 6] << 16) | (bytes[at + 7] * 2 ** 24);
        if (tagAt(bytes, at) === "data") return bytes.subarray(at + 8, at + 8 + Math.min(length, bytes.length - at - 8));
        at += 8 + length + (length & 1);
    }
    return bytes;
}

// Why FluidSynth could not play `smf`, or "" when it looks like a Standard
// MIDI File: the header, and the start of every track it announces. What lies
// within the tracks is for FluidSynth to judge.
export function midiProblem(smf) {
    if (smf.length < 14 || tagAt(smf, 0) !== "MThd") return "it is not a MIDI file";
    const headerLength = bigEndian(smf, 4, 4);
    const tracks = bigEndian(smf, 10, 2);
    if (headerLength < 6 || tracks === 0) return "its MIDI header is damaged";
    if (smf[12] & 0x80) return "it counts time in SMPTE frames, which FluidSynth cannot play";
    let at = 8 + headerLength;
    for (let track = 0; track < tracks; ++track) {
        if (at + 8 > smf.length) return "the MIDI file is cut short";
        at += 8 + bigEndian(smf, at + 4, 4);
    }
    return "";
}

export class PageMusic {
    #baseUrl;
    #fileSource = () => null;
    #fileName = "";
    #generation = 0; // files opened and closed: an end counts only for the latest
    #current = null; // the open file: {generation, name, smf, division, playing, ended}
    #context = null;
    #node = null;
    #unlocking = null;
    #soundfont = null; // the soundfont's download, started by the first Open
    #saidOff = false;
    #levelWaiters = [];
    #gain = 1; // the reader's volume, 0 to 1
    #captureWaiter = null;

    // Called once each time a playback reaches the end of its file by itself.
    onEnded = null;
    // For the page's tests: performance.now() when the synthesizer first made
    // a sound for a playback, and when unlock() was called.
    firstSoundAt = null;
    unlockedAt = null;

    constructor({ baseUrl } = {}) {
        this.#baseUrl = new URL(baseUrl ?? ".", document.baseURI);
        if (!this.#baseUrl.pathname.endsWith("/")) this.#baseUrl.pathname += "/";
    }

    // fn(name) -> Uint8Array | null: a music file of the game, by the name the
    // script gives it.
    set fileSource(fn) {
        this.#fileSource = fn ?? (() => null);
    }

    property(name, value) {
        if (name === "FileName") this.#fileName = String(value ?? "");
        else if (name === "Command") {
            if (value === "Open") this.#open();
            else if (value === "Play") this.#play();
            else if (value === "Close") this.#close();
        }
    }

    // Starts the synthesizer; call it from the reader's first click or key.
    // Resolves to true when music can play. Calling it again does no harm.
    unlock() {
        if (!this.#unlocking) {
            this.unlockedAt = performance.now();
            this.#unlocking = this.#startSynthesizer().then(
                () => true,
                (error) => {
                    this.#sayOff(`cannot start the synthesizer: ${error?.message ?? error}`);
                    this.#node = null;
                    this.#context?.close().catch(() => {}); // nothing to render: let the audio thread rest
                    return false;
                },
            );
        }
        return this.#unlocking;
    }

    // How loud the music plays, 0 (silent) to 1 (its own level), as the
    // reader's settings say; heard within the synthesizer's next buffer.
    setLevel(level) {
        this.#gain = level;
        this.#node?.port.postMessage({ type: "gain", level });
    }

    // A new game is loaded: silence, and nothing of the old game is kept.
    stop() {
        this.#close();
        this.#fileName = "";
        this.#saidOff = false;
    }

    // For the page's tests: the peak and RMS level of the sound made since the
    // last call (0 to 1), how many frames that was, and the time from the
    // latest end of a playback to the start of the next (the loop's gap).
    async level() {
        if (!this.#node) return { peak: 0, rms: 0, frames: 0, restartGapMs: null };
        return new Promise((resolve) => {
            this.#levelWaiters.push(resolve);
            this.#node.port.postMessage({ type: "level" });
        });
    }

    // For the page's tests: the next `seconds` of sound, stereo interleaved,
    // and the sample rate.
    async record(seconds) {
        if (!this.#node) return null;
        const sampleRate = this.#context.sampleRate;
        return new Promise((resolve) => {
            this.#captureWaiter = (samples) => resolve({ samples, sampleRate });
            this.#node.port.postMessage({ type: "capture", frames: Math.round(seconds * sampleRate) });
        });
    }

    #open() {
        this.#close(); // at most one open file
        const name = this.#fileName;
        if (!name) return this.#sayOff("a music command names no file");
        let bytes;
        try {
            bytes = this.#fileSource(name);
        } catch (error) {
            return this.#sayOff(`cannot play "${name}": ${error?.message ?? error}`);
        }
        if (!bytes) return this.#sayOff(`cannot play "${name}": no such file in the game folder`);
        if (bytes.length > MAX_MIDI_BYTES) return this.#sayOff(`cannot play "${name}": the file is too large`);
        // The view may be of memory its owner reuses: copy it at once.
        const smf = unwrapRiffMidi(bytes).slice();
        const why = midiProblem(smf);
        if (why) return this.#sayOff(`cannot play "${name}": ${why}`);
        this.#current = {
            generation: this.#generation,
            name,
            smf,
            division: bigEndian(smf, 12, 2),
            playing: false,
            ended: false,
        };
        // The download waits until the page is idle: the game's first page,
        // drawn meanwhile, comes first; the reader's click is later still.
        const later = globalThis.requestIdleCallback ?? ((f) => setTimeout(f, 0));
        later(() => this.#fetchSoundfont(), { timeout: 1000 });
        this.#sendOpen();
    }

    #play() {
        const current = this.#current;
        if (!current || current.playing) return;
        current.playing = true;
        this.#node?.port.postMessage({ type: "play" });
    }

    #close() {
        ++this.#generation;
        this.#current = null;
        this.#node?.port.postMessage({ type: "close" });
    }

    #sendOpen() {
        const current = this.#current;
        if (!this.#node || !current) return;
        const smf = current.smf.slice().buffer;
        this.#node.port.postMessage(
            { type: "open", generation: current.generation, smf, division: current.division },
            [smf],
        );
    }

    #fetchSoundfont() {
        if (!this.#soundfont) {
            this.#soundfont = fetch(new URL(SOUNDFONT_FILE, this.#baseUrl)).then((response) => {
                if (!response.ok) throw new Error(`the soundfont ${response.url}: ${response.status} ${response.statusText}`);
                return response.arrayBuffer();
            });
            this.#soundfont.catch(() => {}); // said when unlock() waits for it
        }
        return this.#soundfont;
    }

    async #startSynthesizer() {
        if (typeof AudioContext === "undefined") throw new Error("this browser has no Web Audio");
        const context = new AudioContext();
        this.#context = context;
        // Within the reader's click: the browser lets the context run.
        const resumed = context.resume();
        const soundfont = this.#fetchSoundfont();
        if (!context.audioWorklet) throw new Error("this browser has no AudioWorklet (it needs a secure page: https or localhost)");
        for (const file of WORKLET_FILES) await context.audioWorklet.addModule(new URL(file, this.#baseUrl).href);
        const node = new AudioWorkletNode(context, "vorn-music", { numberOfInputs: 0, outputChannelCount: [2] });
        node.port.onmessage = (event) => this.#hear(event.data);
        node.connect(context.destination);
        const bytes = await soundfont;
        node.port.postMessage({ type: "soundfont", bytes }, [bytes]);
        node.port.postMessage({ type: "gain", level: this.#gain });
        this.#soundfont = null; // handed over; the synthesizer keeps it for every game
        this.#node = node;
        // What the game did before the click: the latest state.
        this.#sendOpen();
        if (this.#current?.playing) node.port.postMessage({ type: "play" });
        await resumed;
    }

    #hear(message) {
        switch (message.type) {
            case "ended": {
                const current = this.#current;
                // An end that a Close or an Open overtook on its way counts
                // not: it would start again the piece that replaced it.
                if (!current || current.generation !== message.generation || current.ended) return;
                current.ended = true;
                this.onEnded?.();
                break;
            }
            case "failed": {
                const current = this.#current;
                const playing = current && current.generation === message.generation;
                this.#sayOff(playing ? `cannot play "${current.name}": ${message.why}` : message.why);
                break;
            }
            case "sound":
                this.firstSoundAt ??= performance.now();
                break;
            case "level":
                this.#levelWaiters.shift()?.({
                    peak: message.peak,
                    rms: message.rms,
                    frames: message.frames,
                    restartGapMs: message.restartGapMs,
                });
                break;
            case "captured": {
                const waiter = this.#captureWaiter;
                this.#captureWaiter = null;
                waiter?.(message.samples);
                break;
            }
        }
    }

    // The one line that tells why the music is silent; a game that cannot
    // play its music would otherwise say so at every loop.
    #sayOff(why) {
        if (this.#saidOff) return;
        this.#saidOff = true;
        console.warn(`vorn: music is off: ${why}`);
    }
}
