#!/usr/bin/env python3
"""The figures of the attacks the new surfaces must withstand, measured on
the built commands: what a chained .ipa writes, peak memory with an app of
twenty huge icons, a chunked upload, the page under listeners and slow
clients, Ctrl-C under slow clients, two writers at once, and the readers
on a JSON object of 200,000 keys and an XML list of 2.7 million.

    bench/attacks.py [build/bin/menutone]

Everything happens in a temporary folder and on 127.0.0.1; nothing is left.
"""
import json
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zipfile
import zlib

MENUTONE = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin/menutone")


def run(*arguments, **options):
    return subprocess.run([MENUTONE, *arguments], capture_output=True, text=True, **options)


def peak_megabytes(*arguments, stdin=None):
    """Peak resident memory of one command, from GNU time."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", MENUTONE, *arguments], input=stdin, capture_output=True, text=True)
    return int(result.stderr.strip().splitlines()[-1]) / 1024


def huge_png(path, width=10000, height=9990):
    """A PNG of about 100 megapixels, one colour, compressed to a few hundred KB."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    compressor = zlib.compressobj(9)
    row = b"\x00" + b"\x40\x80\xc0" * width
    body = b"".join(compressor.compress(row) for _ in range(height)) + compressor.flush()
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) + chunk(b"IDAT", body) + chunk(b"IEND", b""))


def info_plist(identifier, items):
    entries = "".join(
        "<dict><key>UIApplicationShortcutItemType</key><string>t%d</string><key>UIApplicationShortcutItemTitle</key><string>Item %d</string>"
        "<key>UIApplicationShortcutItemIconFile</key><string>big</string></dict>" % (i, i) for i in range(items))
    return ('<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>CFBundleIdentifier</key><string>%s</string>'
            "<key>CFBundleIconFiles</key><array><string>big</string></array>"
            "<key>UIApplicationShortcutItems</key><array>%s</array></dict></plist>" % (identifier, entries))


def chained_ipa(scratch, root):
    path = os.path.join(scratch, "Chained.ipa")
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr("Payload/Evil.app/Info.plist", info_plist("com.example.evil", 0))
        for name, target in (("d", "."), ("d/d/d/l", "../../..")):
            entry = zipfile.ZipInfo("Payload/Evil.app/" + name)
            entry.create_system = 3
            entry.external_attr = 0o120777 << 16
            archive.writestr(entry, target)
        for name in ("AAEvil.dylib", "AAEvil.plist"):
            archive.writestr("Payload/Evil.app/d/d/d/l/Library/MobileSubstrate/DynamicLibraries/" + name, "x")
    result = run("--root", root, "app", "install", path)
    planted = [os.path.join(folder, name) for folder, _, names in os.walk(os.path.join(root, "Library")) for name in names if name.startswith("AAEvil")]
    return "exit %d; planted in the root's tweak folder: %s" % (result.returncode, planted or "nothing")


def start_simulator(root):
    simulator = subprocess.Popen([MENUTONE, "simulator", "--root", root, "--port", "0"], stdout=subprocess.PIPE, text=True)
    line = simulator.stdout.readline()
    port = int(re.search(r"127\.0\.0\.1:(\d+)", line).group(1))
    return simulator, port


def listener(port, stop):
    connection = socket.create_connection(("127.0.0.1", port))
    connection.sendall(b"GET /events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n" % port)
    connection.settimeout(0.5)
    while not stop.is_set():
        try:
            connection.recv(65536)
        except socket.timeout:
            pass
    connection.close()


def slow_client(port, stop):
    connection = socket.create_connection(("127.0.0.1", port))
    connection.sendall(b"GET / HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % port)
    sent = 0
    while not stop.wait(2) and sent < 30:
        try:
            connection.sendall(b"X-Slow-%d: 1\r\n" % sent)
        except OSError:
            break
        sent += 1
    connection.close()


def chunked_upload(port, megabytes):
    connection = socket.create_connection(("127.0.0.1", port))
    connection.settimeout(10)
    connection.sendall(b"POST /store HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nTransfer-Encoding: chunked\r\n\r\n" % port)
    chunk = b"10000\r\n" + b" " * 0x10000 + b"\r\n"
    sent = 0
    try:
        for _ in range(megabytes * 16):
            connection.sendall(chunk)
            sent += 0x10000
        connection.sendall(b"0\r\n\r\n")
    except OSError:
        pass
    answer = connection.recv(4096).split(b"\r\n")[0].decode()
    connection.close()
    return "%s after %.1f MiB sent" % (answer, sent / 2**20)


def main():
    scratch = tempfile.mkdtemp(prefix="menutone-attacks-")
    try:
        root = os.path.join(scratch, "root")
        run("root", "create", root)
        print("chained .ipa:", chained_ipa(scratch, root))

        app = os.path.join(scratch, "Icons.app")
        os.makedirs(app)
        huge_png(os.path.join(app, "big.png"))
        with open(os.path.join(app, "Info.plist"), "w") as out:
            out.write(info_plist("com.example.icons", 20))
        run("--root", root, "app", "install", app)
        print("20 items naming one %.1f-megapixel PNG (%d KB):" % (10000 * 9990 / 1e6, os.path.getsize(os.path.join(app, "big.png")) // 1024))
        print("  app list peak %.0f MB" % peak_megabytes("--root", root, "app", "list"))
        print("  preview peak %.0f MB" % peak_megabytes("--root", root, "preview", "--app", "com.example.icons", "-o", os.path.join(scratch, "m.png")))
        print("  springboard (apps, press) peak %.0f MB" % peak_megabytes("--root", root, "springboard", stdin="apps\npress com.example.icons 1\nquit\n"))
        shutil.rmtree(os.path.join(root, "Applications", "Icons.app"))
        huge_png(os.path.join(app, "big.png"), 2000, 2000)
        run("--root", root, "app", "install", app)
        print("  the same with a 4-megapixel PNG, decoded at 35 and 60 points: preview peak %.0f MB"
              % peak_megabytes("--root", root, "preview", "--app", "com.example.icons", "-o", os.path.join(scratch, "m.png")))

        simulator, port = start_simulator(root)
        print("chunked 20 MiB upload:", chunked_upload(port, 20))
        stop = threading.Event()
        threads = [threading.Thread(target=listener, args=(port, stop)) for _ in range(16)]
        threads += [threading.Thread(target=slow_client, args=(port, stop)) for _ in range(8)]
        for thread in threads:
            thread.start()
        time.sleep(1)
        timings = []
        for _ in range(20):
            start = time.monotonic()
            urllib.request.urlopen("http://127.0.0.1:%d/" % port, timeout=30).read()
            timings.append((time.monotonic() - start) * 1000)
        timings.sort()
        print("GET / under 16 listeners and 8 slowloris clients: median %.1f ms, worst %.1f ms" % (timings[len(timings) // 2], timings[-1]))
        start = time.monotonic()
        simulator.send_signal(signal.SIGINT)
        simulator.wait(timeout=30)
        print("Ctrl-C to exit under those clients: %.2f s (exit %d)" % (time.monotonic() - start, simulator.returncode))
        stop.set()
        for thread in threads:
            thread.join()

        writers = [subprocess.Popen(["bash", "-c", "for i in $(seq 150); do \"$0\" --root \"$1\" defaults write com.example.race %s$i -int $i; done" % prefix,
                                     MENUTONE, root]) for prefix in ("a", "b")]
        for writer in writers:
            writer.wait()
        keys = json.loads(run("--root", root, "defaults", "read", "com.example.race", "--json").stdout)
        print("two writers of 150 keys each: %d keys left" % len(keys))

        many = os.path.join(scratch, "many.json")
        with open(many, "w") as out:
            json.dump({"k%d" % i: i for i in range(200000)}, out)
        start = time.monotonic()
        result = run("plist", "-convert", "binary1", "-o", os.path.join(scratch, "many.plist"), many)
        print("200,000-key JSON to binary: %.2f s (exit %d)" % (time.monotonic() - start, result.returncode))

        xml = os.path.join(scratch, "huge.xml")
        with open(xml, "w") as out:
            out.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>')
            for i in range(2700000):
                out.write("<key>%x</key><true/>" % i)
            out.write("</dict></plist>\n")
        result = subprocess.run(["/usr/bin/time", "-f", "%M", MENUTONE, "--root", root, "defaults", "import", "com.example.huge", xml],
                                capture_output=True, text=True)
        lines = result.stderr.strip().splitlines()
        print("%.1f MB XML of 2.7M keys, defaults import: peak %.0f MB, exit %d: %s"
              % (os.path.getsize(xml) / 1e6, int(lines[-1]) / 1024, result.returncode, lines[0] if len(lines) > 1 else ""))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
