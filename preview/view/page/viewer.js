// flakecoat view: builds one control per input the host declares, sends each
// change as NAME=VALUE, and shows the newest image of the latest settings.
'use strict';

const $ = (id) => document.getElementById(id);

let state = null;          // the last GET /state
let shownSerial = 0;       // the serial of the image on screen
let shownGeneration = 0;   // the newest generation shown: never go back
let waiting = false;       // an image request loop runs
let imageUrl = null;

// Changes waiting to be sent, by key; a drag sends only its latest value.
const queue = new Map();
let sending = false;

function showMessage(text) { $('message').textContent = text || ''; }

async function getJson(path) {
  const reply = await fetch(path, { cache: 'no-store' });
  if (!reply.ok) throw new Error((await reply.text()).trim());
  return reply.json();
}

function send(key, path, body, control) {
  queue.set(key, { path, body, control });
  pump();
}

async function pump() {
  if (sending || queue.size === 0) return;
  const [key, change] = queue.entries().next().value;
  queue.delete(key);
  sending = true;
  try {
    const reply = await fetch(change.path, { method: 'POST', body: change.body, headers: { 'Content-Type': 'text/plain' } });
    const text = (await reply.text()).trim();
    if (!reply.ok) {
      markControl(change.control, text);
      showMessage(text);
    } else {
      markControl(change.control, '');
      showMessage('');
      expectGeneration(JSON.parse(text).generation);
      // The command line follows once a drag has sent its last value.
      if (queue.size === 0) refreshCommand();
    }
  } catch (error) {
    showMessage('the viewer is not answering: ' + error.message);
  } finally {
    sending = false;
    pump();
  }
}

function markControl(control, message) {
  if (!control) return;
  control.classList.toggle('bad', Boolean(message));
  let note = control.querySelector('.error');
  if (message && !note) {
    note = document.createElement('div');
    note.className = 'error';
    control.appendChild(note);
  }
  if (note) note.textContent = message;
}

// --- images -------------------------------------------------------------

function expectGeneration(generation) {
  document.dispatchEvent(new CustomEvent('flakecoat:accepted', { detail: { generation } }));
  if (!waiting) waitForImages();
}

// One request at a time, for the first image newer than the one shown. While
// a slider moves, the server finishes a reduced image of some recent value
// every few frames: each is shown as it comes, even when newer changes are
// on their way (waiting for the latest would show nothing until the drag
// stops). A pending request is not abandoned on a change: abandoned
// requests would tie up server threads.
async function waitForImages() {
  waiting = true;
  for (;;) {
    try {
      const reply = await fetch(`/image.png?after=${shownSerial}&generation=${shownGeneration}`, { cache: 'no-store' });
      if (reply.status === 204) continue;
      if (!reply.ok) throw new Error((await reply.text()).trim());
      const header = (name) => Number(reply.headers.get(name));
      const blob = await reply.blob();
      await showImage(blob, header('X-Image-Serial'), header('X-Image-Generation'), header('X-Image-Spp'),
                      header('X-Image-Divisor') || 1);
      $('problem').textContent = reply.headers.get('X-Image-Note') || '';
    } catch (error) {
      await new Promise((resolve) => setTimeout(resolve, 500));
    }
  }
}

// A reduced image fills the same box as the full one: the box keeps the
// full image's shape, and the browser scales the pixels up.
function fitImageBox(image) {
  if (state && state.width > 0 && state.height > 0) image.style.aspectRatio = `${state.width} / ${state.height}`;
}

function progressText(spp, divisor) {
  if (divisor > 1) return `preview at 1/${divisor} size`;
  const last = state ? state.steps[state.steps.length - 1] : spp;
  return `${spp} sample${spp === 1 ? '' : 's'} per pixel` + (spp >= last ? ' (done)' : ', refining');
}

async function showImage(blob, serial, generation, spp, divisor) {
  const url = URL.createObjectURL(blob);
  const image = $('image');
  fitImageBox(image);
  image.src = url;
  try { await image.decode(); } catch (error) { /* shown when it loads */ }
  if (imageUrl) URL.revokeObjectURL(imageUrl);
  imageUrl = url;
  shownSerial = serial;
  shownGeneration = Math.max(shownGeneration, generation);
  const save = $('save');
  save.href = url;
  save.download = `flakecoat-${state ? state.host : 'view'}.png`;
  $('progress').textContent = progressText(spp, divisor);
  window.flakecoatShown = { serial, generation, spp, divisor };
  document.dispatchEvent(new CustomEvent('flakecoat:image', { detail: window.flakecoatShown }));
}

// --- controls -----------------------------------------------------------

function formatNumber(value) { return String(Number(value.toPrecision(6))); }

// The swatch shows what the page shows: sRGB-encoded display values of the
// linear values the shader takes.
function linearToSrgb(v) {
  const c = Math.min(1, Math.max(0, v));
  return c <= 0.0031308 ? 12.92 * c : 1.055 * Math.pow(c, 1 / 2.4) - 0.055;
}
function srgbToLinear(c) { return c <= 0.04045 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4); }

function colorHex(values) {
  return '#' + values.map((v) => Math.round(linearToSrgb(v) * 255).toString(16).padStart(2, '0')).join('');
}
function hexToLinear(hex) {
  return [0, 1, 2].map((i) => srgbToLinear(parseInt(hex.substr(1 + 2 * i, 2), 16) / 255));
}

// How each component is called: its own name's ending (colorR: R,
// depthRangeMin: Min), else by position.
function componentNames(input) {
  if (input.arity === 1) return [''];
  if (input.children.length === input.arity) {
    return input.children.map((child) => (child.startsWith(input.name) ? child.slice(input.name.length) : child));
  }
  return (input.usedAsColor ? ['R', 'G', 'B'] : ['X', 'Y', 'Z']).slice(0, input.arity);
}

function numberField(input, index, value) {
  const field = document.createElement('input');
  field.type = 'number';
  field.step = input.kind === 'integer' ? '1' : 'any';
  field.name = input.name;
  field.dataset.index = index;
  field.value = formatNumber(value);
  field.setAttribute('aria-label', input.arity > 1 ? `${input.label} ${index}` : input.label);
  return field;
}

function slider(input, index, value) {
  const range = document.createElement('input');
  range.type = 'range';
  range.name = input.name;
  range.dataset.index = index;
  range.min = input.softMin;
  range.max = input.softMax;
  range.step = input.kind === 'integer' ? 1 : (input.softMax - input.softMin) / 1000;
  range.value = value;
  range.setAttribute('aria-label', `${input.label} slider` + (input.arity > 1 ? ` ${index}` : ''));
  return range;
}

function buildControl(input, values) {
  const control = document.createElement('div');
  control.className = 'control';
  control.dataset.input = input.name;
  const label = document.createElement('span');
  label.className = 'label';
  label.textContent = input.label;
  label.title = `${input.description} (${input.name})`;
  control.appendChild(label);
  const box = document.createElement('div');
  box.className = 'values';
  control.appendChild(box);

  const submit = (text) => send('set:' + input.name, '/set', `${input.name}=${text}`, control);

  if (input.kind === 'boolean') {
    const check = document.createElement('input');
    check.type = 'checkbox';
    check.name = input.name;
    check.checked = values[0] !== 0;
    check.title = input.description;
    check.addEventListener('change', () => submit(check.checked ? 'on' : 'off'));
    box.appendChild(check);
    return control;
  }

  const fields = values.map((value, index) => numberField(input, index, value));
  const sliders = values.map((value, index) => slider(input, index, value));
  const fieldText = () => fields.map((field) => field.value.trim()).join(',');
  let picker = null;
  const showPicker = () => {
    if (picker && fields.every((f) => Number.isFinite(Number(f.value)))) picker.value = colorHex(fields.map((f) => Number(f.value)));
  };

  if (input.usedAsColor) {
    picker = document.createElement('input');
    picker.type = 'color';
    picker.name = input.name;
    picker.title = 'colour as displayed (sRGB); the values are linear';
    picker.value = colorHex(values);
    picker.addEventListener('input', () => {
      hexToLinear(picker.value).forEach((v, i) => {
        fields[i].value = formatNumber(v);
        sliders[i].value = v;
      });
      submit(fieldText());
    });
    label.appendChild(picker);
  }
  const names = componentNames(input);
  fields.forEach((field, i) => {
    const row = document.createElement('div');
    row.className = 'component';
    const name = document.createElement('span');
    name.textContent = names[i];
    row.append(name, sliders[i], field);
    sliders[i].addEventListener('input', () => {
      field.value = formatNumber(Number(sliders[i].value));
      showPicker();
      submit(fieldText());
    });
    field.addEventListener('change', () => {
      if (field.value.trim() !== '' && Number.isFinite(Number(field.value))) sliders[i].value = field.value;
      showPicker();
      submit(fieldText());
    });
    box.appendChild(row);
  });
  return control;
}

async function buildControls() {
  const description = await getJson('/inputs');
  const form = $('controls');
  form.replaceChildren();
  const frames = new Map();
  for (const group of description.groups) {
    const frame = document.createElement('fieldset');
    const legend = document.createElement('legend');
    legend.textContent = group;
    frame.appendChild(legend);
    frames.set(group, frame);
  }
  for (const input of description.inputs) {
    if (!frames.has(input.group)) frames.set(input.group, document.createElement('fieldset'));
    frames.get(input.group).appendChild(buildControl(input, state.values[input.name] || input.default));
  }
  for (const frame of frames.values()) if (frame.querySelector('.control')) form.appendChild(frame);
}

// --- the view: host, lights, environment, floor, exposure -------------------

function fillSelect(select, options, chosen) {
  select.replaceChildren(...options.map(({ value, label }) => new Option(label, value, false, value === chosen)));
}

function showState() {
  fillSelect($('host'), state.hosts.map((h) => ({ value: h, label: h })), state.host);
  fillSelect($('lights'), state.lightRigs.map((r) => ({ value: r, label: r })), state.lights);
  fillSelect($('environment'), state.environments, state.environment);
  fillSelect($('floor'), state.floors.map((f) => ({ value: f, label: f })), state.floor);
  $('exposure').value = state.exposure;
  $('exposureValue').textContent = formatNumber(state.exposure);
  $('command').value = state.command;
  showCamera();
}

// At most one /state request at a time; changes meanwhile ask for one more.
let refreshing = null;
let refreshAgain = false;
async function refreshCommand() {
  if (refreshing) { refreshAgain = true; return refreshing; }
  refreshing = (async () => {
    do {
      refreshAgain = false;
      try {
        state = await getJson('/state');
        $('command').value = state.command;
      } catch (error) { /* the next change tries again */ }
    } while (refreshAgain);
    refreshing = null;
  })();
  return refreshing;
}

async function reload() {
  state = await getJson('/state');
  showState();
  await buildControls();
  expectGeneration(state.generation);
}

async function changeView(key, value, rebuild) {
  const reply = await fetch('/view', { method: 'POST', body: `${key}=${value}`, headers: { 'Content-Type': 'text/plain' } });
  const text = (await reply.text()).trim();
  if (!reply.ok) return showMessage(text);
  showMessage('');
  expectGeneration(JSON.parse(text).generation);
  if (rebuild) await reload(); else await refreshCommand();
}

// --- the camera: drag to orbit, wheel to zoom, a close-up toggle -----------

// Degrees per pixel dragged, and the zoom factor per wheel pixel.
const kDragDegrees = 0.4;
const kWheelRate = 0.0015;
const kStartingView = { orbit: 0, elevation: 10, zoom: 1 };
let camera = null;  // as last sent; the state's until the user moves it

function showCamera() {
  camera = { ...state.camera };
  $('closeup').checked = camera.shot === 'closeup';
  showCameraValue();
}

function showCameraValue() {
  $('cameraValue').textContent =
    `orbit ${formatNumber(camera.orbit)}°, elevation ${formatNumber(camera.elevation)}°, zoom ${formatNumber(camera.zoom)}`;
}

// Sends a part whose shown value (six digits) changes.
function sendCamera(key, value) {
  const text = formatNumber(value);
  if (text === formatNumber(camera[key])) return;
  camera[key] = Number(text);
  showCameraValue();
  send('view:' + key, '/view', `${key}=${text}`, null);
}

const roundTo = (value, step) => Math.round(value / step) * step;
const clamp = (value, low, high) => Math.min(high, Math.max(low, value));

function connectCamera() {
  const image = $('image');
  let drag = null;
  image.addEventListener('pointerdown', (e) => {
    if (!camera) return;
    drag = { x: e.clientX, y: e.clientY, orbit: camera.orbit, elevation: camera.elevation };
    image.setPointerCapture(e.pointerId);
    image.classList.add('dragging');
    e.preventDefault();
  });
  image.addEventListener('pointermove', (e) => {
    if (!drag) return;
    // The object follows the pointer: dragging right turns its right side away
    const orbit = roundTo(drag.orbit - (e.clientX - drag.x) * kDragDegrees, 0.1);
    const elevation = clamp(roundTo(drag.elevation + (e.clientY - drag.y) * kDragDegrees, 0.1), -90, 90);
    sendCamera('orbit', orbit);
    sendCamera('elevation', elevation);
  });
  const release = () => {
    drag = null;
    image.classList.remove('dragging');
  };
  image.addEventListener('pointerup', release);
  image.addEventListener('pointercancel', release);
  image.addEventListener('dragstart', (e) => e.preventDefault());
  image.addEventListener('wheel', (e) => {
    if (!camera) return;
    e.preventDefault();
    sendCamera('zoom', clamp(camera.zoom * Math.exp(-e.deltaY * kWheelRate), 0.001, 1000));
  }, { passive: false });
  image.addEventListener('dblclick', () => {
    if (!camera) return;
    for (const [key, value] of Object.entries(kStartingView)) sendCamera(key, value);
  });
  $('closeup').addEventListener('change', (e) => {
    camera.shot = e.target.checked ? 'closeup' : 'whole';
    changeView('shot', camera.shot, false);
  });
}

function connect() {
  connectCamera();
  $('host').addEventListener('change', (e) => changeView('host', e.target.value, true));
  $('lights').addEventListener('change', (e) => changeView('lights', e.target.value, false));
  $('environment').addEventListener('change', (e) => changeView('environment', e.target.value, false));
  $('floor').addEventListener('change', (e) => changeView('floor', e.target.value, false));
  $('exposure').addEventListener('input', (e) => {
    $('exposureValue').textContent = formatNumber(Number(e.target.value));
    send('view:exposure', '/view', `exposure=${e.target.value}`, null);
  });
  $('reset').addEventListener('click', async () => {
    const reply = await fetch('/reset', { method: 'POST' });
    if (reply.ok) {
      expectGeneration(JSON.parse(await reply.text()).generation);
      await reload();
    }
  });
  $('lookFile').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    if (!file) return;
    const reply = await fetch('/look', { method: 'POST', body: await file.text(), headers: { 'Content-Type': 'application/json' } });
    const text = (await reply.text()).trim();
    e.target.value = '';
    if (!reply.ok) return showMessage(text);
    const loaded = JSON.parse(text);
    showMessage(loaded.notes.join('; '));
    expectGeneration(loaded.generation);
    await reload();
  });
  $('copy').addEventListener('click', async () => {
    const command = $('command');
    try {
      await navigator.clipboard.writeText(command.value);
    } catch (error) {
      command.select();
      document.execCommand('copy');
    }
    $('progress').textContent = 'command copied';
  });
}

connect();
reload().catch((error) => showMessage('cannot read the viewer state: ' + error.message));
