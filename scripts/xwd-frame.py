#!/usr/bin/env python3
"""Compares window screenshots (xwd) with the game's own frame (binary PPM).

  xwd-frame.py scaled SHOT.xwd FRAME.ppm SCALE LEFT TOP
      exit 0 when the screenshot is the frame scaled SCALE times by repeating pixels,
      with its top-left corner at (LEFT, TOP), and black everywhere else.
  xwd-frame.py fitted SHOT.xwd FRAME.ppm LEFT TOP WIDTH HEIGHT
      exit 0 when the screenshot shows the frame scaled to WIDTH x HEIGHT (any scale,
      filtered) with its top-left corner at (LEFT, TOP), and black everywhere else: every
      window pixel of the checked rows lies within the colours of the frame pixels its
      area touches. Prints the share of window pixels that show exactly the frame pixel
      under their centre (how crisp the scaling is).
Any other answer prints what differs and exits 1.
"""
import struct
import sys


def read_xwd(path):
    data = open(path, 'rb').read()
    h = struct.unpack('>25I', data[:100])
    header_size, pixmap_format, bits_per_pixel, bytes_per_line = h[0], h[2], h[11], h[12]
    byte_order, masks, ncolors = h[7], (h[14], h[15], h[16]), h[19]
    width, height = h[4], h[5]
    if pixmap_format != 2 or bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        sys.exit(f'{path}: an xwd layout this check does not read '
                 f'(format {pixmap_format}, {bits_per_pixel} bits, masks {masks})')
    start = header_size + ncolors * 12
    # Each row as R, G, B planes (bytes), whatever the byte order of the pixels.
    r_at, g_at, b_at = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    rows = []
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        if len(row) != width * 4:
            sys.exit(f'{path}: cut short at row {y}')
        rows.append((row[r_at::4], row[g_at::4], row[b_at::4]))
    return width, height, rows


def read_ppm(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b'P6' or fields[3] != b'255':
        sys.exit(f'{path}: not an 8-bit binary PPM')
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos:pos + width * height * 3]
    if len(pixels) != width * height * 3:
        sys.exit(f'{path}: cut short')
    rows = []
    for y in range(height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        rows.append((row[0::3], row[1::3], row[2::3]))
    return width, height, rows


def widen(plane, scale):
    out = bytearray(len(plane) * scale)
    for k in range(scale):
        out[k::scale] = plane
    return bytes(out)


def scaled(shot_path, frame_path, scale, left, top):
    sw, sh, shot = read_xwd(shot_path)
    fw, fh, frame = read_ppm(frame_path)
    if left < 0 or top < 0 or left + fw * scale > sw or top + fh * scale > sh:
        return f'the frame {fw}x{fh} at {scale}x from ({left},{top}) does not fit the {sw}x{sh} screenshot'
    black_row = bytes(sw)
    bad_rows = []
    for y in range(sh):
        fy = (y - top) // scale
        if y < top or fy >= fh:
            expect = (black_row, black_row, black_row)
        else:
            side = bytes(left), bytes(sw - left - fw * scale)
            expect = tuple(side[0] + widen(plane, scale) + side[1] for plane in frame[fy])
        if expect != shot[y]:
            bad_rows.append(y)
    if bad_rows:
        y = bad_rows[0]
        fy = (y - top) // scale
        inside = 0 <= y - top and fy < fh
        col = next(x for x in range(sw) if any(
            shot[y][c][x] != (frame[fy][c][(x - left) // scale] if inside and left <= x < left + fw * scale else 0)
            for c in range(3)))
        got = tuple(shot[y][c][col] for c in range(3))
        return f'{len(bad_rows)} rows differ, the first at window pixel ({col},{y}): {got}'
    return None


def touched(count, frame_count, start, size):
    """For each of count window pixels along one direction, the first and last frame
    pixel that its area (widened by a quarter of a frame pixel each way, for the filter)
    touches, and the frame pixel under its centre; None outside the frame."""
    spans = []
    for i in range(count):
        at = i - start
        if at < 0 or at >= size:
            spans.append(None)
            continue
        lo = max(0, int((at * frame_count / size) - 0.25))
        hi = min(frame_count - 1, int(((at + 1) * frame_count / size) + 0.25 - 1e-9))
        spans.append((lo, hi, min(frame_count - 1, int((at + 0.5) * frame_count / size))))
    return spans


def fitted(shot_path, frame_path, left, top, width, height, row_step=5):
    sw, sh, shot = read_xwd(shot_path)
    fw, fh, frame = read_ppm(frame_path)
    if left < 0 or top < 0 or width <= 0 or height <= 0 or left + width > sw or top + height > sh:
        return f'the frame at {width}x{height} from ({left},{top}) does not fit the {sw}x{sh} screenshot', 0
    cols = touched(sw, fw, left, width)
    rows = touched(sh, fh, top, height)
    tolerance = 3
    exact = checked = 0
    bad = []
    for y in range(sh):
        # The bars completely; the frame's rows every row_step (and its first and last).
        if rows[y] is not None and y % row_step and y not in (top, top + height - 1):
            continue
        for c in range(3):
            got = shot[y][c]
            if rows[y] is None:
                if any(got):
                    x = next(x for x in range(sw) if got[x])
                    bad.append((x, y))
                continue
            r0, r1, rc = rows[y]
            lows = [min(frame[r][c][f] for r in range(r0, r1 + 1)) for f in range(fw)]
            highs = [max(frame[r][c][f] for r in range(r0, r1 + 1)) for f in range(fw)]
            centre = frame[rc][c]
            for x in range(sw):
                span = cols[x]
                if span is None:
                    if got[x]:
                        bad.append((x, y))
                    continue
                lo = min(lows[span[0]:span[1] + 1]) - tolerance
                hi = max(highs[span[0]:span[1] + 1]) + tolerance
                if not lo <= got[x] <= hi:
                    bad.append((x, y))
                if c == 0:
                    checked += 1
                    same = all(shot[y][k][x] == frame[rc][k][span[2]] for k in range(3))
                    exact += same
        if len(bad) > 50:
            break
    if bad:
        x, y = bad[0]
        got = tuple(shot[y][c][x] for c in range(3))
        return f'{len(bad)} window pixels out of place or colour, the first at ({x},{y}): {got}', 0
    return None, exact / max(checked, 1)


def main():
    if len(sys.argv) == 7 and sys.argv[1] == 'scaled':
        problem = scaled(sys.argv[2], sys.argv[3], *map(int, sys.argv[4:7]))
        if problem:
            print(problem)
            return 1
        return 0
    if len(sys.argv) == 8 and sys.argv[1] == 'fitted':
        problem, crisp = fitted(sys.argv[2], sys.argv[3], *map(int, sys.argv[4:8]))
        if problem:
            print(problem)
            return 1
        print(f'{crisp * 100:.1f}% of the window pixels show the frame pixel under their centre exactly')
        return 0
    sys.exit(__doc__)


if __name__ == '__main__':
    sys.exit(main())
