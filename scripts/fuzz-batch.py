#!/usr/bin/env python3
"""Random damage to --batch requests: is every line still answered soundly?

Takes a few well-formed requests, damages copies of them at random (bytes
flipped, inserted or cut; numbers out of range; bytes that are no UTF-8; keys
given twice; long strings and deep nesting) and sends them all through one
call of pelmora-cli --batch.  Checks that the call ends with status 0, that
every line that is not blank gets exactly one answer, in order, and that every
answer is valid UTF-8 and one JSON object with a known "status", carrying the
"id" of its request unless the line was no JSON object.  Prints the counts of each status, the
time taken, and "ok", or the first answer that is wrong and exits with 1.

    scripts/fuzz-batch.py [BUILD_FOLDER] [--lines N] [--seed S]
"""
import argparse
import json
import random
import subprocess
import sys
import time

SEEDS = [
    b'{"id": 1, "test": 0, "set": {"Sample Size 1": 30}, "unknown": "P-value"}',
    b'{"id": 2, "test": 0, "tails": 1, "options": ["Unequal Std.Deviations"], "modes": {"33": 1},'
    b' "set": {"Mean 2": 5e-1}, "unknown": "Sample Size 1"}',
    b'{"id": "i", "distribution": 4, "parameter": 0, "kind": "interval", "samples": 1,'
    b' "set": {"Lower Limit": "0,4"}, "unknown": "Sample Size"}',
    b'{"id": 4, "test": 0, "unknown": "Sample Size 1",'
    b' "table": {"x": "Standard Deviation=0.5:1.5:0.5", "z": "Mean 2=0.5 0.6"}}',
    b'{"id": 5, "test": 1, "power": 0.8, "set": {"Mean of Difference": -0.3}, "unknown": "Sample Size"}',
]
PIECES = [b"1e309", b"-1e309", b"2e308", b"1e-400", b"4e-320", b"\x80", b"\xc0\xaf", b"\xed\xa0\x80",
          b"\xf4\x90\x80\x80", b'"\\ud800"', b'"87": 0.5, "Mean 2*": 0.6', b'"id": 9, "id": 9',
          b"\\u0000", b"\r", b"\t", b'"' + b"x" * 5000 + b'"', b"[" * 70 + b"]" * 70, b"{}", b"null",
          b"0" * 400, b"-0.0e-999", b"\xe2\x82\xac", b'"\\"', b"\x00", b"\x1f"]
STATUSES = {"solved", "not calculable", "rejected", "usage"}


def damaged(rng):
    line = bytearray(rng.choice(SEEDS))
    for _ in range(rng.randint(0, 2)):
        at = rng.randrange(len(line) + 1)
        kind = rng.random()
        if kind < 0.35:
            line[at:at] = rng.choice(PIECES)
        elif kind < 0.55 and line:
            line[min(at, len(line) - 1)] = rng.randrange(256)
        elif kind < 0.75:
            del line[at:at + rng.randint(1, 8)]
        else:
            # A value swapped for a damaging piece.
            colon = line.find(b": ", at)
            if colon >= 0:
                end = colon + 2
                while end < len(line) and line[end] not in b",}":
                    end += 1
                line[colon + 2:end] = rng.choice(PIECES)
    return bytes(line)


def answered(line):
    """True when the program answers the line: it is not blank."""
    if line.endswith(b"\r"):
        line = line[:-1]
    return line.strip(b" \t") != b""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--lines", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    text = b"\n".join(damaged(rng) for _ in range(args.lines)) + b"\n"
    lines = [line for line in text.split(b"\n")[:-1] if answered(line)]
    start = time.monotonic()
    run = subprocess.run([f"{args.build}/src/pelmora-cli", "--batch"], input=text, capture_output=True)
    seconds = time.monotonic() - start
    if run.returncode != 0:
        sys.exit(f"exit status {run.returncode}: {run.stderr[:500]!r}")
    answers = run.stdout.split(b"\n")
    if answers[-1] != b"" or len(answers) - 1 != len(lines):
        sys.exit(f"{len(answers) - 1} answers to {len(lines)} lines")
    counts = {}
    for request, answer in zip(lines, answers):
        try:
            a = json.loads(answer.decode("utf-8", errors="strict"))
        except (UnicodeDecodeError, ValueError) as e:
            sys.exit(f"not UTF-8 JSON ({e}): {answer[:300]!r} for {request[:300]!r}")
        if not isinstance(a, dict) or a.get("status") not in STATUSES or not isinstance(a.get("message"), str):
            sys.exit(f"no answer: {answer[:300]!r}")
        try:
            given = json.loads(request.decode("utf-8", errors="strict"))
            sent = given.get("id") if isinstance(given, dict) else None
        except (UnicodeDecodeError, ValueError, RecursionError):
            sent = None
        unread = a["message"].startswith(("malformed JSON", "a request must be", "the line is longer"))
        if isinstance(sent, (int, float, str)) and not isinstance(sent, bool) and not unread and "id" not in a:
            sys.exit(f"the id is lost: {answer[:300]!r} for {request[:300]!r}")
        counts[a["status"]] = counts.get(a["status"], 0) + 1
    print(f"{len(lines)} lines in {seconds:.1f} s: {counts}; ok")


if __name__ == "__main__":
    main()
