#!/usr/bin/env python3
"""Reads logwick-cli's data reports back with Python's own csv and json
readers and checks them against each other, against the raw records they
carry and against the text report of the same events.

usage: check_reports.py --jsonl F [--csv F --sep C]... [--txt F] [--json F]...
Prints "ok" and exits 0, or names every mismatch and exits 1.
"""
import argparse
import csv
import io
import json
import sys

KINDS = {1: "режимы", 3: "режимы", 7: "режимы", 9: "режимы", 2: "устройства", 11: "устройства",
         4: "сообщения", 5: "лучи", 8: "лучи", 6: "ПР4545", 10: "ведомые", 12: "ведомые"}
HEADER_KEYS = ["panel", "serial", "read", "version", "released", "config", "sha256", "events"]
EVENT_KEYS = ["time", "code", "kind", "beam", "device", "text", "raw"]
CSV_HEADER = ["Время", "Код", "Вид", "Луч", "Устройство", "Событие", "Запись"]

errors = []


def expect(ok, what):
    if not ok:
        errors.append(what)


def fields(stamp):
    """Year, month, day, hour, minute, second as packed."""
    return (2000 + (stamp >> 26), (stamp >> 22) & 15, (stamp >> 17) & 31,
            (stamp >> 12) & 31, (stamp >> 6) & 63, stamp & 63)


def read_jsonl(path):
    data = open(path, "rb").read()
    expect(data.endswith(b"\n") and b"\r" not in data, "jsonl: LF only, every line ended")
    lines = data.split(b"\n")[:-1]
    header = json.loads(lines[0])
    expect(list(header) == HEADER_KEYS, f"jsonl header keys {list(header)}")
    expect(len(header["sha256"]) == 64 and header["sha256"] == header["sha256"].lower(), "sha256 form")
    events = [json.loads(line) for line in lines[1:]]
    expect(header["events"] == len(events), f"jsonl: {header['events']} announced, {len(events)} written")
    for n, ev in enumerate(events):
        expect(list(ev) == EVENT_KEYS, f"jsonl event {n} keys {list(ev)}")
        raw = bytes.fromhex(ev["raw"])
        expect(len(raw) == 16 and ev["raw"] == raw.hex(), f"event {n}: raw {ev['raw']}")
        code = int.from_bytes(raw[4:6], "little")
        y, mo, d, h, mi, s = fields(int.from_bytes(raw[0:4], "little"))
        expect(ev["time"] == f"{y:04}-{mo:02}-{d:02}T{h:02}:{mi:02}:{s:02}", f"event {n}: time {ev['time']}")
        expect(ev["code"] == code, f"event {n}: code")
        expect(ev["kind"] == KINDS.get(code, "прочие"), f"event {n}: kind {ev['kind']} of code {code}")
        expect(ev["beam"] == (raw[6] if code in (5, 8) else None), f"event {n}: beam")
        expect(ev["device"] == (raw[10] if code in (2, 11) else None), f"event {n}: device")
    return events


def check_csv(path, sep, events):
    data = open(path, "rb").read()
    expect(data.startswith(b"\xef\xbb\xbf"), f"{path}: byte-order mark")
    expect(data.endswith(b"\r\n"), f"{path}: last row ends in CR LF")
    rows = list(csv.reader(io.StringIO(data.decode("utf-8-sig"), newline=""), delimiter=sep, strict=True))
    expect(rows[0] == CSV_HEADER, f"{path}: header {rows[0]}")
    expect(len(rows) - 1 == len(events), f"{path}: {len(rows) - 1} rows for {len(events)} events")
    for n, (row, ev) in enumerate(zip(rows[1:], events)):
        expected = [ev["time"].replace("T", " "), str(ev["code"]), ev["kind"],
                    "" if ev["beam"] is None else str(ev["beam"]),
                    "" if ev["device"] is None else str(ev["device"]), ev["text"], ev["raw"]]
        expect(row == expected, f"{path} row {n}: {row} != {expected}")


def check_txt(path, events):
    text = open(path, "rb").read().decode("cp1251")
    body = text.split("\r\n", 4)[4]
    expected = ""
    for ev in events:
        y, mo, d, h, mi, s = fields(int.from_bytes(bytes.fromhex(ev["raw"])[0:4], "little"))
        expected += f"{d:02}/{mo:02}/{y:04} {h:02}:{mi:02}:{s:02} {ev['text']}\r\n"
    expect(body == expected, f"{path}: the text report's sentences differ from the data reports'")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--jsonl", required=True)
    parser.add_argument("--csv", action="append", default=[])
    parser.add_argument("--sep", action="append", default=[])
    parser.add_argument("--txt")
    parser.add_argument("--json", action="append", default=[])
    args = parser.parse_args()
    events = read_jsonl(args.jsonl)
    for path, sep in zip(args.csv, args.sep):
        check_csv(path, sep, events)
    if args.txt:
        check_txt(args.txt, events)
    for path in args.json:
        json.loads(open(path, "rb").read())
    for e in errors:
        print(e)
    print("ok" if not errors else f"{len(errors)} mismatches")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
