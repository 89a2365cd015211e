#!/usr/bin/env python3
"""Makes the phone-sized photos of the big-photo benchmark in a folder:
48, 108 and 200 MP JPEGs of four coloured quadrants (red and green above,
blue and white below) with noise, without an Exif segment. ImageMagick's
packaged policy refuses pictures this large; Pillow does not. Photos that
are already there are kept. Usage: make-big-photos.py FOLDER"""
import os
import sys

from PIL import Image

SIZES = {"48mp.jpg": (8000, 6000), "108mp.jpg": (12000, 9000), "200mp.jpg": (16320, 12240)}
Image.MAX_IMAGE_PIXELS = None  # the decompression-bomb guard would refuse the 200 MP photo

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for name, (width, height) in SIZES.items():
    path = os.path.join(folder, name)
    if os.path.exists(path):
        continue
    photo = Image.new("RGB", (width, height), "white")
    half_w, half_h = width // 2, height // 2
    for box, colour in (((0, 0, half_w, half_h), "red"), ((half_w, 0, width, half_h), "lime"),
                        ((0, half_h, half_w, height), "blue")):
        photo.paste(colour, box)
    noise = Image.effect_noise((width, height), 24).convert("RGB")
    photo = Image.blend(photo, noise, 0.15)
    photo.save(path + ".part", "JPEG", quality=90)
    os.replace(path + ".part", path)
    print(f"made {path} ({width} x {height})")
