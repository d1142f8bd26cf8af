#!/usr/bin/env python3
"""The default template's phrase file (lang.xml) and the runtime's English
phrases (runtime/lang/en.php) must hold the same ids with the same texts: a
generated application shows the first, the hand-written one the second."""
import json
import subprocess
import sys
import xml.etree.ElementTree as ET

root = sys.argv[1]
xml_phrases = {p.get("id"): p.get("value") for p in ET.parse(f"{root}/templates/default/lang.xml").getroot()}
php = f'echo json_encode(require "{root}/templates/default/runtime/lang/en.php");'
php_phrases = json.loads(subprocess.check_output(["php", "-r", php]))
problems = [f"{k}: only in en.php" for k in php_phrases if k not in xml_phrases]
problems += [f"{k}: only in lang.xml" for k in xml_phrases if k not in php_phrases]
problems += [f"{k}: texts differ" for k in php_phrases if k in xml_phrases and php_phrases[k] != xml_phrases[k]]
for p in problems:
    print("phrases:", p, file=sys.stderr)
sys.exit(1 if problems else 0)
