#!/usr/bin/env python3
"""Copies the engine sources for clang, which only knows UTF-8 execution text.

g++ builds the engine with -fexec-charset=GB18030 so that its UTF-8 literals become GBK bytes;
clang has no such option. Every non-ASCII character inside a string or character literal is
rewritten as octal escapes of its GB18030 bytes (octal, because a hex escape would swallow the
hex digits that follow it), so the clang build holds the same bytes. Comments are left as they are.
"""
import os
import sys


def convert(text):
    out = []
    i, n = 0, len(text)
    state = None  # None, '//', '/*', '"', "'"
    while i < n:
        c = text[i]
        if state is None:
            if text.startswith('//', i):
                state = '//'
                out.append('//')
                i += 2
                continue
            if text.startswith('/*', i):
                state = '/*'
                out.append('/*')
                i += 2
                continue
            if text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
                # Raw strings stay as they are (none of the engine's hold non-ASCII text).
                end_delim = text.index('(', i)
                delim = ')' + text[i + 2:end_delim] + '"'
                j = text.index(delim, end_delim) + len(delim)
                out.append(text[i:j])
                i = j
                continue
            if c in '"\'':
                # A digit separator (1'000) is not a character literal.
                if c == "'" and i > 0 and text[i - 1].isalnum():
                    out.append(c)
                    i += 1
                    continue
                state = c
            out.append(c)
            i += 1
            continue
        if state == '//':
            if c == '\n':
                state = None
            out.append(c)
            i += 1
            continue
        if state == '/*':
            if text.startswith('*/', i):
                state = None
                out.append('*/')
                i += 2
                continue
            out.append(c)
            i += 1
            continue
        # Inside a literal.
        if c == '\\':
            out.append(text[i:i + 2])
            i += 2
            continue
        if c == state or c == '\n':
            state = None
            out.append(c)
            i += 1
            continue
        if ord(c) > 127:
            out.append(''.join('\\%03o' % b for b in c.encode('gb18030')))
        else:
            out.append(c)
        i += 1
    return ''.join(out)


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding='utf-8') as f:
        text = convert(f.read())
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, 'w', encoding='utf-8') as f:
        f.write(text)


if __name__ == '__main__':
    main()
