"use strict";

// The page the program loads into its player view. The program drives it with
// qv.load / qv.clear / qv.pause / qv.resume / qv.command, each given at most
// one object, and hears back through console lines of QV.eventPrefix and one
// JSON object: {generation, kind, ...}. The program serves this script after
// the object QV, which holds every name and limit the two share.

window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
    publicPath: QV.origin + "/ruffle/",
    polyfills: false,
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    letterbox: "on",
    scale: "showAll",
    quality: "high",
    wmode: "window",
    contextMenu: "on",
    allowScriptAccess: true,
    upgradeToHttps: false,
    openUrlMode: "deny",
    warnOnUnsupportedContent: false,
    showSwfDownload: false,
    logLevel: "error",
};

// fetch() cannot reach a custom scheme in this browser engine, but
// XMLHttpRequest can: the runtime's own fetches of its code and of the movie
// are answered through XHR.
(function () {
    const nativeFetch = window.fetch.bind(window);
    function headersOf(xhr) {
        const headers = new Headers();
        for (const line of xhr.getAllResponseHeaders().trim().split(/[\r\n]+/)) {
            const at = line.indexOf(":");
            if (at > 0)
                headers.append(line.slice(0, at).trim(), line.slice(at + 1).trim());
        }
        return headers;
    }
    window.fetch = function (input, init) {
        const raw = typeof input === "string" ? input : (input.href || input.url);
        const url = new URL(raw, document.baseURI).href;
        if (!url.startsWith(QV.origin + "/"))
            return nativeFetch(input, init);
        return new Promise((resolve, reject) => {
            const xhr = new XMLHttpRequest();
            xhr.open((init && init.method) || "GET", url);
            xhr.responseType = "arraybuffer";
            xhr.onload = () => {
                const response = new Response(xhr.response, {
                    status: xhr.status || 200,
                    headers: headersOf(xhr),
                });
                Object.defineProperty(response, "url", { value: url });
                resolve(response);
            };
            xhr.onerror = () => reject(new TypeError("cannot load " + url));
            xhr.send(init && init.body !== undefined ? init.body : null);
        });
    };
})();

// Saved games. The runtime keeps each SharedObject in window.localStorage,
// under "<host>/<movie path>/<name>", as the base64 of its .sol file; it only
// reads, assigns and deletes properties there. Each load gets a storage of its
// own holding the programme's saves, and every change is handed to the
// program, which keeps it on disk. A movie's address changes with every load,
// so keys are reduced to the SharedObject's name first.
function saveNameOf(key, generation) {
    const folder = QV.host + "/" + QV.movieFolder + "/";
    const canonical = key.replace(folder + generation + "/", folder);
    const own = folder + QV.movieFile + "/";
    if (canonical.startsWith(own))
        return canonical.slice(own.length);
    // A SharedObject with a path of its own ("localPath")
    return "@" + canonical.slice(QV.host.length + 1);
}

function makeStorage(generation, programme, saves, canSave) {
    const values = Object.assign(Object.create(null), saves);
    const nameOf = (key) => saveNameOf(String(key), generation);
    const tell = (kind, name, data) => {
        if (programme)
            qv.report(generation, kind, { programme: programme, name: name, data: data });
    };
    return new Proxy(Object.create(null), {
        get: (_, key) => (typeof key === "string" ? values[nameOf(key)] : undefined),
        has: (_, key) => typeof key === "string" && nameOf(key) in values,
        set: (_, key, value) => {
            // Throwing makes the movie's flush() answer false, as Flash did
            // when it could not save.
            if (!canSave || typeof value !== "string" || value.length > QV.maxSaveChars)
                throw new Error("the save cannot be kept");
            values[nameOf(key)] = value;
            tell("save", nameOf(key), value);
            return true;
        },
        deleteProperty: (_, key) => {
            delete values[nameOf(key)];
            tell("unsave", nameOf(key));
            return true;
        },
        // Nothing to list: the runtime's menu would offer to delete saves.
        ownKeys: () => [],
        getOwnPropertyDescriptor: () => undefined,
    });
}

let currentStorage = makeStorage(0, "", {}, false);
Object.defineProperty(window, "localStorage", {
    configurable: true,
    get: () => currentStorage,
});

// The smallest movie: version 6, no stage, one empty frame.
const EMPTY_MOVIE = new Uint8Array([
    0x46, 0x57, 0x53, 6, 17, 0, 0, 0, // "FWS", version, file length
    0x00, 0x00, 12, 1, 0, // stage rectangle, 12 frames a second, 1 frame
    0x40, 0x00, 0x00, 0x00, // ShowFrame, End
]);

const qv = {
    generation: 0,
    element: null,
    api: null,
    pendingCommands: [],
    pauseTimer: 0,
    pauseRequest: 0,
    framePeriod: 1000 / 12,

    report(generation, kind, fields) {
        const event = Object.assign({ generation: generation, kind: kind }, fields);
        console.log(QV.eventPrefix + JSON.stringify(event));
    },

    clear() {
        clearTimeout(this.pauseTimer);
        cancelAnimationFrame(this.pauseRequest);
        this.pauseTimer = 0;
        this.pauseRequest = 0;
        if (this.element)
            this.element.remove(); // the runtime instance ends with its element
        this.element = null;
        this.api = null;
        this.pendingCommands = [];
        this.generation = 0;
    },

    // { generation, url, callback: whether the movie has the control callback,
    // frameRate, saved: { programme, saves: {name: base64}, canSave },
    // traces: whether its trace() lines are reported }
    load(movie) {
        const generation = movie.generation;
        const saved = movie.saved;
        this.clear();
        this.generation = generation;
        currentStorage = makeStorage(generation, saved.programme, saved.saves, saved.canSave);
        this.framePeriod = 1000 / (movie.frameRate > 0 ? movie.frameRate : 12);
        const runtime = window.RufflePlayer.newest && window.RufflePlayer.newest();
        if (!runtime) {
            this.report(generation, "error", { text: "the Flash runtime did not load" });
            return;
        }
        const element = runtime.createPlayer();
        document.body.appendChild(element);
        // Pausing is the program's business: the runtime's big play button
        // would resume behind its back.
        if (element.shadowRoot) {
            const style = document.createElement("style");
            style.textContent = "#play-button { display: none !important; }";
            element.shadowRoot.appendChild(style);
        }
        const api = element.ruffle();
        this.element = element;
        this.api = api;
        api.addFSCommandHandler((command, args) => {
            if (command !== QV.frameCommand || this.generation !== generation)
                return;
            this.report(generation, "frame", { frame: Number(args) });
            // A callback exists only once frame 1 has run: hand over what
            // waited for it. Not from here: the runtime is still running the
            // frame, and a call into it now would be dropped.
            if (movie.callback && this.pendingCommands.length > 0)
                setTimeout(() => {
                    if (this.generation === generation)
                        this.flushCommand();
                }, 0);
        });
        element.addEventListener("loadeddata", () => this.report(generation, "loaded"));
        api.load({ url: movie.url, allowScriptAccess: true })
            .then(() => {
                // Only for tests; each load makes a new instance, so it is set
                // after every load, before the movie's first frame.
                if (movie.traces)
                    api.traceObserver = (line) => this.report(generation, "trace", { line: line });
            })
            .catch((error) => {
                this.report(generation, "error", { text: String(error) });
            });
    },

    // The runtime fetches and compiles its WebAssembly for its first movie,
    // which takes longer than the movie itself. An empty movie, out of sight
    // and silent, has it done before the child chooses a programme; the
    // compiled module is kept for every movie after it.
    warmUp() {
        currentStorage = makeStorage(0, "", {}, false);
        const runtime = window.RufflePlayer.newest && window.RufflePlayer.newest();
        if (!runtime)
            return;
        const element = runtime.createPlayer();
        element.style.cssText =
            "position: absolute; left: 0; top: 0; width: 1px; height: 1px; opacity: 0;";
        document.body.appendChild(element);
        const api = element.ruffle();
        api.volume = 0;
        let finished = false;
        const done = () => {
            if (finished)
                return;
            finished = true;
            element.remove();
            this.report(0, "warm");
        };
        // Once it has run a few frames, what the first frame of a movie needs
        // has run too.
        element.addEventListener("loadeddata", () => setTimeout(done, 300));
        api.load({ data: EMPTY_MOVIE }).catch(done);
    },

    pause() {
        // The runtime paints a jump only when it next runs a frame, so the
        // player is suspended once one more frame has run: what stays on the
        // screen is then the frame last reported.
        const api = this.api;
        if (!api || this.pauseTimer || this.pauseRequest)
            return;
        this.pauseTimer = setTimeout(() => {
            this.pauseTimer = 0;
            this.pauseRequest = requestAnimationFrame(() => {
                this.pauseRequest = 0;
                if (this.api === api)
                    api.suspend();
            });
        }, this.framePeriod + 17);
    },

    resume() {
        clearTimeout(this.pauseTimer);
        cancelAnimationFrame(this.pauseRequest);
        this.pauseTimer = 0;
        this.pauseRequest = 0;
        if (this.api)
            this.api.resume();
    },

    // { generation, id, command: a letter, frame }
    command(message) {
        if (message.generation !== this.generation)
            return;
        this.pendingCommands.push([String(message.id), message.command, String(message.frame)]);
        this.flushCommand();
    },

    flushCommand() {
        const element = this.element;
        if (!element || typeof element[QV.callback] !== "function")
            return;
        for (const args of this.pendingCommands.splice(0)) {
            try {
                element[QV.callback](...args);
            } catch (error) {
                this.report(this.generation, "error", { text: "command: " + error });
            }
        }
    },
};
window.qv = qv;
