#!/usr/bin/env python3
"""Tests of check_tree.py on small trees made in a temporary directory."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_tree.py")


def run(root, *args):
    env = dict(os.environ, ZEL_TREE_ROOT=root)
    p = subprocess.run([sys.executable, SCRIPT, *args], env=env,
                       capture_output=True, text=True)
    return p.returncode, p.stderr


class TreeTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, rel, text):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def read(self, rel):
        with open(os.path.join(self.root, rel), encoding="utf-8") as f:
            return f.read()

    def check_include_cases(self, check, cases):
        """Each (file, included, problem) in a fresh tree: `check` passes
        when problem is None, else fails naming the problem and the line."""
        for src, inc, problem in cases:
            with self.subTest(src=src, inc=inc):
                self.tmp.cleanup()
                self.tmp = tempfile.TemporaryDirectory()
                self.root = self.tmp.name
                os.makedirs(os.path.join(self.root, "zel"))
                self.write(src, f"#include {inc}\n")
                rc, err = run(self.root, check)
                if problem is None:
                    self.assertEqual((rc, err), (0, ""))
                else:
                    self.assertEqual(rc, 1)
                    self.assertIn(problem, err)
                    self.assertIn(f"{src}:1", err)


class Layers(TreeTest):
    def test_includes(self):
        # (including file, included header, expected problem or None)
        cases = [
            ("zel/streams/a.cpp", "zel/stringl/b.h", None),
            ("zel/streams/a.cpp", "zel/streams/internal/c.h", None),
            ("zel/stringl/a.cpp", "zel/dstruct/b.h", "stringl starts before dstruct"),
            ("zel/zelbase/a.h", "zel/stringl/b.h", "zelbase starts before stringl"),
            ("zel/zelcolors/a.cpp", "zel/stringl/b.h", None),  # the documented exception
            ("zel/dstruct/a.cpp", "zel/graphics/b.h", "never includes graphics"),
            ("zel/graphics/a.cpp", "zel/cpuid/b.h", None),
            ("zel/dstruct/a.h", "zel/dstruct/internal/c.h", "public header includes an internal"),
            ("zel/dstruct/a.cpp", "zel/testutil/t.h", "for tests only"),
            ("zel/dstruct/a_test.cpp", "zel/testutil/t.h", None),
            ("zel/newunit/a.cpp", "zel/platform/b.h", "unknown unit"),
        ]
        self.check_include_cases("layers", [(src, f'"{inc}"', problem) for src, inc, problem in cases])


class Exports(TreeTest):
    HEADER = ("#ifndef A_H_\n#define A_H_\n\n#include <string>\n\n"
              "namespace zel {\nint F();\nnamespace detail {\nint G();\n}  // namespace detail\n"
              "}  // namespace zel\n\n#endif  // A_H_\n")

    def test_plain_openings_are_reported_then_fixed(self):
        self.write("zel/stringl/a.h", self.HEADER)
        self.write("zel/stringl/a_test.cpp", "namespace zel {\n}\n")  # tests are free
        rc, err = run(self.root, "exports")
        self.assertEqual(rc, 1)
        self.assertIn("zel/stringl/a.h:6: write 'namespace ZEL_EXPORT zel {'", err)
        self.assertIn("zel/stringl/a.h:8: write 'namespace ZEL_HIDDEN detail {'", err)
        self.assertNotIn("a_test.cpp", err)

        self.assertEqual(run(self.root, "exports", "--fix")[0], 0)
        text = self.read("zel/stringl/a.h")
        self.assertIn('#include <string>\n\n#include "zel/platform/export.h"\n', text)
        self.assertIn("namespace ZEL_EXPORT zel {\n", text)
        self.assertIn("namespace ZEL_HIDDEN detail {\n", text)
        self.assertEqual(run(self.root, "exports"), (0, ""))

    def test_include_goes_into_the_sorted_zel_group(self):
        self.write("zel/stringl/b.cpp", '#include "zel/stringl/b.h"\n\n#include "zel/platform/string.h"\n'
                   '#include "zel/zelbase/errors.h"\n\nnamespace zel {\n}\n')
        self.assertEqual(run(self.root, "exports", "--fix")[0], 0)
        self.assertIn('#include "zel/platform/export.h"\n#include "zel/platform/string.h"\n',
                      self.read("zel/stringl/b.cpp"))

    def test_nested_namespaces_and_exported_detail_are_refused(self):
        self.write("zel/stringl/c.h", '#include "zel/platform/export.h"\n'
                   "namespace zel::text {\n}\nnamespace ZEL_EXPORT detail {\n}\nnamespace zel::detail {\n}\n")
        rc, err = run(self.root, "exports")
        self.assertEqual(rc, 1)
        self.assertIn("c.h:2: open 'namespace ZEL_EXPORT zel {' and nest 'namespace text {'", err)
        self.assertIn("c.h:4: zel::detail is never exported as a whole", err)
        self.assertNotIn("c.h:6", err)

    def test_exported_declarations_are_reported_then_fixed(self):
        self.write("zel/stringl/internal/e.h", '#include "zel/platform/export.h"\n'
                   "namespace zel::detail {\nZEL_EXPORT int Hook();\nclass ZEL_EXPORT Probe {};\n"
                   "// ZEL_EXPORT in a comment is no declaration\n}\n")
        rc, err = run(self.root, "exports")
        self.assertEqual(rc, 1)
        self.assertIn("e.h:3: only 'namespace ZEL_EXPORT zel {' exports", err)
        self.assertIn("e.h:4: only", err)
        self.assertNotIn("e.h:5", err)
        self.assertEqual(run(self.root, "exports", "--fix")[0], 0)
        self.assertIn("namespace zel::detail {\nint Hook();\nclass Probe {};\n",
                      self.read("zel/stringl/internal/e.h"))
        self.assertEqual(run(self.root, "exports"), (0, ""))

    def test_macro_without_its_header(self):
        self.write("zel/stringl/d.h", "namespace ZEL_EXPORT zel {\n}\n")
        rc, err = run(self.root, "exports")
        self.assertEqual(rc, 1)
        self.assertIn("d.h: uses ZEL_EXPORT/ZEL_HIDDEN without including zel/platform/export.h", err)


class Hosts(TreeTest):
    def test_host_code_sits_in_per_host_files(self):
        # (file, included line, expected problem or None)
        cases = [
            ("zel/platform/a_posix.cpp", "<sys/random.h>", None),
            ("zel/platform/a.cpp", "<sys/random.h>", "<sys/random.h> is posix only"),
            ("zel/platform/a_win32.cpp", "<sys/wait.h>", "<sys/wait.h> is posix only"),
            ("zel/platform/a_win32.cpp", "<windows.h>", None),
            ("zel/filesys/a.cpp", "<windows.h>", "<windows.h> is win32 only"),
            ("tools/zel/a.cpp", "<spawn.h>", "<spawn.h> is posix only"),
            ("zel/platform/a.cpp", "<unistd.h>", None),  # both C runtimes have it
            ("zel/platform/a_test.cpp", "<sys/wait.h>", None),  # tests say per test
            ("zel/testutil/a.h", "<sys/resource.h>", None),
            ("zel/platform/a_posix.cpp", '"zel/platform/internal/b_posix.h"', None),
            ("zel/platform/a_posix_test.cpp", '"zel/platform/internal/b_posix.h"', None),
            ("zel/platform/a.cpp", '"zel/platform/internal/b_posix.h"', "a posix file, from a file for every host"),
            ("zel/platform/a_win32.cpp", '"zel/platform/internal/b_posix.h"', "a posix file, from a file for win32"),
        ]
        self.check_include_cases("hosts", cases)


if __name__ == "__main__":
    unittest.main()
