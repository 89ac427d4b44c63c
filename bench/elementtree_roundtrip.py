"""Reads the main part of a .docx with Python's ElementTree and writes it back: the yardstick
the document model's round trip is measured against (bench/vergleich.sh)."""
import sys
import xml.etree.ElementTree as ET
import zipfile

quelle, ziel = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(quelle) as paket:
    wurzel = ET.fromstring(paket.read("word/document.xml"))
with open(ziel, "wb") as aus:
    aus.write(ET.tostring(wurzel, encoding="UTF-8"))
