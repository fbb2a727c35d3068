// The page's synthesizer, on the audio thread: FluidSynth (compiled to
// WebAssembly, from js-synthesizer) renders the music in an AudioWorklet.
// Loaded after libfluidsynth-2.4.6.js and js-synthesizer.worklet.min.js, which
// leave the WebAssembly module and JSSynth in this scope.
//
// The page's thread (music.js) sends it, in order:
//   {type: "soundfont", bytes}            once, before anything plays
//   {type: "open", generation, smf, division}
//   {type: "play"} and {type: "close"}
//   {type: "gain", level}                the reader's volume, 0 (silent) to 1
//   {type: "level"} and {type: "capture", frames}, for the page's tests
// and hears back "ready", "ended" (with the generation of the file that
// reached its end), "failed", "sound" (the first sound of a playback),
// "level" and "captured".
//
// Rendering runs one synth block (64 frames) at a time, and FluidSynth's MIDI
// player moves on the synth's sample timer, so the end of a piece is seen in
// the block that holds it: the end is the player's tick reaching the tick of
// the file's last event, not FluidSynth's own end, which comes only once the
// last notes have died away and would leave a hole at every loop.

const PLAYER_DONE = 3; // FluidSynth's FLUID_PLAYER_DONE
const BLOCK = 64; // frames the synth renders at a time
// FluidSynth's default gain of 0.2 leaves General MIDI music far too quiet
// beside other sound; the desktop player uses the same.
const GAIN = 0.6;
// The synth's effects leave noise of some -160 dB when nothing plays; a
// playback's first sound is its first above -80 dB.
const AUDIBLE = 1e-4;

class VornMusicProcessor extends AudioWorkletProcessor {
    constructor() {
        super();
        this.fluid = null; // the WebAssembly module's exports
        this.synth = null; // js-synthesizer's Synthesizer
        this.raw = 0; // its fluid_synth_t*
        this.buffer = 0; // two channels of one block, in the module's memory
        this.waiting = []; // messages that came before the soundfont was in
        this.open = null; // {generation, smf, division}
        this.player = 0; // fluid_player_t*, playing this.open
        this.playerStopped = false;
        this.exactTick = 0;
        this.endReached = false;
        this.failed = false;
        this.heard = false; // the playback has made a sound
        this.peak = 0;
        this.sumOfSquares = 0;
        this.frames = 0;
        this.rendered = 0; // frames since the start
        this.endedAt = null; // this.rendered when the last playback ended
        this.restartGap = null; // frames from an end to the next playback's start
        this.capture = null; // {samples, at}
        this.port.onmessage = (event) => this.receive(event.data);
    }

    receive(message) {
        if (message.type === "soundfont") return this.setUp(message.bytes);
        if (!this.synth) return this.waiting.push(message);
        switch (message.type) {
            case "open":
                this.close();
                this.open = message;
                break;
            case "play":
                if (this.open && !this.player) this.startPlayer();
                break;
            case "close":
                this.close();
                break;
            case "gain":
                // As the desktop does it: the synth's own gain, scaled.
                this.synth.setGain(GAIN * Math.min(1, Math.max(0, Number(message.level) || 0)));
                break;
            case "level":
                this.port.postMessage({
                    type: "level",
                    peak: this.peak,
                    rms: this.frames ? Math.sqrt(this.sumOfSquares / (2 * this.frames)) : 0,
                    frames: this.frames,
                    restartGapMs: this.restartGap === null ? null : (1000 * this.restartGap) / sampleRate,
                });
                this.peak = 0;
                this.sumOfSquares = 0;
                this.frames = 0;
                break;
            case "capture":
                this.capture = { samples: new Float32Array(2 * message.frames), at: 0 };
                break;
        }
    }

    async setUp(bytes) {
        try {
            const JSSynth = globalThis.JSSynth;
            await JSSynth.Synthesizer.waitForWasmInitialized();
            JSSynth.disableLogging();
            this.fluid = AudioWorkletGlobalScope.wasmModule;
            const synth = new JSSynth.Synthesizer();
            synth.init(sampleRate, { initialGain: GAIN });
            await synth.loadSFont(bytes);
            this.synth = synth;
            this.raw = synth.getRawSynthesizer();
            this.buffer = this.fluid._malloc(2 * 4 * BLOCK);
        } catch (error) {
            this.port.postMessage({ type: "failed", why: `cannot start the synthesizer: ${error.message || error}` });
            return;
        }
        this.port.postMessage({ type: "ready" });
        for (const message of this.waiting.splice(0)) this.receive(message);
    }

    startPlayer() {
        const fluid = this.fluid;
        const player = fluid._new_fluid_player(this.raw);
        if (!player) return;
        const smf = new Uint8Array(this.open.smf);
        const at = fluid._malloc(smf.length);
        fluid.HEAPU8.set(smf, at);
        const added = fluid._fluid_player_add_mem(player, at, smf.length); // FluidSynth copies the file
        fluid._free(at);
        this.player = player;
        if (this.endedAt !== null) this.restartGap = this.rendered - this.endedAt;
        this.endedAt = null;
        this.playerStopped = false;
        this.exactTick = 0;
        this.endReached = false;
        this.failed = false;
        this.heard = false;
        if (added !== 0 || fluid._fluid_player_play(player) !== 0) this.fail("FluidSynth cannot read it");
    }

    close() {
        this.open = null;
        if (!this.player) return;
        const fluid = this.fluid;
        fluid._delete_fluid_player(this.player);
        this.player = 0;
        // Nothing of the old piece may reach the next one. The reset puts back
        // programs, controllers and effects, but it only releases the notes,
        // and a piano's release rings for a second: sounds-off cuts them.
        fluid._fluid_synth_system_reset(this.raw);
        fluid._fluid_synth_all_sounds_off(this.raw, -1);
    }

    fail(why) {
        this.failed = true;
        this.port.postMessage({ type: "failed", why, generation: this.open.generation });
    }

    process(inputs, outputs) {
        const out = outputs[0];
        const left = out[0];
        const right = out[1] || out[0];
        if (!this.synth || !left) return true; // the outputs start out silent
        const fluid = this.fluid;
        for (let done = 0; done < left.length; done += BLOCK) {
            const n = Math.min(BLOCK, left.length - done);
            fluid._fluid_synth_write_float(this.raw, n, this.buffer, 0, 1, this.buffer + 4 * BLOCK, 0, 1);
            // The module's memory may have grown (and been replaced) since
            // the last block: view it anew each time.
            const heap = fluid.HEAPF32;
            const l = heap.subarray(this.buffer >> 2, (this.buffer >> 2) + n);
            const r = heap.subarray((this.buffer >> 2) + BLOCK, (this.buffer >> 2) + BLOCK + n);
            left.set(l, done);
            if (right !== left) right.set(r, done);
            this.measure(l, r);
            this.rendered += n;
            this.watchPlayer();
        }
        return true;
    }

    measure(l, r) {
        let peak = this.peak;
        let sum = 0;
        for (let i = 0; i < l.length; ++i) {
            const a = Math.abs(l[i]);
            const b = Math.abs(r[i]);
            if (a > peak) peak = a;
            if (b > peak) peak = b;
            sum += l[i] * l[i] + r[i] * r[i];
        }
        if (this.player && !this.heard && peak > AUDIBLE) {
            this.heard = true;
            this.port.postMessage({ type: "sound", time: currentTime });
        }
        this.peak = peak;
        this.sumOfSquares += sum;
        this.frames += l.length;
        const capture = this.capture;
        if (capture) {
            for (let i = 0; i < l.length && capture.at < capture.samples.length; ++i) {
                capture.samples[capture.at++] = l[i];
                capture.samples[capture.at++] = r[i];
            }
            if (capture.at === capture.samples.length) {
                this.port.postMessage({ type: "captured", samples: capture.samples }, [capture.samples.buffer]);
                this.capture = null;
            }
        }
    }

    // After each rendered block: has the playback reached its end, or has the
    // player stopped short of it, finding nothing it could play?
    watchPlayer() {
        if (!this.player || this.playerStopped) return;
        const fluid = this.fluid;
        // Zero until the player has read the file, and for a file whose last
        // event lies at its start, which has no length to loop over.
        const total = fluid._fluid_player_get_total_ticks(this.player);
        const tick = fluid._fluid_player_get_current_tick(this.player);
        // The player's tick runs on a clock of whole milliseconds and lags by
        // up to one; the tick at the end of this block, counted exactly, tells
        // whether the last event falls within it.
        const tempo = fluid._fluid_player_get_midi_tempo(this.player); // microseconds a quarter note
        if (tempo > 0) this.exactTick += (BLOCK * 1e6 * this.open.division) / (sampleRate * tempo);
        if (total > 0 && !this.endReached && (tick >= total || this.exactTick >= total)) {
            this.endReached = true;
            this.endedAt = this.rendered;
            this.port.postMessage({ type: "ended", generation: this.open.generation });
        }
        if (total > 0 && tick >= total) {
            this.playerStopped = true;
            fluid._fluid_player_stop(this.player);
        } else if (!this.endReached && !this.failed && fluid._fluid_player_get_status(this.player) === PLAYER_DONE) {
            this.fail("FluidSynth finds nothing to play in it");
        }
    }
}

registerProcessor("vorn-music", VornMusicProcessor);
