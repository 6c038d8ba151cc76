#!/usr/bin/env python3
"""Fills the finished Vietnamese texts into translations/quibsum_vi.ts after `lupdate`.

Usage: lupdate -no-obsolete -locations none QuibSum -ts translations/quibsum_vi.ts
       scripts/fill_translations.py
Texts not in the table below stay unfinished (Qt then shows the English source).
"""
import pathlib
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from vietnamese_texts import VI  # noqa: E402

path = pathlib.Path(__file__).resolve().parent.parent / "translations" / "quibsum_vi.ts"
tree = ET.parse(path)
missing = []
for message in tree.iter("message"):
    source = message.findtext("source")
    translation = message.find("translation")
    if source in VI:
        translation.text = VI[source]
        translation.attrib.pop("type", None)
    elif translation.get("type") == "unfinished":
        missing.append(source)
# Classes of the quibsum namespace translate under their qualified name ("quibsum::SumWindow"),
# which lupdate cannot see through the namespace; the plain name serves the explicit
# QCoreApplication::translate("SumWindow", …) calls. Each context is kept under both.
root = tree.getroot()
for context in list(root.findall("context")):
    name = context.findtext("name")
    if "::" in name or name in ("quibsum", "std") or root.find(f"context[name='quibsum::{name}']") is not None:
        continue
    copy = ET.fromstring(ET.tostring(context))
    copy.find("name").text = "quibsum::" + name
    root.append(copy)
tree.write(path, encoding="utf-8", xml_declaration=True)
for source in missing:
    print("untranslated:", repr(source))
