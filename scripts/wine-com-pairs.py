#!/usr/bin/env python3
"""Null-modem cables between COM ports of a Wine prefix, for the Windows serial tests.

    wine-com-pairs.py WINEPREFIX FIRST COUNT

Pair k joins COM(FIRST+2k) and COM(FIRST+2k+1): each port is a link in
$WINEPREFIX/dosdevices to its own pseudo-terminal, and what is written to one arrives at the
other. The relay keeps every terminal's own end open as well, so a port that the program
closes and opens again stays joined. Prints READY once the links exist; ends on SIGTERM and
removes the links that are still its own.
"""
import os
import selectors
import signal
import sys
import tty


def main():
    prefix, first, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    devices = os.path.join(prefix, "dosdevices")
    os.makedirs(devices, exist_ok=True)
    masters = {}  # master fd -> the master fd of the other port
    links = []
    held = []
    for k in range(count):
        ends = []
        for port in (first + 2 * k, first + 2 * k + 1):
            master, slave = os.openpty()
            tty.setraw(master)
            tty.setraw(slave)  # no echo of bytes that arrive before the program sets the line
            held.append(slave)
            link = os.path.join(devices, "com%d" % port)
            if os.path.lexists(link):
                os.unlink(link)
            os.symlink(os.ttyname(slave), link)
            links.append((link, os.ttyname(slave)))
            ends.append(master)
        masters[ends[0]] = ends[1]
        masters[ends[1]] = ends[0]

    def stop(*_):
        # Only links that are still ours: a later relay may have made its own meanwhile.
        for link, target in links:
            if os.path.islink(link) and os.readlink(link) == target:
                os.unlink(link)
        sys.exit(0)

    # Wine's device manager, when it starts, may set up COM links of its own: ours are put back.
    def keep_links():
        for link, target in links:
            if not (os.path.islink(link) and os.readlink(link) == target):
                if os.path.lexists(link):
                    os.unlink(link)
                os.symlink(target, link)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    selector = selectors.DefaultSelector()
    for fd in masters:
        selector.register(fd, selectors.EVENT_READ)
    print("READY", flush=True)
    while True:
        keep_links()
        for key, _ in selector.select(timeout=0.1):
            try:
                data = os.read(key.fd, 4096)
            except OSError:
                continue
            if data:
                os.write(masters[key.fd], data)


if __name__ == "__main__":
    main()
