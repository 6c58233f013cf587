#!/usr/bin/env python3
"""The history document for a client output, written the plain Python way.

    baseline_history.py FILE

Splits the client output at the record markers, reads each record with one
regular expression and builds the document with xml.etree.ElementTree,
indented two blanks a level as the handler's is, for bench/run to time the
handler against. It gives the handler's entries (version, user, date,
comment), not its bytes: ElementTree writes its own declaration and escapes
only what it must.
"""

import re
import sys
import xml.etree.ElementTree as ET

MARKER = "*****************  Version"
# The version on the marker line, then the "User:" line; a user name with a
# blank in it does not match, and that version is left out, as the handler
# leaves it out. The rest of the record follows the header's white space.
RECORD = re.compile(r"\s*(\S+)\s+\*+\s+User:\s*(\S+)\s+Date:\s*(\S+)"
                    r"\s+Time:\s*(\S+)\s*(.*)", re.DOTALL)
# How many characters each one takes in the document, escaped.
ESCAPED_LENGTH = {"&": 5, "<": 4, ">": 4, '"': 6, "'": 6}


def unwrap(comment):
    """Drops the line feeds the client's 80-column wrapping put in a comment:
    those at 0, 79, 159, ... of the comment as the document escapes it."""
    if "\n" not in comment:
        return comment
    kept = []
    column = 0
    for char in comment:
        if char == "\n" and (column == 0 or
                             (column >= 79 and (column - 79) % 80 == 0)):
            column += 1
            continue
        kept.append(char)
        column += ESCAPED_LENGTH.get(char, 1)
    return "".join(kept)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="cp1252", errors="replace",
              newline="") as client_output:
        text = client_output.read().replace("\r\n", "\n")
    root = ET.Element("result", command="4", query="history")
    # The client lists the newest version first; the document the oldest.
    for record in reversed(text.split(MARKER)[1:]):
        match = RECORD.match(record)
        if match is None:
            continue
        version, user, date, time, rest = match.groups()
        if "Comment:" in record and ("Created" in record or
                                     "Checked in" in record):
            # A creation or a check-in: the comment runs to the record's end.
            comment = record[record.index("Comment:") + 8:].lstrip()
        else:
            # Anything else: the first line after the header says what was
            # done; a header alone is no version.
            comment = rest.split("\n", 1)[0]
            if not comment:
                continue
        entry = ET.SubElement(root, "entry", version=version, user=user,
                              date=date + " " + time)
        ET.SubElement(entry, "comment").text = unwrap(comment.rstrip("\n"))
    ET.indent(root, space="  ")
    ET.ElementTree(root).write(sys.stdout.buffer, encoding="UTF-8",
                               xml_declaration=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
