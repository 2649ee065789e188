#!/usr/bin/env python3
"""The message-table sources: read them, lay a language's file out beside the English one, check.

Each language has one source, resources/messages/<block>-<Name>.mc. In every language but English
each entry is preceded by the English text it translates, as comment lines ("; " + the English
source line), so a reviewer sees both and a change of the English shows up as a stale comment.

    messages.py layout LANGFILE   rewrite LANGFILE in the English file's order and sections, with
                                  the English comments; entries it lacks get the text TODO
    messages.py fill LANGFILE TEXTS
                                  put the texts of TEXTS into LANGFILE's entries (TEXTS: blocks
                                  "@@2710" + the text lines, as they go into the .mc file)
    messages.py export LANGFILE   print the English texts of LANGFILE's untranslated entries in
                                  the form fill takes, under "##" lines naming their section
    messages.py check [FILES...]  every language has every English id once, no TODO, no empty
                                  text, escapes well formed, English comments current (default:
                                  all sources); exit status 1 and one line per fault otherwise
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.normpath(os.path.join(HERE, '..', '..', 'resources', 'messages'))
ENGLISH = os.path.join(SOURCES, '0409-English.mc')
TODO = 'TODO'


class Source:
    """One .mc file: its header lines (before the first entry), and its entries in order, each
    with the comment lines before it and its text lines."""

    def __init__(self, path):
        self.path = path
        self.header = []
        self.entries = []  # dicts: id, comments, text (list of lines), attrs (list of lines)
        self.language = None
        self._parse()

    def _parse(self):
        with open(self.path, encoding='utf-8') as f:
            lines = f.read().split('\n')
        if lines and lines[-1] == '':
            lines.pop()
        pending = []
        i = 0
        seen_entry = False
        header_done = False  # the header ends with the LanguageNames line
        while i < len(lines):
            line = lines[i]
            if line.startswith('MessageId='):
                seen_entry = True
                entry = {'id': int(line.split('=', 1)[1], 16), 'comments': pending, 'attrs': []}
                pending = []
                i += 1
                while i < len(lines) and not lines[i].startswith('Language='):
                    entry['attrs'].append(lines[i])
                    i += 1
                if i < len(lines):
                    self.language = lines[i].split('=', 1)[1]
                i += 1
                text = []
                while i < len(lines) and lines[i] != '.':
                    text.append(lines[i])
                    i += 1
                entry['text'] = text
                self.entries.append(entry)
                i += 1
                continue
            if not seen_entry and not header_done:
                if line.startswith('LanguageNames='):
                    self.language = re.search(r'\((\w+)=', line).group(1)
                    header_done = True
                self.header.append(line)
            else:
                pending.append(line)
            i += 1

    def by_id(self):
        return {e['id']: e for e in self.entries}


def english_comment(text_lines):
    return ['; ' + line if line else ';' for line in text_lines]


def layout(path):
    english = Source(ENGLISH)
    target = Source(path)
    have = target.by_id()
    language = target.language
    out = list(target.header)
    while out and out[-1] == '':
        out.pop()
    out.append('')
    for entry in english.entries:
        # The English file's section titles, then the English text as comments.
        for line in entry['comments']:
            if line.startswith(';') or line == '':
                out.append(line)
        out.extend(english_comment(entry['text']))
        out.append('MessageId=0x%04X' % entry['id'])
        out.extend(entry['attrs'])
        out.append('Language=' + language)
        own = have.get(entry['id'])
        out.extend(own['text'] if own else [TODO])
        out.append('.')
    while out and out[-1] == '':
        out.pop()
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(out) + '\n')


ESCAPE = re.compile(r'%(.)')


def text_faults(lines):
    faults = []
    joined = '\n'.join(lines)
    if not joined.strip():
        faults.append('empty text')
    if joined.strip() == TODO:
        faults.append('not translated yet')
    for m in ESCAPE.finditer(joined.replace('%%', '')):
        if m.group(1) not in 'r.':
            faults.append('unknown escape %' + m.group(1))
    if joined.replace('%%', '').endswith('%'):
        faults.append('a lone % at the end')
    if any(line.strip() == '.' for line in lines):
        faults.append('a line holding only "."')
    if lines and lines[-1].rstrip().endswith('.') and not lines[-1].rstrip().endswith('%.') \
            and not lines[-1].rstrip().endswith('...'):
        faults.append('a full stop ending the entry must be written %.')
    return faults


def check(paths):
    english = Source(ENGLISH)
    english_ids = [e['id'] for e in english.entries]
    english_by_id = english.by_id()
    faults = []
    for path in paths:
        name = os.path.basename(path)
        source = Source(path)
        ids = [e['id'] for e in source.entries]
        if len(ids) != len(set(ids)):
            faults.append('%s: duplicate ids' % name)
        missing = sorted(set(english_ids) - set(ids))
        extra = sorted(set(ids) - set(english_ids))
        for i in missing:
            faults.append('%s: 0x%04X missing' % (name, i))
        for i in extra:
            faults.append('%s: 0x%04X is not in the English file' % (name, i))
        is_english = os.path.samefile(path, ENGLISH)
        for entry in source.entries:
            for fault in text_faults(entry['text']):
                faults.append('%s: 0x%04X %s' % (name, entry['id'], fault))
            if is_english or entry['id'] not in english_by_id:
                continue
            expected = english_comment(english_by_id[entry['id']]['text'])
            comments = [c for c in entry['comments'] if c.startswith(';')]
            if comments[-len(expected):] != expected:
                faults.append('%s: 0x%04X English comment is not the current English text'
                              % (name, entry['id']))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def export(path):
    target = Source(path).by_id()
    section = printed = None
    for entry in Source(ENGLISH).entries:
        titles = [c for c in entry['comments'] if c.startswith('; ')]
        if titles:
            section = titles[-1]
        own = target.get(entry['id'])
        if own and own['text'] != [TODO]:
            continue
        if section != printed:
            printed = section
            print('##' + section[1:])
        print('@@%04X' % entry['id'])
        print('\n'.join(entry['text']))
    return 0


def fill(path, texts_path):
    with open(texts_path, encoding='utf-8') as f:
        blocks = re.split(r'^@@([0-9A-Fa-f]{4})[ \t]*$', f.read(), flags=re.M)
    texts = {}
    for i in range(1, len(blocks), 2):
        lines = [line for line in blocks[i + 1].strip('\n').split('\n')
                 if not line.startswith('##')]
        texts[int(blocks[i], 16)] = [line.rstrip() for line in lines]
    with open(path, encoding='utf-8') as f:
        content = f.read()
    out = []
    lines = content.split('\n')
    i = 0
    filled = 0
    while i < len(lines):
        line = lines[i]
        out.append(line)
        i += 1
        if not line.startswith('MessageId='):
            continue
        current = int(line.split('=', 1)[1], 16)
        while i < len(lines) and not lines[i].startswith('Language='):
            out.append(lines[i])
            i += 1
        out.append(lines[i])
        i += 1
        old = []
        while i < len(lines) and lines[i] != '.':
            old.append(lines[i])
            i += 1
        if current in texts:
            out.extend(texts[current])
            filled += 1
        else:
            out.extend(old)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(out))
    unknown = sorted(set(texts) - {e['id'] for e in Source(path).entries})
    for i in unknown:
        print('%s: 0x%04X is not an entry of the file' % (os.path.basename(path), i))
    print('%s: %d texts filled' % (os.path.basename(path), filled))
    return 1 if unknown else 0


def main(argv):
    if len(argv) >= 2 and argv[0] == 'layout':
        for path in argv[1:]:
            layout(path)
        return 0
    if len(argv) == 2 and argv[0] == 'export':
        return export(argv[1])
    if len(argv) == 3 and argv[0] == 'fill':
        return fill(argv[1], argv[2])
    if argv and argv[0] == 'check':
        paths = argv[1:] or sorted(os.path.join(SOURCES, n) for n in os.listdir(SOURCES)
                                   if n.endswith('.mc'))
        return check(paths)
    print(__doc__)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
