#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/. Run once by hand when a target's
input layout changes; CI only reads the committed files. The record_json
seeds are `save_record_tool decode` of some load_save seeds, plus two
malformed ones written by hand."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

SERIAL_1, SERIAL_2 = 0x00400000, 0x04000000
DIGI8_1, DIGI8_2, DIGI16_1, DIGI16_2, DIGI32 = 0x2000, 0x4000, 0x8000, 0x10000, 0x20000
FULL1, SUB1, MESSAGE, FULL2, SUB2, TIMEOUT = 0x1, 0x2, 0x4, 0x8, 0x10, 0x20
IN2, IN3, IN4, IN5 = 0x40, 0x80, 0x100, 0x200


def save_record(version=5, mode=0, flags=FULL1 | FULL2, d8v=(0, 0), d8m=(0, 0), d16v=(0, 0),
                d16m=(0, 0), d32v=0, d32m=0, controller=0, text1=b"", message="", text2=b"",
                timeout=10, goto=0, action=0, substr=(0, 199), size=956):
    r = bytearray(956)
    struct.pack_into(">hhI", r, 0, version, 956, mode)
    struct.pack_into(">BBBB", r, 30, *d8v, *d8m)
    struct.pack_into(">HHHH", r, 34, *d16v, *d16m)
    struct.pack_into(">III", r, 44, flags, 0, d32v)
    struct.pack_into(">IB", r, 56, d32m, controller)
    r[61:61 + len(text1)] = text1
    m = message.encode("utf-16-be")[:240]
    r[262:262 + len(m)] = m
    r[742:742 + len(text2)] = text2
    struct.pack_into(">Ii", r, 944, timeout, goto)
    r[952], r[954], r[955] = action, substr[0], substr[1]
    return bytes(r[:size]) if size <= 956 else bytes(r) + b"\x5a" * (size - 956)


def input_record(d8=(0, 0), d16=(0, 0), d32=0, text1=b"", text2=b"", fill=0):
    r = bytearray([fill]) * 472
    r[0:56] = bytes(56)
    r[6], r[7] = d8
    struct.pack_into(">HH", r, 10, *d16)
    struct.pack_into(">I", r, 48, d32)
    if fill == 0:
        r[56:472] = bytes(416)
    r[56:56 + len(text1)] = text1
    r[261:261 + len(text2)] = text2
    return bytes(r)


class Provider:
    """Builds input for FuzzedDataProvider: bytes and strings come from the
    front, numbers from the back (most significant byte consumed first)."""

    def __init__(self):
        self.front = bytearray()
        self.back = []

    def number(self, lo, hi, value, width):
        span, rest, count = hi - lo, value - lo, 0
        while count < width and (span >> (8 * count)) > 0:
            count += 1
        for i in reversed(range(count)):
            self.back.append((rest >> (8 * i)) & 0xFF)

    def boolean(self, value):
        self.back.append(1 if value else 0)

    def raw(self, data):
        self.front += data

    def string(self, text, most):
        self.front += text.replace(b"\\", b"\\\\")
        if len(text) < most:
            self.front += b"\\E"

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def load_save_seeds():
    write("load_save", "factory_v5", save_record())
    for version in (1, 2, 3, 4):
        write("load_save", "v%d" % version,
              save_record(version=version, mode=SERIAL_1, text1=b"OK", message="Hi", text2=b"x"))
    write("load_save", "v5_all_fields", save_record(
        mode=DIGI32, flags=0xFFFFFFFF, d8v=(0x81, 0x7E), d8m=(0xFF, 0x0F), d16v=(0x1234, 0xFFFF),
        d16m=(0x00FF, 0xF0F0), d32v=0xDEADBEEF, d32m=0xFFFF0000, controller=8,
        text1=b"A" * 200, message="Waiting \u20ac", text2=b"[CR][LF]", timeout=3600, goto=-7,
        action=3, substr=(10, 10)))
    write("load_save", "negative_version", save_record(version=-1, controller=200, substr=(220, 100)))
    write("load_save", "short_62", save_record(version=1, size=62))
    write("load_save", "long_1000", save_record(size=1000))
    write("load_save", "empty", b"")


def check_input_seeds():
    # Digital port 1 bit 7 must be 1, 10 s timeout that stops marking, message on.
    p = Provider()
    p.boolean(False)                                  # locale C
    p.boolean(True)                                   # sink present
    record = save_record(mode=DIGI8_1, flags=FULL1 | FULL2 | MESSAGE | TIMEOUT, d8v=(0x80, 0),
                         d8m=(0x80, 0), action=2, message="Wait")
    p.number(0, 1100, len(record), 8)
    p.raw(record)
    p.number(0, 6, 0, 4)                              # arm
    for level, seconds in ((0x00, 0), (0x80, 0), (0x00, 11)):
        p.number(0, 6, 1, 4)
        p.number(0, 30, seconds, 4)
        p.number(0, 6, 2, 4)                          # check
        p.boolean(True)                               # zero fill
        p.raw(input_record(d8=(level, 0)))
        p.boolean(True)                               # the element's own controller
    p.number(0, 6, 3, 4)                              # result data
    p.number(0, 6, 4, 4)                              # release
    write("check_input", "digi8_timeout_stop", p.data())

    # Serial 1 substring "OK[CR]" forwarding to IN2; a text without a zero byte.
    p = Provider()
    p.boolean(False)                                  # locale C
    p.boolean(False)
    record = save_record(mode=SERIAL_1, flags=SUB1 | FULL2 | IN2, text1=b"OK[CR]", substr=(1, 3))
    p.number(0, 1100, len(record), 8)
    p.raw(record)
    p.number(0, 6, 0, 4)
    p.number(0, 6, 2, 4)
    p.boolean(False)                                  # fill with letters: no zero byte
    p.raw(input_record(text1=b"xOK\r" + b"A" * 100, fill=ord("A")))
    p.boolean(True)
    p.number(0, 6, 6, 4)                              # fetch follow-up, null record
    write("check_input", "serial1_forward_unterminated", p.data())

    for name, mode, field in (("digi16_2", DIGI16_2, "d16"), ("digi32", DIGI32, "d32"),
                              ("serial2_full", SERIAL_2, "text2")):
        p = Provider()
        p.boolean(name == "serial2_full")             # locale C.UTF-8 for the text
        p.boolean(True)
        record = save_record(mode=mode, flags=FULL1 | FULL2, d16v=(0, 0x8001), d16m=(0, 0x8001),
                             d32v=0x80000001, d32m=0xFFFFFFFF, text2=b"[CR][LF]", controller=1)
        p.number(0, 1100, len(record), 8)
        p.raw(record)
        p.number(0, 6, 0, 4)
        p.number(0, 6, 2, 4)
        p.boolean(True)
        p.raw(input_record(d16=(0, 0x8001), d32=0x80000001, text2=b"\r\n"))
        p.boolean(True)
        p.number(0, 6, 3, 4)
        write("check_input", name, p.data())

    p = Provider()
    p.boolean(False)                                  # locale C
    p.boolean(False)
    record = save_record(version=1, size=62)
    p.number(0, 1100, len(record), 8)
    p.raw(record)
    p.number(0, 6, 2, 4)
    p.boolean(True)
    p.raw(input_record())
    p.boolean(False)
    p.number(-2**31, 2**31 - 1, 9, 4)
    write("check_input", "v1_other_controller", p.data())


def custom_operation_seeds():
    def seed(name, serial1, flags, text1, substr, received1, timeout_passes, capacity, kind_ok,
             action=0):
        p = Provider()
        p.boolean(True)                               # locale C.UTF-8
        p.number(0, 9, 0, 1)                          # controller
        p.boolean(serial1)
        p.number(0, 2**32 - 1, flags, 4)
        p.string(text1, 200)
        p.string(b"", 200)
        p.number(0, 5, 3, 4)                          # timeout seconds
        p.number(0, 2**32 - 1, 42, 4)                 # goto element
        p.number(0, 255, action, 1)
        p.number(0, 255, substr[0], 1)
        p.number(0, 255, substr[1], 1)
        p.string(received1, 205)
        p.string(b"", 211)
        p.boolean(timeout_passes)
        p.number(-2**31, 2**31 - 1, capacity, 4)
        room = max(0, min(capacity, 801))
        p.raw(bytes(32 + room))
        p.boolean(kind_ok)
        write("custom_operation", name, p.data())

    seed("forward_in2_in5", True, SUB1 | IN2 | IN5, b"OK", (3, 5), b"..OKDEFGH", False, 40, True)
    seed("forward_whole_text", True, FULL1 | IN3, b"ABCDEFGHIJKL", (0, 199), b"ABCDEFGHIJKL",
         False, 400, True)
    seed("forward_capacity_3", True, IN4, b"", (0, 199), b"abc", False, 3, True)
    seed("forward_negative_capacity", True, IN4, b"", (0, 199), b"abc", False, -5, True)
    seed("timeout_goto", False, FULL2 | TIMEOUT, b"", (0, 199), b"", True, 16, True, action=3)
    seed("timeout_bad_action", False, FULL2 | TIMEOUT, b"", (0, 199), b"", True, 16, True, action=9)
    seed("wrong_kind", True, IN2, b"", (0, 199), b"x", False, 40, False)


if __name__ == "__main__":
    load_save_seeds()
    check_input_seeds()
    custom_operation_seeds()
