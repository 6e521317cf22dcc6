"""The built kavrel program on a test desktop: started with a settings file of its own, its windows
found by their captions, and their controls reached where their dialog units put them."""

import os
import subprocess
import tempfile

# Dialog sizes and control rectangles in dialog units (x, y, width, height), as the program lays
# them out; a control is clicked at its centre, scaled by the dialog's own size in pixels.
MAIN = (414, 290)
ADD_PHOTO, ADD_MUSIC, OPTIONS, PREVIEW, CONVERT = ((9, 5, 66, 32), (75, 5, 66, 32), (207, 5, 66, 32),
                                                   (273, 5, 66, 32), (339, 5, 66, 32))
PHOTO_LIST = (7, 44, 368, 100)
OUTPUT_OPTIONS = (278, 177)
FORMAT_LIST, OUTPUT_FILE, VIDEO_LIST, VIDEO_SETTINGS, AUDIO_LIST, OPTIONS_OK = (
    (80, 7, 62, 14), (80, 26, 126, 14), (80, 73, 126, 14), (206, 73, 66, 14), (80, 95, 126, 14), (24, 156, 66, 14))


class Kavrel:
    def __init__(self, desktop, program, settings=None, files=()):
        self.desktop = desktop
        self.program = program
        self.home = tempfile.TemporaryDirectory(prefix="kavrel-e2e-")
        config = os.path.join(self.home.name, "config")
        os.makedirs(os.path.join(config, "QuillfenStudio"))
        if settings:
            with open(os.path.join(config, "QuillfenStudio", "kavrel.ini"), "w") as f:
                f.write(settings)
        self.env = dict(desktop.env, HOME=self.home.name, XDG_CONFIG_HOME=config, LANG="C.UTF-8")
        self.log = open(os.path.join(self.home.name, "kavrel.log"), "w")
        self.process = subprocess.Popen([program, *files], env=self.env, stdout=self.log, stderr=subprocess.STDOUT)
        self.main = desktop.wait_window("Kavrel")

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

    def click(self, window, size, rect, button=1):
        """Clicks the centre of the control at `rect` in the dialog of `size` (dialog units)."""
        _, _, width, height = self.desktop.geometry(window)
        x = (rect[0] + rect[2] / 2) * width / size[0]
        y = (rect[1] + min(rect[3], 14) / 2) * height / size[1]
        self.desktop.click(window, int(x), int(y), button)

    def click_main(self, rect, button=1):
        self.click(self.main, MAIN, rect, button)

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

    def list_rows(self, first_heading):
        """The cells of the list whose first column is headed `first_heading`, row by row."""
        window = self.accessible_window()
        for i in range(window.childCount):
            node = window.getChildAtIndex(i)
            headers = [node.getChildAtIndex(k) for k in range(node.childCount)]
            titles = [h.name for h in headers if h.getRoleName() == "table column header"]
            if titles and titles[0] == first_heading:
                cells = [h.name for h in headers if h.getRoleName() == "table cell"]
                return [cells[r:r + len(titles)] for r in range(0, len(cells), len(titles))]
        raise AssertionError(f'no list headed "{first_heading}"')

    def choose_in_list(self, window, size, rect, text):
        """Opens the drop-down list at `rect` and picks the entry that starts with `text`."""
        self.click(window, size, rect)
        self.desktop.type(text)
        self.desktop.key("Return")
