#!/usr/bin/python3
"""Places the sample order in the running lumo program as a person would,
through its accessibility tree: buttons, fields and boxes are found by the
names a person reads, and only on the page that is shown. Every page it
reaches must name each of its buttons and fields. It goes on from a page with
the Return key, wherever the program left the keyboard: once Weiter is
enabled, Return must go forward.

Usage: wholeorderdriver.py finish EMAIL PASSWORD PAYMENT CONFIRMATION_FILE
       wholeorderdriver.py cancel EMAIL PASSWORD PAYMENT TIME_FILE DOUBLE_URL
       wholeorderdriver.py term EMAIL PASSWORD PAYMENT TIME_FILE DOUBLE_URL
       wholeorderdriver.py placed EMAIL PASSWORD PAYMENT CONFIRMATION_FILE DOUBLE_URL
finish ends with status 0 after pressing Finish on the confirmation page.
cancel presses Abbrechen on the sending page once the double has received
the upload control, and writes the time it pressed it (seconds since the
epoch) into TIME_FILE. term goes as far and ends there, pressing nothing:
the caller ends the program with a signal. placed presses Abbrechen once the
order is finished and the double has received the session end, then expects
the confirmation within 3 seconds and ends as finish does."""

import sys
import time
import urllib.request

import pyatspi

TIMEOUT = 60.0
RETURN_KEYSYM = 0xFF0D


def fail(message):
    print("wholeorderdriver: " + message, file=sys.stderr)
    sys.exit(1)


def until(what, condition, timeout=TIMEOUT):
    """Polls the tree until condition gives something, at most timeout seconds."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            found = condition()
        except Exception:  # the tree changes under our feet while pages switch
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def states(node):
    return node.getState()


def showing(node):
    s = states(node)
    return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)


def walk_children(node):
    """The showing children of node; hidden pages are passed over."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None and showing(child):
            yield child


def walk(node):
    """Every showing node below node, depth first."""
    for child in walk_children(node):
        yield child
        yield from walk(child)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "lumo":
            return app
    return None


def wizard():
    app = until("the lumo program on the accessibility bus", application)
    return until("the order wizard", lambda: next(
        (c for c in (app.getChildAtIndex(i) for i in range(app.childCount))
         if c is not None and c.getRoleName() == "dialog" and showing(c)), None))


# Controls a person works with; each must carry a name a screen reader reads.
CONTROLS = ("push button", "toggle button", "check box", "radio button", "text", "password text",
            "entry", "combo box", "spin button")
# Their parts (a box's list, a spin box's field) are named by their owner.
COMPOSITES = ("combo box", "spin button")


def describe(node, path):
    where = " in ".join("%s '%s'" % (role, name) for role, name in reversed(path) if name)
    return "%s '%s'%s" % (node.getRoleName(), node.name, " in " + where if where else "")


def unnamed_controls(node, path=()):
    """Every showing control below node without a name or with markup in it."""
    offenders = []
    for child in walk_children(node):
        role = child.getRoleName()
        name = child.name or ""
        if role in CONTROLS and (not name.strip() or "<" in name):
            offenders.append(describe(child, path))
        if role not in COMPOSITES:
            offenders += unnamed_controls(child, path + ((role, name),))
    return offenders


def dump(node, depth=0):
    """The showing tree below node, one node a line, for a failure message."""
    lines = []
    for child in walk_children(node):
        lines.append("  " * depth + "%s '%s'" % (child.getRoleName(), child.name))
        lines += dump(child, depth + 1)
    return lines


def title():
    """The first line of the shown page's title: the last label of the wizard's title row."""
    labels = [c.name for c in walk_children(wizard()) if c.getRoleName() == "label"]
    return labels[-1].split("\n")[0] if labels else ""


checked_pages = []


def check_page():
    """Fails on an unnamed button or field of the shown page or of the wizard
    itself; each page once. A page that goes while it is walked (the sending
    page moves on by itself) is passed over; what stays must be named."""
    try:
        key = title()
        if not key or key in checked_pages:
            return
        offenders = unnamed_controls(wizard())
        if offenders:
            # Once more: a node that went away while it was read has no name either.
            offenders = unnamed_controls(wizard())
        tree = dump(wizard()) if offenders else []
        if title() != key:
            return
    except Exception:  # the page switched under our feet
        return
    if offenders:
        fail("unnamed controls on the page '%s':\n  %s\nthe page:\n%s"
             % (key, "\n  ".join(offenders), "\n".join(tree)))
    checked_pages.append(key)


def find(roles, name, enabled=True):
    for node in walk(wizard()):
        if node.getRoleName() in roles and node.name == name:
            if not enabled or states(node).contains(pyatspi.STATE_ENABLED):
                return node
    return None


def page():
    """What the shown page holds: the roles and names of its showing widgets."""
    pane = next((n for n in walk(wizard()) if n.getRoleName() == "layered pane"), None)
    return tuple((n.getRoleName(), n.name) for n in walk(pane)) if pane is not None else ()


def press(name, timeout=TIMEOUT):
    button = until("button '%s'" % name, lambda: find(("push button",), name), timeout)
    button.queryAction().doAction(0)


def press_return():
    """The Return key, through the X server as a keyboard gives it."""
    pyatspi.Registry.generateKeyboardEvent(RETURN_KEYSYM, None, pyatspi.KEY_SYM)


def next_page(timeout=TIMEOUT):
    """Checks the page's names, presses Return once Weiter is enabled and waits
    until another page is shown."""
    until("button 'Weiter'", lambda: find(("push button",), "Weiter"))
    check_page()
    before = page()
    press_return()
    until("the page after %s on Return" % (before[:2],), lambda: page() != before, timeout)


def click(roles, name):
    box = until("'%s'" % name, lambda: find(roles, name))
    box.queryAction().doAction(0)


def checked(roles, name):
    node = find(roles, name, enabled=False)
    return node is not None and states(node).contains(pyatspi.STATE_CHECKED)


def type_into(name, text):
    field = until("field '%s'" % name, lambda: find(("text", "password text"), name))
    field.queryEditableText().setTextContents(text)
    until("'%s' to take the text" % name,
          lambda: field.queryText().getText(0, -1) == text or "password" in field.getRoleName())


def received(double_url, request):
    """Whether the double has received a request of that line ("uploadctrl_request:start")."""
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    with opener.open(double_url + "/requests", timeout=5) as reply:
        return request in reply.read().decode("utf-8").splitlines()


def cancel_while_sending(time_file, double_url, press_cancel=True):
    """On the sending page, once the upload control is on its way: Abbrechen."""
    until("the sending page", lambda: find(("progress bar",), "Optimierung der Bilder", enabled=False))
    until("the upload control at the double", lambda: received(double_url, "uploadctrl_request:start"))
    check_page()
    if not press_cancel:
        print("wholeorderdriver: %d pages checked, sending" % len(checked_pages))
        return
    button = until("button 'Abbrechen'", lambda: find(("push button",), "Abbrechen"))
    pressed = time.time()
    button.queryAction().doAction(0)
    with open(time_file, "w", encoding="utf-8") as out:
        out.write("%.3f\n" % pressed)
    print("wholeorderdriver: %d pages checked, Abbrechen pressed while sending" % len(checked_pages))


def cancel_after_finish(double_url):
    """On the sending page, once the order is finished and its session end
    waits for the double: Abbrechen. The time it was pressed (monotonic)."""
    until("the session end at the double", lambda: received(double_url, "endsession_request:normal"),
          timeout=100)
    button = until("button 'Abbrechen'", lambda: find(("push button",), "Abbrechen"))
    pressed = time.monotonic()
    button.queryAction().doAction(0)
    return pressed


def main():
    mode = sys.argv[1]
    email, password, payment, out_file = sys.argv[2:6]
    # The basket's lines are reached through the basket, each named by picture and product.
    line = until("the basket's line of blume.png", lambda: find(("panel",), "blume.png, 10x15"))
    until("the line's amount",
          lambda: any(n.getRoleName() == "text" and n.name == "Anzahl" for n in walk(line)))
    next_page()  # the order
    next_page()  # the road: over the internet
    # The login: a customer who has an account.
    click(("radio button",), "Ich habe schon ein Benutzerkonto. Deshalb kann ich mich durch Eingabe meiner "
          "E-Mail-Adresse und meines Passworts beim System anmelden.")
    type_into("eMail Addresse", email)
    type_into("Passwort", password)
    next_page()
    # The address as the server has it: unchanged.
    until("the address page", lambda: find(("text",), "Postleitzahl"))
    next_page()
    click(("radio button",), payment)
    until("the payment '%s' chosen" % payment, lambda: checked(("radio button",), payment))
    next_page()
    terms = "Ich habe die AGBs zur Kenntnis genommen und akzeptiere sie."
    until("the order overview", lambda: find(("text",), "Bestellübersicht"))
    next_page()
    click(("check box",), terms)
    until("the terms accepted", lambda: checked(("check box",), terms))
    if mode in ("cancel", "term"):
        check_page()
        press("Weiter")
        cancel_while_sending(out_file, sys.argv[6], press_cancel=mode == "cancel")
        return
    next_page()
    pressed = cancel_after_finish(sys.argv[6]) if mode == "placed" else None
    # Sending runs by itself and ends on the confirmation; the pages on the way are checked too.
    view = until("the order confirmation",
                 lambda: check_page() or find(("text",), "Auftragsbestätigung"), timeout=100)
    text = until("the confirmation's text",
                 lambda: view.queryText().getText(0, -1) if "Auftragsbestätigung:" in
                 view.queryText().getText(0, -1) else None)
    if pressed is not None:
        after = time.monotonic() - pressed
        if after > 3.0:
            fail("the confirmation came %.2f s after Abbrechen" % after)
        print("wholeorderdriver: the confirmation came %.2f s after Abbrechen" % after)
    with open(out_file, "w", encoding="utf-8") as out:
        out.write(text)
    check_page()
    print("wholeorderdriver: %d pages checked, every control named" % len(checked_pages))
    press("Fertig")


if __name__ == "__main__":
    main()
