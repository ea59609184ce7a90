#!/usr/bin/python3
"""What AT-SPI exposes of the objects named on the command line, in the first
application whose name holds APP: prints JSON, one entry a name (role, states, value)."""
import json
import sys

import pyatspi


def walk(obj, depth=0):
    if obj is None or depth > 40:
        return
    yield obj
    for i in range(obj.childCount):
        try:
            yield from walk(obj.getChildAtIndex(i), depth + 1)
        except Exception:
            pass


def main():
    app_part, names = sys.argv[1], sys.argv[2:]
    desktop = pyatspi.Registry.getDesktop(0)
    found = {}
    for app in desktop:
        if app is None or app_part not in (app.name or ''):
            continue
        for obj in walk(app):
            try:
                name = obj.name
            except Exception:
                continue
            if name in names and name not in found:
                entry = {'role': obj.getRoleName(),
                         'states': sorted(pyatspi.stateToString(s) for s in obj.getState().getStates())}
                try:
                    entry['value'] = obj.queryValue().currentValue
                except NotImplementedError:
                    pass
                found[name] = entry
        break
    print(json.dumps(found, ensure_ascii=False))


main()
