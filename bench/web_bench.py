#!/usr/bin/python3
"""The page's speed in headless Chromium, timed in the page itself:
  - 楽天カード on 100 000 lines, the whole command (text from the page into the program,
    the conversion, the changed middle back through the browser's editing, the clipboard),
    against assigning the same result to the text area's value alone, both up to the text
    area laid out again;
  - 貼り付け on the same 100 000 lines, from the clipboard into the empty text area, against
    assigning them to its value, both up to the text area laid out again;
  - the time from opening index.html from its folder (file://) to the first paint with the
    controls in place.

  web_bench.py <page folder> [runs]
"""
import sys, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

page, runs = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 5
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync"):
    options.add_argument(flag)
d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
d.execute_cdp_cmd("Browser.grantPermissions", {"origin": "file://", "permissions": [
    "clipboardReadWrite", "clipboardSanitizedWrite"]})
url = "file://" + page + "/index.html"
paints = []
for _ in range(runs):
    d.get(url)
    paints.append(d.execute_async_script("""
        const done = arguments[0];
        const ready = () => document.documentElement.classList.contains("ready");
        (function wait() {
          if (!ready()) return setTimeout(wait, 1);
          requestAnimationFrame(() => setTimeout(() => done(performance.now()), 0));
        })();"""))
entry = "2024/05/01\tショップA\t1,200 円\n支払方法\t一括\nx\ny\n"
statement = entry * 25000
d.set_script_timeout(300)
# Lays the text area out again, as the person sees it.
laid_out = "Memo1.scrollHeight;"


def timed_value(text):
    d.execute_script("Memo1.value = ''; " + laid_out)
    return d.execute_script("const start = performance.now(); Memo1.value = arguments[0]; " + laid_out +
                            " return performance.now() - start;", text)


paste, paste_assign = [], []
d.get(url)
d.execute_async_script("navigator.clipboard.writeText(arguments[0]).then(arguments[1])", statement)
for _ in range(runs):
    d.execute_script("Memo1.value = ''; Memo1.focus(); " + laid_out)
    paste.append(d.execute_async_script("""
        const done = arguments[0];
        const start = performance.now();
        Module.ccall("kasorel_run", null, ["number"], [0], {async: true})
          .then(() => { Memo1.scrollHeight; done(performance.now() - start); });"""))
    assert d.execute_script("return Memo1.value") == statement
    paste_assign.append(timed_value(statement))
command, assign = [], []
for _ in range(runs):
    d.get(url)
    d.execute_script("Memo1.value = arguments[0]; Memo1.focus(); Memo1.setSelectionRange(0, 0)", statement)
    t = d.execute_async_script("""
        const done = arguments[0];
        const start = performance.now();
        Module.ccall("kasorel_run", null, ["number"], [1], {async: true})
          .then(() => { Memo1.scrollHeight; done(performance.now() - start); });""")
    result = d.execute_script("return Memo1.value")
    d.execute_script("Memo1.value = arguments[0]", statement)
    a = d.execute_script("""
        const start = performance.now();
        Memo1.value = arguments[0];
        Memo1.scrollHeight;
        return performance.now() - start;""", result)
    command.append(t)
    assign.append(a)
d.quit()
median = lambda v: sorted(v)[len(v) // 2]
print(f"first usable paint from file://: {median(paints):.0f} ms (median of {runs})")
print(f"楽天カード, 100 000 lines: {median(command):.0f} ms; value= alone: {median(assign):.0f} ms; "
      f"ratio {median(command) / median(assign):.1f}")
print(f"貼り付け, 100 000 lines: {median(paste):.0f} ms; value= alone: {median(paste_assign):.0f} ms; "
      f"ratio {median(paste) / median(paste_assign):.1f}")
