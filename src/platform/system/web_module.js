// The game's module in the page: the video driver it is to use, the files the
// browser's storage keeps (read back before the game starts, written through
// by web.cpp after every replaced file) and the page's icon from the art.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  ENV['SDL_VIDEODRIVER'] = 'emscripten';
  addRunDependency('drayvane-storage');
  Module['drayvaneStorage'].restore().catch(function () {
    // No storage (a private window, or none allowed): no saved designs.
  }).then(function () {
    removeRunDependency('drayvane-storage');
  });
});

Module['drayvaneStorage'] = (function () {
  var databaseName = 'drayvane31';
  var storeName = 'files';
  var opened = null;

  function open() {
    if (!opened) {
      opened = new Promise(function (resolve, reject) {
        var request = indexedDB.open(databaseName, 1);
        request.onupgradeneeded = function () {
          request.result.createObjectStore(storeName);
        };
        request.onsuccess = function () { resolve(request.result); };
        request.onerror = function () { reject(request.error); };
      });
      opened.catch(function () { opened = null; });
    }
    return opened;
  }

  return {
    // Every kept file back into the page's file system, under its own name.
    restore: function () {
      return open().then(function (db) {
        return new Promise(function (resolve, reject) {
          var files = [];
          var cursor = db.transaction(storeName, 'readonly').objectStore(storeName).openCursor();
          cursor.onsuccess = function () {
            var at = cursor.result;
            if (!at) {
              files.forEach(function (file) {
                FS.mkdirTree(file.name.substring(0, file.name.lastIndexOf('/')) || '/');
                FS.writeFile(file.name, file.bytes);
              });
              resolve(files.length);
              return;
            }
            files.push({ name: at.key, bytes: new Uint8Array(at.value) });
            at.continue();
          };
          cursor.onerror = function () { reject(cursor.error); };
        });
      });
    },
    // Resolves true once the bytes are stored for good, false if refused.
    keep: function (name, bytes) {
      return open().then(function (db) {
        return new Promise(function (resolve) {
          var transaction = db.transaction(storeName, 'readwrite');
          transaction.oncomplete = function () { resolve(true); };
          transaction.onabort = function () { resolve(false); };
          transaction.onerror = function () { resolve(false); };
          try {
            transaction.objectStore(storeName).put(bytes.buffer, name);
          } catch (e) {
            resolve(false);
          }
        });
      }, function () { return false; });
    }
  };
})();

// The game's turns (web.cpp): the next animation frame, at most 60 a second;
// a turn for the page's waiting tasks, without a timer's delay; and the
// game's work in the last frames, in milliseconds, for the figures.
Module['drayvaneTurns'] = {
  lastFrame: undefined,
  frameWork: [],
  nextFrame: async function () {
    var gap = 1000 / 60 - 2; // the browser's frame times wobble a little
    for (;;) {
      var time = await new Promise(function (resolve) { requestAnimationFrame(resolve); });
      if (this.lastFrame === undefined || time - this.lastFrame >= gap) {
        this.lastFrame = time;
        return;
      }
    }
  },
  yieldNow: function () {
    return new Promise(function (resolve) {
      var channel = new MessageChannel();
      channel.port1.onmessage = function () { resolve(); };
      channel.port2.postMessage(0);
    });
  },
  noteFrameWork: function (ms) {
    this.frameWork.push(ms);
    if (this.frameWork.length > 600)
      this.frameWork.shift();
  }
};

Module['onRuntimeInitialized'] = function () {
  // The page's icon: the crossed swords of the art.
  try {
    var png = FS.readFile('/game/IronholdArt/swords.png');
    var link = document.querySelector('link[rel="icon"]') || document.createElement('link');
    link.rel = 'icon';
    link.href = URL.createObjectURL(new Blob([png], { type: 'image/png' }));
    document.head.appendChild(link);
  } catch (e) {
    // The page keeps the browser's own icon.
  }
};
