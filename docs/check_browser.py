#!/usr/bin/env python3
"""Opens the built documentation in headless Chromium and checks it.

  * the start page, a guide page with pictures (drawing) and a header's
    reference page (grep.h) load without any console message (script
    errors are console messages), and every local script, style sheet,
    picture and link target they reference exists;
  * Doxygen's search finds `TGrep`, `CRC32` and `DrawMarkOnCanvas`: the
    search box loads search/<index>_<n>.html?<term> into its result frame;
    this check loads that same page with the term, lets its script run, and
    requires a visible result row for the term whose link leads to an
    existing page;
  * screenshots of the start page, the drawing page and the TGrep search
    result go into the screenshot directory, to be looked at.
Usage: check_browser.py SITE_DIR SCREENSHOT_DIR
"""
import html
from html.parser import HTMLParser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

TERMS = ('TGrep', 'CRC32', 'DrawMarkOnCanvas')
PAGES = ('index.html', 'guide_drawing.html', 'grep_8h.html')


def chromium():
    for name in ('chromium', 'chromium-browser', 'google-chrome'):
        path = shutil.which(name)
        if path:
            return path
    return None


def run_browser(browser, profile, url, *mode):
    """Runs headless Chromium on `url`; returns (stdout, console lines)."""
    cmd = [browser, '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--user-data-dir=' + profile, '--enable-logging=stderr', '--v=0',
           '--virtual-time-budget=4000', '--window-size=1280,900', *mode, url]
    proc = subprocess.run(cmd, capture_output=True, text=True, timeout=120)
    console = [l for l in proc.stderr.splitlines() if ':CONSOLE' in l]
    if proc.returncode != 0:
        raise RuntimeError('%s exited with %d:\n%s' % (cmd, proc.returncode, proc.stderr[-2000:]))
    return proc.stdout, console


def missing_resources(site, page, dom):
    """Local scripts, style sheets, pictures and link targets the page names
    but that are absent."""
    base = os.path.dirname(os.path.join(site, page))
    missing = []
    for attr, ref in re.findall(r'<(?:script|img|link|a)\b[^>]*?\b(src|href)="([^"]+)"', dom):
        ref = html.unescape(ref).split('#')[0].split('?')[0]
        if not ref or re.match(r'^[a-z]+:', ref):
            continue
        if not os.path.exists(os.path.normpath(os.path.join(base, urllib.parse.unquote(ref)))):
            missing.append(ref)
    return missing


def search_page(site, term):
    """The results page Doxygen's search box opens for `term`."""
    with open(os.path.join(site, 'search', 'searchdata.js'), encoding='utf-8') as f:
        data = f.read()
    chars = re.search(r'0:\s*"([^"]*)"', data).group(1)
    idx = chars.find(term[0].lower())
    if idx < 0:
        return None
    return 'search/all_%x.html' % idx


class _ResultRows(HTMLParser):
    """Collects the search page's result rows: (shown, symbol text, links)."""

    def __init__(self):
        super().__init__()
        self.rows = []
        self.depth = 0          # div depth inside the current row, 0 outside
        self.in_symbol = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'div':
            if self.depth:
                self.depth += 1
            elif a.get('class') == 'SRResult':
                shown = 'display: block' in (a.get('style') or '')
                self.rows.append([shown, '', []])
                self.depth = 1
        elif tag == 'a' and self.depth:
            href = a.get('href') or ''
            if href and not href.startswith('javascript:'):
                self.rows[-1][2].append(href)
            self.in_symbol = a.get('class') == 'SRSymbol'

    def handle_endtag(self, tag):
        if tag == 'div' and self.depth:
            self.depth -= 1
        elif tag == 'a':
            self.in_symbol = False

    def handle_data(self, data):
        if self.depth and self.in_symbol:
            self.rows[-1][1] += data


def visible_hits(dom, term):
    """Links of the result rows the page's script left visible for `term`."""
    parser = _ResultRows()
    parser.feed(dom)
    hits = []
    for shown, symbol, links in parser.rows:
        if shown and symbol.strip() == term:
            hits.extend(links)
    return hits


def main():
    site, shots = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    browser = chromium()
    if browser is None:
        print('check_browser: no Chromium installed; skipped')
        return 0
    os.makedirs(shots, exist_ok=True)
    failures = []
    with tempfile.TemporaryDirectory() as profile:
        for page in PAGES:
            url = 'file://' + os.path.join(site, page)
            dom, console = run_browser(browser, profile, url, '--dump-dom')
            if '<div class="contents">' not in dom:
                failures.append('%s: no page contents after loading' % page)
            failures += ['%s: console: %s' % (page, l) for l in console]
            failures += ['%s: missing %s' % (page, r) for r in missing_resources(site, page, dom)]
            print('check_browser: %s loaded (%d bytes of DOM, %d console messages)'
                  % (page, len(dom), len(console)))
        if 'src="marks.png"' not in open(os.path.join(site, 'guide_drawing.html'), encoding='utf-8').read():
            failures.append('guide_drawing.html shows no mark sheet')
        for term in TERMS:
            results = search_page(site, term)
            if results is None:
                failures.append('search: no index for %s' % term)
                continue
            url = 'file://' + os.path.join(site, results) + '?' + term
            dom, console = run_browser(browser, profile, url, '--dump-dom')
            failures += ['search %s: console: %s' % (term, l) for l in console]
            hits = visible_hits(dom, term)
            good = [h for h in hits
                    if os.path.exists(os.path.join(site, 'search', h.split('#')[0]))]
            if not good:
                failures.append('search: %s not found (rows shown: %s)' % (term, hits))
            else:
                print('check_browser: search finds %s -> %s' % (term, good[0]))
        for name, url in (('start', 'index.html'), ('drawing', 'guide_drawing.html'),
                          ('search_TGrep', search_page(site, 'TGrep') + '?TGrep')):
            out = os.path.join(shots, name + '.png')
            run_browser(browser, profile, 'file://' + os.path.join(site, url), '--screenshot=' + out)
            if not os.path.getsize(out):
                failures.append('screenshot %s is empty' % out)
    for f in failures:
        print('check_browser: ' + f)
    print('check_browser: %s; screenshots in %s' % ('FAILED' if failures else 'passed', shots))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
