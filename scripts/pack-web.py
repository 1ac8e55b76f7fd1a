#!/usr/bin/env python3
"""Packs a magazine folder for the web, beside the viewer's web engine (cmake --preset web &&
cmake --build --preset web builds it in build/web/engine). The page's title is the name of the
magazine's home page, and the page holds every page's words as text for readers without the
viewer (search engines, reader modes, browsers without WebAssembly or script): both read from
the script by the engine's page-words.js under node.

  pack-web.py MAGAZINE_DIR OUT_DIR                 a folder for any static web server:
                                                   index.html, quorvel.js, quorvel.wasm and
                                                   magazine.data (every file of the magazine)
  pack-web.py --single-file MAGAZINE_DIR OUT.html  one page with everything inside, which
                                                   opens from the disk by double-click
"""
import argparse
import base64
import html
import itertools
import json
import pathlib
import shutil
import subprocess
import sys

ENGINE_DEFAULT = pathlib.Path(__file__).resolve().parent.parent / 'build' / 'web' / 'engine'
MAGAZINE_MARK = '<!-- magazine -->'
ENGINE_MARK = '<script src="quorvel.js"></script>'
TITLE_MARK = '<title>quorvel</title>'
WORDS_MARK = '<!-- words -->'


def magazine_files(folder):
    """Every file under folder, as (path with forward slashes, bytes), in name order."""
    files = sorted(p for p in folder.rglob('*') if p.is_file())
    return [(p.relative_to(folder).as_posix(), p.read_bytes()) for p in files]


def script_text(code):
    """JavaScript made safe to stand inside a page's script element."""
    return code.replace('</', '<\\/')


def magazine_words(engine, folder):
    """The home page's index and every page as {name, lines, art: [(first, count, file)]},
    read from the script by the viewer's own reader (the engine's page-words.js under node);
    None when the script does not read."""
    node = shutil.which('node') or shutil.which('nodejs')
    helper = (engine / 'page-words.js').resolve()
    if not node or not helper.is_file():
        return None
    run = subprocess.run([node, str(helper)], cwd=folder, capture_output=True, encoding='utf-8',
                         errors='replace')
    if run.returncode != 0:
        sys.stderr.write(run.stderr)
        return None
    home, pages = 0, []
    for record in run.stdout.split('\n')[:-1]:
        kind, _, rest = record.partition(' ')
        if kind == 'home':
            home = int(rest)
        elif kind == 'page':
            pages.append({'name': rest, 'lines': [], 'art': []})
        elif kind == 'art':
            first, count, file = rest.split(' ', 2)
            pages[-1]['art'].append((int(first), int(count), file))
        elif kind == 'line':
            pages[-1]['lines'].append(rest)
    return home, pages


def words_html(pages):
    """Every page's words as HTML: a section a page, its name as the heading, its lines as
    preformatted text, the lines of an ANSI include as a block labelled with the file's name."""
    out = ['<main id="words" lang="en">']
    for number, page in enumerate(pages):
        out.append(f'<section><h2>{html.escape(page["name"] or f"page {number}")}</h2>')
        art_at = {k: (first, file) for first, count, file in page['art']
                  for k in range(first, first + count)}
        for art, run in itertools.groupby(enumerate(page['lines']), lambda e: art_at.get(e[0])):
            block = '\n'.join(html.escape(line) for _, line in run).strip('\n')
            if art:
                out.append(f'<pre role="img" aria-label="{html.escape(art[1])}">{block}</pre>')
            elif block:
                out.append(f'<pre>{block}</pre>')
        out.append('</section>')
    out.append('</main>')
    return '\n'.join(out)


def page(engine, description, engine_script, title, words):
    template = (engine / 'index.html').read_text(encoding='utf-8')
    if any(mark not in template for mark in (MAGAZINE_MARK, ENGINE_MARK, TITLE_MARK, WORDS_MARK)):
        sys.exit(f'pack-web: {engine / "index.html"} is not the viewer\'s page')
    # guard: names of the magazine's files may hold "</", which would end the script element
    magazine = '<script>window.qvlMagazine = ' + script_text(json.dumps(description)) + ';</script>'
    return (template.replace(MAGAZINE_MARK, magazine).replace(ENGINE_MARK, engine_script)
            .replace(TITLE_MARK, '<title>' + html.escape(title) + '</title>')
            .replace(WORDS_MARK, words))


def main():
    parser = argparse.ArgumentParser(
        description='Packs a magazine folder (the one holding qvl.mag) with the viewer\'s web '
        'engine: a folder that any static web server serves, or with --single-file one HTML '
        'file that opens from the disk.')
    parser.add_argument('magazine', type=pathlib.Path, help='the magazine folder')
    parser.add_argument('output', type=pathlib.Path,
                        help='the folder to write, or the HTML file with --single-file')
    parser.add_argument('--single-file', action='store_true',
                        help='write one self-contained HTML file instead of a folder')
    parser.add_argument('--engine', type=pathlib.Path, default=ENGINE_DEFAULT,
                        help=f'the web engine\'s folder (default {ENGINE_DEFAULT})')
    args = parser.parse_args()

    if not args.magazine.is_dir():
        sys.exit(f'pack-web: {args.magazine} is not a folder')
    # The viewer finds its script whatever the letter case of its name.
    if not any(p.name.lower() == 'qvl.mag' for p in args.magazine.iterdir() if p.is_file()):
        sys.exit(f'pack-web: {args.magazine} holds no qvl.mag')
    wanted = ['quorvel-single.js'] if args.single_file else ['quorvel.js', 'quorvel.wasm']
    for name in wanted + ['index.html']:
        if not (args.engine / name).is_file():
            sys.exit(f'pack-web: no {name} in {args.engine}: build the web engine first '
                     '(cmake --preset web && cmake --build --preset web)')

    read = magazine_words(args.engine, args.magazine)
    title = read[1][read[0]]['name'] if read and read[0] < len(read[1]) else ''
    words = words_html(read[1]) if read else ''
    if not title:
        print('pack-web: no name of a home page in the script; the page is titled "quorvel"',
              file=sys.stderr)
        title = 'quorvel'
    files = magazine_files(args.magazine)
    names = [[name, len(data)] for name, data in files]
    data = b''.join(data for _, data in files)
    if args.single_file:
        description = {'files': names, 'base64': base64.b64encode(data).decode('ascii')}
        code = (args.engine / 'quorvel-single.js').read_text(encoding='utf-8')
        text = page(args.engine, description, '<script>' + script_text(code) + '</script>', title,
                    words)
        args.output.parent.mkdir(parents=True, exist_ok=True)
        args.output.write_text(text, encoding='utf-8')
    else:
        args.output.mkdir(parents=True, exist_ok=True)
        for name in wanted:
            shutil.copyfile(args.engine / name, args.output / name)
        (args.output / 'magazine.data').write_bytes(data)
        text = page(args.engine, {'files': names, 'data': 'magazine.data'}, ENGINE_MARK, title,
                    words)
        (args.output / 'index.html').write_text(text, encoding='utf-8')
    print(f'pack-web: "{title}", {len(files)} files, {len(data)} bytes of magazine in '
          f'{args.output}')


if __name__ == '__main__':
    main()
