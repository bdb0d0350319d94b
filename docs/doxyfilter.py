#!/usr/bin/env python3
"""Doxygen input filter for zel's public headers.

The headers carry plain `//` comments: a top comment that teaches the
header's use, then a comment before each declaration or run of
declarations.  This filter turns them into Doxygen comments on the fly, so
the headers stay as they are:

  * the top comment becomes the file's page (`@file`, its first sentence the
    brief), with indented examples as code blocks and `*` items as lists;
  * a comment right before a declaration documents it (`///`); when the
    comment stands before a run of declarations with no blank line between
    them, the run becomes a member group so that each member gets the
    comment (DISTRIBUTE_GROUP_DOC);
  * a trailing comment on a declaration or an enumerator documents it
    (`///<`);
  * a declaration with no comment of its own whose name the top comment
    uses (the class a header is about, a function its example shows) points
    to the file's page, where it is described.

Text outside code spans is escaped, so `\\c`, `<#tag>`, `@` or `#` in the
prose never read as Doxygen commands.  Line structure is otherwise kept.
Usage: doxyfilter.py FILE (the filtered text goes to standard output), or
doxyfilter.py --stage OUTDIR FILE... (each FILE filtered to OUTDIR/FILE, in
one process: starting Python once per header costs more than the filter).
"""
import os
import re
import sys

# '"' too: Doxygen takes the text between double quotes as it stands, so a
# backslash inside quotes would show doubled after its escape, and one right
# before the closing quote ("C:\") would keep the quoted text open.
_ESCAPES = {'\\': '\\\\', '@': '\\@', '<': '\\<', '>': '\\>', '&': '\\&',
            '#': '\\#', '%': '\\%', '$': '\\$', '"': '\\"'}


def escape_plain(text):
    return ''.join(_ESCAPES.get(ch, ch) for ch in text)


def escape_text(text):
    """Escapes Doxygen's command characters outside `code spans`."""
    parts = text.split('`')
    if len(parts) % 2 == 0:            # an unpaired backtick: escape it too
        parts = [text.replace('`', "'")]
    out = []
    for i, part in enumerate(parts):
        if i % 2:
            # A span that starts with '::' would be taken as a link request.
            out.append('`' + part + '`' if not part.startswith('::')
                       else '<tt>\\::' + escape_plain(part[2:]) + '</tt>')
        else:
            out.append(escape_plain(part))
    return ''.join(out)


def comment_body(line):
    """The text of a `//` comment line, without the marker and one space."""
    body = line.strip()[2:]
    return body[1:] if body.startswith(' ') else body


def indent_of(text):
    return len(text) - len(text.lstrip(' '))


_CPP_HINT = re.compile(r'[(=].*;\s*(//.*)?$|\bzel::|^\s*//|[{}]\s*$|^\s*#include')
_LIST_ITEM = re.compile(r'^(\*|-|\d+\.)\s+')


def render_prose(lines):
    """Renders comment text (marker removed) as Doxygen markdown lines."""
    out = []
    i = 0
    n = len(lines)
    while i < n:
        line = lines[i]
        if not line.strip():
            out.append('')
            i += 1
            continue
        if indent_of(line) < 2:
            out.append(escape_text(line.strip()))
            i += 1
            continue
        # An indented block: a list when it opens with an item marker, else
        # code (examples, layouts, small tables).
        j = i
        while j < n and lines[j].strip() and indent_of(lines[j]) >= 2:
            j += 1
        block = lines[i:j]
        base = min(indent_of(b) for b in block)
        if _LIST_ITEM.match(block[0].strip()):
            if out and out[-1] != '':
                out.append('')
            for b in block:
                stripped = b.strip()
                m = _LIST_ITEM.match(stripped)
                if m and indent_of(b) == base:
                    out.append('- ' + escape_text(stripped[m.end():]))
                else:
                    out.append('  ' + escape_text(stripped))
            out.append('')
        elif any(_CPP_HINT.search(b) for b in block):
            out.append('@code{.cpp}')
            out.extend(b[base:].replace('*/', '* /') for b in block)
            out.append('@endcode')
        else:
            # A table or a layout in words: shown as it stands.
            out.append('<pre>')
            # "--" too: Doxygen would print it as a dash.
            out.extend(escape_plain(b[base:]).replace('--', '\\--') for b in block)
            out.append('</pre>')
        i = j
    return out


def file_page(comment_lines):
    """The `@file` page from a header's top comment."""
    bodies = [comment_body(l) for l in comment_lines]
    # The first paragraph names the file: "zel/x/y.h — what it holds."
    first = []
    while bodies and bodies[0].strip():
        first.append(bodies.pop(0).strip())
    title = ' '.join(first)
    title = re.sub(r'^\S+\.h\s*(—|--|-)\s*', '', title)
    out = ['/// @file', '/// @brief ' + escape_text(title)]
    for line in render_prose(bodies):
        out.append('/// ' + line if line else '///')
    return out


# --- A small lexer: which lines sit where declarations may start ----------

class LineInfo:
    __slots__ = ('depth', 'decl_level', 'stmt_start', 'in_enum', 'code',
                 'comment', 'comment_col', 'pure_comment', 'opens_scope')


def in_number(line, i):
    """Whether position i lies inside a number literal (a digit separator)."""
    j = i
    while j and (line[j - 1].isalnum() or line[j - 1] in "_.'"):
        j -= 1
    return j < i and line[j].isdigit()


def scan(lines):
    """Per line: brace depth and scope kind at its start, whether a new
    statement starts there, and where its `//` comment is."""
    stack = []              # 'scope', 'enum' or 'body' per open brace
    stmt = []               # code text of the statement being read
    in_block = False
    infos = []
    for line in lines:
        info = LineInfo()
        info.depth = len(stack)
        info.decl_level = all(k != 'body' for k in stack)
        info.in_enum = bool(stack) and stack[-1] == 'enum'
        info.stmt_start = not ''.join(stmt).strip() and not in_block
        info.comment = None
        info.comment_col = -1
        code = []
        i = 0
        n = len(line)
        if not in_block and line.lstrip().startswith('#'):
            # A preprocessor line is no part of a statement.
            info.code = line
            info.pure_comment = False
            infos.append(info)
            continue
        while i < n:
            ch = line[i]
            if in_block:
                if line.startswith('*/', i):
                    in_block = False
                    i += 2
                else:
                    i += 1
                continue
            if line.startswith('//', i):
                info.comment = line[i:]
                info.comment_col = i
                break
            if line.startswith('/*', i):
                in_block = True
                i += 2
                continue
            if ch in '"\'':
                # A literal: skip to its closing quote (digit separators
                # such as 1'000 or 0xFF'FF, inside a number, are not quotes;
                # u'x', U'x', L'x' and u8'x' are literals).
                if ch == "'" and in_number(line, i):
                    code.append(ch)
                    stmt.append(ch)
                    i += 1
                    continue
                j = i + 1
                while j < n and line[j] != ch:
                    j += 2 if line[j] == '\\' else 1
                code.append(line[i:j + 1])
                stmt.append(' ')
                i = j + 1
                continue
            code.append(ch)
            if ch == '{':
                text = ''.join(stmt)
                if re.search(r'\benum\b', text):
                    kind = 'enum'
                elif re.search(r'\bnamespace\b|\bextern\b', text):
                    kind = 'scope'
                elif (re.search(r'\b(class|struct|union)\b', text)
                      and '(' not in re.sub(r'<[^<>]*>', '', text)):
                    kind = 'scope'
                else:
                    kind = 'body'
                stack.append(kind)
                stmt = []
            elif ch == '}':
                if stack:
                    stack.pop()
                stmt = []
            elif ch == ';' or (ch == ',' and stack and stack[-1] == 'enum'):
                stmt = []
            else:
                stmt.append(ch)
            i += 1
        stmt.append(' ')
        info.code = ''.join(code)
        stripped = info.code.strip()
        if re.match(r'^(public|private|protected)\s*:$', stripped):
            stmt = []
        info.pure_comment = info.comment is not None and not stripped
        infos.append(info)
    return infos


def is_boundary_stop(line, info, depth):
    """Whether a run of declarations at `depth` ends at this line."""
    if info.depth != depth or not info.stmt_start:
        return info.depth < depth
    stripped = line.strip()
    return (not stripped or info.pure_comment or stripped.startswith('#')
            or stripped.startswith('}')
            or re.match(r'^(public|private|protected)\s*:', stripped) is not None)


_DECL_KEYWORD = re.compile(r'^(?:template\s*<.*>\s*)?(?:class|struct|union|enum(?:\s+class)?)\s+(\w+)')
_USING = re.compile(r'^using\s+(\w+)\s*=')
_FUNCTION = re.compile(r'(~?\w+)\s*\(')
_VARIABLE = re.compile(r'(\w+)\s*(?:\[[^\]]*\]\s*)*(?:=|;|\{)')


def declared_name(code):
    """The name a declaration line introduces, or None."""
    code = code.strip()
    for pattern in (_DECL_KEYWORD, _USING):
        m = pattern.match(code)
        if m:
            return m.group(1)
    if code.startswith(('friend', 'static_assert', 'return', 'namespace')):
        return None
    m = _FUNCTION.search(code)
    if m and 'operator' not in code[:m.start() + len(m.group(1))]:
        name = m.group(1).lstrip('~')
        return None if name in ('explicit', 'noexcept', 'decltype') else name
    m = _VARIABLE.search(code)
    return m.group(1) if m else None


def declarators(code):
    """How many names a one-line variable declaration introduces (the commas
    outside brackets, plus one); 1 for anything else."""
    code = code.strip()
    if not code.endswith(';') or _DECL_KEYWORD.match(code) or _USING.match(code):
        return 1
    depth = 0
    count = 1
    for ch in code:
        if ch in '([{<':
            depth += 1
        elif ch in ')]}>':
            depth -= 1
        elif ch == ',' and depth == 0:
            count += 1
    return count


def names_used(texts):
    """The names a top comment uses as names: in code spans, after `zel::`,
    called in its examples, or identifiers in its prose."""
    names = set()
    for text in texts:
        for span in re.findall(r'`([^`]*)`', text):
            names.update(re.findall(r'\w+', span))
        names.update(re.findall(r'zel::(\w+)', text))
        if text.startswith('  '):
            names.update(re.findall(r'(\w+)\s*\(', text))
        # Identifiers written in the prose: words with a capital inside
        # (TObject, varBoolean, NumEntries), not plain words (Count, value).
        names.update(w for w in re.findall(r'\b\w+\b', text)
                     if re.match(r'^(?:[a-z]+[A-Z]|[A-Z]\w*[A-Z])\w*$', w))
    return names


def filter_header(text):
    lines = text.split('\n')
    out = []
    top = []
    k = 0
    while k < len(lines) and lines[k].lstrip().startswith('//'):
        top.append(lines[k])
        k += 1
    mentioned = set()
    file_name = ''
    if top:
        out.extend(file_page(top))
        file_name = comment_body(top[0]).split()[0]
        mentioned = names_used(comment_body(t) for t in top)
    body = lines[k:]
    infos = scan(body)
    close_after = {}        # line index -> number of '///@}' to emit after it
    group_end = -1          # last line of the member group being written
    i = 0
    n = len(body)
    while i < n:
        line, info = body[i], infos[i]
        if info.pure_comment and info.decl_level:
            # A block of comment lines at one indentation.
            col = info.comment_col
            j = i
            while (j < n and infos[j].pure_comment and infos[j].comment_col == col):
                j += 1
            block = body[i:j]
            target = j if j < n else None
            documents = (target is not None and body[target].strip()
                         and infos[target].decl_level and infos[target].stmt_start
                         and infos[target].depth == info.depth
                         and not body[target].strip().startswith(('#', '}'))
                         and not re.match(r'^(public|private|protected)\s*:',
                                          body[target].strip()))
            if not documents:
                out.extend(block)
                i = j
                continue
            pad = ' ' * col
            texts = [comment_body(b) for b in block]
            texts = [re.sub(r'^-{2,}\s*(.*?)\s*-*$', r'\1', t) for t in texts]
            doc = [pad + ('/// ' + t if t else '///') for t in render_prose(texts)]
            # The run of declarations this comment stands before.
            starts = 0
            end = target
            m = target
            while m < n:
                if m > target and is_boundary_stop(body[m], infos[m], info.depth):
                    break
                if infos[m].depth == info.depth and infos[m].stmt_start and body[m].strip():
                    starts += 1
                end = m
                m += 1
            if starts == 1 and end == target and declarators(infos[target].code) > 1:
                # One declaration of several variables: Doxygen gives a
                # comment to the first only, a group to each.
                starts = 2
            if starts > 1 and not info.in_enum:
                # The members of the run share the comment: none gets a
                # pointer of its own.
                group_end = max(group_end, end)
                out.append(pad + '///@{')
                close_after[end] = close_after.get(end, 0) + 1
                out.extend(doc)
            else:
                out.extend(doc)
            i = j
            continue
        # A trailing comment on a declaration or an enumerator documents it.
        if (info.comment is not None and not info.pure_comment and info.decl_level
                and (info.in_enum or info.code.rstrip().endswith((';', ','))
                     or info.code.rstrip().endswith('{}'))
                and not info.comment.startswith('///')):
            text = comment_body(info.comment)
            line = line[:info.comment_col] + '///< ' + escape_text(text)
        if (info.decl_level and info.stmt_start and not info.pure_comment
                and info.code.strip() and not info.in_enum and i > group_end
                and not (out and out[-1].lstrip().startswith('///'))):
            name = declared_name(info.code)
            if name and name in mentioned:
                out.append(' ' * indent_of(line) + '/// `%s`: see the introduction of %s.'
                           % (name, file_name))
        out.append(line)
        for _ in range(close_after.get(i, 0)):
            out.append(' ' * (indent_of(line)) + '///@}')
        i += 1
    return '\n'.join(out)


def read(path):
    with open(path, encoding='utf-8', errors='surrogateescape') as f:
        return f.read()


def main():
    if sys.argv[1] == '--stage':
        outdir = sys.argv[2]
        for path in sys.argv[3:]:
            target = os.path.join(outdir, path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, 'w', encoding='utf-8', errors='surrogateescape') as f:
                f.write(filter_header(read(path)))
    else:
        sys.stdout.write(filter_header(read(sys.argv[1])))


if __name__ == '__main__':
    main()
