"""End-to-end tests: the real program under Wine, driven from outside."""
import os
import shutil
import unittest
from harness import BUILD, DRIVE_C, PREFIX, Session, button, wait_for

HOST = os.environ.get("VELKARN_UPGRADE_HOST", "www.velkarn.co.jp")
ADDRESS = f"http://{HOST}/tq38mv6kze/UPGRADE/"
NOT_INSTALLED = "製品版Velkarn解析ソフトがインストールされていることを\r確認できませんでした。"
CANNOT_OPEN = ("バージョンアップのためのサイトを開けませんでした。\r"
               "Webブラウザーで次のアドレスを開いてください。\r" + ADDRESS)
CAPTION = "Velkarn App VersionUp Tool Ver1.0"
SCREEN = (1024, 768)
RECORD = DRIVE_C / "velkarn-e2e" / "opened.txt"

REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_TABSTOP = 0x00020000, 0x00010000, 0x00010000
WS_EX_APPWINDOW = 0x00040000
SS_NOPREFIX = 0x80
WM_SYSCOMMAND, SC_CLOSE = 0x112, 0xF060

# Name, kind, left, top, width, height, text, bold, tab stop: the window as designed at 96 DPI.
CONTROLS = [
    ("Label1", "Static", 16, 16, 722, 15,
     "製品版Velkarn解析ソフトがインストールされ、かつインターネット接続されたパソコンでご使用ください。", True, False),
    ("Label2", "Static", 16, 48, 309, 15, "バージョンアップのためのサイトに接続します。", True, False),
    ("ButtonCnect", "Button", 16, 113, 75, 25, "接続", True, True),
    ("Label3", "Static", 16, 80, 382, 15, "表示された手順でバージョンアップ作業を行ってください。", True, False),
    ("ButtonClose", "Button", 680, 160, 75, 25, "閉じる", False, True),
]
JAPANESE_PROPORTIONAL = {"ＭＳ Ｐゴシック", "MS PGothic", "Meiryo UI", "Yu Gothic UI", "IPAPGothic", "VL PGothic",
                         "Noto Sans CJK JP"}

session = None


def setUpModule():
    global session
    session = Session()
    shutil.rmtree(DRIVE_C / "Velkarn", ignore_errors=True)
    (DRIVE_C / "velkarn-e2e").mkdir(exist_ok=True)
    shutil.copy(BUILD / "tests" / "e2e" / "url_recorder.exe", DRIVE_C / "velkarn-e2e")


def tearDownModule():
    session.close()


def inside(window):
    """What the program's own process sees of a window's controls: fonts and icons, by control id."""
    controls = {}
    for line in session.probe("inside", window["hwnd"])["report"].strip().splitlines():
        fields = dict(field.split("=", 1) for field in line.split("\t"))
        controls[int(fields["id"])] = fields
    return controls


def scaled(value, dpi):
    """A measure given at 96 DPI, at another density, rounded as MulDiv rounds."""
    return (value * dpi + 48) // 96


def recorded_launch():
    """What the stand-in browser was started with; it runs on after the program ends."""
    wait_for(lambda: RECORD.exists() and RECORD.read_text().endswith("\n"), "the browser to be started")
    return RECORD.read_text(encoding="utf-8")


def control(window, text):
    return next(c for c in window["children"] if c["text"] == text)


class ProgramTest(unittest.TestCase):
    def setUp(self):
        session.remove_product_key()
        self.register_browser(True)
        RECORD.unlink(missing_ok=True)
        self.process = None

    def tearDown(self):
        session.screenshot(self.id().split(".")[-1] + "-end")
        if self.process:
            session.stop(self.process)

    def register_browser(self, present):
        session.probe("regdel", r"HKCR\http")
        if present:
            command = r'"C:\velkarn-e2e\url_recorder.exe" "%1"'
            session.probe("regset", r"HKCR\http\shell\open\command", "-", REG_SZ, (command.encode() + b"\0").hex())

    def install(self, folder="C:\\Velkarn\\"):
        session.make_file(folder + "Velkarn.exe")
        session.set_install_path(REG_SZ, folder.encode() + b"\0")

    def start(self, *args, **kwargs):
        self.process = session.start(*args, **kwargs)
        return session.probe("main")

    def press_connect(self, window):
        session.probe("click", button(window, "接続")["hwnd"])

    def dismiss(self, dialog, key="Return"):
        session.key(key)
        session.wait_no_dialog()
        session.wait_foreground(dialog["owner"])  # keys from here on go to the window

    def assert_centred(self, rect):
        x, y, width, height = rect
        self.assertLessEqual(abs(x - (SCREEN[0] - width) // 2), 1, rect)
        self.assertLessEqual(abs(y - (SCREEN[1] - height) // 2), 1, rect)

    def assert_message_box(self, dialog, main, caption, text, icon):
        self.assertEqual(dialog["text"], caption)
        statics = [c for c in dialog["children"] if c["id"] == 0xFFFF]
        self.assertEqual(statics[0]["text"], text)
        buttons = [c for c in dialog["children"] if c["class"].lower() == "button" and c["visible"]]
        self.assertEqual([(b["id"], b["text"]) for b in buttons], [(1, "OK")])
        self.assertIn(icon, [c.get("icon") for c in inside(dialog).values()])
        self.assertEqual(dialog["owner"], main["hwnd"])
        self.assertFalse(session.probe("main")["enabled"], "the main window takes input while a box is up")
        self.assert_centred(dialog["rect"])

    # ------------------------------------------------------------------ the window

    def test_window_as_designed(self):
        main = self.start()
        session.screenshot("window")
        self.assertEqual(main["text"], CAPTION)
        self.assertEqual(main["client"][2:], [770, 202])
        self.assert_centred(main["rect"])
        self.assertEqual(main["style"] & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU)
        self.assertEqual(main["style"] & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)

        fonts = inside(main)
        self.assertEqual(len(main["children"]), len(CONTROLS))
        for name, kind, left, top, width, height, text, bold, tab_stop in CONTROLS:
            with self.subTest(name):
                c = control(main, text)
                self.assertEqual(c["class"].lower(), kind.lower())
                self.assertEqual(c["rect"][:2], [left, top])
                if kind == "Static":  # sized to its text in the font actually used
                    self.assertAlmostEqual(c["rect"][2], width, delta=width * 0.05)
                    self.assertIn(c["rect"][3], (15, 16))
                    self.assertTrue(c["style"] & SS_NOPREFIX)
                else:
                    self.assertEqual(c["rect"][2:], [width, height])
                self.assertEqual(bool(c["style"] & WS_TABSTOP), tab_stop)
                font = fonts[c["id"]]
                self.assertIn(font["face"], JAPANESE_PROPORTIONAL)
                self.assertEqual(font["proportional"], "1")
                self.assertEqual(font["charset"], "128")
                self.assertEqual(font["charHeight"], "15")
                self.assertEqual(font["realisedWeight"], "700" if bold else "400")
        self.assertEqual(main["focus"], button(main, "接続")["hwnd"])

        # The taskbar button belongs to the application window, which bears the title.
        app = session.probe("app")
        self.assertEqual(app["text"], "VelkarnVupTool")
        self.assertTrue(app["visible"] and app["exstyle"] & WS_EX_APPWINDOW)
        self.assertEqual(main["owner"], app["hwnd"])

    def test_arguments_are_ignored(self):
        main = self.start("/help", "--install", "C:\\Velkarn\\")
        self.assertEqual(main["text"], CAPTION)
        self.press_connect(main)
        self.assert_message_box(session.wait_dialog(), main, "情報", NOT_INSTALLED, "information")

    def test_english_code_page_shows_the_same_texts(self):
        main = self.start(locale="en_US.UTF-8")
        session.screenshot("code-page-1252")
        self.assertEqual(main["text"], CAPTION)
        self.assertEqual(sorted(c["text"] for c in main["children"]), sorted(c[6] for c in CONTROLS))
        self.press_connect(main)
        self.assert_message_box(session.wait_dialog(), main, "情報", NOT_INSTALLED, "information")
        session.screenshot("code-page-1252-message")

    # ------------------------------------------------------------------ keyboard

    def test_keyboard(self):
        main = self.start()
        connect, close = button(main, "接続")["hwnd"], button(main, "閉じる")["hwnd"]
        # Escape does nothing; the Tab after it shows that it was handled.
        session.key("Escape", "Tab")
        session.wait_main(lambda w: w["focus"] == close, "focus on Close")
        self.assertEqual(session.probe("dialogs"), [])
        session.key("Tab")
        session.wait_main(lambda w: w["focus"] == connect, "focus back on Connect")
        # Enter presses the focused Connect; the message box goes with Enter or Escape.
        for dismiss_key in ("Return", "Escape"):
            session.key("Return")
            dialog = session.wait_dialog()
            self.assert_message_box(dialog, main, "情報", NOT_INSTALLED, "information")
            self.dismiss(dialog, dismiss_key)
            self.assertTrue(session.wait_main(lambda w: w["enabled"], "the window usable again"))

    # ------------------------------------------------------------------ Connect

    def test_information_message_for_each_way_of_not_being_installed(self):
        session.make_file("C:\\Velkarn\\Velkarn.exe")
        session.make_folder("C:\\Folder\\Velkarn.exe")
        states = [
            ("key absent", None),
            ("value empty", (REG_SZ, b"\0")),
            ("NUL first", (REG_SZ, b"\0C:\\Velkarn\\\0")),
            ("no trailing backslash", (REG_SZ, b"C:\\Velkarn\0")),
            ("folder named Velkarn.exe", (REG_SZ, b"C:\\Folder\\\0")),
            ("environment reference kept", (REG_EXPAND_SZ, b"%SystemDrive%\\Velkarn\\\0")),
            ("wildcard", (REG_SZ, b"C:\\Velk*\\\0")),
            ("missing folder", (REG_SZ, b"C:\\Nowhere\\\0")),
        ]
        main = self.start()
        for name, value in states:
            with self.subTest(name):
                if value:
                    session.set_install_path(*value)
                self.press_connect(main)
                dialog = session.wait_dialog()
                session.screenshot("information-" + name.replace(" ", "-"))
                self.assert_message_box(dialog, main, "情報", NOT_INSTALLED, "information")
                self.dismiss(dialog)
                session.wait_main(lambda w: w["enabled"], "the window usable again")
                self.assertIsNone(self.process.poll())

        # Each press reads afresh: with the value put right, the page opens.
        session.set_install_path(REG_SZ, b"C:\\Velkarn\\\0")
        self.press_connect(main)
        self.assertEqual(session.wait_exit(self.process), 0)
        self.assertIn("address=" + ADDRESS, recorded_launch())

    def test_clicks_on_the_window_wait_while_the_message_is_up(self):
        main = self.start()
        self.press_connect(main)
        dialog = session.wait_dialog()
        x, y = main["client"][:2]
        connect = button(main, "接続")["rect"]
        session.click_at(x + connect[0] + connect[2] // 2, y + connect[1] + connect[3] // 2)
        self.dismiss(dialog, "Escape")
        session.key("Tab")  # handled only after everything before it
        session.wait_main(lambda w: w["focus"] == button(main, "閉じる")["hwnd"], "focus on Close")
        self.assertEqual(session.probe("dialogs"), [])

    def test_value_of_another_type_is_reported_and_the_window_stays(self):
        session.set_install_path(REG_DWORD, (1).to_bytes(4, "little"))
        main = self.start()
        self.press_connect(main)
        dialog = session.wait_dialog()
        session.screenshot("registry-error")
        self.assert_message_box(dialog, main, "VelkarnVupTool", "'InstallPath' のデータ型が不正です.", "error")
        self.dismiss(dialog)
        session.wait_main(lambda w: w["enabled"], "the window usable again")
        self.assertIsNone(self.process.poll())

    def test_launch_hands_the_address_to_the_shell_and_ends(self):
        self.install()
        main = self.start()
        self.press_connect(main)
        self.assertEqual(session.wait_exit(self.process), 0)
        record = recorded_launch()
        self.assertIn("address=" + ADDRESS + "\n", record)
        self.assertIn("useShowWindow=1\nshow=0\n", record)  # SW_HIDE, as the shell was asked

    def test_launch_without_a_browser_explains_and_stays(self):
        self.install()
        self.register_browser(False)
        main = self.start()
        self.press_connect(main)
        dialog = session.wait_dialog()
        session.screenshot("no-browser")
        self.assert_message_box(dialog, main, "VelkarnVupTool", CANNOT_OPEN, "error")
        self.dismiss(dialog)
        session.wait_main(lambda w: w["enabled"], "the window usable again")
        self.assertIsNone(self.process.poll())
        self.assertFalse(RECORD.exists())

    # ------------------------------------------------------------------ ending

    def test_every_way_of_closing_ends_the_program(self):
        ways = {
            "Close button": lambda main, app: session.probe("click", button(main, "閉じる")["hwnd"]),
            "Tab and Enter": lambda main, app: session.key("Tab", "Return"),
            "close box": lambda main, app: session.probe("post", main["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0),
            "Alt+F4": lambda main, app: session.key("alt+F4"),
            "taskbar button's Close": lambda main, app: session.probe("post", app["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0),
        }
        for name, close in ways.items():
            with self.subTest(name):
                main = self.start()
                close(main, session.probe("app"))
                self.assertEqual(session.wait_exit(self.process), 0)
                self.assertEqual(session.probe("dialogs"), [])

    def test_taskbar_button_brings_the_window_forward(self):
        main = self.start()
        app = session.probe("app")["hwnd"]
        session.wait_foreground(session.probe("elsewhere")["hwnd"])
        session.probe("activate", app)  # what clicking the taskbar button does
        session.wait_foreground(main["hwnd"])
        # While a message box is up, it comes forward instead.
        self.press_connect(main)
        dialog = session.wait_dialog()
        session.wait_foreground(session.probe("elsewhere")["hwnd"])
        session.probe("activate", app)
        session.wait_foreground(dialog["hwnd"])


    def test_window_rescales_when_it_moves_to_a_denser_monitor(self):
        main = self.start()
        for dpi in (144, 96):
            with self.subTest(dpi=dpi):
                before = session.probe("main")["rect"]
                session.probe("density", main["hwnd"], dpi)  # suggests 40, 30 off its place
                window = session.probe("main")
                session.screenshot(f"density-change-{dpi}")
                connect, close = button(window, "接続")["rect"], button(window, "閉じる")["rect"]
                self.assertEqual(connect, [scaled(v, dpi) for v in (16, 113, 75, 25)])
                self.assertEqual(close[:2], [scaled(680, dpi), scaled(160, dpi)])
                label = control(window, CONTROLS[0][6])["rect"]
                self.assertAlmostEqual(label[2], scaled(722, dpi), delta=scaled(722, dpi) * 0.05)
                for font in inside(window).values():
                    self.assertIn(int(font["charHeight"]), (15,) if dpi == 96 else (22, 23))
                self.assertEqual(window["rect"][:2], [before[0] + 40, before[1] + 30])
                self.assertEqual(window["client"][2:], [scaled(770, dpi), scaled(202, dpi)])


class HighDensityTest(unittest.TestCase):
    """At 144 pixels per inch every measure is half as large again."""

    def setUp(self):
        self.process = None
        self.addCleanup(self.set_density, 96)  # whatever happens, later tests get 96 back
        self.set_density(144)

    @staticmethod
    def set_density(dpi):
        session.probe("regset", r"HKCU\Control Panel\Desktop", "LogPixels", REG_DWORD, dpi.to_bytes(4, "little").hex())
        session.restart_wine()  # the server reads it as it starts

    def tearDown(self):
        session.screenshot("dpi-144-end")
        if self.process:
            session.stop(self.process)

    def test_window_scales_from_96_dpi(self):
        self.process = session.start()
        main = session.probe("main")
        session.screenshot("dpi-144")
        self.assertEqual(main["dpi"], 144)
        self.assertEqual(main["client"][2:], [1155, 303])
        x, y, width, height = main["rect"]
        self.assertLessEqual(abs(x - (1024 - width) // 2), 1)
        self.assertLessEqual(abs(y - (768 - height) // 2), 1)
        self.assertEqual(control(main, "接続")["rect"], [24, 170, 113, 38])
        self.assertEqual(control(main, "閉じる")["rect"], [1020, 240, 113, 38])
        label = control(main, CONTROLS[0][6])
        self.assertEqual(label["rect"][:2], [24, 24])
        self.assertAlmostEqual(label["rect"][2], 722 * 1.5, delta=722 * 1.5 * 0.05)
        fonts = inside(main)
        for font in fonts.values():
            self.assertIn(int(font["charHeight"]), (22, 23))


def prefix_state():
    """The prefix's registry as its server saved it, value by value, and every file
    and folder in drive_c with its size and time."""
    session.restart_wine()  # the server saves the registry as it stops
    values = {}
    for name in ("system.reg", "user.reg", "userdef.reg"):
        key = None
        for line in (PREFIX / name).read_text(encoding="ascii", errors="replace").splitlines():
            if line.startswith("["):
                key = line[:line.rindex("]") + 1]
                values[(name, key, None)] = ""
            elif key and line.strip() and not line.startswith(("#time=", ";")):
                value_name, _, data = line.partition("=")
                values[(name, key, value_name)] = data
    files = {}
    for folder, subfolders, names in os.walk(DRIVE_C):
        for entry in subfolders + names:
            status = os.lstat(os.path.join(folder, entry))
            files[os.path.relpath(os.path.join(folder, entry), DRIVE_C)] = (status.st_size, status.st_mtime_ns)
    return values, files


def changes(before, after):
    keys = set(before) | set(after)
    return {k for k in keys if before.get(k) != after.get(k)}


class WritesNothingTest(unittest.TestCase):
    def test_a_session_changes_nothing_in_the_registry_or_on_disk(self):
        session.remove_product_key()
        # What Wine itself changes in a session without the program (it records a
        # driver date at every start, for one).
        start = prefix_state()
        session.probe("main")
        baseline = prefix_state()
        wine_keeps = changes(start[0], baseline[0])

        process = session.start()
        main = session.probe("main")
        session.probe("click", button(main, "接続")["hwnd"])
        session.wait_dialog()
        session.key("Return")
        session.wait_no_dialog()
        session.probe("click", button(main, "閉じる")["hwnd"])
        self.assertEqual(session.wait_exit(process), 0)
        after = prefix_state()

        self.assertEqual(changes(baseline[0], after[0]) - wine_keeps, set())
        self.assertEqual(changes(baseline[1], after[1]), set())


if __name__ == "__main__":
    unittest.main(verbosity=2)
