#!/usr/bin/env python3
"""Makes the two web outputs from the emscripten build of ui/web:

  mervalin.html   one self-contained page: the WebAssembly (base64), its
                  script, the style, the icon and the diagram all inside, so
                  that it works from a USB stick or an e-mail, with no
                  network;
  FOLDER/         the web app for a server: index.html, mervalin.js,
                  mervalin.wasm, the manifest with the icons, and the service
                  worker that keeps it all for offline use.

The page's title and colour come from the design table (ui/layout.json),
the app's names from the desktop file, the artwork from assets/.

Usage: make_page.py SOURCE_DIR GLUE_JS WASM SINGLE_HTML FOLDER
"""

import base64
import hashlib
import json
import pathlib
import re
import shutil
import sys

# The app's icons: the SVG for any size, and the renderings browsers want
# for tabs, launchers and splash screens.
ICON_SIZES = (32, 128, 256)


def design(source):
    """The caption and the window colour of the design table."""
    table = json.loads((source / "ui/layout.json").read_text(encoding="utf-8"))
    return table["caption"], table["colours"]["Window"]


def desktop_entry(source):
    """The Bulgarian name and comment of the desktop file."""
    entry = {}
    path = source / "packaging/linux/example.mervalin.Mervalin.desktop"
    for line in path.read_text(encoding="utf-8").splitlines():
        key, _, value = line.partition("=")
        entry[key] = value
    return entry["Name[bg]"], entry["Comment[bg]"]


def diagram(source):
    """Picture1's artwork as inline SVG. The one place the page takes it
    from: the reference drawing, without its XML declaration and comments."""
    svg = (source / "assets/diagram.svg").read_text(encoding="utf-8")
    svg = re.sub(r"<\?xml[^>]*\?>", "", svg)
    svg = re.sub(r"<!--.*?-->", "", svg, flags=re.S)
    return re.sub(r">\s+<", "><", svg).strip()


def data_uri(path, kind):
    return f"data:{kind};base64," + base64.b64encode(path.read_bytes()).decode("ascii")


def page(template, caption, head, artwork, script):
    for key, value in (("@CAPTION@", caption), ("@HEAD@", head), ("@DIAGRAM@", artwork),
                       ("@SCRIPT@", script)):
        template = template.replace(key, value)
    return template


def script_element(code):
    if "</script" in code.lower():
        sys.exit("make_page.py: the script holds </script and cannot be inlined")
    return f"<script>{code}</script>"


def main():
    source, glue, wasm, single, folder = (pathlib.Path(arg) for arg in sys.argv[1:6])
    web = source / "ui/web"
    assets = source / "assets"
    template = (web / "page.html").read_text(encoding="utf-8")
    caption, colour = design(source)
    name, comment = desktop_entry(source)
    artwork = diagram(source)
    code = glue.read_text(encoding="utf-8")
    binary = wasm.read_bytes()

    # The single file: the WebAssembly decoded from base64 and handed to the
    # script, which then compiles it at once, before the first paint.
    # Uint8Array.fromBase64 is new (2025); older browsers decode by hand.
    decode = ("var a=\"" + base64.b64encode(binary).decode("ascii") + "\",b;"
              "if(Uint8Array.fromBase64)b=Uint8Array.fromBase64(a);else{var s=atob(a);"
              "b=new Uint8Array(s.length);for(var i=0;i<s.length;i++)b[i]=s.charCodeAt(i)}"
              "var Module={wasmBinary:b};")
    icons = (f'<link rel="icon" type="image/svg+xml" '
             f'href="{data_uri(assets / "icon.svg", "image/svg+xml")}">\n'
             f'<link rel="icon" type="image/png" sizes="32x32" '
             f'href="{data_uri(assets / "icon-32.png", "image/png")}">')
    single.write_text(page(template, caption, icons, artwork,
                           script_element(decode) + "\n" + script_element(code)),
                      encoding="utf-8")

    # The folder: the page fetches the WebAssembly, then runs the script.
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    (folder / "mervalin.js").write_text(code, encoding="utf-8")
    (folder / "mervalin.wasm").write_bytes(binary)
    shutil.copy(assets / "icon.svg", folder / "icon.svg")
    for size in ICON_SIZES:
        shutil.copy(assets / f"icon-{size}.png", folder / f"icon-{size}.png")
    manifest = {
        "name": name,
        "short_name": name,
        "description": comment,
        "lang": "bg",
        "dir": "ltr",
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        "background_color": colour,
        "theme_color": colour,
        "icons": [{"src": f"icon-{size}.png", "sizes": f"{size}x{size}", "type": "image/png"}
                  for size in ICON_SIZES]
                 + [{"src": "icon.svg", "sizes": "any", "type": "image/svg+xml"}],
    }
    (folder / "manifest.webmanifest").write_text(
        json.dumps(manifest, ensure_ascii=False, indent=2) + "\n", encoding="utf-8")
    head = ('<link rel="icon" type="image/svg+xml" href="icon.svg">\n'
            '<link rel="icon" type="image/png" sizes="32x32" href="icon-32.png">\n'
            '<link rel="apple-touch-icon" href="icon-256.png">\n'
            '<link rel="manifest" href="manifest.webmanifest">\n'
            f'<meta name="theme-color" content="{colour}">')
    loader = ('if("serviceWorker"in navigator)navigator.serviceWorker.register("sw.js");'
              'fetch("mervalin.wasm").then(function(r){if(!r.ok)throw new Error(r.status);'
              'return r.arrayBuffer()}).then(function(b){window.Module={wasmBinary:b};'
              'var s=document.createElement("script");s.src="mervalin.js";'
              'document.body.appendChild(s)});')
    (folder / "index.html").write_text(page(template, caption, head, artwork,
                                            script_element(loader)), encoding="utf-8")
    service_worker(web / "sw.js", folder)


def service_worker(template, folder):
    """Writes FOLDER/sw.js from the template: the list of the folder's other
    files, which it keeps, and its cache's name, the digest of those files
    and of the template, which is new for every new build."""
    files = sorted(path.name for path in folder.iterdir() if path.name != "sw.js")
    worker = template.read_text(encoding="utf-8")
    digest = hashlib.sha256(worker.encode())
    for file in files:
        digest.update(file.encode() + b"\0" + (folder / file).read_bytes())
    worker = worker.replace("@DIGEST@", digest.hexdigest()[:16])
    worker = worker.replace("@FILES@", json.dumps(["./"] + files))
    (folder / "sw.js").write_text(worker, encoding="utf-8")


if __name__ == "__main__":
    main()
