#!/usr/bin/python3
"""Another CalDAV client for the tests, standing for a phone: python3-caldav on one
calendar. Each command prints what it found, one task a line.

usage: /usr/bin/python3 phone.py URL USER PASSWORD COMMAND [ARGS]
  list                         SUMMARY|STATUS|PRIORITY|RRULE|VALARMS|X-OTHER per task
  add SUMMARY [LINE ...]       a new to-do; each LINE is a further content line
  rename SUMMARY NEW           the to-do with that summary gets another one
  complete SUMMARY             marked completed, as a phone does it
  delete SUMMARY
"""
import sys
import uuid

import caldav

url, user, password, command = sys.argv[1:5]
args = sys.argv[5:]
client = caldav.DAVClient(url=url, username=user or None, password=password or None)
calendar = caldav.Calendar(client=client, url=url)


def todos():
    return calendar.todos(include_completed=True)


def named(summary):
    found = [t for t in todos() if str(t.icalendar_component.get("SUMMARY")) == summary]
    if len(found) != 1:
        sys.exit(f"{len(found)} to-dos named {summary!r}")
    return found[0]


if command == "list":
    lines = []
    for t in todos():
        c = t.icalendar_component
        rule = c.get("RRULE")
        lines.append("|".join([
            str(c.get("SUMMARY", "")), str(c.get("STATUS", "")), str(c.get("PRIORITY", "")),
            rule.to_ical().decode() if rule else "",
            str(len([s for s in c.subcomponents if s.name == "VALARM"]) or ""),
            str(c.get("X-OTHER", ""))]))
    print("\n".join(sorted(lines)))
elif command == "add":
    extra = "".join(line + "\r\n" for line in args[1:])
    calendar.save_todo(
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\nBEGIN:VTODO\r\n"
        f"UID:{uuid.uuid4()}\r\nDTSTAMP:20261210T020000Z\r\nSUMMARY:{args[0]}\r\n{extra}"
        "END:VTODO\r\nEND:VCALENDAR\r\n")
elif command == "rename":
    todo = named(args[0])
    todo.icalendar_component["SUMMARY"] = args[1]
    todo.save()
elif command == "complete":
    named(args[0]).complete()
elif command == "delete":
    named(args[0]).delete()
else:
    sys.exit(f"unknown command {command}")
