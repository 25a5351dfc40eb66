#!/usr/bin/env python3
"""Draws the pictures of the sample skin in Resources/icons with ImageMagick.

Run from the repository root: python3 tools/make-skin.py [Resources]
Every picture is our own drawing; rerun after changing a colour or size.
"""
import os
import subprocess
import sys

RESOURCES = sys.argv[1] if len(sys.argv) > 1 else "Resources"
ICONS = os.path.join(RESOURCES, "icons")
FONT = "DejaVu-Sans-Bold"

# Mode suffix -> (fill, outline, text) of the picture buttons.
MODES = {
    "": ("#2f6f9f", "#1d4a6b", "white"),
    "_active": ("#3f8fcf", "#1d4a6b", "white"),
    "_disabled": ("#a8b4bd", "#8a949b", "#e4e8eb"),
}


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def out(*parts):
    path = os.path.join(ICONS, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def pill(path, width, height, fill, outline, text, label):
    """A rounded button face with its lettering; transparent outside."""
    radius = height // 2
    args = ["-size", f"{width}x{height}", "xc:none",
            "-fill", fill, "-stroke", outline, "-strokewidth", "1",
            "-draw", f"roundrectangle 0,0,{width - 1},{height - 1},{radius},{radius}"]
    if label:
        args += ["-stroke", "none", "-fill", text, "-font", FONT, "-pointsize", "12",
                 "-gravity", "center", "-annotate", "+0+0", label]
    convert(*args, path)


def wizard_buttons():
    labels = {"next": "Weiter >", "back": "< Zurück", "finish": "Fertig", "cancel": "Abbrechen"}
    for name, label in labels.items():
        for suffix, (fill, outline, text) in MODES.items():
            pill(out("wizard", "buttons", f"{name}{suffix}.png"), 104, 28, fill, outline, text, label)


def small_buttons():
    # Square icons get the button text as tool tip; the wide one carries its
    # own lettering.
    for suffix, (fill, outline, text) in MODES.items():
        convert("-size", "24x24", "xc:none", "-fill", fill, "-stroke", outline,
                "-draw", "roundrectangle 0,0,23,23,6,6",
                "-stroke", text, "-strokewidth", "2", "-fill", "none",
                "-draw", "line 7,7 16,16", "-draw", "line 16,7 7,16",
                out("buttons", f"trashcan{suffix}.png"))
        pill(out("buttons", f"anotherformat{suffix}.png"), 112, 24, fill, outline, text, "+ Format")


def head_background():
    convert("-size", "60x800", "gradient:#1d4a6b-#6fb1e0", "-rotate", "-90",
            "-quality", "90", out("head_background.jpg"))


def broken_image():
    convert("-size", "60x60", "xc:#e6e6e6", "-fill", "none", "-stroke", "#9a9a9a",
            "-draw", "rectangle 0,0,59,59",
            "-stroke", "#c0392b", "-strokewidth", "4",
            "-draw", "line 16,16 43,43", "-draw", "line 43,16 16,43",
            out("brokenimage.png"))


def wizard_logo():
    # The dealer's picture in the corner of the wizard's title row: a print
    # with a sun over hills beside the program's name.
    convert("-size", "128x56", "xc:none",
            "-fill", "#2f6f9f", "-stroke", "#1d4a6b", "-strokewidth", "1",
            "-draw", "roundrectangle 4,8 47,47 5,5",
            "-stroke", "none", "-fill", "#ffd75e", "-draw", "circle 35,19 35,25",
            "-fill", "#dfe7ee", "-draw", "polygon 5,46 19,28 30,38 36,32 46,46",
            "-fill", "#1d4a6b", "-font", FONT, "-pointsize", "24",
            "-annotate", "+54+38", "lumo",
            out("wizardlogo.png"))


def main():
    os.makedirs(ICONS, exist_ok=True)
    wizard_buttons()
    small_buttons()
    head_background()
    broken_image()
    wizard_logo()


if __name__ == "__main__":
    main()
