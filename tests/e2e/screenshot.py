"""The whole screen as RGB bytes, and where on it the test picture and other things are."""


class Screenshot:
    """The whole screen as RGB bytes."""

    def __init__(self, raw, width, height):
        self.raw, self.width, self.height = raw, width, height

    @classmethod
    def from_ppm(cls, data):
        """From a binary PPM ("P6"), 8 bits a sample."""
        fields, at = [], 0
        while len(fields) < 4:  # magic, width, height, depth, each ended by one blank
            end = at
            while data[end:end + 1] not in b" \t\r\n":
                end += 1
            if end > at:
                fields.append(data[at:end])
            at = end + 1
        magic, width, height, depth = fields
        assert magic == b"P6" and depth == b"255", "an 8-bit PPM"
        return cls(data[at:], int(width), int(height))

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def region(self, x, y, w, h):
        """Pixels of a rectangle, row by row, clipped to the screen."""
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, self.width), min(y + h, self.height)
        return [self.pixel(px, py) for py in range(y0, y1) for px in range(x0, x1)]

    def bright_columns(self, x, y, w, h, threshold=200):
        """The first and last column of the rectangle holding a bright pixel, or None."""
        cols = [px for px in range(max(x, 0), min(x + w, self.width))
                if any(min(self.pixel(px, py)) >= threshold
                       for py in range(max(y, 0), min(y + h, self.height)))]
        return (cols[0], cols[-1]) if cols else None

    def colourful(self, x, y, w, h):
        """The share of strongly coloured pixels (a test picture, not black or grey)."""
        pixels = self.region(x, y, w, h)
        strong = sum(1 for r, g, b in pixels if max(r, g, b) - min(r, g, b) > 80)
        return strong / max(len(pixels), 1)

    def _rows_and_columns(self, test, step):
        """The first and last row and column (sampled every `step` pixels) where `test`
        holds, as (x0, y0, x1, y1), or None."""
        xs, ys = set(), set()
        for y in range(0, self.height, step):
            for x in range(0, self.width, step):
                if test(x, y):
                    xs.add(x)
                    ys.add(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None

    def picture_box(self, step=2):
        """Where the test picture is: the largest block of rows rich in strong colours,
        and in it the widest run of columns coloured in a good part of those rows (an
        icon or a button beside it does not count)."""
        def coloured(x, y):
            r, g, b = self.pixel(x, y)
            return max(r, g, b) - min(r, g, b) > 100
        xs = range(0, self.width, step)
        rich = [y for y in range(0, self.height, step) if sum(coloured(x, y) for x in xs) * step >= 100]
        if not rich:
            return None
        top, bottom = _longest_run(rich, gap=4)
        rows = range(top, bottom + 1, step)
        columns = [x for x in xs if sum(coloured(x, y) for y in rows) >= len(rows) // 12]
        if not columns:
            return None
        left, right = _longest_run(columns, gap=16)
        return left, top, right, bottom

    def changed_box(self, before, step=2, skip_top=0, threshold=24):
        """The box of pixels that differ from an earlier screenshot by more than
        `threshold` in a colour, below `skip_top` (a compositor may draw its shaded
        background again a shade apart)."""
        def changed(x, y):
            return y >= skip_top and max(abs(a - b) for a, b in zip(self.pixel(x, y), before.pixel(x, y))) > threshold
        return self._rows_and_columns(changed, step)


def _longest_run(values, gap):
    """The first and last of the longest run of sorted values with no step over `gap`."""
    runs, start = [], values[0]
    for before, value in zip(values, values[1:] + [None]):
        if value is None or value - before > gap:
            runs.append((start, before))
            start = value
    return max(runs, key=lambda run: run[1] - run[0])
