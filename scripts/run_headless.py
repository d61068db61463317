"""`make run` without a display: shows the program on a virtual one, saves what it
looks like, presses Connect once, and closes it."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402
from harness import Session, button  # noqa: E402

out = Path(sys.argv[1])
for old in out.glob("run-*.png"):
    old.unlink()
harness.SHOTS = out
session = Session()
try:
    process = session.start()
    main = session.probe("main")
    session.screenshot("run-window")
    session.probe("click", button(main, "接続")["hwnd"])
    outcome = harness.wait_for(lambda: process.poll() is not None or session.probe("dialogs"), "Connect to act")
    if process.poll() is None:
        session.screenshot("run-connect")
        print("Connect showed a message box:", outcome[0]["text"])
        session.key("Return")
        session.wait_no_dialog()
        session.probe("click", button(main, "閉じる")["hwnd"])
        session.wait_exit(process)
    else:
        print("Connect handed the upgrade page to the shell; the program ended with", process.returncode)
        try:  # written down only when no real browser took the address
            harness.wait_for(lambda: (out / "opened-address.txt").exists(), "the address", timeout=10)
        except harness.Timeout:
            pass
    for shot in sorted(out.glob("run-*.png")):
        print("Screenshot:", shot)
finally:
    session.close()
