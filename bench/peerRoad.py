"""The tiling road done with Pillow and numpy, as the peer of `vellora-cli IN tiling`.

Usage: peerRoad.py IN.jpg OUT.bmp TABLE.txt TABLE.csv. Tiles 9 x 9 with 1-pixel light gray slits
from the top-left corner, each tile the average under it mapped to the nearest of the 216 safe
colours; the table counts tiles per colour.
"""
import sys

import numpy as np
from PIL import Image

TILE, SLIT, SLIT_GRAY = 9, 1, 204


def main(source, picture, table, csv):
    rgb = np.asarray(Image.open(source).convert("RGB"))
    height, width = rgb.shape[:2]
    pitch = TILE + SLIT
    rows, cols = -(-height // pitch), -(-width // pitch)
    padded = np.zeros((rows * pitch, cols * pitch, 3), np.float64)
    padded[:height, :width] = rgb
    weight = np.zeros((rows * pitch, cols * pitch), np.float64)
    weight[:height, :width] = 1
    cells = padded.reshape(rows, pitch, cols, pitch, 3)[:, :TILE, :, :TILE]
    counts = weight.reshape(rows, pitch, cols, pitch)[:, :TILE, :, :TILE].sum(axis=(1, 3))
    average = cells.sum(axis=(1, 3)) / np.maximum(counts, 1)[..., None]
    index = np.clip(np.rint(average / 51), 0, 5).astype(np.int32)
    colour = (index * 51).astype(np.uint8)
    out = np.repeat(np.repeat(colour, pitch, axis=0), pitch, axis=1)
    out[TILE::pitch, :] = SLIT_GRAY
    out[:, TILE::pitch] = SLIT_GRAY
    Image.fromarray(np.ascontiguousarray(out[:height, :width])).save(picture)
    code = index[..., 0] * 36 + index[..., 1] * 6 + index[..., 2]
    used = np.bincount(code.ravel(), minlength=216)
    with open(table, "w") as text, open(csv, "w") as sheet:
        sheet.write("red,green,blue,tiles\n")
        for c in np.nonzero(used)[0]:
            r, g, b = (c // 36) * 51, (c // 6 % 6) * 51, (c % 6) * 51
            text.write(f"({r:3d},{g:3d},{b:3d}) {used[c]:8d}\n")
            sheet.write(f"{r},{g},{b},{used[c]}\n")


if __name__ == "__main__":
    main(*sys.argv[1:5])
