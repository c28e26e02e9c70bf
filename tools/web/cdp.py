"""Headless Chromium driven over the DevTools protocol, with nothing but
Python's standard library: a small WebSocket client, the browser started with
its own empty profile and ended by its own process id, and a page whose
console lines, exceptions and screenshots the caller reads.

Used by tools/web/run_web_tests.py and tools/run-web-demo.sh.
"""
import base64
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
import urllib.request

CHROMIUM = '/usr/bin/chromium'


class WebSocket:
    """Just enough of RFC 6455 for the DevTools protocol: text frames, masked
    from the client, any length, fragments, pings and close."""

    def __init__(self, url, timeout=30.0):
        assert url.startswith('ws://')
        hostport, _, path = url[5:].partition('/')
        host, _, port = hostport.partition(':')
        self.sock = socket.create_connection((host, int(port or 80)), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        request = (f'GET /{path} HTTP/1.1\r\nHost: {hostport}\r\nUpgrade: websocket\r\n'
                   f'Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n')
        self.sock.sendall(request.encode())
        self.buffer = b''
        while b'\r\n\r\n' not in self.buffer:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise ConnectionError('DevTools closed the connection during the handshake')
            self.buffer += chunk
        head, _, self.buffer = self.buffer.partition(b'\r\n\r\n')
        if b' 101 ' not in head.split(b'\r\n')[0]:
            raise ConnectionError('DevTools refused the WebSocket: ' + head.split(b'\r\n')[0].decode())

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(max(65536, n - len(self.buffer)))
            if not chunk:
                raise ConnectionError('DevTools closed the connection')
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def send(self, text):
        payload = text.encode()
        n = len(payload)
        if n < 126:
            header = struct.pack('!BB', 0x81, 0x80 | n)
        elif n < 65536:
            header = struct.pack('!BBH', 0x81, 0x80 | 126, n)
        else:
            header = struct.pack('!BBQ', 0x81, 0x80 | 127, n)
        mask = os.urandom(4)
        masked = bytes(b ^ mask[i & 3] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def recv(self, timeout):
        """One whole message, or None when none arrives within timeout seconds."""
        self.sock.settimeout(timeout)
        try:
            first = self._read(2)
        except socket.timeout:
            return None
        self.sock.settimeout(30.0)
        message = b''
        while True:
            fin, opcode = first[0] & 0x80, first[0] & 0x0F
            n = first[1] & 0x7F
            if n == 126:
                n = struct.unpack('!H', self._read(2))[0]
            elif n == 127:
                n = struct.unpack('!Q', self._read(8))[0]
            if first[1] & 0x80:
                mask = self._read(4)
                payload = bytes(b ^ mask[i & 3] for i, b in enumerate(self._read(n)))
            else:
                payload = self._read(n)
            if opcode == 0x8:
                raise ConnectionError('DevTools closed the WebSocket')
            if opcode == 0x9:  # ping: answered with a pong of the same payload
                self.sock.sendall(struct.pack('!BB', 0x8A, 0x80 | len(payload)) + b'\0\0\0\0' + payload)
            elif opcode in (0x0, 0x1, 0x2):
                message += payload
                if fin:
                    return message.decode()
            first = self._read(2)

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass


class Page:
    """One tab: protocol calls, and the console lines and exceptions seen so far."""

    def __init__(self, ws_url):
        self.ws = WebSocket(ws_url)
        self.next_id = 0
        self.lines = []        # (seconds since navigate, 'log'|'error'|..., text)
        self.exceptions = []
        self.started = time.time()

    def call(self, method, **params):
        self.next_id += 1
        my_id = self.next_id
        self.ws.send(json.dumps({'id': my_id, 'method': method, 'params': params}))
        while True:
            text = self.ws.recv(60.0)
            if text is None:
                raise TimeoutError(f'{method}: no answer in 60 s')
            msg = json.loads(text)
            if msg.get('id') == my_id:
                if 'error' in msg:
                    raise RuntimeError(f'{method}: {msg["error"]}')
                return msg.get('result', {})
            self._event(msg)

    def _event(self, msg):
        method = msg.get('method')
        now = time.time() - self.started
        if method == 'Runtime.consoleAPICalled':
            p = msg['params']
            text = ' '.join(str(a.get('value', a.get('description', ''))) for a in p['args'])
            for line in text.split('\n'):
                self.lines.append((now, p['type'], line))
        elif method == 'Log.entryAdded':
            e = msg['params']['entry']
            self.lines.append((now, 'browser-' + e['level'], e['text']))
        elif method == 'Runtime.exceptionThrown':
            d = msg['params']['exceptionDetails']
            ex = d.get('exception', {})
            self.exceptions.append(f"{d.get('text')} {ex.get('description') or ex.get('value') or ''}".strip())

    def pump(self, seconds):
        """Takes in events for about `seconds`."""
        end = time.time() + seconds
        while True:
            left = end - time.time()
            if left <= 0:
                return
            text = self.ws.recv(left)
            if text is not None:
                self._event(json.loads(text))

    def wait_for(self, predicate, seconds):
        """Pumps events until predicate(page) holds; False after `seconds`."""
        end = time.time() + seconds
        while time.time() < end:
            if predicate(self):
                return True
            self.pump(min(0.05, max(0.0, end - time.time())))
        return predicate(self)

    def has_line(self, needle):
        return any(needle in text for _, _, text in self.lines)

    def evaluate(self, expression):
        r = self.call('Runtime.evaluate', expression=expression, returnByValue=True, awaitPromise=True)
        if 'exceptionDetails' in r:
            raise RuntimeError(f'evaluate {expression[:60]}: {r["exceptionDetails"].get("text")}')
        return r['result'].get('value')

    def navigate(self, url):
        self.started = time.time()
        self.call('Page.navigate', url=url)

    def screenshot(self, path):
        data = self.call('Page.captureScreenshot', format='png')['data']
        with open(path, 'wb') as f:
            f.write(base64.b64decode(data))

    def pull_file(self, page_path, local_path):
        """Copies a file of the page's file system (Module.FS) out."""
        encoded = self.evaluate(
            f'(function(){{var d=FS.readFile({json.dumps(page_path)}); var s="";'
            f'for (var i=0;i<d.length;i+=8192) s+=String.fromCharCode.apply(null, d.subarray(i,i+8192));'
            f'return btoa(s);}})()')
        with open(local_path, 'wb') as f:
            f.write(base64.b64decode(encoded))

    # Input, as the browser's own events.
    KEYS = {'ArrowLeft': ('ArrowLeft', 37), 'ArrowRight': ('ArrowRight', 39), 'ArrowUp': ('ArrowUp', 38),
            'ArrowDown': ('ArrowDown', 40), 'Space': (' ', 32), 'Escape': ('Escape', 27),
            'Enter': ('Enter', 13), 'ShiftLeft': ('Shift', 16)}

    def key(self, code, down):
        if code.startswith('Key'):
            key, keycode = code[3:].lower(), ord(code[3:])
        elif code.startswith('Digit'):
            key, keycode = code[5:], ord(code[5:])
        else:
            key, keycode = self.KEYS[code]
        self.call('Input.dispatchKeyEvent', type='rawKeyDown' if down else 'keyUp', key=key, code=code,
                  windowsVirtualKeyCode=keycode, nativeVirtualKeyCode=keycode)

    def mouse(self, kind, x, y, button='none', **extra):
        self.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button=button, **extra)


class Browser:
    """Headless Chromium with a new empty profile, reachable on 127.0.0.1 only."""

    def __init__(self, width=1300, height=900):
        self.profile = tempfile.mkdtemp(prefix='qm-chromium-')
        # No --disable-gpu: with it the page's frames are composited in
        # software, each one read back from WebGL and waited for (the demo
        # ran about 15% slower). Without it, SwiftShader composites too.
        flags = ['--headless', '--no-sandbox', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--disable-dev-shm-usage',
                 # The GPU's work (SwiftShader) on a thread of the browser's
                 # process: no separate GPU process to hand every frame to.
                 '--in-process-gpu',
                 '--no-default-browser-check', f'--user-data-dir={self.profile}',
                 '--remote-debugging-address=127.0.0.1', '--remote-debugging-port=0',
                 f'--window-size={width},{height}', '--hide-scrollbars', '--mute-audio',
                 '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                 '--disable-backgrounding-occluded-windows',
                 # WebGL on the CPU (SwiftShader): there is no GPU here.
                 '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist']
        self.log = open(os.path.join(self.profile, 'chromium.log'), 'w')
        self.process = subprocess.Popen([CHROMIUM, *flags, 'about:blank'],
                                        stdout=self.log, stderr=subprocess.STDOUT)
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        for _ in range(300):
            if os.path.exists(port_file) and open(port_file).read().count('\n') >= 1:
                break
            if self.process.poll() is not None:
                break
            time.sleep(0.1)
        else:
            self.close()
            raise RuntimeError('chromium did not open its DevTools port')
        if self.process.poll() is not None:
            self.log.flush()
            tail = open(os.path.join(self.profile, 'chromium.log')).read()[-2000:]
            self.close()
            raise RuntimeError('chromium ended at start:\n' + tail)
        self.port = open(port_file).read().split('\n')[0]

    def new_page(self):
        request = urllib.request.Request(f'http://127.0.0.1:{self.port}/json/new?about:blank', method='PUT')
        target = json.load(urllib.request.urlopen(request, timeout=30))
        page = Page(target['webSocketDebuggerUrl'])
        page.target_id = target['id']
        page.call('Runtime.enable')
        page.call('Page.enable')
        return page

    def close_page(self, page):
        page.ws.close()
        try:
            urllib.request.urlopen(f'http://127.0.0.1:{self.port}/json/close/{page.target_id}', timeout=10).read()
        except OSError:
            pass

    def close(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)
