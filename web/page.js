// The page's side: turns the form into the words of the equivalent `varnel` command, hands the data
// and the words to the worker, and shows what the program wrote. Nothing is computed here.
'use strict';

const page = (id) => document.getElementById(id);
const plotFile = 'varnel-plot.svg';
const reportFile = 'varnel-report.txt';
// Text beyond this is held for the worker, not laid out in the text area.
const largestShownText = 200000;

let worker = null;
let held = null;         // {name, bytes}: pasted or dropped data shown only as a summary
let running = null;      // the method of the run under way
let downloads = [];      // object URLs of the last result, revoked when replaced

function setState(state) {
  document.body.dataset.state = state;
  page('run').disabled = state !== 'idle';
  page('stop').disabled = state !== 'running';
}

function startWorker() {
  const source = new Blob([page('worker-source').textContent], {type: 'text/javascript'});
  worker = new Worker(URL.createObjectURL(source));
  worker.onmessage = (event) => received(event.data);
  worker.onerror = (event) => { showError('the page\'s worker failed: ' + event.message); setState('idle'); };
  const text = atob(page('program-wasm').textContent.trim());
  const wasm = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) wasm[i] = text.charCodeAt(i);
  worker.postMessage({type: 'init', wasm}, [wasm.buffer]);
  if (held) worker.postMessage({type: 'hold', name: held.name, bytes: held.bytes});
}

function showError(text) { page('error').textContent = text; }

// The words of the options that the form gives, in the form's order.
function optionWords(method) {
  const words = method === 'life' ? ['--life'] : [];
  for (const control of document.querySelectorAll('[data-option]')) {
    if (!control.dataset.for.split(' ').includes(method)) continue;
    if (control.type === 'checkbox') {
      if (control.checked) words.push(control.dataset.option);
      continue;
    }
    const value = control.value.trim();
    if (value === '') continue;
    const values = control.hasAttribute('data-repeat') ? value.split(/[\s,;]+/).filter((v) => v !== '') : [value];
    for (const v of values) words.push(control.dataset.option, v);
  }
  return words;
}

function shellWord(word) {
  return /^[A-Za-z0-9_.,\/:=+@%-]+$/.test(word) ? word : "'" + word.replace(/'/g, "'\\''") + "'";
}

function showControlsFor(method) {
  for (const element of document.querySelectorAll('label[data-for]'))
    element.classList.toggle('hidden', !element.dataset.for.split(' ').includes(method));
}

function run() {
  const method = page('method').value;
  const options = optionWords(method);
  const runs = method === 'life'
    ? [options.concat(['--json', '--plot', plotFile]), options]  // the JSON document, then the tables
    : [options.concat(['--json', '--plot', plotFile, '--report', reportFile])];
  const name = held ? held.name : 'pasted data';
  const command = ['varnel'].concat(runs[0], [name]).map(shellWord).join(' ');
  page('command').textContent = command;
  page('command').href = 'data:text/plain;charset=utf-8,' + encodeURIComponent(command + '\n');
  showError('');
  page('progress').textContent = '';
  running = method;
  setState('running');
  const message = {type: 'run', runs, outputs: [plotFile, reportFile]};
  if (!held) message.text = page('data').value;
  worker.postMessage(message);
}

// Stop: a classic run ends its iteration and shows the results for the m reached, as Ctrl-C does on
// the command line; a life-data analysis has no such point, so its worker is ended and started anew.
function stop() {
  if (running === 'classic') {
    worker.postMessage({type: 'stop'});
    page('progress').textContent += '  stopping…';
    return;
  }
  worker.terminate();
  running = null;
  setState('starting');
  startWorker();
  showError('stopped: the life-data analysis was abandoned');
}

function setDownload(id, contents, type) {
  const link = page(id);
  link.removeAttribute('href');
  if (contents === undefined) return;
  const url = URL.createObjectURL(new Blob([contents], {type}));
  downloads.push(url);
  link.href = url;
}

function resultsTable(results) {
  const table = document.createElement('table');
  for (const [name, value] of Object.entries(results)) {
    const row = table.insertRow();
    row.insertCell().textContent = name;
    row.insertCell().textContent = String(value);
  }
  return table;
}

function showResult(message) {
  for (const url of downloads) URL.revokeObjectURL(url);
  downloads = [];
  const results = page('results');
  results.textContent = '';
  page('plot').textContent = '';
  const first = message.runs[0];
  if (!first) {
    showError(message.error);
    setDownload('download-json');
    setDownload('download-svg');
    setDownload('download-report');
    page('json').textContent = '';
    return;
  }
  // Failures are what the program said on standard error; on success that is notes only.
  const said = first.stderr.replace(/\n$/, '');
  if (first.status !== 0) showError(said || first.failure || 'the program ended with status ' + first.status);
  else if (said !== '') {
    const note = document.createElement('p');
    note.id = 'notes';
    note.textContent = said;
    results.append(note);
  }
  page('json').textContent = first.stdout;
  setDownload('download-json', first.stdout, 'application/json');
  const svg = first.files[plotFile];
  setDownload('download-svg', svg, 'image/svg+xml');
  setDownload('download-report', first.files[reportFile], 'text/plain');
  if (svg) page('plot').innerHTML = new TextDecoder().decode(svg);
  let document_ = null;
  try { document_ = JSON.parse(first.stdout); } catch (e) { /* no document: the error says why */ }
  if (running === 'life' && message.runs[1] && message.runs[1].stdout !== '') {
    const tables = document.createElement('pre');
    tables.id = 'tables';
    tables.textContent = message.runs[1].stdout;
    results.append(tables);
  } else if (document_ && document_.results) {
    const heading = document.createElement('p');
    heading.textContent = `n = ${document_.n}, iteration ${document_.ending}${document_.stopped ? ' (stopped)' : ''}`;
    results.append(heading, resultsTable(document_.results));
  }
}

function received(message) {
  if (message.type === 'ready') setState('idle');
  else if (message.type === 'progress') page('progress').textContent = `m = ${message.m}  g(m) = ${message.g}`;
  else if (message.type === 'result') {
    showResult(message);
    running = null;
    setState('idle');
  }
}

function lineCount(text) {
  let lines = 0;
  for (let i = text.indexOf('\n'); i !== -1; i = text.indexOf('\n', i + 1)) ++lines;
  return lines + (text !== '' && !text.endsWith('\n') ? 1 : 0);
}

// Data too big to lay out goes to the worker as it came; the text area shows a summary instead.
function hold(name, bytes, lines) {
  held = {name, bytes};
  worker.postMessage({type: 'hold', name, bytes});
  const data = page('data');
  data.value = '';
  data.placeholder = `${name}: ${lines === null ? '' : lines.toLocaleString('en') + ' lines, '}` +
    `${bytes.length.toLocaleString('en')} bytes, held for the run (not shown). Type or paste to replace it.`;
  showError('');
}

function release() {
  if (!held) return;
  held = null;
  worker.postMessage({type: 'release'});
  page('data').placeholder = '';
}

function pasted(event) {
  const text = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
  event.preventDefault();
  if (text.length > largestShownText) {
    hold('pasted data', new TextEncoder().encode(text), lineCount(text));
    return;
  }
  release();
  const data = page('data');
  data.setRangeText(text, data.selectionStart, data.selectionEnd, 'end');
}

// A dropped file is read as bytes and held, so the reader sees exactly the file's contents.
async function dropped(event) {
  event.preventDefault();
  const file = event.dataTransfer && event.dataTransfer.files[0];
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  let lines = 0;
  for (const b of bytes) if (b === 10) ++lines;
  hold(file.name, bytes, lines + (bytes.length > 0 && bytes[bytes.length - 1] !== 10 ? 1 : 0));
}

page('data').addEventListener('paste', pasted);
page('data').addEventListener('input', release);
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', dropped);
page('method').addEventListener('change', () => showControlsFor(page('method').value));
page('run').addEventListener('click', run);
page('stop').addEventListener('click', stop);
showControlsFor(page('method').value);
setState('starting');
startWorker();
