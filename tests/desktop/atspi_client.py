#!/usr/bin/python3
"""A screen-reader client for the desktop tests: what a blind user's screen reader sees of a
program and does with it, over the accessibility bus (AT-SPI) through pyatspi.

It reads one JSON request per line on standard input and answers each with one JSON line on
standard output. Objects are chosen by a selector, looked up again for every request, so an
answer never refers to an object a page change has replaced:
    {"role": "push button", "name": "确定", "showing": true, "index": 0}
Requests ("cmd"): app, tree, find, wait, action, set_text, grab_focus, events, quit. The
focus and name-change events of the program are recorded from the start and handed over by
"events". Exit status 3 (and a first line saying why) when pyatspi cannot be loaded.
"""
import json
import sys
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
    import pyatspi
except Exception as error:  # the test skips, saying why
    print(json.dumps({"ready": False, "error": "pyatspi: %s" % error}), flush=True)
    sys.exit(3)

EVENTS = (
    "object:state-changed:focused",
    "object:property-change:accessible-name",
    "window:activate",
)


def nick(value):
    return value.value_nick.replace("-", " ")


class Client:
    def __init__(self):
        self.app = None
        self.pid = None
        self.events = []
        for kind in EVENTS:
            pyatspi.Registry.registerEventListener(self.on_event, kind)

    # ---- the program's tree -------------------------------------------------------------

    def on_event(self, event):
        if self.pid is None:
            return
        # What the event itself carries is taken first: asking its source costs a call to the
        # program, which may be busy installing, and the source may be gone by then.
        record = {"type": event.type, "detail1": event.detail1, "role": "", "name": ""}
        if event.type.startswith("object:property-change:accessible-name"):
            if isinstance(event.any_data, str):
                record["name"] = event.any_data
        try:
            source = event.source
            if source is None or source.get_process_id() != self.pid:
                return
            record["role"] = nick(source.getRole())
            if not record["name"]:
                record["name"] = source.name or ""
        except Exception as error:  # an object gone, or a program too busy to answer
            record["error"] = str(error)
        self.events.append(record)

    def find_app(self, pid):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                continue
        return None

    def walk(self, showing_only):
        """Every object of the program, depth first, with the path of child indexes to it."""
        pending = [((index,), self.app.getChildAtIndex(index)) for index in range(self.app.childCount)]
        pending.reverse()
        while pending:
            path, node = pending.pop()
            if node is None:
                continue
            states = node.getState()
            if showing_only and not states.contains(pyatspi.STATE_SHOWING):
                continue
            yield path, node
            children = [(path + (index,), node.getChildAtIndex(index)) for index in range(node.childCount)]
            children.reverse()
            pending.extend(children)

    @staticmethod
    def describe(path, node):
        info = {
            "path": list(path),
            "role": nick(node.getRole()),
            "name": node.name or "",
            "description": node.description or "",
            "states": sorted(nick(state) for state in node.getState().getStates()),
            "interfaces": sorted(node.get_interfaces()),
            "actions": [],
            "children": node.childCount,
        }
        try:
            action = node.queryAction()
            info["actions"] = [action.getName(index) for index in range(action.nActions)]
        except NotImplementedError:
            pass
        try:
            extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            info["extents"] = [extents.x, extents.y, extents.width, extents.height]
        except NotImplementedError:
            pass
        try:
            text = node.queryText()
            info["text"] = text.getText(0, min(text.characterCount, 4000))
        except NotImplementedError:
            pass
        return info

    def matches(self, selector):
        found = []
        for path, node in self.walk(selector.get("showing", True)):
            if "role" in selector and nick(node.getRole()) != selector["role"]:
                continue
            if "name" in selector and (node.name or "") != selector["name"]:
                continue
            if "name_contains" in selector and selector["name_contains"] not in (node.name or ""):
                continue
            if "toplevel" in selector and path[0] != selector["toplevel"]:
                continue
            found.append((path, node))
        return found

    def one(self, selector):
        found = self.matches(selector)
        index = selector.get("index", 0)
        if len(found) <= index:
            raise LookupError("no object matches %s" % json.dumps(selector, ensure_ascii=False))
        return found[index]

    # ---- requests -----------------------------------------------------------------------

    def wait(self, seconds, condition):
        """Runs the event loop until condition() answers, or the time is up."""
        context = GLib.MainContext.default()
        deadline = time.monotonic() + seconds
        while True:
            while context.pending():
                context.iteration(False)
            try:
                answer = condition()
            except Exception:
                answer = None
            if answer:
                return answer
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)

    def cmd_app(self, request):
        self.pid = request["pid"]
        self.app = self.wait(request.get("timeout", 30), lambda: self.find_app(self.pid))
        if self.app is None:
            raise LookupError("the program is not on the accessibility bus")
        return {"name": self.app.name or "", "toplevels": self.app.childCount}

    def cmd_tree(self, request):
        return {"objects": [self.describe(path, node) for path, node in self.walk(request.get("showing", True))]}

    def cmd_find(self, request):
        return {"matches": [self.describe(path, node) for path, node in self.matches(request["selector"])]}

    def cmd_wait(self, request):
        found = self.wait(request.get("timeout", 10), lambda: self.matches(request["selector"]))
        if not found:
            raise LookupError("nothing came to match %s" % json.dumps(request["selector"], ensure_ascii=False))
        return {"matches": [self.describe(path, node) for path, node in found]}

    def cmd_action(self, request):
        path, node = self.one(request["selector"])
        try:
            action = node.queryAction()
        except NotImplementedError:
            raise LookupError("%s has no actions" % self.label(node))
        names = [action.getName(index) for index in range(action.nActions)]
        wanted = request.get("action")
        if wanted is None:
            # What the object does, not the focus move Qt adds to every focusable object.
            doing = [index for index, name in enumerate(names) if name.lower() not in ("setfocus", "")]
            index = doing[0] if doing else -1
        else:
            index = names.index(wanted) if wanted in names else -1
        if index < 0:
            raise LookupError("%s has no action %s (it has %s)" % (self.label(node), wanted, names))
        return {"done": bool(action.doAction(index)), "action": names[index]}

    def cmd_set_text(self, request):
        path, node = self.one(request["selector"])
        try:
            editable = node.queryEditableText()
        except NotImplementedError:
            raise LookupError("%s is not editable text" % self.label(node))
        done = bool(editable.setTextContents(request["text"]))
        text = node.queryText()
        return {"done": done, "text": text.getText(0, text.characterCount)}

    def cmd_grab_focus(self, request):
        path, node = self.one(request["selector"])
        try:
            return {"done": bool(node.queryComponent().grabFocus())}
        except NotImplementedError:
            raise LookupError("%s is no component" % self.label(node))

    def cmd_events(self, request):
        self.wait(request.get("settle", 0.3), lambda: False)
        events, self.events = self.events, []
        return {"events": events}

    @staticmethod
    def label(node):
        return "%s %r" % (nick(node.getRole()), node.name or "")


def main():
    client = Client()
    print(json.dumps({"ready": True}), flush=True)
    loop = GLib.MainLoop()

    def on_request(channel, condition):
        line = sys.stdin.readline()
        if not line:
            loop.quit()
            return False
        try:
            request = json.loads(line)
            if request["cmd"] == "quit":
                loop.quit()
                return False
            handler = getattr(client, "cmd_" + request["cmd"])
            answer = {"ok": True}
            answer.update(handler(request))
        except Exception as error:
            answer = {"ok": False, "error": "%s: %s" % (type(error).__name__, error)}
        print(json.dumps(answer, ensure_ascii=False), flush=True)
        return True

    # One request is in flight at a time (the test waits for each answer), so a line never
    # waits in Python's input buffer while the watch sleeps.
    channel = GLib.IOChannel.unix_new(sys.stdin.fileno())
    GLib.io_add_watch(channel, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, on_request)
    loop.run()


if __name__ == "__main__":
    main()
