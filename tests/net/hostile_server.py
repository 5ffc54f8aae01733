#!/usr/bin/python3
"""Port servers that misbehave, on 127.0.0.1, for the network ports' tests.
Prints the port it listens on, then serves every client that connects the
same way until it is killed.

usage: hostile_server.py MODE
  flood           sends IAC DO 100 without end from the moment it accepts,
                  and reads nothing
  flood-later     plays a fair RFC 2217 server (agrees to the options,
                  answers every setting with the value asked) until the first
                  data byte comes; then reads nothing more and sends IAC DO 100
                  without end
  other-values    plays a fair RFC 2217 server, but answers every setting
                  with another value than asked: 9600 baud whatever the speed
                  asked, and the next code up for data size, parity, stop
                  size and flow control
  close           closes each connection as soon as it is made, saying
                  nothing
"""
import socket
import sys
import threading

IAC, DONT, DO, WONT, WILL, SB, SE = 255, 254, 253, 252, 251, 250, 240
OPTIONS = (0, 3, 44)  # binary, suppress go-ahead, COM-PORT-OPTION
FLOOD = bytes([IAC, DO, 100]) * 4096


def flood(conn):
    while True:
        conn.sendall(FLOOD)


# The codes each setting takes: data size, parity, stop size, flow control.
RANGES = {2: (5, 8), 3: (1, 5), 4: (1, 3), 5: (1, 3)}


def other_value(command, value):
    """Another value than the one asked for (a question, 0, is answered as asked)."""
    if command == 1 and value != bytes(4):
        return (4800 if value == (9600).to_bytes(4, "big") else 9600).to_bytes(4, "big")
    if command in RANGES and value and value[0] and value[0] <= RANGES[command][1]:
        low, high = RANGES[command]
        return bytes([low if value[0] >= high else value[0] + 1])
    return value


class Rfc2217:
    """A server's side of the negotiation, fed the client's bytes."""

    def __init__(self, conn, mode):
        self.conn, self.mode = conn, mode
        self.state, self.verb, self.sub = "data", 0, bytearray()
        self.data_seen = False

    def answer(self, command, value):
        if self.mode == "other-values":
            value = other_value(command, value)
        payload = bytes([command + 100]) + value
        self.conn.sendall(bytes([IAC, SB, 44]) + payload.replace(b"\xff", b"\xff\xff") + bytes([IAC, SE]))

    def negotiation(self, verb, option):
        if verb == DO:
            self.conn.sendall(bytes([IAC, WILL if option in OPTIONS else WONT, option]))
        elif verb == WILL:
            self.conn.sendall(bytes([IAC, DO if option in OPTIONS else DONT, option]))

    def feed(self, data):
        for b in data:
            if self.state == "data":
                if b == IAC:
                    self.state = "command"
                else:
                    self.data_seen = True
            elif self.state == "command":
                if b in (DO, DONT, WILL, WONT):
                    self.state, self.verb = "verb", b
                elif b == SB:
                    self.state, self.sub = "sub", bytearray()
                else:
                    self.state = "data"
                    self.data_seen = self.data_seen or b == IAC
            elif self.state == "verb":
                self.negotiation(self.verb, b)
                self.state = "data"
            elif self.state == "sub":
                if b == IAC:
                    self.state = "subiac"
                else:
                    self.sub.append(b)
            elif self.state == "subiac":
                if b == SE:
                    if len(self.sub) >= 2 and self.sub[0] == 44:
                        self.answer(self.sub[1], bytes(self.sub[2:]))
                    self.state = "data"
                else:
                    self.sub.append(b)
                    self.state = "sub"


def serve(conn, mode):
    try:
        if mode == "flood":
            flood(conn)
        elif mode == "close":
            conn.close()
        else:
            server = Rfc2217(conn, mode)
            while not server.data_seen or mode != "flood-later":
                data = conn.recv(4096)
                if not data:
                    return
                server.feed(data)
            flood(conn)
    except OSError:
        pass


def main():
    mode = sys.argv[1]
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print(listener.getsockname()[1], flush=True)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, mode), daemon=True).start()


main()
