#!/usr/bin/env python3
"""Writes the page with the WebAssembly module in it as base64, so that it
opens from a file with no server: embed_module.py TEMPLATE MODULE OUTPUT."""
import base64
import sys

template, module, output = sys.argv[1:4]
with open(template, encoding="utf-8") as f:
    page = f.read()
with open(module, "rb") as f:
    encoded = base64.b64encode(f.read()).decode("ascii")
if page.count("@MODULE_BASE64@") != 1:
    sys.exit("embed_module.py: the template needs exactly one @MODULE_BASE64@")
with open(output, "w", encoding="utf-8") as f:
    f.write(page.replace("@MODULE_BASE64@", encoded))
