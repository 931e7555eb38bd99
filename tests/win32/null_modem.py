#!/usr/bin/env python3
"""A null-modem cable between two wine COM ports, made of two pseudo-terminals.

    null_modem.py DOSDEVICES PROGRAM_PORT TRANSMITTER_PORT

Links DOSDEVICES/<port> (lower case, e.g. com20) to the slave of a fresh pty for
each of the two ports and copies every byte that one side writes to the other,
so a Windows test can open the program's port through the serial code under
test and play the transmitter on the other port. Prints "ready" once both
links exist and runs until its standard input closes.

Each slave stays open here in raw mode: the line discipline neither echoes nor
translates before wine configures the port, and a side that closes its port
does not hang the other one up.
"""
import os
import select
import sys
import termios
import tty


def make_pty():
    master, slave = os.openpty()
    tty.setraw(slave)
    attrs = termios.tcgetattr(slave)
    attrs[3] &= ~termios.ECHO
    termios.tcsetattr(slave, termios.TCSANOW, attrs)
    os.set_blocking(master, False)
    return master, slave, os.ttyname(slave)


def link(dosdevices, port, target):
    path = os.path.join(dosdevices, port.lower())
    if os.path.lexists(path):
        os.unlink(path)
    os.symlink(target, path)
    return path


def main():
    dosdevices, program_port, transmitter_port = sys.argv[1:4]
    a_master, a_slave, a_name = make_pty()
    b_master, b_slave, b_name = make_pty()
    links = [link(dosdevices, program_port, a_name), link(dosdevices, transmitter_port, b_name)]
    print("ready", a_name, b_name, flush=True)

    peer = {a_master: b_master, b_master: a_master}
    pending = {a_master: b"", b_master: b""}  # bytes waiting to be written to that master
    try:
        while True:
            writers = [fd for fd, data in pending.items() if data]
            readable, writable, _ = select.select([a_master, b_master, sys.stdin], writers, [])
            if sys.stdin in readable and not sys.stdin.buffer.read1(4096):
                break
            for fd in readable:
                if fd is sys.stdin:
                    continue
                try:
                    data = os.read(fd, 4096)
                except (BlockingIOError, OSError):
                    continue
                pending[peer[fd]] += data
            for fd in writable:
                try:
                    sent = os.write(fd, pending[fd])
                except (BlockingIOError, OSError):
                    continue
                pending[fd] = pending[fd][sent:]
    finally:
        for path in links:
            if os.path.islink(path):
                os.unlink(path)
        for fd in (a_master, a_slave, b_master, b_slave):
            os.close(fd)


if __name__ == "__main__":
    main()
