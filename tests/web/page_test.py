#!/usr/bin/python3
"""The page in Debian's headless Chromium, driven as a person drives it: by the controls'
accessible names, through the browser's own clipboard, dialogs, storage and downloads.

  page_test.py <kasorel-*-web.zip | page folder> <ini_tool> <screenshot folder>

Served from 127.0.0.1, and once opened from file://. The exchange-rate service is a stand-in
on 127.0.0.1 that the browser reaches under the service's own name, over HTTPS.
"""
import functools, http.server, json, os, shutil, socketserver, subprocess, sys, tempfile
import threading, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.action_chains import ActionChains
from selenium.common.exceptions import StaleElementReferenceException

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import rates_proxy  # noqa: E402
from rates_proxy import Service as Rates  # noqa: E402

page_dir, ini_tool, shots = sys.argv[1:4]
work = tempfile.mkdtemp(prefix="kasorel-page-")
os.makedirs(work + "/downloads")
os.makedirs(shots, exist_ok=True)
if page_dir.endswith(".zip"):
    shutil.unpack_archive(page_dir, work + "/page")
    page_dir = work + "/page"
RAKUTEN = ("明細\n2024/05/01\tショップA\t1,200 円\n支払方法\t一括\nx1\ny1\n"
           "2024/05/03\tショップB\t800 円\n支払方法\t一括\nx2\ny2")
RAKUTEN_ROWS = "2024/05/01\tショップA\t\t\t1,200\r\n2024/05/03\tショップB\t\t\t800\r\n"


def serve(handler):
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def serve_rates():
    """The stand-in service over HTTPS, under the service's own name."""
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=api.exchangeratesapi.io", "-keyout", work + "/key.pem",
                    "-out", work + "/cert.pem"], check=True, capture_output=True)
    return rates_proxy.serve(cert=work + "/cert.pem", key=work + "/key.pem")


class Files(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Page:
    def __init__(self, url, scale=1, origin=None):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking", "--disable-sync",
                     "--disable-component-update", "--lang=ja", "--window-size=800,760",
                     f"--force-device-scale-factor={scale}", "--ignore-certificate-errors",
                     f"--host-resolver-rules=MAP api.exchangeratesapi.io:443 127.0.0.1:{rates_port}",
                     f"--user-data-dir={work}/profile-{scale}-{origin is None}"):
            options.add_argument(flag)
        # A Japanese user's browser.
        options.add_experimental_option("prefs", {"intl.accept_languages": "ja"})
        self.d = webdriver.Chrome(service=Service("/usr/bin/chromedriver", env=dict(
            os.environ, LANG="ja_JP.UTF-8", LANGUAGE="ja")), options=options)
        self.d.execute_cdp_cmd("Browser.setDownloadBehavior",
                               {"behavior": "allow", "downloadPath": work + "/downloads"})
        # The file chooser stays open for the test to pick the file, as a person would.
        self.d.execute_cdp_cmd("Page.setInterceptFileChooserDialog", {"enabled": True})
        if origin:
            self.d.execute_cdp_cmd("Browser.grantPermissions", {"origin": origin, "permissions": [
                "clipboardReadWrite", "clipboardSanitizedWrite"]})
        self.url = url
        self.open()

    def open(self):
        self.d.get(self.url)
        self.until(lambda: self.js("return document.documentElement.classList.contains('ready')"))

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def until(self, test, what="the page", seconds=10):
        end = time.time() + seconds
        while time.time() < end:
            value = test()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError(f"waited for {what}")

    def wait(self, script, *args):
        return self.d.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "Promise.resolve().then(() => " + script + ").then(done, (e) => done('refused: ' + e))",
            *args)

    def named(self, role, name):
        """The element a screen reader finds by its role and accessible name."""
        query = {"nodeId": self.d.execute_cdp_cmd("DOM.getDocument", {})["root"]["nodeId"], "role": role}
        if name:
            query["accessibleName"] = name
        nodes = self.d.execute_cdp_cmd("Accessibility.queryAXTree", query)["nodes"]
        assert nodes, f"no {role} named {name}"
        return self.d.execute_cdp_cmd("DOM.resolveNode", {"backendNodeId": nodes[0]["backendDOMNodeId"]})

    def press(self, role, name):
        object_id = self.named(role, name)["object"]["objectId"]
        self.d.execute_cdp_cmd("Runtime.callFunctionOn", {
            "objectId": object_id, "functionDeclaration": "function () { this.click(); }"})

    def click(self, caption):
        self.d.find_element(By.XPATH, f"//button[normalize-space()='{caption}']").click()

    def menu(self, menu, item):
        self.d.find_element(By.XPATH, f"//*[@role='menubar']//button[.='{menu}']").click()
        self.d.find_element(By.XPATH, f"//*[@role='menu']//button[.='{item}']").click()

    def status(self, expected):
        self.until(lambda: self.js("return StatusLabel.textContent") == expected,
                   f"the status '{expected}', not '{self.js('return StatusLabel.textContent')}'")

    def box(self, answer=None, typed=None):
        """Waits for a dialog; types into its field, presses answer (Enter when None) and gives its
        title, its text and its field's text as it opened back."""
        box = self.until(lambda: self.d.find_elements(By.CSS_SELECTOR, "dialog[open]"), "a dialog")[0]
        title = box.find_element(By.TAG_NAME, "h2").text
        text = box.find_element(By.CSS_SELECTOR, "p, label").text
        field = box.find_elements(By.TAG_NAME, "input")
        assert self.js("return document.activeElement.closest('dialog') !== null"), "unfocused box"
        value = field[0].get_attribute("value") if field else None
        if typed is not None:
            field[0].send_keys(Keys.CONTROL, "a")
            field[0].send_keys(typed)
        if answer is None:
            ActionChains(self.d).send_keys(Keys.ENTER).perform()
        else:
            box.find_element(By.XPATH, f".//button[.='{answer}']").click()
        self.until(lambda: self.gone(box), "the box to close")
        return title, text, value

    def gone(self, element):
        try:
            return not element.is_displayed()
        except StaleElementReferenceException:
            return True

    def memo(self):
        return self.js("return Memo1.value")

    def paste(self, text):
        assert self.wait("navigator.clipboard.writeText(arguments[0])", text) is None
        self.click("貼り付け")

    def clipboard(self):
        return self.wait("navigator.clipboard.readText()")


def settings_file():
    return "\n".join(sorted(os.listdir(work + "/downloads")))


def run_cases():
    page = Page(f"http://127.0.0.1:{page_port}/index.html", origin=f"http://127.0.0.1:{page_port}")
    d = page.d
    # The controls by the names a screen reader reads, the page's title the window's caption.
    assert d.title == "Kasorel" and d.find_element(By.TAG_NAME, "html").get_attribute("lang") == "ja"
    for role, name in [("textbox", "明細テキスト"), ("menubar", "メニュー"), ("menuitem", "その他の書式"),
                       ("menuitem", "設定"), ("menuitem", "ヘルプ"), ("status", "")] + [
                       ("button", c) for c in ("貼り付け", "楽天カード", "国内配当", "国外配当", "スプシ表示")]:
        page.named(role, name)
    # The keyboard: the window's tab order, the hidden Button2 passed by.
    page.js("Button1.focus()")
    order = []
    for _ in range(5):
        ActionChains(d).send_keys(Keys.TAB).perform()
        order.append(page.js("return document.activeElement.id"))
    assert order == ["Button3", "Button4", "Button6", "Button7", "Memo1"], order

    # 楽天カード through the real clipboard; one undo takes the command back.
    page.paste(RAKUTEN)
    page.status("貼り付け: 9 行を貼り付けました")
    page.js("Button1.focus()")
    ActionChains(d).send_keys(Keys.ENTER).perform()
    page.status("楽天カード: 2 行をクリップボードにコピーしました")
    assert page.clipboard() == RAKUTEN_ROWS, page.clipboard()
    assert page.js("return document.activeElement.id") == "Memo1"
    ActionChains(d).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()
    assert page.until(lambda: page.memo() == RAKUTEN, "the undo")
    # A statement too long for the browser's editing takes the page's own undo step, and its redo.
    long = RAKUTEN.split("\n", 1)[1] + "\n"
    page.js("Memo1.value = arguments[0]", long * 2000)
    page.click("楽天カード")
    page.status("楽天カード: 4000 行をクリップボードにコピーしました")
    converted = page.memo()
    for keys, text in (("z", long * 2000), ("y", converted)):
        ActionChains(d).key_down(Keys.CONTROL).send_keys(keys).key_up(Keys.CONTROL).perform()
        assert page.until(lambda: page.memo() == text, "the page's own undo and redo")
    # 貼り付け takes a statement of 10 000 lines at once, with one undo step, and it converts.
    page.js("Memo1.value = ''")
    page.paste(long * 1250)
    page.status("貼り付け: 10000 行を貼り付けました")
    ActionChains(d).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()
    assert page.until(lambda: page.memo() == "", "the paste's undo")
    page.click("貼り付け")
    page.status("貼り付け: 10000 行を貼り付けました")
    page.click("楽天カード")
    page.status("楽天カード: 2500 行をクリップボードにコピーしました")

    # 自動判別 from Ctrl+Enter on a statement of this month: its rows, then flagged as sent.
    recent = RAKUTEN.replace("2024/05", time.strftime("%Y/%m"))
    for note in ("", "(うち 2 行は送信済み)"):
        page.js("Memo1.value = arguments[0]", recent)
        ActionChains(d).key_down(Keys.CONTROL).send_keys(Keys.ENTER).key_up(Keys.CONTROL).perform()
        page.status("自動判別: 楽天カード として 2 行をクリップボードにコピーしました" + note)
    assert page.clipboard() == RAKUTEN_ROWS.replace("2024/05", time.strftime("%Y/%m"))
    d.find_element(By.XPATH, "//*[@role='menubar']//button[.='その他の書式']").click()
    page.named("menuitem", "自動判別")
    ActionChains(d).send_keys(Keys.ESCAPE).perform()

    # Settings through their dialogs, then View, co-op and domestic rows with them.
    page.menu("設定", "View設定")
    page.until(lambda: d.find_elements(By.CSS_SELECTOR, "dialog[open]"), "the question")
    page.named("alertdialog", "確認")
    page.named("button", "いいえ(N)")
    assert page.box("はい(Y)")[:2] == ("確認", "ViewはSuica限定ですか?")
    assert page.box()[:2] == ("情報", "備考欄にSuicaと出力します")
    page.status("設定を保存しました: /kasorel.ini")
    page.menu("設定", "生協設定")
    page.box()
    page.box()
    page.menu("設定", "スプシURL")
    assert page.box(typed="https://sheet.example/d/1")[0] == "スプシURLを入力して下さい"
    page.menu("設定", "API設定")
    page.box(typed="KEY123")
    page.menu("設定", "設定を書き出す")
    page.status("設定を書き出しました: kasorel.ini")
    exported = page.until(lambda: settings_file() == "kasorel.ini" and
                          open(work + "/downloads/kasorel.ini", "rb").read(), "the download")
    # The desktop writes the same four settings to the same bytes, and reads them back.
    subprocess.run([ini_tool, "write", work + "/desktop.ini", "View", "Suica", "1", "seikyo", "hoken",
                    "1", "Spsheet", "URL", "https://sheet.example/d/1", "exchangeratesapi", "APIKey",
                    "KEY123"], check=True)
    assert exported == open(work + "/desktop.ini", "rb").read(), exported
    assert subprocess.run([ini_tool, "read", work + "/downloads/kasorel.ini", "exchangeratesapi", "APIKey"],
                          capture_output=True, text=True).stdout == "KEY123\n"
    page.open()
    for menu, text, rows in (
            ("Viewカード", "2024\n03/05xy\tStore A\tmemo\nany\n1,980",
             "2024/03/05\tStore A\t\t\t1,980\tSuica\r\n"),
            ("T生協", "2024/05/01\t牛乳\t2\t420 円", "2024/05/01\t牛乳\t\t\t2\t420\t保険\r\n")):
        page.js("Memo1.value = arguments[0]", text)
        page.menu("その他の書式", menu)
        page.status(menu + ": 1 行をクリップボードにコピーしました")
        assert page.clipboard() == rows, page.clipboard()
    page.js("Memo1.value = arguments[0]", "銘柄名abcdefgサンプル工業\n入金額abcdefg8,000円")
    page.click("国内配当")
    page.status("国内配当: 1 行をクリップボードにコピーしました")
    assert page.memo().endswith("\t配当国内\tサンプル工業\t\t-8,000\n") and page.memo()[:4].isdigit(), page.memo()
    page.menu("設定", "API設定")
    assert page.box()[2] == "KEY123", "the key did not survive the reload"

    # 国外配当 against the stand-in: a good answer; the service's error object, then a typed rate;
    # no answer at all, then キャンセル.
    dividend = "銘柄名abcdefgSAMPLE INC\n入金額abcdefg100.00 USD\n"
    page.js("Memo1.value = arguments[0]", dividend)
    page.click("国外配当")
    page.status("国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)")
    assert page.clipboard().endswith("\t配当米国\tSAMPLE INC\t\t-15130\t151.3\r\n")
    assert Rates.asked[-1] == "/v1/latest?Endpoint=latest&access_key=KEY123", Rates.asked
    Rates.answer = "error"
    page.js("Memo1.value = arguments[0]", dividend)
    page.click("国外配当")
    assert page.box(typed="150")[:3] == ("為替レートを入力して下さい",
                                        "1 USD あたりの円 (為替レートを取得できませんでした)", "151.3")
    page.status("国外配当: 1 行をクリップボードにコピーしました (1 USD = 150 円、入力したレート)")
    assert "https_access_restricted" in page.memo() and page.clipboard().endswith("\t-15000\t150\r\n")
    Rates.answer = "none"
    page.js("Module.ccall('kasorel_rate_timeouts', null, ['number', 'number'], [500, 500])")
    page.click("国外配当")
    assert page.box("キャンセル")[2] == "151.3", "the last rate that came back is offered"
    page.status("国外配当: 為替レートを取得できませんでした")
    assert page.memo().endswith("ExchangeRates API の実行に失敗しました\n")

    # A CP932 file from the desktop is taken byte for byte; a picture and a text without any
    # setting are refused.
    cp932 = "; 家計簿\r\n[Spsheet]\r\nURL=https://表.example/\r\n".encode("cp932")
    for name, content, refusal in (
            ("picture.png", bytes(range(256)), "picture.png はテキストファイルではないため読み込めません."),
            ("notes.txt", "メモ\n".encode(), "notes.txt には Kasorel の設定がありません."),
            ("desktop-cp932.ini", cp932, None)):
        open(work + "/" + name, "wb").write(content)
        page.menu("設定", "設定を読み込む")
        page.until(lambda: d.find_elements(By.CSS_SELECTOR, "input[type=file]"), "the file chooser")
        d.find_element(By.CSS_SELECTOR, "input[type=file]").send_keys(work + "/" + name)
        if refusal:
            assert page.box()[1] == refusal
    page.status("設定を読み込みました: desktop-cp932.ini")
    os.remove(work + "/downloads/kasorel.ini")
    page.menu("設定", "設定を書き出す")
    assert page.until(lambda: os.path.exists(work + "/downloads/kasorel.ini") and
                      open(work + "/downloads/kasorel.ini", "rb").read()) == cp932
    # A value the code page cannot hold turns the file into UTF-8 with its mark, which stays.
    page.menu("設定", "スプシURL")
    page.box(typed="https://表.example/€")
    page.open()
    page.menu("設定", "スプシURL")
    assert page.box("キャンセル")[2] == "https://表.example/€"
    os.remove(work + "/downloads/kasorel.ini")
    page.menu("設定", "設定を書き出す")
    assert page.until(lambda: os.path.exists(work + "/downloads/kasorel.ini") and
                      open(work + "/downloads/kasorel.ini", "rb").read()).startswith(
                          "\ufeff; 家計簿\r\n".encode()), "the mark went missing"

    # A kind made from one selected entry of a statement of 10 000 lines; after a reload it is
    # an item of その他の書式, and its rows were sent.
    month = str(int(time.strftime("%m")))
    made = f"PayPay カード\n{time.strftime('%Y')}年{month}月のご利用" + "".join(
        f"\n{month}月1日(月)\nローソン {i}号店\n1,200円" for i in range(1, 3334))
    made_rows = "".join(f"{time.strftime('%Y/%m')}/01\tローソン {i}号店\t\t\t1,200\r\n" for i in range(1, 3334))
    for note in (None, "(うち 3333 行は送信済み)"):
        page.js("Memo1.value = ''")
        page.paste(made)
        page.status("貼り付け: 10001 行を貼り付けました")
        if note is None:
            page.js("const at = (n) => Memo1.value.split('\\n').slice(0, n).join('\\n').length + 1;"
                    "Memo1.setSelectionRange(at(2), at(5))")
            page.menu("設定", "書式を作る")
            assert page.box()[:2] == ("書式を作る", "書式の名前 (この明細で 3333 件)")
            page.status("書式を作る: 「PayPay」を作り、3333 行をクリップボードにコピーしました")
            assert page.clipboard() == made_rows
            page.open()
        else:
            d.find_element(By.XPATH, "//*[@role='menubar']//button[.='その他の書式']").click()
            d.save_screenshot(shots + "/page-made-kind.png")
            page.named("menuitem", "PayPay").get("object")
            ActionChains(d).send_keys(Keys.ESCAPE).perform()
            page.menu("その他の書式", "PayPay")
            page.status("PayPay: 3333 行をクリップボードにコピーしました" + note)
    # Sheet rows teach categories: another branch and a full-width name are filled, a shop never
    # seen is not; the history sees the rows as they were made, and one undo takes the fields
    # back; after a reload too; with the switch off, none is.
    ym = time.strftime("%Y/%m")
    page.paste(f"{ym}/01\tローソン 渋谷店\t食費\tコンビニ\t5\t\n{ym}/02\tENEOS\t車\tガソリン\t9\t")
    page.status("貼り付け: 2 行を貼り付けました")
    page.menu("設定", "費目を覚える")
    page.status("費目を覚える: 2 行から 2 件の内容を覚えました")
    learnt = ("食費", "コンビニ", "車", "ガソリン")
    for day, fill, sent in (("10", learnt, ""), ("10", learnt, "(うち 3 行は送信済み)"), ("20", learnt, ""),
                            ("28", ("",) * 4, "")):
        if day == "20":
            page.open()
        if day == "28":
            page.menu("設定", "費目を埋める")
            page.box("いいえ(N)")
            page.status("設定を保存しました: /kasorel.ini")
        shops = ("ローソン 新宿店", "ＥＮＥＯＳ", "無印良品")
        page.js("Memo1.value = ''")
        pasted = "明細" + "".join(f"\n{ym}/{day}\t{shop}\t7 円\n支払方法\nx\ny" for shop in shops)
        page.paste(pasted)
        page.status("貼り付け: 13 行を貼り付けました")
        page.click("楽天カード")
        page.status("楽天カード: 3 行をクリップボードにコピーしました" + sent +
                    (" (うち 2 行に費目を入れました)" if fill[0] else ""))
        fields = (fill[0:2], fill[2:4], ("", ""))
        assert page.clipboard() == "".join(f"{ym}/{day}\t{shop}\t{a}\t{b}\t7\r\n" for shop, (a, b) in zip(shops, fields))
        if sent:
            ActionChains(d).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()
            assert page.until(lambda: page.memo() == pasted, "the undo of the filled rows")
    # A store the browser refuses (its quota full) shows the error and keeps the old settings.
    page.js("try { for (let i = 0; ; ++i) localStorage.setItem('filler' + i, 'x'.repeat(1 << 18)); }"
            "catch (e) {} try { for (let i = 0; ; ++i) localStorage.setItem('f' + i, 'x'.repeat(64)); }"
            "catch (e) {}")
    page.menu("設定", "スプシURL")
    page.box(typed="https://other.example/" + "x" * 2000)
    assert page.box()[:2] == ("kasorel", "/kasorel.ini に書き込めません.")
    page.js("Object.keys(localStorage).filter(k => k.startsWith('f')).forEach(k => localStorage.removeItem(k))")
    page.menu("設定", "スプシURL")
    assert page.box("キャンセル")[2] == "https://表.example/€"
    page.js("Memo1.value = arguments[0]", RAKUTEN)
    d.save_screenshot(shots + "/page-1x.png")
    d.quit()

    # At twice the pixels, the same page; and opened from its folder.
    page = Page(f"http://127.0.0.1:{page_port}/index.html", scale=2)
    page.js("Memo1.value = arguments[0]", RAKUTEN)
    page.d.save_screenshot(shots + "/page-2x.png")
    page.d.quit()
    page = Page("file://" + os.path.abspath(page_dir) + "/index.html")
    page.js("Memo1.value = arguments[0]", RAKUTEN)
    page.click("楽天カード")
    page.status("楽天カード: 2 行をクリップボードにコピーしました")
    page.d.quit()


rates_port = serve_rates()
page_port = serve(functools.partial(Files, directory=page_dir))
try:
    run_cases()
finally:
    shutil.rmtree(work, ignore_errors=True)
print("page_test: 1 passed, 0 failed")
