// The page's worker: runs the command-line program, compiled to WebAssembly, on the data and words
// the page sends, and sends back what the program wrote. Each run gets a fresh instance of the
// program (fresh globals, as a fresh process has), all made from the one compiled module.
'use strict';

let compiled = null;  // the WebAssembly module, compiled once
let held = null;      // {name, bytes}: data handed over by a paste or drop, until replaced
let stopFlag = null;  // {program, address}: where Stop writes 1 while a run goes on

// The monitor line that the program rewrites on an interactive standard error:
// "\rvarnel: iterating  m = 1.2345e+00  g(m) =-3.0000e-01  (Ctrl-C stops)\033[K".
const monitorPattern = /iterating\s+m =(.*?)\s+g\(m\) =(.*?)\s+\(/;

// Standard error byte by byte: monitor lines become progress messages, the rest is the error text.
function standardError() {
  const bytes = [];
  let line = null;  // the monitor line being written, after its carriage return
  return {
    write(c) {
      if (c === null || c === undefined) return;
      if (c === 13) { line = []; return; }
      if (line === null) { bytes.push(c); return; }
      line.push(c);
      if (line.length >= 3 && line[line.length - 3] === 27 && line[line.length - 2] === 91 && line[line.length - 1] === 75) {
        const text = new TextDecoder().decode(new Uint8Array(line));
        const match = monitorPattern.exec(text);
        if (match) postMessage({type: 'progress', m: match[1].trim(), g: match[2].trim()});
        line = null;
      }
    },
    text() { return new TextDecoder().decode(new Uint8Array(bytes)); },
  };
}

// Runs the program once with `argv` on the data file `name`; resolves with its exit status, what it
// wrote, and the files named in `outputs` (absent when it did not write them).
function runProgram(argv, name, bytes, outputs) {
  return new Promise((resolve) => {
    const stdout = [];
    const stderr = standardError();
    let program = null;
    let ended = false;
    const finish = (status, failure) => {
      if (ended) return;
      ended = true;
      stopFlag = null;
      const files = {};
      for (const path of outputs) {
        try { files[path] = program.FS.readFile(path); } catch (e) { /* not written */ }
      }
      resolve({status, failure, stdout: new TextDecoder().decode(new Uint8Array(stdout)), stderr: stderr.text(), files});
    };
    createVarnel({
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(compiled, imports).then((instance) => done(instance));
        return {};
      },
      stdin: () => null,
      stdout: (c) => { if (c !== null && c !== undefined) stdout.push(c); },
      stderr: (c) => stderr.write(c),
      varnelEnded: (status) => finish(status),
      onAbort: (what) => finish(-1, 'the program failed: ' + what),
    }).then((instance) => {
      program = instance;
      program.FS.writeFile(name, bytes);
      // The page is the user's terminal: standard error counts as interactive, so the program
      // shows its monitor there as it does in a terminal.
      program.FS.getStream(2).tty = true;
      stopFlag = {program, address: program._varnelStopFlag()};
      const words = ['varnel'].concat(argv);
      const pointers = program._malloc(4 * (words.length + 1));
      words.forEach((word, i) => { program.HEAP32[(pointers >> 2) + i] = program.allocateUTF8(word); });
      program.HEAP32[(pointers >> 2) + words.length] = 0;
      program._varnelRun(words.length, pointers);
    });
  });
}

async function run(message) {
  const data = message.text !== undefined ? {name: 'pasted data', bytes: new TextEncoder().encode(message.text)} : held;
  if (!data) {
    postMessage({type: 'result', runs: [], error: 'no data: paste the text of a data file or drop a file'});
    return;
  }
  const runs = [];
  for (const argv of message.runs) {
    const words = argv.concat([data.name]);
    runs.push(await runProgram(words, data.name, data.bytes, message.outputs));
  }
  postMessage({type: 'result', runs, name: data.name});
}

onmessage = async (event) => {
  const message = event.data;
  if (message.type === 'init') {
    compiled = await WebAssembly.compile(message.wasm);
    postMessage({type: 'ready'});
  } else if (message.type === 'hold') {
    held = {name: message.name, bytes: new Uint8Array(message.bytes)};
  } else if (message.type === 'release') {
    held = null;
  } else if (message.type === 'run') {
    await run(message);
  } else if (message.type === 'stop') {
    // Read by the iteration once per step, as the command line's Ctrl-C flag is.
    if (stopFlag) stopFlag.program.HEAP32[stopFlag.address >> 2] = 1;
  }
};
