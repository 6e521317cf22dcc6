#!/usr/bin/env python3
"""Kavrel as a person uses it: the built program on its own X server with a real window manager,
driven by mouse and keyboard through its real dialogs; the files it writes are checked by reading
them back with ffprobe.

usage: kavrel_e2e.py --kavrel BUILD/kavrel [unittest arguments, e.g. EndToEnd.test_preview]
"""

import argparse
import json
import math
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import wave
import zlib

from desktop import Desktop
from screen_reader import ScreenReader
from screen_contrast import WindowShot, caption_contrast, luminance
from kavrel_app import (ADD_MUSIC, ADD_PHOTO, CAPTION_EDIT, CONVERT, FORMAT_LIST, OPTIONS, OPTIONS_OK,
                        OUTPUT_FILE, OUTPUT_OPTIONS, PHOTO_OK, PHOTO_PROPERTY, PREVIEW, VIDEO_SETTINGS, Kavrel)

PROGRAM = None


def write_png(path, width, height, salt):
    """A photo of colour gradients, different for each salt."""
    write_png_of(path, width, height,
                 lambda x, y: ((x * 255 // width + salt * 70) % 256, (y * 255 // height) % 256, (salt * 90 + 40) % 256))


QUADRANT_COLOURS = ((255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255))  # top left, top right, bottom left, bottom right


def write_quadrants(path, width, height):
    write_png_of(path, width, height,
                 lambda x, y: QUADRANT_COLOURS[(2 if y >= height // 2 else 0) + (1 if x >= width // 2 else 0)])


def write_png_of(path, width, height, colour):
    """A PNG whose pixel (x, y) is colour(x, y), an (r, g, b) triple."""
    rows = []
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            row += bytes(colour(x, y))
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows)))
                + chunk(b"IEND", b""))


def write_tone(path, seconds, silent=0.0):
    """A 440 Hz tone of `seconds`, whose first `silent` seconds are silence."""
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(44100)
        frames = bytearray()
        for i in range(int(seconds * 44100)):
            v = 0 if i < silent * 44100 else int(8000 * math.sin(2 * math.pi * 440 * i / 44100))
            frames += struct.pack("<hh", v, v)
        w.writeframes(bytes(frames))


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=codec_type,codec_name:format=duration",
                          "-of", "json", path], capture_output=True, text=True, check=True).stdout
    info = json.loads(out)
    codecs = {s["codec_type"]: s["codec_name"] for s in info["streams"]}
    return codecs, float(info["format"]["duration"])


def sound(path):
    """The audio of `path`: its length, where it first becomes audible (above -50 dBFS) and its mean
    level (dBFS), all in seconds or dB."""
    length = float(subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a", "-show_entries",
                                   "stream=duration", "-of", "csv=p=0", path],
                                  capture_output=True, text=True, check=True).stdout.split()[0])
    log = subprocess.run(["ffmpeg", "-nostats", "-i", path, "-map", "0:a", "-af",
                          "silencedetect=n=-50dB:d=0.05,volumedetect", "-f", "null", "-"],
                         capture_output=True, text=True, check=True).stderr
    starts = [float(v) for v in re.findall(r"silence_start: (-?[\d.]+)", log)]
    ends = [float(v) for v in re.findall(r"silence_end: (-?[\d.]+)", log)]
    audible = ends[0] if starts and starts[0] <= 0.05 else 0.0
    if starts and starts[0] <= 0.05 and not ends:
        audible = length
    mean = float(re.search(r"mean_volume: (-?[\d.]+) dB", log).group(1))
    return {"length": length, "audible_from": audible, "mean_db": mean}


def loudness(path, start, end):
    """The integrated loudness (LUFS) of `path`'s sound from `start` to `end` seconds, by ffmpeg's meter."""
    log = subprocess.run(["ffmpeg", "-nostats", "-i", path, "-map", "0:a", "-af",
                          f"atrim={start}:{end},ebur128", "-f", "null", "-"],
                         capture_output=True, text=True, check=True).stderr
    return float(re.findall(r"I:\s+(-?[\d.]+) LUFS", log)[-1])


class EndToEnd(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.media = tempfile.TemporaryDirectory(prefix="kavrel-media-")
        self.folder = self.media.name
        for i in range(2):
            write_png(os.path.join(self.folder, f"photo{i}.png"), 320, 240, i)
        write_tone(os.path.join(self.folder, "tone.wav"), 3.0)
        self.app = None

    def tearDown(self):
        if self.app is not None:
            if self._outcome_failed():
                self.desktop.screenshot(os.path.join(tempfile.gettempdir(), f"kavrel-e2e-{self._testMethodName}.png"))
            self.app.stop()
        self.desktop.close()
        self.media.cleanup()

    def _outcome_failed(self):
        result = getattr(self._outcome, "result", None)
        return result is not None and (result.failures or result.errors)

    def start(self, settings=None, colour_scheme=None):
        self.app = Kavrel(self.desktop, PROGRAM, settings, colour_scheme=colour_scheme)
        return self.app

    def add_show(self, app):
        app.click_main(ADD_PHOTO)
        app.choose_files("Select Photo Files...", self.folder, ["photo0.png", "photo1.png"])
        app.click_main(ADD_MUSIC)
        app.choose_files("Add background music to list", self.folder, ["tone.wav"])

    def player_moves(self, player):
        before = self.desktop.snapshot(player)
        time.sleep(0.7)
        return self.desktop.snapshot(player) != before

    def choose_from_player_menu(self, player):
        """Right-clicks the player and takes the first item the menu offers."""
        _, _, width, height = self.desktop.geometry(player)
        self.desktop.click(player, width // 2, height // 2, 3)
        self.desktop.key("Down", "Return")

    def test_the_player_takes_input_while_the_main_window_runs(self):
        app = self.start()
        self.assertEqual(self.desktop.name(app.main), "Kavrel")
        self.add_show(app)
        app.click_main(PREVIEW)
        player = self.desktop.wait_window("PREVIEW")
        left, top, _, _ = self.desktop.work_area()
        self.desktop.wait(lambda: self.desktop.frame_top_left(player) == (left + 100, top + 5), 5,
                          f"the player's frame at {left + 100},{top + 5}")
        self.desktop.wait(lambda: self.desktop.active_window() == player, 5, "the player in front")
        self.assertTrue(self.desktop.wait(lambda: self.player_moves(player), 10, "the preview playing"))

        self.choose_from_player_menu(player)  # running: Pause is the first item offered
        time.sleep(0.5)
        self.assertFalse(self.player_moves(player), "Pause did not pause")
        self.choose_from_player_menu(player)  # paused: Play
        self.assertTrue(self.desktop.wait(lambda: self.player_moves(player), 5, "Play to play again"))
        self.desktop.key("space")
        time.sleep(0.5)
        self.assertFalse(self.player_moves(player), "Space did not pause")
        self.desktop.key("space")
        self.assertTrue(self.desktop.wait(lambda: self.player_moves(player), 5, "Space to play again"))

        self.desktop.request_close(player)
        self.desktop.wait_gone(player)
        app.click_main(PREVIEW)  # idle again: Preview starts a new one
        player = self.desktop.wait_window("PREVIEW")
        self.desktop.wait(lambda: self.desktop.active_window() == player, 5, "the new player in front")
        self.desktop.key("Escape")  # as its close button
        self.desktop.wait_gone(player)
        self.desktop.request_close(app.main)
        self.answer_save_question("alt+n")  # the lists were never saved as a show
        self.assertEqual(app.process.wait(15), 0)

    def answer_save_question(self, key):
        main = self.app.main
        self.desktop.wait(lambda: [w for w in self.desktop.windows("Kavrel") if w != main], 10,
                          'the question "Save changes to the show?"')
        self.desktop.key(key)

    def test_an_mp4_conversion_uses_the_codec_setting_chosen_on_its_page(self):
        output = os.path.join(self.folder, "show.mp4")
        app = self.start("[TransitionSettings]\nmf_PhotoDuration=1.5\nmf_TransitionDuration=0.5\n")
        self.add_show(app)
        options = self.open_mp4_options(app, output)
        # MP4 cannot hold the DivX and ADPCM defaults: choosing it brings H.264 and AAC, whose
        # settings page opens, and whose streams the file holds
        app.click(options, OUTPUT_OPTIONS, VIDEO_SETTINGS)
        page = self.desktop.wait_window("libx264 H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10 (libx264)")
        self.desktop.type("crf")
        self.desktop.key("Tab", "ctrl+a")
        self.desktop.type("45")
        self.desktop.key("Return")
        self.desktop.wait_gone(page)
        app.click(options, OUTPUT_OPTIONS, OPTIONS_OK)
        self.desktop.wait_gone(options)
        self.convert_mp4(app, output, 3.0)
        codecs, seconds = probe(output)
        self.assertEqual(codecs, {"video": "h264", "audio": "aac"})
        self.assertAlmostEqual(seconds, 3.0, delta=0.1)
        with open(output, "rb") as f:
            written = f.read()
        # x264 writes its settings into the stream; only they are shown on failure, not the file.
        settings = re.search(rb"x264 - core[^\0]*", written)
        self.assertIsNotNone(settings, "no x264 settings in the file")
        self.assertIn(b" crf=45.0 ", settings.group(0), "the page's crf did not reach the encoder")

    def open_mp4_options(self, app, output):
        """Opens Options and chooses MP4 written to `output`; the dialog stays open."""
        app.click_main(OPTIONS)
        options = self.desktop.wait_window("Select output options")
        app.choose_in_list(options, OUTPUT_OPTIONS, FORMAT_LIST, "MP4")
        app.click(options, OUTPUT_OPTIONS, OUTPUT_FILE)
        self.desktop.key("ctrl+a")
        self.desktop.type(output)
        return options

    def choose_mp4_output(self, app, output):
        options = self.open_mp4_options(app, output)
        app.click(options, OUTPUT_OPTIONS, OPTIONS_OK)
        self.desktop.wait_gone(options)

    def convert_mp4(self, app, output, seconds):
        app.click_main(CONVERT)
        filters = self.desktop.wait_window("Set Filter's Properties")  # shown before an MP4 graph runs
        self.desktop.key("Escape")
        self.desktop.wait_gone(filters)
        self.desktop.wait(lambda: self.complete(output, seconds), 60, "the MP4 to be written")

    def test_a_title_card_and_a_caption_reach_the_picture_and_the_subtitle_track(self):
        output = os.path.join(self.folder, "captioned.mp4")
        app = self.start("[TransitionSettings]\nmf_PhotoDuration=2\nmf_TransitionDuration=0.5\n")
        app.click_main(ADD_PHOTO)
        app.choose_files("Select Photo Files...", self.folder, ["photo0.png"])
        self.desktop.key("alt+s", "i")  # Show > Add Title...
        self.desktop.wait_window("Title card")
        self.desktop.type("Summer in Italy")
        app.press("Title card", "OK")
        self.assertEqual([row[0] for row in app.list_rows("Photo File Name")], ["photo0.png", "Summer in Italy"])

        self.desktop.right_click_at(*app.row_point("Photo File Name", 0))  # the photo's properties
        photo = self.desktop.wait_window("Change the photo and transition property")
        app.click(photo, PHOTO_PROPERTY, CAPTION_EDIT)
        self.desktop.type("Beach at dawn")
        app.click(photo, PHOTO_PROPERTY, PHOTO_OK)
        self.desktop.wait_gone(photo)
        self.choose_mp4_output(app, output)
        self.convert_mp4(app, output, 4.0)

        # One cue, photo0's: from the show's start to where the title's transition begins.
        packets = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "s", "-show_entries",
                                  "packet=pts_time,duration_time,size", "-of", "csv=p=0", output],
                                 capture_output=True, text=True, check=True).stdout.split()
        cues = [tuple(float(v) for v in p.split(",")) for p in packets if int(p.split(",")[2]) > 2]
        self.assertEqual(len(cues), 1, packets)
        self.assertAlmostEqual(cues[0][0], 0.0, delta=0.001)
        self.assertAlmostEqual(cues[0][0] + cues[0][1], 1.75, delta=0.001)

        # In the picture: white glyphs and their dark shadow below the middle, where the photo's
        # gradient has neither.
        luma = subprocess.run(["ffmpeg", "-v", "error", "-ss", "0.8", "-i", output, "-frames:v", "1", "-f", "rawvideo",
                               "-pix_fmt", "gray", "-"], capture_output=True, check=True).stdout
        band = [luma[y * 640 + x] for y in range(380, 470) for x in range(200, 440)]
        self.assertGreater(sum(v >= 235 for v in band), 50, "no caption glyphs")
        self.assertGreater(sum(v < 60 for v in band), 50, "no shadow around the glyphs")

    def test_a_song_trimmed_in_its_dialog_plays_only_its_part(self):
        # A second of silence, then the tone: trimmed to start at 1 s, the show is heard from its start.
        write_tone(os.path.join(self.folder, "tone.wav"), 3.0, silent=1.0)
        output = os.path.join(self.folder, "song.mp4")
        app = self.start("[TransitionSettings]\nmf_PhotoDuration=1.5\nmf_TransitionDuration=0.5\n")
        self.add_show(app)
        self.desktop.double_click_at(*app.row_point("Music File Name", 0))
        dialog = self.desktop.wait_window("Music properties")
        self.fill_fields(["1", "", "-6", "0"])  # Start, End, Volume, Fade-in
        self.desktop.key("Return")
        self.desktop.wait_gone(dialog)
        self.assertEqual(app.list_rows("Music File Name"), [["tone.wav", "2"]], "the list shows what plays")
        self.choose_mp4_output(app, output)
        self.convert_mp4(app, output, 3.0)
        heard = sound(output)
        self.assertAlmostEqual(heard["length"], 3.0, delta=0.1)
        self.assertLess(heard["audible_from"], 0.1, "the trimmed second of silence was played")
        # Evened out to the show's -16 LUFS, then 6 dB softer (measured before the fade-out).
        self.assertAlmostEqual(loudness(output, 0.05, 0.95), -22, delta=1)

    def test_a_move_drawn_in_the_photo_dialog_is_the_move_in_the_frames(self):
        # Every photo zooms in; the End frame's corner is dragged into the white bottom right quarter.
        write_quadrants(os.path.join(self.folder, "quadrants.png"), 640, 480)
        output = os.path.join(self.folder, "drawn.mp4")
        app = self.start("[TransitionSettings]\nmf_PhotoDuration=2\nmf_TransitionDuration=0\n"
                         "MotionPolicy=2\nSameMotion=1\n")
        app.click_main(ADD_PHOTO)
        app.choose_files("Select Photo Files...", self.folder, ["quadrants.png"])
        title = "Change the photo and transition property"
        self.desktop.right_click_at(*app.row_point("Photo File Name", 0))
        dialog = self.desktop.wait_window(title)
        area = app.named_node(title, "Start and end of the move").queryComponent().getExtents(0)
        # The 4:3 photo fills the picture but for a margin of 6 pixels, centred; the zoom's End frame
        # is its middle, 1/1.15 of it.
        scale = min((area.width - 12) / (4 / 3), area.height - 12)
        left, top = area.x + (area.width - scale * 4 / 3) / 2, area.y + (area.height - scale) / 2
        at = lambda fx, fy: (int(left + fx * scale * 4 / 3), int(top + fy * scale))
        end_corner = (1 - 1 / 1.15) / 2
        self.desktop.drag(at(end_corner, end_corner), at(0.6, 0.6))
        app.press(title, "OK")
        self.desktop.wait_gone(dialog)
        self.choose_mp4_output(app, output)
        self.convert_mp4(app, output, 2.0)

        def colours(seconds):
            """The mean colour of the four quarters of the frame shown at `seconds`."""
            rgb = subprocess.run(["ffmpeg", "-v", "error", "-ss", str(seconds), "-i", output, "-frames:v", "1",
                                  "-vf", "format=rgb24,scale=2:2:flags=area", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                                 capture_output=True, check=True).stdout
            return [tuple(rgb[i * 3:i * 3 + 3]) for i in range(4)]

        def near(got, want):
            return all(abs(g - w) < 60 for g, w in zip(got, want))

        first, last = colours(0), colours(1.95)
        self.assertTrue(all(near(g, w) for g, w in zip(first, QUADRANT_COLOURS)), f"the first frame: {first}")
        self.assertTrue(all(near(g, QUADRANT_COLOURS[3]) for g in last), f"the last frame: {last}")

    def fill_fields(self, texts):
        """Types `texts` into the focused field and those after it, Tab by Tab."""
        for i, text in enumerate(texts):
            if i:
                self.desktop.key("Tab")
            self.desktop.key("ctrl+a", "BackSpace")
            if text:
                self.desktop.type(text)

    def test_todays_photos_and_music_come_through_the_dialogs(self):
        made = self.todays_files()
        app = self.start()
        app.click_main(ADD_PHOTO)
        app.choose_files("Select Photo Files...", self.folder, made["photos"])
        app.click_main(ADD_MUSIC)
        app.choose_files("Add background music to list", self.folder, made["music"])
        # In the order the dialog hands them over, which is its own.
        self.assertEqual(sorted(row[0] for row in app.list_rows("Photo File Name")), sorted(made["photos"]))
        music = {name: seconds for name, seconds in app.list_rows("Music File Name")}
        self.assertEqual(music, {"song.flac": "2", "song.opus": "3", "song.m4a": "4"})

    def todays_files(self):
        """A photo in each of today's formats and music in three, made by heif-enc and ffmpeg."""
        source = os.path.join(self.folder, "photo0.png")
        photos = ["phone.heic", "phone.avif", "web.webp", "scan.tiff", "photo1.png", "camera.jpg"]
        make = {"phone.heic": ["heif-enc", "-q", "60", "-o", "phone.heic", source],
                "phone.avif": ["heif-enc", "-A", "-q", "60", "-o", "phone.avif", source],
                "web.webp": ["ffmpeg", "-i", source, "web.webp"],
                "scan.tiff": ["ffmpeg", "-i", source, "scan.tiff"],
                "camera.jpg": ["ffmpeg", "-i", source, "camera.jpg"]}
        music = {"song.flac": (2.5, []), "song.opus": (3.5, ["-c:a", "libopus"]), "song.m4a": (4.2, ["-c:a", "aac"])}
        for name, command in make.items():
            if command[0] == "ffmpeg":
                command = ["ffmpeg", "-v", "error", "-y"] + command[1:]
            subprocess.run(command, cwd=self.folder, check=True, capture_output=True)
        for name, (seconds, codec) in music.items():
            write_tone(os.path.join(self.folder, "tone.wav"), seconds)
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", "tone.wav", *codec, name], cwd=self.folder,
                           check=True, capture_output=True)
        return {"photos": photos, "music": list(music)}

    def test_a_show_is_saved_and_opened_again_through_the_dialogs(self):
        show = os.path.join(self.folder, "holiday.kavrel")
        app = self.start()
        self.add_show(app)
        photos, music = app.list_rows("Photo File Name"), app.list_rows("Music File Name")
        self.desktop.key("ctrl+shift+s")
        dialog = self.desktop.wait_window("Save show as")
        self.desktop.type(show)
        self.desktop.key("Return")
        self.desktop.wait_gone(dialog)
        self.desktop.wait(lambda: os.path.exists(show), 10, "the show file")
        self.assertEqual(self.desktop.name(app.main), "holiday - Kavrel")
        self.desktop.request_close(app.main)  # saved: nothing to ask
        self.assertEqual(app.process.wait(15), 0)
        app.stop()

        app = self.start()  # another day
        self.desktop.key("ctrl+o")
        dialog = self.desktop.wait_window("Open show")
        self.desktop.type(show)
        self.desktop.key("Return")
        self.desktop.wait_gone(dialog)
        self.desktop.wait(lambda: self.desktop.name(app.main) == "holiday - Kavrel", 10, "the show's name in the caption")
        self.assertEqual(app.list_rows("Photo File Name"), photos)
        self.assertEqual(app.list_rows("Music File Name"), music)

    def photo_names(self, app):
        return [row[0] for row in app.list_rows("Photo File Name")]

    def test_the_editor_undoes_removals_and_drags_and_marks_unsaved_changes(self):
        write_png(os.path.join(self.folder, "photo2.png"), 320, 240, 2)
        order = ["photo0.png", "photo1.png", "photo2.png"]
        app = self.start()
        app.click_main(ADD_PHOTO)
        app.choose_files("Select Photo Files...", self.folder, order)
        order = self.photo_names(app)  # as the dialog handed them over
        self.assertEqual(len(order), 3)
        self.assertEqual(self.desktop.name(app.main), "*Untitled - Kavrel")

        self.desktop.click_at(*app.row_point("Photo File Name", 1))
        self.desktop.key("Delete")
        self.assertEqual(self.photo_names(app), [order[0], order[2]])
        self.desktop.key("ctrl+z")
        self.assertEqual(self.photo_names(app), order, "Undo puts the removed row back in its place")

        # The first two rows dragged below the third, then the drag undone.
        self.desktop.click_at(*app.row_point("Photo File Name", 0))
        self.desktop.click_at(*app.row_point("Photo File Name", 1), "shift")
        self.desktop.drag(app.row_point("Photo File Name", 0), app.row_point("Photo File Name", 2, 0.9))
        self.assertEqual(self.photo_names(app), [order[2], order[0], order[1]])
        self.desktop.key("ctrl+z")
        self.assertEqual(self.photo_names(app), order)
        self.desktop.key("ctrl+shift+z")
        self.assertEqual(self.photo_names(app), [order[2], order[0], order[1]], "Redo moves them again")

        # Saved, the "*" goes; a change brings it, and its undo takes it away again.
        show = os.path.join(self.folder, "holiday.kavrel")
        self.desktop.key("ctrl+shift+s")
        dialog = self.desktop.wait_window("Save show as")
        self.desktop.type(show)
        self.desktop.key("Return")
        self.desktop.wait_gone(dialog)
        self.desktop.wait(lambda: self.desktop.name(app.main) == "holiday - Kavrel", 10, "the saved show's caption")
        self.desktop.click_at(*app.row_point("Photo File Name", 0))
        self.desktop.key("Delete")
        self.assertEqual(self.desktop.name(app.main), "*holiday - Kavrel")
        self.desktop.key("ctrl+z")
        self.assertEqual(self.desktop.name(app.main), "holiday - Kavrel")

        # File > New, then File > Open Recent > the first show brings it back.
        self.desktop.key("ctrl+n")
        self.assertEqual(self.photo_names(app), [])
        self.desktop.key("alt+f")
        self.desktop.key("r")
        self.desktop.key("1")
        self.desktop.wait(lambda: self.desktop.name(app.main) == "holiday - Kavrel", 10, "the recent show opened")
        self.assertEqual(self.photo_names(app), [order[2], order[0], order[1]])
    def test_a_screen_reader_names_every_control_and_the_keyboard_opens_the_popup(self):
        app = self.start()
        unnamed = []
        pending = [app.accessible_window()]
        while pending:
            node = pending.pop(0)
            if node.getRoleName() in ("push button", "text", "combo box", "check box", "tree table", "table",
                                      "list", "progress bar") and not node.name:
                unnamed.append(node.getRoleName())
            if node.getRoleName() not in ("tree table", "table", "menu bar"):
                pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        self.assertEqual(unnamed, [], "controls a screen reader reads without a name")

        # Tab to a button of the window, then Shift+F10: the popup, its last item (About) chosen by key.
        self.desktop.key("Tab")
        self.desktop.key("shift+F10")
        time.sleep(0.5)
        self.desktop.key("Up", "Return")
        about = self.desktop.wait(lambda: (self.desktop.windows_matching(r"^About") or [None])[0], 10,
                                  "the About box from the popup")
        self.desktop.key("Return")
        self.desktop.wait_gone(about)

        # The Transition dialog's option buttons are read inside their group boxes.
        app.press(self.desktop.name(app.main), "Transition")
        title = "Customize default photo and transition"
        dialog = self.desktop.wait_window(title)
        options = []
        pending = [app.accessible_window(title)]
        while pending:
            node = pending.pop(0)
            if node.getRoleName() == "radio button":
                options.append((node.name, node.parent.name))
            pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        self.assertEqual(sorted(options), [("None", "Motion of new photos"), ("Random", "Default Transition"),
                                           ("Random", "Motion of new photos"), ("Same", "Default Transition"),
                                           ("Same", "Motion of new photos"), ("Sequence", "Default Transition")])
        self.desktop.key("Escape")
        self.desktop.wait_gone(dialog)

    def test_a_dark_desktop_theme_keeps_every_caption_readable(self):
        # The main window's captions lie on its own light picture, the About box's on the theme's colour.
        for scheme, dark in ((None, False), ("/usr/share/qt6ct/colors/darker.conf", True)):
            with self.subTest(colour_scheme=scheme):
                app = self.start(colour_scheme=scheme)
                try:
                    unreadable = self.unreadable_captions_of(app, dark)
                    if unreadable:
                        self.fail("captions under 4.5:1:\n" + "\n".join(unreadable))
                finally:
                    app.stop()
                    self.app = None

    def unreadable_captions_of(self, app, dark):
        """The captions of the main window and the About box (opened from its menu) below 4.5:1."""
        shot = self.painted(app.main)
        photos = app.named_node("Kavrel", "Photos", "tree").queryComponent().getExtents(0)
        self.assertEqual(luminance(shot.background((photos.x, photos.y, photos.width, photos.height))) < 0.2, dark,
                         "the photo list in the theme's colours (is qt6ct installed?)")
        unreadable = self.unreadable_captions(shot, app.caption_rectangles("Kavrel", icon_buttons=True))
        menu = app.named_node("Kavrel", "Help", "menu item").queryComponent().getExtents(0)
        self.desktop.click_at(menu.x + menu.width // 2, menu.y + menu.height // 2)
        self.desktop.key("a")
        about = self.painted(self.desktop.wait_window("About"))
        return unreadable + self.unreadable_captions(about, app.caption_rectangles("About"))

    def painted(self, window):
        """What `window` shows once it shows something: a window not painted yet is black."""
        def shot():
            taken = WindowShot(self.desktop, window)
            return taken if any(taken.rgb) else None
        return self.desktop.wait(shot, 10, f"window {window} painted")

    @staticmethod
    def unreadable_captions(shot, captions):
        unreadable = []
        for name, rect in captions:
            measured = caption_contrast(shot, rect)
            if measured is not None and measured[0] < 4.5:
                unreadable.append(f"{name}: {measured[0]:.2f}:1, {measured[2]} on {measured[1]}")
        return unreadable

    def test_orca_speaks_the_name_of_every_control_tab_reaches(self):
        reader = ScreenReader(self.desktop)  # before the program, as a user of a screen reader starts them
        self.addCleanup(reader.close)
        app = self.start()
        reader.wait_quiet()  # the window's announcement
        unspoken = self.tab_stops_spoken_without_their_name(app, reader, "Kavrel")
        app.named_node("Kavrel", "Transition", "push button").queryComponent().grabFocus()
        dialog = "Customize default photo and transition"
        self.desktop.key("space")
        self.desktop.wait_window(dialog)
        reader.wait_quiet()
        unspoken += self.tab_stops_spoken_without_their_name(app, reader, dialog)
        self.assertEqual(unspoken, [])

    def tab_stops_spoken_without_their_name(self, app, reader, window_name):
        """Tabs once round the window: each control it reaches whose name is empty or that Orca does
        not say (a drop-down list with its choice), as "role 'name': what Orca said"."""
        unspoken, seen = [], []
        node = self.desktop.wait(lambda: self.focused_node(app, window_name), 10, f"the focus in {window_name}")
        for _ in range(60):
            mark, before = reader.spoken_count(), self.node_key(node)

            def moved():
                now = self.focused_node(app, window_name)
                return now if now is not None and self.node_key(now) != before else None
            self.desktop.key("Tab")
            node = self.desktop.wait(moved, 10, "the focus to move")
            if self.node_key(node) in seen:
                return unspoken
            seen.append(self.node_key(node))
            # A drop-down list is read with its choice.
            said = [node.name] + ([node.queryText().getText(0, -1)] if node.getRoleName() == "combo box" else [])
            if not node.name or not all(reader.wait_until_said(mark, text) for text in said):
                unspoken.append(f"{node.getRoleName()} '{node.name}': {reader.said_since(mark)}")
        raise AssertionError(f"Tab never came back round {window_name}")

    @staticmethod
    def node_key(node):
        extents = node.queryComponent().getExtents(0)
        return node.getRoleName(), node.name, extents.x, extents.y

    @staticmethod
    def focused_node(app, window_name):
        """The control of `window_name` that has the focus, or None."""
        import pyatspi
        pending = [app.accessible_window(window_name)]
        while pending:
            node = pending.pop(0)
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
            pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
        return None

    def test_files_given_on_the_command_line_open_and_go_to_the_running_program(self):
        photo, music = os.path.join(self.folder, "photo0.png"), os.path.join(self.folder, "tone.wav")
        show = os.path.join(self.folder, "holiday.kavrel")
        render = os.path.join(os.path.dirname(PROGRAM), "kavrel-render")
        subprocess.run([render, "--save-show", show, os.path.join(self.folder, "photo1.png")], check=True,
                       capture_output=True)
        self.app = app = Kavrel(self.desktop, PROGRAM, files=[photo, music])
        self.desktop.wait(lambda: app.list_rows("Music File Name"), 10, "the music in its list")
        self.assertEqual([row[0] for row in app.list_rows("Photo File Name")], ["photo0.png"])
        self.assertEqual(app.list_rows("Music File Name"), [["tone.wav", "3"]])

        self.assertEqual(app.start_again(show), 0, "the second start hands its file over and ends")
        self.answer_save_question("alt+n")  # the lists given first were never saved
        self.desktop.wait(lambda: self.desktop.name(app.main) == "holiday - Kavrel", 10, "the show's name in the caption")
        self.assertEqual([row[0] for row in app.list_rows("Photo File Name")], ["photo1.png"])
        self.assertEqual(app.list_rows("Music File Name"), [])
        self.assertIsNone(app.process.poll())

    @staticmethod
    def complete(path, seconds):
        """The file holds the whole show and no longer grows."""
        try:
            size = os.path.getsize(path)
            time.sleep(0.5)
            return os.path.getsize(path) == size and abs(probe(path)[1] - seconds) < 0.1
        except (OSError, subprocess.CalledProcessError, KeyError, ValueError):
            return False


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--kavrel", required=True)
    args, rest = parser.parse_known_args()
    PROGRAM = os.path.abspath(args.kavrel)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
