#!/usr/bin/env python3
"""Zips a game folder as games are passed around: deflated, in a folder of its
own named as the game's. Usage: zip_folder.py FOLDER TARGET.zip"""
import os
import sys
import zipfile

folder, target = sys.argv[1], sys.argv[2]
top = os.path.basename(os.path.normpath(folder))
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for root, _, files in os.walk(folder):
        for name in sorted(files):
            path = os.path.join(root, name)
            archive.write(path, os.path.join(top, os.path.relpath(path, folder)))
