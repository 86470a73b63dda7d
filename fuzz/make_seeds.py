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


def calendar(*parts):
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Nudgery seeds//EN\r\n" + "".join(parts)
            + "END:VCALENDAR\r\n").encode("utf-8")


def todo(*lines):
    return "BEGIN:VTODO\r\nUID:seed@example.com\r\nDTSTAMP:20261201T080000Z\r\n" + "".join(
        line + "\r\n" for line in lines) + "END:VTODO\r\n"


zone = ("BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\nBEGIN:STANDARD\r\nDTSTART:19701101T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\n"
        "END:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\n"
        "END:DAYLIGHT\r\nEND:VTIMEZONE\r\n")
write("fuzz_ics", "plain.ics", calendar(todo("SUMMARY:Call the bank", "DUE:20270115T093000",
                                             "PRIORITY:1", "CATEGORIES:Work,Calls")))
write("fuzz_ics", "zone.ics", calendar(zone, todo("SUMMARY:Folded\\, escaped and zoned line th",
                                                  " at goes on", "DUE;TZID=America/New_York:20270115T093000",
                                                  "DESCRIPTION:Line one\\nLine two")))
write("fuzz_ics", "status.ics", calendar(todo("SUMMARY:Done", "STATUS:COMPLETED", "DUE;VALUE=DATE:20270301"),
                                         todo("SUMMARY:Dropped", "STATUS:CANCELLED"),
                                         todo("SUMMARY:Started", "DTSTART:20270105T081500Z",
                                              "PERCENT-COMPLETE:100", "X-NUDGERY-TEXT-COLOUR:4")))
write("fuzz_ics", "repeat.ics", calendar(todo("SUMMARY:Weekly", "DUE;TZID=Asia/Tokyo:20270102T100000",
                                              "RRULE:FREQ=WEEKLY;COUNT=4", "BEGIN:VALARM",
                                              "ACTION:DISPLAY", "TRIGGER:-PT15M", "DESCRIPTION:x",
                                              "END:VALARM")))
write("fuzz_ics", "events.ics", calendar("BEGIN:VEVENT\r\nUID:e@example.com\r\nDTSTART:20270116T100000Z\r\n"
                                         "SUMMARY:Meeting\r\nEND:VEVENT\r\n"))
write("fuzz_ics", "odd.ics", calendar(todo("SUMMARY:Odd", "PRIORITY:abc", "DUE:20270102T256100"),
                                      todo("SUMMARY:\u0141ukasz \u2713 caf\u00e9 \u00a6")))


# fuzz_dav: the first byte chooses (odd: a multistatus, even: a calendar object).
ms = (b'<?xml version="1.0"?><D:multistatus xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">'
      b'<D:response><D:href>/alice/tasks/a.ics</D:href><D:propstat><D:prop><D:getetag>"e1"</D:getetag>'
      b'<C:calendar-data>BEGIN:VCALENDAR&#13;\nEND:VCALENDAR</C:calendar-data></D:prop>'
      b'<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>'
      b'<D:response><D:href>http%3A//127.0.0.1%3A8/user/b.ics</D:href><D:status>HTTP/1.1 404 Not Found'
      b'</D:status></D:response><D:sync-token>http://radicale.org/ns/sync/1</D:sync-token></D:multistatus>')
write("fuzz_dav", "multistatus.xml", b"\x01" + ms)
todo = (b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\nBEGIN:VTODO\r\nUID:u1\r\n"
        b"SUMMARY:Caf\xc3\xa9 \xe2\x98\x95\r\nDUE;TZID=Europe/Lisbon:20261224T100000\r\n"
        b"CATEGORIES:A,B\r\nRRULE:FREQ=WEEKLY\r\nSTATUS:COMPLETED\r\nPERCENT-COMPLETE:100\r\n"
        b"X-OTHER;X-P=1:kept\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\n"
        b"DESCRIPTION:x\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
write("fuzz_dav", "todo.ics", b"\x00" + todo)
write("fuzz_dav", "todo-done.ics", b"\x06" + todo)
