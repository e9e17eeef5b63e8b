#!/usr/bin/env python3
"""Loudness over time of a WAV file, as OpenAL Soft's wave driver writes it (16-bit or float
samples, any channel count; a file cut short, whose header still gives no length, is read to its end).

  wav_energy.py FILE [STEP]             one line per STEP seconds (default 0.25): start, RMS, peak
  wav_energy.py FILE --at BYTES         the second at which byte offset BYTES of the file falls
  wav_energy.py FILE --rms FROM TO      RMS between FROM and TO seconds, on a 0..32767 scale
  wav_energy.py FILE --onset FROM LEVEL the start of the first hundredth of a second from FROM on whose
                                        RMS exceeds LEVEL, and that RMS; nothing if none does
"""
import math
import struct
import sys


def read(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    at, fmt = 12, None
    while at + 8 <= len(data):
        chunk, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if chunk == b"fmt ":
            tag, channels, rate = struct.unpack("<HHI", data[at + 8:at + 16])
            bits = struct.unpack("<H", data[at + 22:at + 24])[0]
            if tag == 0xFFFE:  # extensible: the sub-format's first two bytes are the plain tag
                tag = struct.unpack("<H", data[at + 32:at + 34])[0]
            fmt = (tag, channels, rate, bits)
        elif chunk == b"data":
            body = data[at + 8:]
            # The driver fills in the length when the device closes; until then it reads 0.
            if 0 < size <= len(body):
                body = body[:size]
            return fmt, at + 8, body
        at += 8 + size + (size & 1)
    sys.exit(f"{path}: no data chunk")


def frames(fmt, body):
    tag, channels, rate, bits = fmt
    width = bits // 8
    count = len(body) // (width * channels)
    if tag == 3 and bits == 32:
        values = struct.unpack(f"<{count * channels}f", body[:count * channels * 4])
        values = [v * 32767 for v in values]
    elif tag == 1 and bits == 16:
        values = struct.unpack(f"<{count * channels}h", body[:count * channels * 2])
    else:
        sys.exit(f"unsupported sample format {tag}/{bits} bits")
    # The loudest channel of each frame.
    return [max(abs(values[i * channels + c]) for c in range(channels)) for i in range(count)]


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / len(samples)) if samples else 0.0


def main():
    path = sys.argv[1]
    fmt, offset, body = read(path)
    rate, frame_bytes = fmt[2], fmt[1] * fmt[3] // 8
    if len(sys.argv) > 3 and sys.argv[2] == "--at":
        print(f"{max(0, int(sys.argv[3]) - offset) / frame_bytes / rate:.3f}")
        return
    samples = frames(fmt, body)
    if len(sys.argv) > 4 and sys.argv[2] == "--rms":
        start, end = (max(0, int(float(t) * rate)) for t in sys.argv[3:5])
        print(f"{rms(samples[start:end]):.1f}")
        return
    if len(sys.argv) > 4 and sys.argv[2] == "--onset":
        hundredth, level = rate // 100, float(sys.argv[4])
        for start in range(max(0, int(float(sys.argv[3]) * rate)), len(samples), hundredth):
            loudness = rms(samples[start:start + hundredth])
            if loudness > level:
                print(f"{start / rate:.2f} {loudness:.1f}")
                return
        return
    step = int(float(sys.argv[2]) * rate) if len(sys.argv) > 2 else rate // 4
    for start in range(0, len(samples), step):
        window = samples[start:start + step]
        print(f"{start / rate:7.2f} s  rms {rms(window):8.1f}  peak {max(window):6.0f}")


main()
