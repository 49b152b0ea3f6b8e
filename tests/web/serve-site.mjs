// A server for the browser tests of both engines.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

// The built site on a server of the test's own, which it can cut (a second
// visit with no network); a file named in special is answered by its
// function (a slow network).
export async function serveSite(dir, special = {}) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                 '.jpg': 'image/jpeg', '.png': 'image/png',
                 '.webmanifest': 'application/manifest+json'};
  const server = http.createServer((request, response) => {
    let name = path.normalize(new URL(request.url, 'http://site').pathname).slice(1);
    if (name === '') name = 'index.html';
    fs.readFile(path.join(dir, name), (error, data) => {
      if (error) {
        response.writeHead(404).end();
      } else if (special[name]) {
        special[name](data, response);
      } else {
        response.writeHead(200, {'Content-Type': types[path.extname(name)] ?? 'text/plain'});
        response.end(data);
      }
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  let open = true;
  return {
    address: `http://127.0.0.1:${server.address().port}/`,
    close: async () => {
      if (!open) return;
      open = false;
      server.closeAllConnections();
      await new Promise((resolve) => server.close(resolve));
    },
  };
}
