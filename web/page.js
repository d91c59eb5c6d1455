// The page around the game: loading, the keyboard and pointer kept for the
// game, and what the page says when the game ends.
'use strict';
(function () {
  const canvas = document.getElementById('canvas');
  const message = document.getElementById('message');
  const text = document.getElementById('text');
  const progress = document.getElementById('progress');
  const again = document.getElementById('again');

  function say(sentence, offerRestart) {
    text.textContent = sentence;
    progress.hidden = true;
    again.hidden = !offerRestart;
    message.hidden = false;
    if (offerRestart)
      again.focus();
  }

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    say('Drayvane 31 needs a browser that runs WebAssembly, and this one does not.', false);
    return;
  }
  again.addEventListener('click', () => location.reload());

  // Keys that would scroll, move the focus or go back belong to the game.
  const gameKeys = new Set([' ', 'Enter', 'Tab', 'Backspace', 'ArrowUp', 'ArrowDown', 'ArrowLeft',
    'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End']);
  function keepKey(event) {
    if (message.hidden && gameKeys.has(event.key))
      event.preventDefault();
  }
  window.addEventListener('keydown', keepKey);
  window.addEventListener('keyup', keepKey);
  // Button 2 opens a palette, not the browser's menu.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('mousedown', () => canvas.focus());
  canvas.focus();

  // The game's end unwinds the module with its exit status: no error.
  const isExit = (thrown) => thrown && thrown.name === 'ExitStatus';
  window.addEventListener('error', (event) => isExit(event.error) && event.preventDefault());
  window.addEventListener('unhandledrejection', (event) => isExit(event.reason) &&
    event.preventDefault());

  window.Module = {
    canvas: canvas,
    setStatus: (status) => {
      // "Downloading data... (loaded/total)" while the art comes in.
      const parts = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(status);
      if (parts) {
        progress.max = Number(parts[2]);
        progress.value = Number(parts[1]);
      }
      if (status === '' && message.dataset.ended === undefined)
        message.hidden = true; // the game runs
    },
    onExit: () => {
      message.dataset.ended = '';
      canvas.hidden = true;
      say('The game has ended.', true);
    },
    onAbort: () => {
      message.dataset.ended = '';
      say('The game stopped because of an error.', true);
    },
  };
  const script = document.createElement('script');
  script.src = 'index.js';
  script.onerror = () => say('The game could not be loaded.', true);
  document.body.appendChild(script);
})();
