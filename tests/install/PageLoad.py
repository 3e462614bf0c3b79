# Loads the simulator's page from the address it printed, then listens to its
# events until both phones have sent a picture: a phone that cannot start
# shows as no picture (or an error event) here.
#   PageLoad.py OUTPUT_FILE_OF_THE_SIMULATOR
import re
import sys
import time
import urllib.request

deadline = time.time() + 30
address = None
while address is None and time.time() < deadline:
    with open(sys.argv[1]) as output:
        found = re.search(r"http://127\.0\.0\.1:\d+/", output.read())
    address = found.group(0) if found else None
    time.sleep(0.1)
if address is None:
    sys.exit("PageLoad: the simulator printed no address")
page = urllib.request.urlopen(address, timeout=20).read().decode()
if "<html" not in page.lower():
    sys.exit("PageLoad: the page is no HTML page")
seen = set()
with urllib.request.urlopen(address + "events", timeout=20) as events:
    for line in events:
        text = line.decode(errors="replace")
        if '"error"' in text:
            sys.exit("PageLoad: a phone failed: " + text.strip())
        for phone in ("home", "settings"):
            if '"phone":"%s","frame"' % phone in text:
                seen.add(phone)
        if len(seen) == 2 or time.time() > deadline:
            break
if len(seen) != 2:
    sys.exit("PageLoad: pictures came only from " + ", ".join(sorted(seen)))
print("PageLoad: both phones drew")
