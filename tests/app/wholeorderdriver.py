#!/usr/bin/python3
"""Places the sample order in the running lumo program as a person would,
through its accessibility tree: buttons, fields and boxes are found by the
names a person reads, and only on the page that is shown.

Usage: wholeorderdriver.py EMAIL PASSWORD PAYMENT CONFIRMATION_FILE
Ends with status 0 after pressing Finish on the confirmation page."""

import sys
import time

import pyatspi

TIMEOUT = 60.0


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


def walk(node):
    """Every showing node below node, depth first; hidden pages are passed over."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None or not showing(child):
            continue
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


def next_page(timeout=TIMEOUT):
    """Presses Next and waits until another page is shown: a button takes a
    second press only once it has come up from the first."""
    before = page()
    press("Weiter")
    until("the page after %s" % (before[:2],), lambda: page() != before, timeout)


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


def main():
    email, password, payment, confirmation_file = sys.argv[1:5]
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
    next_page()
    # Sending runs by itself and ends on the confirmation.
    view = until("the order confirmation", lambda: find(("text",), "Auftragsbestätigung"), timeout=180)
    text = until("the confirmation's text",
                 lambda: view.queryText().getText(0, -1) if "Auftragsbestätigung:" in
                 view.queryText().getText(0, -1) else None)
    with open(confirmation_file, "w", encoding="utf-8") as out:
        out.write(text)
    press("Fertig")


if __name__ == "__main__":
    main()
