"""The Wi-Fi transfer screen: switch the server on, read the Wi-Fi URL the screen shows
(checked against this machine's own interfaces), upload a file with curl, see its line at
the top of the messages, switch the server off again."""

import fcntl
import os
import socket
import struct
import subprocess

import pyatspi

from orbo_e2e import Orbo, check, run, wait_for

SIOCGIFADDR = 0x8915
SKIPPED = ("lo", "docker", "br-", "virbr", "veth")


def ipv4_of(name):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        packed = fcntl.ioctl(s.fileno(), SIOCGIFADDR, struct.pack("256s", name.encode()[:15]))
    return socket.inet_ntoa(packed[20:24])


def expected_wifi_address():
    """The first wireless interface with an IPv4 address, else the first wired one."""
    addresses = {}
    for _, name in socket.if_nameindex():
        if name.startswith(SKIPPED):
            continue
        try:
            addresses[name] = ipv4_of(name)
        except OSError:
            pass  # no IPv4 address
    for prefixes in (("wl",), ("en", "eth")):
        for name in sorted(addresses):
            if name.startswith(prefixes):
                return addresses[name]
    return None


def free_port():
    with socket.socket() as s:
        s.bind(("", 0))
        return s.getsockname()[1]


def control(orbo, name):
    """The control named so (not the list row of the same name)."""
    return wait_for(f"control {name!r}", lambda: next(
        (a for a in orbo.all(name=name) if a.getRole() not in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_LABEL)), None))


def label_text(orbo, name):
    """The text of the label that shows the URL of the row named so."""
    label = wait_for(f"label {name!r}", lambda: next(
        (a for a in orbo.all(role=pyatspi.ROLE_LABEL, name=name) if a.description), None))
    return label.description


def messages(orbo):
    view = wait_for("the message view", lambda: next(
        (a for a in orbo.all(name="Messages") if a.getRole() != pyatspi.ROLE_LABEL), None))
    text = view.queryText()
    return text.getText(0, text.characterCount)


def test():
    port = free_port()
    address = expected_wifi_address()
    with Orbo("transfer", ["--transfer-port", str(port)]) as orbo:
        orbo.press(orbo.button("Wi-Fi Transfer"))
        check(label_text(orbo, "Wi-Fi URL") == "No Connection", "a URL before the server runs")
        orbo.press(control(orbo, "Start the server"))
        # The first start warns about mobile data once.
        orbo.press(orbo.button("Don't show again"))
        expected = f"http://{address}:{port}" if address else "No Connection"
        wait_for(f"the Wi-Fi URL {expected}", lambda: label_text(orbo, "Wi-Fi URL") == expected)
        check(messages(orbo).startswith("Server started"), f"messages: {messages(orbo)!r}")

        song = os.path.join(orbo.home, "e2e song.mp3")
        with open(song, "wb") as f:
            f.write(b"ID3" + os.urandom(4000))
        base = expected if address else f"http://127.0.0.1:{port}"
        status = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{http_code}", "--max-time", "10",
                                 "-F", "folder=/", "-F", f"file=@{song}", f"{base}/upload"],
                                capture_output=True, text=True, timeout=20).stdout
        check(status == "200", f"upload answered {status}")
        wait_for("the upload's line on top", lambda: messages(orbo).startswith("[e2e song.mp3] upload Success"))
        check(os.path.exists(os.path.join(orbo.home, "Documents", "e2e song.mp3")), "the song did not arrive")

        orbo.press(control(orbo, "Start the server"))
        wait_for("the server stopped", lambda: messages(orbo).startswith("Server stopped"))
        check(label_text(orbo, "Wi-Fi URL") == "No Connection", "the URL stays after stopping")
        refused = subprocess.run(["curl", "-s", "--max-time", "5", f"http://127.0.0.1:{port}/"],
                                 capture_output=True, timeout=20).returncode
        check(refused != 0, "the server still answers after stopping")


run(test)
