#!/usr/bin/env python3
"""Tests of check_symbols.py and of cmake/exports.map on small shared
libraries built here with the system's C++ compiler, hidden by default as
the real ones are."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "check_symbols.py")
EXPORTS_MAP = os.path.join(os.path.dirname(HERE), "cmake", "exports.map")
CXX = os.environ.get("CXX") or shutil.which("c++") or shutil.which("g++") or shutil.which("clang++")

SOURCE = """
#include <string>
#define ZEL_EXPORT [[gnu::visibility("default")]]
#define ZEL_HIDDEN [[gnu::visibility("hidden")]]
namespace ZEL_EXPORT zel {
int Api(int x);
struct Shape { virtual ~Shape(); virtual int Corners() const; };
namespace ZEL_HIDDEN detail {
LEAK int Helper(int x) { return x * 2; }
}  // namespace detail
int Api(int x) {
  // Inline functions of std that are no class members keep std's default
  // visibility under -fvisibility-inlines-hidden.
  return detail::Helper(static_cast<int>(std::to_string(x).size()));
}
Shape::~Shape() = default;
int Shape::Corners() const { return 0; }
}  // namespace zel
"""

# The strong symbols; the class's type information and virtual table are
# weak (emitted wherever needed) and not listed.
API = ["zel::Api(int)", "zel::Shape::Corners() const", "zel::Shape::~Shape()"]


def build(folder, leak, version_script):
    """Builds libzel.so from SOURCE in `folder` and returns its path."""
    os.makedirs(folder)
    src = os.path.join(folder, "lib.cpp")
    with open(src, "w") as f:
        f.write(SOURCE.replace("LEAK", "ZEL_EXPORT" if leak else ""))
    lib = os.path.join(folder, "libzel.so")
    cmd = [CXX, "-std=c++20", "-shared", "-fPIC", "-O0", "-fvisibility=hidden",
           "-fvisibility-inlines-hidden", src, "-o", lib]
    if version_script:
        cmd.append("-Wl,--version-script=" + EXPORTS_MAP)
    subprocess.run(cmd, check=True)
    return lib


@unittest.skipIf(CXX is None, "no C++ compiler")
class Symbols(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.clean = build(os.path.join(cls.tmp.name, "clean"), leak=False, version_script=True)
        cls.leaking = build(os.path.join(cls.tmp.name, "leaking"), leak=True, version_script=True)
        cls.unscripted = build(os.path.join(cls.tmp.name, "unscripted"), leak=False, version_script=False)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        self.lists_tmp = tempfile.TemporaryDirectory()
        self.lists = self.lists_tmp.name

    def tearDown(self):
        self.lists_tmp.cleanup()

    def check(self, *args):
        p = subprocess.run([sys.executable, SCRIPT, "--lists", self.lists, *args],
                           capture_output=True, text=True)
        return p.returncode, p.stdout + p.stderr

    def write_list(self, names):
        with open(os.path.join(self.lists, "libzel.txt"), "w") as f:
            f.writelines(n + "\n" for n in names)

    def test_the_api_and_nothing_else_passes(self):
        lib = self.clean
        self.write_list(API)
        self.assertEqual(self.check(lib), (0, ""))

    def test_an_exported_detail_function_fails_even_when_listed(self):
        lib = self.leaking
        self.write_list(API + ["zel::detail::Helper(int)"])
        status, out = self.check(lib)
        self.assertEqual(status, 1)
        self.assertIn("exports an internal symbol: zel::detail::Helper(int)", out)
        # --update refuses to record it.
        status, out = self.check("--update", lib)
        self.assertEqual(status, 1)
        self.assertIn("zel::detail::Helper(int)", out)

    def test_new_and_removed_exports_fail(self):
        lib = self.clean
        self.write_list([n for n in API if n != "zel::Api(int)"] + ["zel::Gone()"])
        status, out = self.check(lib)
        self.assertEqual(status, 1)
        self.assertIn("exported but not in the list: zel::Api(int)", out)
        self.assertIn("in the list but no longer exported: zel::Gone()", out)

    def test_update_writes_the_sorted_list(self):
        lib = self.clean
        status, _ = self.check("--update", os.path.dirname(lib))  # a build directory
        self.assertEqual(status, 0)
        with open(os.path.join(self.lists, "libzel.txt")) as f:
            self.assertEqual(f.read().splitlines(), sorted(API))
        self.assertEqual(self.check(lib)[0], 0)

    def test_the_version_script_keeps_standard_templates_local(self):
        # Without it the library exports its copy of std::to_string.
        lib = self.unscripted
        self.write_list(API)
        status, out = self.check(lib)
        self.assertEqual(status, 1)
        self.assertIn("exports a symbol outside namespace zel: std::", out)


if __name__ == "__main__":
    unittest.main()
