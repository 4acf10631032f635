// The converter: a worker (worker.js, started from a blob: URL with the
// WebAssembly bytes this page carries, so the page works opened from disk as
// well as served) answering requests by id. Each open problem file has one,
// the way back another; stopping one gives its memory back.

const wasm = Uint8Array.from(atob(document.getElementById('CoreWasm').textContent.trim()), (c) => c.charCodeAt(0));
const workerUrl = URL.createObjectURL(new Blob([document.getElementById('WorkerSource').textContent],
                                               { type: 'text/javascript' }));

// Thrown to a request whose worker was stopped.
class Stopped extends Error {}

class Converter {
  constructor() {
    this.worker = new Worker(workerUrl);
    this.pending = new Map();
    this.nextId = 1;
    this.worker.onmessage = ({ data }) => this.answer(data);
    this.worker.onerror = (event) => {
      event.preventDefault();
      this.failAll(new Error(event.message || 'the converter stopped'));
    };
    // What the core says at its start (texts, sizes, its memory).
    this.ready = this.post('start', { wasm, japanese: kJapanese });
  }

  // Resolves to the action's result; onProgress(done, total) on the way.
  async request(action, args = {}, onProgress = () => {}) {
    await this.ready;
    return this.post(action, args, onProgress);
  }

  post(action, args, onProgress = () => {}) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, onProgress });
      this.worker.postMessage({ id, action, args });
    });
  }

  answer({ id, result, error, progress }) {
    const request = this.pending.get(id);
    if (!request) return;
    if (progress) {
      request.onProgress(progress.done, progress.total);
      return;
    }
    this.pending.delete(id);
    if (error !== undefined) request.reject(new Error(error));
    else request.resolve(result);
  }

  failAll(error) {
    for (const request of this.pending.values()) request.reject(error);
    this.pending.clear();
  }

  stop() {
    this.worker.terminate();
    this.failAll(new Stopped());
  }
}
