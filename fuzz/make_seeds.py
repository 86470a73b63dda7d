#!/usr/bin/env python3
"""Writes the small hand-made seeds in fuzz/seeds/<target>/. Run again after editing."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SEP = b"\xa6"


def record(done, task, date, hour, pr, order, key, cat, color, note):
    fields = [done, task, date, hour, pr, order, key, cat, color, note]
    text = SEP.join(f.encode("cp1252") for f in fields)
    return struct.pack("<i", len(text)) + text


def write(target, name, data):
    folder = os.path.join(HERE, "seeds", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


r1 = record("", "Call the bank", "09/12/2026", "10:30", "2", "0", "2026-12-09 10:30", "Work", "18", "")
r2 = record("\u00d7", "Buy bread", "10/12/2026", "08:00", "0", "0", "2026-12-10 08:00", "Home", "0",
            "one\r\ntwo\r\nthree")
r3 = record("", "Caf\u00e9 \u20ac 5", "01/01/2027", "", "5", "0", "2027-01-01 00:00", "", "255", "")
write("fuzz_records", "one.DAT", r1)
write("fuzz_records", "three.DAT", r1 + r2 + r3)
write("fuzz_records", "blanked.DAT", r1 + struct.pack("<i", 12) + b" " * 12 + r3)
write("fuzz_records", "truncated.DAT", (r1 + r2)[:-7])
write("fuzz_records", "record.txt", r2[4:])
write("fuzz_records", "extra-fields.txt", r1[4:] + SEP + b"more" + SEP + b"Work")

write("fuzz_profile", "options.ini",
      b"[Options]\r\nAlert=1\r\nAlert_s=1\r\nCats=2\r\nCat1=Work\r\nCat2=Home\r\n"
      b"MyDateFormat=dd/MM/yyyy\r\nWindowWidth=400\r\n\r\n[Sort]\r\nColumn=2\r\n")
write("fuzz_profile", "old-format.ini",
      b"; kept as written\r\n[Records]\r\nQuantity=1\r\n[Events0]\r\nTask=Old task\r\n"
      b"Date=09.12.2026 10:00\r\nMemoLines=1\r\nMemo0=caf\xe9\r\n")
write("fuzz_profile", "odd.ini", b"before=section\n[ Spaced ]\n key = value \nnovalue\n[]\n=x\n[Dup]\na=1\n[dup]\nA=2\n")

write("fuzz_version", "nudgery.xml",
      b"<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
      b"<Program_Name>Nudgery</Program_Name>\r\n<Program_Version>1.2.0.7</Program_Version>\r\n"
      b"</Program_Info>\r\n</XML_DIZ_INFO>\r\n")
write("fuzz_version", "no-tag.xml", b"0123456789abcdef1.3.0</x>")
write("fuzz_version", "big.xml", b"<Program_Version>99999999999</Program_Version>")
write("fuzz_version", "signed.xml", b"<Program_Version> -1.2</Program_Version>")
