"""Serves a folder on 127.0.0.1 and prints the address of a page in it; with
--headless, opens the page in headless Chromium (tools/web/cdp.py), prints
its console, and saves the page's own screenshot and a capture of the page.

  serve_demo.py ROOT PAGE [--port N] [--headless OUT_DIR] [--seconds S]
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402
import run_web_tests  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('root')
    ap.add_argument('page')
    ap.add_argument('--port', type=int, default=0)
    ap.add_argument('--headless', metavar='OUT_DIR', default=None)
    ap.add_argument('--seconds', type=float, default=300)
    a = ap.parse_args()
    server = run_web_tests.serve(a.root, a.port)
    url = f'http://127.0.0.1:{server.server_address[1]}/{a.page}'
    print(f'Serving {a.root} at {url}', flush=True)
    if not a.headless:
        print('Open that address in a browser; Ctrl+C stops the server.', flush=True)
        try:
            server.serve_forever_thread.join()
        except KeyboardInterrupt:
            pass
        server.shutdown()
        return 0
    browser = cdp.Browser(1400, 900)
    try:
        page = browser.new_page()
        page.navigate(url)
        page.wait_for(lambda p: p.has_line('frames per second') or p.has_line('exit status') or p.exceptions,
                      a.seconds)
        run_web_tests.print_console(page)
        os.makedirs(a.headless, exist_ok=True)
        shot = os.path.join(a.headless, 'web-demo.png')
        try:
            page.pull_file('/demo.png', shot)
            print(f'screenshot: {os.path.abspath(shot)}')
        except RuntimeError as e:
            print(f'no screenshot in the page: {e}')
        for text in page.exceptions:
            print(f'page error: {text}')
        return 1 if page.exceptions else 0
    finally:
        browser.close()
        server.shutdown()


if __name__ == '__main__':
    sys.exit(main())
