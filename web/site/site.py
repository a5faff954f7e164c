"""Makes the site to host from the page: index.html (the page, with its
manifest, icons and worker named), the web app manifest, the icons from
icon.svg, and the service worker that keeps them all for offline use.

    site.py PAGE VERSION RSVG_CONVERT OUT_DIR
"""
import hashlib
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
COLOUR = "#0c0c0c"  # the console's black, as the page's own background
# name, size, purpose; a launcher crops a maskable icon to its own shape,
# so that one has a margin of the background around the picture.
ICONS = [("icon-192.png", 192, "any"), ("icon-512.png", 512, "any"),
         ("icon-maskable-512.png", 512, "maskable"), ("apple-touch-icon.png", 180, "any")]
# The start of the name of the cache in which the worker keeps a shared
# picture for the page (the site's address ends it); both read it from here.
SHARED = "kadrimo shared "
# A page from disk may not fetch a manifest (the browser says so on its
# console), so only the served site names its own.
HEAD = """<script>if (location.protocol !== "file:") document.head.append(Object.assign(
  document.createElement("link"), {{ rel: "manifest", href: "manifest.webmanifest" }}));</script>
<link rel="icon" href="icon-192.png" type="image/png">
<link rel="apple-touch-icon" href="apple-touch-icon.png">
<meta name="theme-color" content="{colour}">
<meta name="apple-mobile-web-app-title" content="kadrimo">
<meta name="apple-mobile-web-app-status-bar-style" content="black-translucent">
<meta name="kadrimo-shared" content="{shared}">
"""


def replace_once(text, old, new):
    if text.count(old) != 1:
        sys.exit(f"site.py: the page does not hold {old!r} once")
    return text.replace(old, new)


def index(page):
    """The page as the site's: it may load its icons and manifest and start
    its worker from its own origin, and nothing else besides."""
    page = replace_once(page, "img-src data:",
                        "img-src 'self' data:; manifest-src 'self'; worker-src 'self'")
    page = replace_once(page, '<link rel="icon" href="data:,">\n', "")
    return replace_once(page, "<title>", HEAD.format(colour=COLOUR, shared=SHARED) + "<title>")


def icon(rsvg_convert, out, name, size, purpose):
    source = os.path.join(HERE, "icon.svg")
    frame = []
    if purpose == "maskable":
        inner = size * 4 // 5
        frame = ["--page-width", str(size), "--page-height", str(size),
                 "--left", str((size - inner) // 2), "--top", str((size - inner) // 2),
                 "-b", COLOUR]
        size_options = ["-w", str(inner), "-h", str(inner)]
    else:
        size_options = ["-w", str(size), "-h", str(size)]
    subprocess.run([rsvg_convert, *size_options, *frame, "-o", os.path.join(out, name), source],
                   check=True)


def manifest(page):
    description = re.search(r'<meta name="description" content="([^"]*)">', page).group(1)
    return json.dumps({
        "id": "./", "name": "kadrimo", "short_name": "kadrimo", "description": description,
        "lang": "ja", "dir": "ltr", "start_url": "./", "scope": "./", "display": "standalone",
        "theme_color": COLOUR, "background_color": COLOUR,
        # A picture shared from a gallery opens the site with it (sw.js).
        "share_target": {"action": "./share", "method": "POST", "enctype": "multipart/form-data",
                         "params": {"files": [{"name": "picture", "accept": ["image/*"]}]}},
        "icons": [{"src": name, "sizes": f"{size}x{size}", "type": "image/png", "purpose": purpose}
                  for name, size, purpose in ICONS if name.startswith("icon-")],
    }, ensure_ascii=False, indent=2) + "\n"


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    page_file, version, rsvg_convert, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    with open(page_file, encoding="utf-8") as source:
        page = source.read()
    files = {"index.html": index(page), "manifest.webmanifest": manifest(page)}
    for name, text in files.items():
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as target:
            target.write(text)
    for name, size, purpose in ICONS:
        icon(rsvg_convert, out, name, size, purpose)
        files[name] = None
    # The cache is named after every byte it keeps, so a build that changes
    # one is a new cache and a new worker.
    digest = hashlib.sha256()
    for name in sorted(files):
        with open(os.path.join(out, name), "rb") as kept:
            digest.update(name.encode() + b"\0" + kept.read() + b"\0")
    with open(os.path.join(HERE, "sw.js"), encoding="utf-8") as source:
        worker = source.read()
    worker = replace_once(worker, '"@BUILD@"', json.dumps(f"{version} {digest.hexdigest()[:16]}"))
    worker = replace_once(worker, '["@FILES@"]', json.dumps(["./", *sorted(files)]))
    worker = replace_once(worker, '"@SHARED@"', json.dumps(SHARED))
    with open(os.path.join(out, "sw.js"), "w", encoding="utf-8", newline="\n") as target:
        target.write(worker)


if __name__ == "__main__":
    main()
