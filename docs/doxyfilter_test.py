#!/usr/bin/env python3
"""Tests of docs/doxyfilter.py: what Doxygen gets from a header's comments."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import doxyfilter  # noqa: E402

HEADER = '''// zel/x/thing.h — `TThing`, a thing that counts.
//
//   zel::TThing t(nullptr);
//   t.Add(u"a");                // 1
//   Twice(2);                   // 4
//
// Rules:
//   * a \\c b stays text, <#tag> too
//     and this continues the item;
//   * second item.
//
//   name   a table row
//   other  another row <!-- "a\\b" -->
#ifndef ZEL_X_THING_H_
#define ZEL_X_THING_H_

namespace ZEL_EXPORT zel {

enum TMode : uint8_t {
  mdA,  // the first mode
  mdB
};

// Counts and sizes (one comment for the run).
int Count() noexcept;
int Size(int a,
         int b) noexcept;
inline int Twice(int x) {
  // inside a body: no documentation
  return 2 * x;
}

// Alone before one declaration.
void One();

// A free comment, followed by a blank line.

class TThing {
 public:
  explicit TThing(void* owner);

  // Adds `s` (a `@name`).
  int Add(const char16_t* s);
  int Plain();
};

}  // namespace zel
#endif
'''


class FilterTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = doxyfilter.filter_header(HEADER)
        cls.lines = cls.out.split('\n')

    def test_top_comment_becomes_the_file_page(self):
        self.assertEqual(self.lines[:2], ['/// @file', '/// @brief `TThing`, a thing that counts.'])
        text = '\n'.join(self.lines[:30])
        for expected in ['/// @code{.cpp}\n/// zel::TThing t(nullptr);\n/// t.Add(u"a");                // 1\n'
                         '/// Twice(2);                   // 4\n/// @endcode',
                         '/// - a \\\\c b stays text, \\<\\#tag\\> too\n///   and this continues the item;',
                         '/// - second item.',
                         '/// <pre>\n/// name   a table row\n'
                         '/// other  another row \\<!\\-- \\"a\\\\b\\" \\--\\>\n/// </pre>']:
            self.assertIn(expected, text)

    def test_line_structure_of_the_code_is_kept(self):
        def code(lines):
            return [l.split('//')[0] for l in lines if not l.lstrip().startswith('//')]
        self.assertEqual(code(self.lines), code(HEADER.split('\n')))

    def test_declaration_comments(self):
        cases = [
            # (text in the output, present?)
            ('  mdA,  ///< the first mode', True),
            ('///@{\n/// Counts and sizes (one comment for the run).\nint Count() noexcept;', True),
            ('  return 2 * x;\n}\n///@}', True),
            ('  // inside a body: no documentation', True),
            # Members of a group share its comment, even when named above.
            ('}\n/// `Twice`', False),
            ('/// Alone before one declaration.\nvoid One();', True),
            ('///@{\n/// Alone', False),
            ('// A free comment, followed by a blank line.', True),
            ('  /// Adds `s` (a `@name`).\n  int Add(const char16_t* s);', True),
            # Named in the top comment, no comment of its own: points there.
            ('/// `TThing`: see the introduction of zel/x/thing.h.\nclass TThing {', True),
            ('  /// `TThing`: see the introduction of zel/x/thing.h.\n  explicit TThing(void* owner);', True),
            # Neither commented nor named: left for the undocumented check.
            ('  int Add(const char16_t* s);\n  int Plain();', True),
        ]
        for text, present in cases:
            with self.subTest(text=text):
                self.assertEqual(text in self.out, present, self.out)

    def test_literals_do_not_hide_declarations(self):
        # A quote inside a literal, a prefixed character literal or a digit
        # separator must not swallow the braces after it: the declarations
        # below stay at namespace level and get their comments.
        cases = [
            "inline bool IsSep(char16_t c) { return c == u'\\\\' || c == u'/'; }",
            "inline bool IsQuote(wchar_t c) { return c == L'\\'' || c == U'\"'; }",
            "inline char8_t Dot() { return u8'.'; }",
            "inline const char* Brace() { return \"{'\"; }",
            "constexpr int kBig = 1'000'000 + 0xFF'FF + 0b1'0;",
        ]
        for code in cases:
            with self.subTest(code=code):
                out = doxyfilter.filter_header(
                    'namespace zel {\n' + code + '\n// Documented.\nvoid After();\n}\n')
                self.assertIn('/// Documented.\nvoid After();', out)

    def test_one_declaration_of_several_variables_shares_its_comment(self):
        cases = [
            # (declaration, grouped?)
            ('  uint32_t EAX = 0, EBX = 0, ECX = 0;', True),
            ('  int x, y;', True),
            ('  int Sum(int a, int b);', False),
            ('  std::map<int, int> table_;', False),
            ('  int v[2] = {1, 2};', False),
            ('  int One = 1;', False),
        ]
        for code, grouped in cases:
            with self.subTest(code=code):
                out = doxyfilter.filter_header(
                    'namespace zel {\nstruct S {\n  // Shared.\n' + code + '\n};\n}\n')
                self.assertIn('  /// Shared.\n' + code, out)
                self.assertEqual('  ///@{' in out and '  ///@}' in out, grouped, out)

    def test_escaping(self):
        cases = [
            ('a \\c <b> & @x #y 5% $z', 'a \\\\c \\<b\\> \\& \\@x \\#y 5\\% \\$z'),
            ('keep `a\\c<b>` as it is', 'keep `a\\c<b>` as it is'),
            ("an unpaired ` stays text", "an unpaired ' stays text"),
            ('as `::SHA1`', 'as <tt>\\::SHA1</tt>'),
            # Quotes are escaped too, or Doxygen would show the backslashes
            # inside them doubled and read on past a closing quote after one.
            ('"C:\\a\\" and "\\"', '\\"C:\\\\a\\\\\\" and \\"\\\\\\"'),
            ('keep `"a\\b"` in code', 'keep `"a\\b"` in code'),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(doxyfilter.escape_text(text), expected)


if __name__ == '__main__':
    unittest.main()
