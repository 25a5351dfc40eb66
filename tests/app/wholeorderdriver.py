#!/usr/bin/python3
"""Places the sample order in the running lumo program as a person would,
through its accessibility tree: buttons, fields and boxes are found by the
names a person reads, and only on the page that is shown. Every page it
reaches must name each of its buttons and fields. It goes on from a page with
the Return key, wherever the program left the keyboard: once Weiter is
enabled, Return must go forward.

Usage: wholeorderdriver.py finish EMAIL PASSWORD PAYMENT CONFIRMATION_FILE
       wholeorderdriver.py basket EMAIL PASSWORD PAYMENT CONFIRMATION_FILE
       wholeorderdriver.py cancel EMAIL PASSWORD PAYMENT TIME_FILE DOUBLE_URL
       wholeorderdriver.py term EMAIL PASSWORD PAYMENT TIME_FILE DOUBLE_URL
       wholeorderdriver.py placed EMAIL PASSWORD PAYMENT CONFIRMATION_FILE DOUBLE_URL
finish ends with status 0 after pressing Finish on the confirmation page.
basket first works the basket of many lines with the keyboard alone (Tab
through every line's controls to the wizard's buttons, Shift+Tab back into
the last line, its amount typed) and through the accessibility tree (the
scroll bar moves the view, a line out of sight is focused and typed into,
the last line brought into view and its amount set), writes each picture's
amount into CONFIRMATION_FILE.amounts, then orders as finish does.
cancel presses Abbrechen on the sending page once the double has received
the upload control, and writes the time it pressed it (seconds since the
epoch) into TIME_FILE. term goes as far and ends there, pressing nothing:
the caller ends the program with a signal. placed presses Abbrechen once the
order is finished and the double has received the session end, then expects
the confirmation within 3 seconds and ends as finish does."""

import ctypes
import sys
import time
import urllib.request

import pyatspi

TIMEOUT = 60.0
RETURN_KEYSYM = 0xFF0D
TAB_KEYSYM = 0xFF09
SHIFT_TAB_KEYSYM = 0xFE20  # ISO_Left_Tab: Tab with Shift


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


def press_key(keysym):
    """A key, through the X server as a keyboard gives it."""
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


BACKSPACE_KEYSYM = 0xFF08


def type_keys(text):
    """Typed as a keyboard gives it; a backspace as "\\b"."""
    for character in text:
        press_key(BACKSPACE_KEYSYM if character == "\b" else ord(character))


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def inside(node, frame):
    """Whether node lies wholly within frame (a node or its extents) on the screen."""
    n = extents(node)
    f = frame if hasattr(frame, "width") else extents(frame)
    return (n.width > 0 and n.height > 0 and n.x >= f.x and n.y >= f.y and
            n.x + n.width <= f.x + f.width and n.y + n.height <= f.y + f.height)


def control(line, name):
    """The line's control of that name (the format box by its role: it is named by its
    product), while the line has its controls."""
    for i in range(line.childCount):
        child = line.getChildAtIndex(i)
        if child is not None and (child.name == name or
                                  (name == "Format" and child.getRoleName() == "combo box")):
            return child
    return None


def focused(node):
    return node is not None and states(node).contains(pyatspi.STATE_FOCUSED)


LINE_CONTROLS = ("Anzahl", "Format", "Weiteres Format", "Dieses Bild aus der Bestellung entfernen")


def keyboard_holder():
    """Where the keyboard is, for a failure message."""
    holder = next((n for n in walk(wizard()) if focused(n)), None)
    return "%s '%s'" % (holder.getRoleName(), holder.name) if holder is not None else "nowhere"


def controls_of(line):
    """The line's four controls in the keyboard's order, once it has them."""
    found = {}
    for i in range(line.childCount):
        child = line.getChildAtIndex(i)
        name = "Format" if child.getRoleName() == "combo box" else child.name
        if name in LINE_CONTROLS:
            found[name] = child
    return [found[name] for name in LINE_CONTROLS] if len(found) == len(LINE_CONTROLS) else None


def keyboard_on(node, frame, what):
    """Waits until node has the keyboard, wholly within frame (the basket's extents) when given."""
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        try:
            if focused(node) and (frame is None or inside(node, frame)):
                return
        except Exception:  # the tree changes under our feet while the basket scrolls
            pass
        time.sleep(0.01)
    fail("timed out waiting for the keyboard on %s; it is on %s" % (what, keyboard_holder()))


def amount_is(line, text, what):
    until("the amount %s in %s" % (text, what),
          lambda: control(line, "Anzahl").queryText().getText(0, -1) == text)


def activate(pid):
    """Gives the program's shown window the X input focus, as a window manager would on a desktop
    (the virtual X server has none): only an active window reports the keyboard's place."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                               ctypes.POINTER(ctypes.c_uint)]
    x11.XGetWindowProperty.argtypes = [
        ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
        ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
    x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class Attributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                    ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                    ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                    ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                    ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                    ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                    ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                    ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                    ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                    ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Attributes)]
    display = x11.XOpenDisplay(None)
    if not display:
        fail("cannot open the X display")
    pid_atom = x11.XInternAtom(display, b"_NET_WM_PID", 0)
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    x11.XQueryTree(display, x11.XDefaultRootWindow(display), ctypes.byref(root), ctypes.byref(parent),
                   ctypes.byref(children), ctypes.byref(count))
    chosen = None
    for i in range(count.value):
        window = children[i]
        kind, size, items, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if x11.XGetWindowProperty(display, window, pid_atom, 0, 1, 0, 0, ctypes.byref(kind), ctypes.byref(size),
                                  ctypes.byref(items), ctypes.byref(after), ctypes.byref(data)) != 0:
            continue
        owner = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if data.value and items.value else None
        if data.value:
            x11.XFree(data)
        attributes = Attributes()
        x11.XGetWindowAttributes(display, window, ctypes.byref(attributes))
        if owner == pid and attributes.map_state == 2:  # IsViewable
            chosen = window
    if children:
        x11.XFree(children)
    if chosen is not None:
        x11.XSetInputFocus(display, chosen, 1, 0)  # RevertToPointerRoot, CurrentTime
        x11.XFlush(display)
    x11.XCloseDisplay(display)
    if chosen is None:
        fail("no shown window of the program %d" % pid)


def work_the_basket(amounts_file):
    """The basket of many lines by keyboard and through the tree; each picture's amount into the file."""
    basket = until("the basket", lambda: find(("list",), "Warenkorb", enabled=False))
    activate(application().get_process_id())
    count = until("the basket's lines", lambda: sum(
        1 for i in range(basket.childCount) if basket.getChildAtIndex(i).getRoleName() == "panel"))
    lines = [basket.getChildAtIndex(i) for i in range(count)]
    names = [line.name for line in lines]
    bar = basket.getChildAtIndex(count)
    if bar is None or bar.getRoleName() != "scroll bar":
        fail("no scroll bar after the basket's %d lines" % count)
    amounts = dict((name, 1) for name in names)

    # The keyboard: every line's controls in line order, each in sight, then the wizard's buttons.
    frame = extents(basket)
    for index, line in enumerate(lines):
        controls = until("the controls of %s" % names[index], lambda: controls_of(line))
        for name, node in zip(LINE_CONTROLS, controls):
            keyboard_on(node, frame, "%s of %s" % (name, names[index]))
            press_key(TAB_KEYSYM)
    keyboard_on(until("button 'Weiter'", lambda: find(("push button",), "Weiter")), None,
                "Weiter after the last line")
    # Back into the last line from the buttons; its amount typed over.
    last = lines[-1]
    for name, node in reversed(list(zip(LINE_CONTROLS, controls_of(last)))):
        press_key(SHIFT_TAB_KEYSYM)
        keyboard_on(node, frame, "%s of %s" % (name, names[-1]))
    type_keys("2")
    amount_is(last, "2", names[-1])

    # The tree: the scroll bar moves the view; a line out of sight has no controls until it is
    # focused, then takes what is typed; the last line comes into view on its action.
    bar.queryValue().currentValue = 0
    middle = lines[count // 2]
    until("the last line out of sight", lambda: not inside(last, frame))
    until("no controls in a line out of sight", lambda: control(middle, "Anzahl") is None)
    if not middle.queryComponent().grabFocus():
        fail("focusing the line %s was refused" % names[count // 2])
    keyboard_on(until("the amount of %s" % names[count // 2], lambda: control(middle, "Anzahl")), frame,
                "Anzahl of %s" % names[count // 2])
    type_keys("\b4")
    amount_is(middle, "4", names[count // 2])
    amounts[names[count // 2]] = 4
    actions = last.queryAction()
    scroll = next((i for i in range(actions.nActions) if actions.getName(i) == "ScrollIntoView"), None)
    if scroll is None:
        fail("the line %s has no action ScrollIntoView" % names[-1])
    actions.doAction(scroll)
    until("the last line in sight", lambda: inside(last, frame))
    amount = until("the last line's amount", lambda: control(last, "Anzahl"))
    amount.queryEditableText().setTextContents("3")
    amount_is(last, "3", names[-1])
    amounts[names[-1]] = 3
    with open(amounts_file, "w", encoding="utf-8") as out:
        for name in names:
            out.write("%s\t%d\n" % (name.rsplit(", ", 1)[0], amounts[name]))
    print("wholeorderdriver: %d lines walked by keyboard, 2 amounts set through the tree" % count)


def main():
    mode = sys.argv[1]
    email, password, payment, out_file = sys.argv[2:6]
    if mode == "basket":
        work_the_basket(out_file + ".amounts")
    else:
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
