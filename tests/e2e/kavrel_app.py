"""The built kavrel program on a test desktop: started with a settings file of its own, its windows
found by their captions, and their controls reached where their dialog units put them."""

import os
import subprocess
import tempfile

# Dialog sizes and control rectangles in dialog units (x, y, width, height), as the program lays
# them out; a control is clicked at its centre, scaled by the dialog's own size in pixels. The main
# window's controls lie below its menu bar, and the summary line below them ends it at 302.
MAIN = (414, 302)
ADD_PHOTO, ADD_MUSIC, OPTIONS, PREVIEW, CONVERT = ((9, 5, 66, 32), (75, 5, 66, 32), (207, 5, 66, 32),
                                                   (273, 5, 66, 32), (339, 5, 66, 32))
PHOTO_LIST = (7, 44, 368, 100)
OUTPUT_OPTIONS = (278, 177)
FORMAT_LIST, OUTPUT_FILE, VIDEO_LIST, VIDEO_SETTINGS, AUDIO_LIST, OPTIONS_OK = (
    (80, 7, 62, 14), (80, 26, 126, 14), (80, 73, 126, 14), (206, 73, 66, 14), (80, 95, 126, 14), (24, 156, 66, 14))
PHOTO_PROPERTY = (540, 305)
# An icon button's caption lies below its icon (32 pixels, 3 from the top); frames and the focus
# rectangle lie within 4 pixels of a control's edge.
ICON_BOTTOM, EDGE = 35, 4
CAPTION_EDIT, PHOTO_OK = (373, 16, 153, 52), (51, 111, 66, 14)


class Kavrel:
    def __init__(self, desktop, program, settings=None, files=(), colour_scheme=None):
        """`colour_scheme`: a qt6ct colour scheme file, chosen in qt6ct as a user of a desktop without
        its own Qt theme does, or None for Qt's own colours."""
        self.desktop = desktop
        self.program = program
        self.home = tempfile.TemporaryDirectory(prefix="kavrel-e2e-")
        config = os.path.join(self.home.name, "config")
        os.makedirs(os.path.join(config, "QuillfenStudio"))
        if settings:
            with open(os.path.join(config, "QuillfenStudio", "kavrel.ini"), "w") as f:
                f.write(settings)
        self.env = dict(desktop.env, HOME=self.home.name, XDG_CONFIG_HOME=config, LANG="C.UTF-8")
        if colour_scheme:
            os.makedirs(os.path.join(config, "qt6ct"))
            with open(os.path.join(config, "qt6ct", "qt6ct.conf"), "w") as f:
                f.write(f"[Appearance]\ncolor_scheme_path={colour_scheme}\ncustom_palette=true\nstyle=Fusion\n")
            self.env["QT_QPA_PLATFORMTHEME"] = "qt6ct"
        self.log = open(os.path.join(self.home.name, "kavrel.log"), "w")
        self.process = subprocess.Popen([program, *files], env=self.env, stdout=self.log, stderr=subprocess.STDOUT)
        # "Kavrel", or "*Untitled - Kavrel" when files given on the command line started a show
        self.main = desktop.wait(lambda: (desktop.windows_matching(r"^\*?(.+ - )?Kavrel$") or [None])[0], 30,
                                 "the main window")
        self._bar_height = None

    def start_again(self, *files):
        """A second start of the program by the same user on the same display; its exit status."""
        return subprocess.run([self.program, *files], env=self.env, stdout=self.log, stderr=subprocess.STDOUT,
                              timeout=30).returncode

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        self.home.cleanup()

    def click(self, window, size, rect, button=1, top=0):
        """Clicks the centre of the control at `rect` in the dialog of `size` (dialog units), whose
        dialog units start `top` pixels below the window's top."""
        _, _, width, height = self.desktop.geometry(window)
        x = (rect[0] + rect[2] / 2) * width / size[0]
        y = top + (rect[1] + min(rect[3], 14) / 2) * (height - top) / size[1]
        self.desktop.click(window, int(x), int(y), button)

    def click_main(self, rect, button=1):
        self.click(self.main, MAIN, rect, button, self.menu_bar_height())

    def menu_bar_height(self):
        if self._bar_height is None:
            self._bar_height = self.accessible_node("menu bar").queryComponent().getExtents(0).height
        return self._bar_height

    def accessible_node(self, role, window=None):
        """The first node with `role` in the main window's accessible tree."""
        pending = [window or self.accessible_window()]
        while pending:
            node = pending.pop(0)
            if node.getRoleName() == role:
                return node
            pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        raise AssertionError(f"no {role} in the main window")

    def choose_files(self, title, folder, names):
        """Answers the open-file dialog: goes to `folder` and picks `names` there."""
        dialog = self.desktop.wait_window(title)
        self.desktop.type(folder + "/")
        self.desktop.key("Return")
        self.desktop.type(" ".join(f'"{n}"' for n in names))
        self.desktop.key("Return")
        self.desktop.wait_gone(dialog)

    def accessible_window(self, name=None):
        """The program's window `name` (the main window's caption) as a screen reader sees it."""
        name = name or self.desktop.name(self.main)
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or app.name != "kavrel":
                continue
            for j in range(app.childCount):
                window = app.getChildAtIndex(j)
                if window is not None and window.name == name:
                    return window
        raise AssertionError(f'no window "{name}" of kavrel is readable')

    def caption_rectangles(self, window_name, icon_buttons=False):
        """The screen rectangles of the captions of the program's window `window_name`, by their
        text: its labels (links included) and, with `icon_buttons`, its push buttons' captions
        below their icons. Frames along the edges are left out."""
        captions = []
        pending = [self.accessible_window(window_name)]
        while pending:
            node = pending.pop(0)
            role = node.getRoleName()
            e = node.queryComponent().getExtents(0)
            if role == "label":
                captions.append((node.name, (e.x + EDGE, e.y + EDGE, e.width - 2 * EDGE, e.height - 2 * EDGE)))
            elif role == "push button" and icon_buttons and e.height - ICON_BOTTOM - EDGE > 0:
                captions.append((node.name, (e.x + EDGE, e.y + ICON_BOTTOM, e.width - 2 * EDGE,
                                             e.height - ICON_BOTTOM - EDGE)))
            if role not in ("tree", "tree table", "table", "menu bar"):
                pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        return captions

    def list_nodes(self, first_heading):
        """The column titles and the cells of the list whose first column is headed `first_heading`."""
        window = self.accessible_window()
        for i in range(window.childCount):
            node = window.getChildAtIndex(i)
            children = [node.getChildAtIndex(k) for k in range(node.childCount)]
            titles = [c.name for c in children if c.getRoleName() == "table column header"]
            if titles and titles[0] == first_heading:
                return titles, [c for c in children if c.getRoleName() == "table cell"]
        raise AssertionError(f'no list headed "{first_heading}"')

    def list_rows(self, first_heading):
        """The cells of the list whose first column is headed `first_heading`, row by row."""
        titles, cells = self.list_nodes(first_heading)
        names = [c.name for c in cells]
        return [names[r:r + len(titles)] for r in range(0, len(names), len(titles))]

    def row_cells(self, first_heading, row):
        """The screen rectangles (x, y, width, height) of row `row`'s cells in that list."""
        titles, cells = self.list_nodes(first_heading)
        extents = [c.queryComponent().getExtents(0) for c in cells[row * len(titles):(row + 1) * len(titles)]]
        return [(e.x, e.y, e.width, e.height) for e in extents]

    def row_point(self, first_heading, row, where=0.5):
        """A point on the first cell of row `row`: `where` is how far down the row (0 its top)."""
        x, y, width, height = self.row_cells(first_heading, row)[0]
        return x + width // 2, y + int(height * where)

    def named_node(self, window_name, name, role=None):
        """The node called `name` (with `role`, if given) in the program's window `window_name`."""
        pending = [self.accessible_window(window_name)]
        while pending:
            node = pending.pop(0)
            if node.name == name and role in (None, node.getRoleName()):
                return node
            pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        raise AssertionError(f'nothing called "{name}" in "{window_name}"')

    def press(self, window_name, label):
        """Clicks the push button `label` of the program's window `window_name`, wherever it lies."""
        e = self.named_node(window_name, label, "push button").queryComponent().getExtents(0)
        self.desktop.click_at(e.x + e.width // 2, e.y + e.height // 2)

    def choose_in_list(self, window, size, rect, text):
        """Opens the drop-down list at `rect` and picks the entry that starts with `text`."""
        self.click(window, size, rect)
        self.desktop.type(text)
        self.desktop.key("Return")
