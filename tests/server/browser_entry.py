#!/usr/bin/env python3
"""A player's entry through a real browser.

Serves a copy of a pool with `courtsider-cli serve`, opens the pick-entry page in headless
Chromium, clicks a whole bracket with the mouse (each game's winner drawn at random with a
fixed seed), types the name and the guess, sends, stops the server with Ctrl+C and checks that
the pool on disk holds exactly those picks. Then, at 1280 and at 390 pixels wide, a fresh page
sends a look-alike of that name, which is refused at the name box. Chromium is driven over its
DevTools protocol on a pipe, so the test needs nothing but Python and the browser.

    browser_entry.py --cli courtsider-cli --pool Sample.BGD [--chromium /usr/bin/chromium]
                     [--shots FOLDER]

With --shots it also leaves screenshots of the page at 1280 and 390 pixels wide, the refusal
included.
"""

import argparse
import base64
import fcntl
import json
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

NAME = "Browser Tester"
GUESS = "141"
# The same player to the pool: letter case, a no-break space and a soft hyphen aside.
LOOK_ALIKE = "browser\u00a0TES\u00adter"
TAKEN = "This name already has an entry. To change it, use the private link you were given."


class Browser:
    """Headless Chromium and one page of it, spoken to over --remote-debugging-pipe."""

    def __init__(self, chromium, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        # Chromium reads commands from its descriptor 3 and answers on 4. Every other
        # descriptor of Python's is closed on exec; the two copies made here are not.
        def pipes_to_3_and_4():
            high_r = fcntl.fcntl(to_browser_r, fcntl.F_DUPFD, 10)
            high_w = fcntl.fcntl(from_browser_w, fcntl.F_DUPFD, 10)
            os.dup2(high_r, 3)
            os.dup2(high_w, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-dev-shm-usage", "--hide-scrollbars",
             "--remote-debugging-pipe", "--user-data-dir=" + profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False, preexec_fn=pipes_to_3_and_4)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.session = None
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        self.call("Page.enable")
        self.call("Runtime.enable")

    def call(self, method, params=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_browser, 1 << 16)
                if not chunk:
                    raise RuntimeError("Chromium went away")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, what, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.evaluate(expression):
                return
            time.sleep(0.1)
        raise RuntimeError("timed out waiting for " + what)

    def size(self, width, height, mobile):
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})

    def click(self, selector):
        """A real mouse click in the middle of the element, scrolled into view first."""
        point = self.evaluate(
            "(() => { const e = document.querySelector(%s); if (!e) return null;"
            " e.scrollIntoView({block: 'center', inline: 'center'});"
            " const r = e.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()"
            % json.dumps(selector))
        if point is None:
            raise RuntimeError("nothing on the page matches " + selector)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": point[0], "y": point[1],
                                                   "button": "left", "clickCount": 1})

    def type(self, selector, text):
        self.click(selector)
        self.call("Input.insertText", {"text": text})

    def screenshot(self, path, full_page):
        params = {"format": "png", "captureBeyondViewport": full_page}
        if full_page:
            metrics = self.call("Page.getLayoutMetrics")["cssContentSize"]
            params["clip"] = {"x": 0, "y": 0, "width": metrics["width"],
                              "height": metrics["height"], "scale": 1}
        with open(path, "wb") as shot:
            shot.write(base64.b64decode(self.call("Page.captureScreenshot", params)["data"]))

    def close(self):
        try:
            self.session = None
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def expected_rounds(data, rng):
    """Draws a winner for every game in slot order; returns each team's round reached and the
    first-round slot to click for each game, in order."""
    chart = {team["slot"]: team["name"] for team in data["teams"]}
    rounds = {name: 1 for name in chart.values()}
    clicks = []
    for game in sorted(data["games"], key=lambda g: g["slot"]):
        feeder = rng.choice(game["feeders"])
        winner = chart[feeder]
        chart[game["slot"]] = winner
        rounds[winner] = game["round"]
        clicks.append(feeder)
    return rounds, clicks


def refuse_look_alike(browser, url, width, height, shots):
    """A fresh page sends the look-alike; the refusal stands at the name box, between it and the
    Send button, and goes as soon as the name is typed again."""
    browser.size(width, height, width < 600)
    browser.call("Page.navigate", {"url": url})
    browser.wait_for("document.getElementById('done') && document.getElementById('done').hidden"
                     " && document.querySelectorAll('button.team').length > 100", "a fresh page")
    browser.type("#name", LOOK_ALIKE)
    browser.type("#guess", "99")
    browser.click("#send")
    browser.wait_for("!document.getElementById('name-problem').hidden", "the refusal at the name box")
    said = browser.evaluate("document.getElementById('name-problem').textContent")
    if said != TAKEN:
        raise RuntimeError(f"at {width} px the name box says: {said}")
    placed = browser.evaluate(
        "(() => { const box = (id) => document.getElementById(id).getBoundingClientRect();"
        " const name = box('name'), said = box('name-problem'), send = box('send');"
        " return said.top >= name.bottom && said.top - name.bottom < 40 && said.bottom <= send.top"
        " && document.getElementById('problems').children.length === 0; })()")
    if not placed:
        raise RuntimeError(f"at {width} px the refusal is not at the name box")
    if shots:
        browser.screenshot(os.path.join(shots, f"page-{width}-name-taken.png"), False)
    browser.type("#name", "x")
    if not browser.evaluate("document.getElementById('name-problem').hidden"):
        raise RuntimeError(f"at {width} px the refusal stays while the name is typed again")


# "Teams.dat": 52-byte records, the round a team has reached at 44 and whether it has lost at
# 48, each a little-endian 32-bit number.
TEAM_RECORD, ROUND_AT, ELIMINATED_AT = 52, 44, 48


def before_first_game(pool):
    """Takes the copy's results back to the first round: entries are taken only before the
    first game is played, and the sample pool has its results entered."""
    path = os.path.join(pool, "Teams.dat")
    with open(path, "rb") as file:
        teams = bytearray(file.read())
    for at in range(0, len(teams) - TEAM_RECORD + 1, TEAM_RECORD):
        if struct.unpack_from("<i", teams, at + ROUND_AT)[0] > 1:
            struct.pack_into("<i", teams, at + ROUND_AT, 1)
        struct.pack_into("<i", teams, at + ELIMINATED_AT, 0)
    with open(path, "wb") as file:
        file.write(teams)


def arguments():
    """The command line of the browser tests: the tool, the pool to copy, the browser, and a
    folder for screenshots."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--pool", required=True)
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    parser.add_argument("--shots")
    return parser.parse_args()


def serve_copy(cli, original, prefix, prepare=lambda pool: None):
    """A copy of the pool in a folder of its own, prepared, and the tool serving it on a free
    port: the folder, the copy and the running tool."""
    work = tempfile.mkdtemp(prefix=prefix)
    pool = os.path.join(work, "Pool.BGD")
    shutil.copytree(original, pool)
    prepare(pool)
    server = subprocess.Popen([cli, "serve", pool, "--port", "0"], stdout=subprocess.PIPE,
                              text=True)
    return work, pool, server


def main():
    args = arguments()
    work, pool, server = serve_copy(args.cli, args.pool, "browser-entry-", before_first_game)
    browser = None
    try:
        first = server.stdout.readline()
        url = next(word for word in first.split() if word.startswith("http://"))
        with urllib.request.urlopen(url + "data") as answer:
            data = json.load(answer)
        rounds, clicks = expected_rounds(data, random.Random(22))

        browser = Browser(args.chromium, os.path.join(work, "profile"))
        browser.size(1280, 900, False)
        browser.call("Page.navigate", {"url": url})
        browser.wait_for("document.querySelectorAll('button.team').length > 100", "the bracket")
        if args.shots:
            browser.screenshot(os.path.join(args.shots, "page-1280-empty.png"), False)
        for slot in clicks:
            browser.click(f'.slot[data-slot="{slot}"] button')
        browser.type("#name", NAME)
        browser.type("#guess", GUESS)
        if args.shots:
            browser.evaluate("window.scrollTo(0, 0)")
            browser.screenshot(os.path.join(args.shots, "page-1280-filled.png"), True)
            browser.size(390, 844, True)
            browser.evaluate("window.scrollTo(0, 0)")
            browser.screenshot(os.path.join(args.shots, "page-390-top.png"), False)
            browser.screenshot(os.path.join(args.shots, "page-390-full.png"), True)
        browser.click("#send")
        browser.wait_for("!document.getElementById('done').hidden", "the answer to the entry")
        said = browser.evaluate("document.getElementById('done').textContent")
        if "Your entry is in the pool" not in said or "#edit=" not in said:
            raise RuntimeError("the page says: " + said)
        if args.shots:
            browser.screenshot(os.path.join(args.shots, "page-390-sent.png"), False)
        refuse_look_alike(browser, url, 1280, 900, args.shots)
        refuse_look_alike(browser, url, 390, 844, args.shots)
    finally:
        if browser:
            browser.close()
        server.send_signal(signal.SIGINT)
        server.wait(timeout=30)

    listed = subprocess.run([args.cli, "players", pool], check=True, capture_output=True,
                            text=True).stdout
    players = [p for p in json.loads(listed) if p["name"] == NAME]
    if len(players) != 1:
        raise RuntimeError(f"the pool holds {len(players)} players named {NAME}")
    player = players[0]
    if player["tie_breaker"] != int(GUESS):
        raise RuntimeError(f"the guess is {player['tie_breaker']}, not {GUESS}")
    stored = {pick["team"].strip(): pick["round_reached"] for pick in player["picks"] if pick["team"]}
    if stored != rounds:
        wrong = {team: (stored.get(team), rounds.get(team))
                 for team in set(stored) | set(rounds) if stored.get(team) != rounds.get(team)}
        raise RuntimeError(f"picks differ (stored, clicked): {wrong}")
    shutil.rmtree(work, ignore_errors=True)
    print(f"1 passed, 0 failed: {len(clicks)} games clicked, the pool holds exactly those picks; "
          "a look-alike name is refused at the name box")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # the test's one line of failure
        print(f"0 passed, 1 failed: {error}", file=sys.stderr)
        sys.exit(1)
