#!/usr/bin/env python3
# package_test.py: the release packages as a player gets them.
#
#   package_test.py linux ARCHIVE WORK_DIR     unpacks the tarball, starts its launcher
#                                              from another folder on a virtual display
#   package_test.py windows ARCHIVE WORK_DIR   unpacks the zip, starts quadrill.exe
#                                              under Wine from another folder
#   package_test.py imports ARCHIVE WORK_DIR   reads the import table of the zip's quadrill.exe
#   package_test.py resources ARCHIVE WORK_DIR reads the icon and version of the zip's quadrill.exe
#   package_test.py deb PACKAGE WORK_DIR       checks the .deb with lintian, unpacks it with
#                                              dpkg-deb -x and plays it from another folder
#
# A run must find its textures (no failure box), end on Escape with the
# closing box "Box Count: 10", and exit with 0. Exits 77 (skipped) when a
# tool is missing.
import glob
import gzip
import os
import re
import shutil
import signal
import subprocess
import sys
import tarfile
import xml.etree.ElementTree as ElementTree
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import pe_resources  # noqa: E402
import processes  # noqa: E402
import wine  # noqa: E402
import xvfb  # noqa: E402

SKIP = 77
WINDOW_TITLE = "Quadrill by Harnwick"
END_CAPTION = "End"
END_TEXT = "Box Count: 10"
FAILURE_CAPTIONS = ("Error", "ERROR!", "error!")
# What every Windows 10 and 11 has; the game must import nothing else.
SYSTEM_DLLS = {"d3d9.dll", "user32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "winmm.dll", "ole32.dll",
               "oleaut32.dll", "windowscodecs.dll", "shell32.dll"}
OBJDUMP = "x86_64-w64-mingw32-objdump"
ICON = os.path.join(HERE, "..", "..", "packaging", "icons", "quadrill.ico")
DEB_TOOLS = ("dpkg-deb", "lintian", "appstreamcli", "desktop-file-validate", "objdump")

WINDOW_TIMEOUT = 90
DRAW_TIMEOUT = 90
# The middle of the window, clear of any frame; a drawn arena has many colours.
CLIENT_AREA = (100, 120, 600, 400)
MIN_COLOURS = 100
BOX_TIMEOUT = 30
EXIT_TIMEOUT = 30


class PackageFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise PackageFailure(message)


def fresh_folder(work, name):
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def unpack(archive, work):
    """Unpacks into a fresh folder and returns the one folder the archive holds."""
    target = fresh_folder(work, "unpacked")
    if archive.endswith(".zip"):
        with zipfile.ZipFile(archive) as z:
            z.extractall(target)
    else:
        with tarfile.open(archive) as t:
            # Older Pythons have no extraction filters; the archive is our own.
            if hasattr(tarfile, "tar_filter"):
                t.extractall(target, filter="tar")
            else:
                t.extractall(target)
    top = os.listdir(target)
    check(len(top) == 1, f"{archive} should hold one folder, holds {top}")
    folder = os.path.join(target, top[0])
    check(os.path.isfile(os.path.join(folder, "README.txt")), "the package has no README.txt")
    for texture in ("crate.jpg", "ground.jpg", "brick.jpg"):
        check(os.path.isfile(os.path.join(folder, "textures", texture)), f"the package has no textures/{texture}")
    return folder


def drawn(display, window):
    """Whether the game has drawn its first picture: start-up, textures and
    all, is over by then."""
    return display.capture(window).crop(*CLIENT_AREA).stats()["colours"] > MIN_COLOURS


def play_until_escape(display, game, failure_boxes):
    """The part both systems share: the window, no failure box, Escape."""
    window = display.wait_for_window(WINDOW_TITLE, WINDOW_TIMEOUT, game.alive)
    # A failure box holds start-up up: wait for either.
    xvfb.wait_until(lambda: failure_boxes() or drawn(display, window), DRAW_TIMEOUT, "the first picture",
                    game.alive)
    shown = failure_boxes()
    check(not shown, f"the game showed failure boxes: {shown}")
    display.key("Escape", window)


def version_of(package):
    """The version in a package's file name: quadrill-1.2.3-... or quadrill_1.2.3_..."""
    found = re.match(r"quadrill[-_](\d+(?:\.\d+)+)[-_]", os.path.basename(package))
    check(found, f"no version in the name {os.path.basename(package)}")
    return found.group(1)


def oldest_glibc(binary):
    """The newest GLIBC_x.y symbol version a binary asks for."""
    out = processes.run_step(["objdump", "-T", binary], 60, "reading the dynamic symbols")
    versions = {tuple(int(n) for n in v.split(".")) for v in re.findall(r"GLIBC_(\d+(?:\.\d+)+)", out)}
    check(versions, f"{binary} asks for no glibc symbol version")
    return ".".join(str(n) for n in max(versions))


def run_linux(archive, work):
    missing = xvfb.missing_tools() + ([] if shutil.which("objdump") else ["objdump"])
    if missing:
        return f"missing {', '.join(missing)}"
    folder = unpack(archive, work)
    with open(os.path.join(folder, "README.txt")) as f:
        readme = f.read()
    glibc = oldest_glibc(os.path.join(folder, "bin", "quadrill"))
    check(f"It needs glibc {glibc} or newer" in readme, f"the README should name glibc {glibc}:\n{readme}")
    play_linux(os.path.join(folder, "quadrill"), work)
    return None


def play_linux(program, work):
    """Starts the program from a fresh folder with no textures/ on a virtual display."""
    elsewhere = fresh_folder(work, "elsewhere")
    with xvfb.VirtualDisplay() as display:
        env = display.env()
        env.pop("SDL_VIDEODRIVER", None)
        game = processes.Program([program], elsewhere, env,
                                 os.path.join(work, "stdout.txt"), os.path.join(work, "stderr.txt"))
        try:
            # Every message box is also a "CAPTION: TEXT" line on standard error.
            def failure_lines():
                return [line for line in game.errors().splitlines()
                        if any(line.startswith(c + ": ") for c in FAILURE_CAPTIONS) or line.startswith("texture ")]
            play_until_escape(display, game, failure_lines)
            xvfb.wait_until(lambda: f"{END_CAPTION}: " in game.errors(), BOX_TIMEOUT, "the closing box", game.alive)
            ends = [line for line in game.errors().splitlines() if line.startswith(f"{END_CAPTION}: ")]
            check(ends == [f"{END_CAPTION}: {END_TEXT}"], f"the closing box said {ends}")
            box = display.wait_for_window(END_CAPTION, BOX_TIMEOUT, game.alive)
            display.key("Return", box)
            code = game.wait(EXIT_TIMEOUT)
            check(code == 0, f"the game exited with {code}")
        except BaseException:
            print(f"output of the game:\n{game.errors()}", flush=True)
            raise
        finally:
            game.kill()


def run_deb(package, work):
    missing = xvfb.missing_tools() + [t for t in DEB_TOOLS if shutil.which(t) is None]
    if missing:
        return f"missing {', '.join(missing)}"
    version = version_of(package)
    # Errors fail; warnings and notes are printed, for the release notes.
    tags = processes.run_step(["lintian", "--fail-on", "error", "--display-info", "--pedantic", package], 600, "lintian")
    print(f"lintian:\n{tags}", flush=True)
    control = processes.run_step(["dpkg-deb", "--field", package, "Version", "Depends"], 60, "dpkg-deb --field")
    print(control, flush=True)
    check(f"Version: {version}" in control, f"the package's version should be {version}")
    # Computed from the binary's libraries, not only the ones it loads at run time.
    check(re.search(r"libc6 \(>= [\d.]+\)", control) and "libsdl2-2.0-0" in control,
          "Depends should name the libraries the binary links")

    root = fresh_folder(work, "unpacked")
    processes.run_step(["dpkg-deb", "-x", package, root], 60, "dpkg-deb -x")
    usr = os.path.join(root, "usr")
    for texture in ("crate.jpg", "ground.jpg", "brick.jpg"):
        check(os.path.isfile(os.path.join(usr, "share", "games", "quadrill", "textures", texture)),
              f"the package has no /usr/share/games/quadrill/textures/{texture}")
    for side in (48, 256):
        check(os.path.isfile(os.path.join(usr, "share", "icons", "hicolor", f"{side}x{side}", "apps", "quadrill.png")),
              f"the package has no {side}x{side} icon")
    check(os.path.isfile(os.path.join(usr, "share", "man", "man6", "quadrill.6.gz")), "the package has no manual page")
    processes.run_step(["desktop-file-validate", os.path.join(usr, "share", "applications", "quadrill.desktop")],
                       60, "desktop-file-validate")
    metainfo = glob.glob(os.path.join(usr, "share", "metainfo", "*.metainfo.xml"))
    check(len(metainfo) == 1, f"the package should hold one metainfo file, holds {metainfo}")
    processes.run_step(["appstreamcli", "validate", "--no-net", metainfo[0]], 120, "appstreamcli validate")

    # Release notes come with each version: the newest entry of each is this one.
    releases = ElementTree.parse(metainfo[0]).getroot().findall("releases/release")
    check(releases and releases[0].get("version") == version,
          f"the metainfo's newest release should be {version}, is {releases[0].get('version') if releases else None}")
    with gzip.open(os.path.join(usr, "share", "doc", "quadrill", "changelog.gz"), "rt") as f:
        first = f.readline()
    check(first.startswith(f"quadrill ({version})"), f"the changelog's newest entry should be {version}: {first}")

    play_linux(os.path.join(usr, "games", "quadrill"), work)
    return None


def run_windows(archive, work):
    missing = wine.missing_tools()
    if missing:
        return f"missing {', '.join(missing)}"
    folder = unpack(archive, work)
    elsewhere = fresh_folder(work, "elsewhere")
    # The prefix is shared with the Wine smoke test's, made once.
    prefix_work = os.path.join(os.path.dirname(os.path.abspath(work)), "windows-smoke")
    window_text = wine.build_window_text(prefix_work)
    with xvfb.VirtualDisplay() as display:
        prefix = wine.ensure_prefix(prefix_work, display)
        env = wine.env(display, prefix)
        game = processes.Program(["wine", os.path.join(folder, "quadrill.exe")], elsewhere, env,
                                 os.path.join(work, "output.txt"))
        try:
            play_until_escape(display, game,
                              lambda: [c for c in FAILURE_CAPTIONS if display.find_window(c) is not None])
            box = display.wait_for_window(END_CAPTION, BOX_TIMEOUT, game.alive)
            texts = wine.window_texts(env, window_text, END_CAPTION)
            check(END_TEXT in texts, f'the closing box says {texts}, expected "{END_TEXT}"')
            display.key("Return", box)
            code = game.wait(EXIT_TIMEOUT)
            check(code == 0, f"the game exited with {code}")
        except BaseException:
            print(f"output of the game:\n{game.output()}", flush=True)
            raise
        finally:
            game.kill()
            wine.stop_wineserver(env, wait=True)
    return None


def imported_dlls(exe):
    out = processes.run_step([OBJDUMP, "-p", exe], 60, "reading the import table")
    return sorted({m.group(1) for m in re.finditer(r"^\s*DLL Name:\s*(\S+)", out, re.MULTILINE)})


def run_imports(archive, work):
    if shutil.which(OBJDUMP) is None:
        return f"missing {OBJDUMP}"
    exe = os.path.join(unpack(archive, work), "quadrill.exe")
    dlls = imported_dlls(exe)
    print(f"quadrill.exe imports: {', '.join(dlls)}", flush=True)
    check(dlls, "no imports read: is it a Windows executable?")
    others = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    check(not others, f"quadrill.exe needs DLLs that Windows does not have: {others}")
    return None


def run_resources(archive, work):
    exe = os.path.join(unpack(archive, work), "quadrill.exe")
    version = version_of(archive)
    found = pe_resources.resources(exe)
    # The first group icon is the one Explorer shows: every image of our .ico, unchanged.
    groups = sorted(ident for kind, ident in found if kind == pe_resources.RT_GROUP_ICON)
    check(groups, "quadrill.exe has no icon")
    members = pe_resources.icon_group(found, groups[0])
    ico = pe_resources.ico_images(ICON)
    check(sorted(m[0] for m in members) == sorted(ico), f"the exe's icon has sizes {[m[0] for m in members]}")
    for side, _, bits, ident in members:
        check(found.get((pe_resources.RT_ICON, ident)) == ico[side], f"the exe's {side}-pixel icon is not ours")
        check(bits == 32, f"the {side}-pixel icon has {bits} bits per pixel")
    file_version, product_version, strings = pe_resources.version_info(found)
    print(f"quadrill.exe: {file_version}, {strings}", flush=True)
    check(file_version == product_version == f"{version}.0", f"the exe's version is {file_version}, not {version}")
    for name, expected in (("ProductName", "Quadrill"), ("ProductVersion", version), ("FileVersion", version),
                           ("OriginalFilename", "quadrill.exe")):
        check(strings.get(name) == expected, f"the exe's {name} is {strings.get(name)!r}, not {expected!r}")
    check(strings.get("FileDescription") and strings.get("Comments"), "the exe does not say what it is")
    return None


MODES = {"linux": run_linux, "windows": run_windows, "imports": run_imports, "resources": run_resources,
         "deb": run_deb}


def main():
    # A timed-out ctest run sends SIGTERM: leave through the clean-up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    if len(sys.argv) != 4 or sys.argv[1] not in MODES:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(MODES)} ARCHIVE WORK_DIR")
    mode, archive, work = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    os.makedirs(work, exist_ok=True)
    try:
        skipped = MODES[mode](archive, work)
    except (PackageFailure, pe_resources.PeError, processes.ProgramError, xvfb.DisplayError, OSError,
            subprocess.SubprocessError) as e:
        print(f"FAILED: {e}\n0 passed, 1 failed", flush=True)
        return 1
    if skipped:
        print(f"skipped: {skipped} (scripts/bootstrap test installs it)")
        return SKIP
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
