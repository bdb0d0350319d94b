#!/usr/bin/env python3
"""Tests of docs/check_docs.py: which warning logs fail the doc build."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'check_docs.py')
UNDOC_F = '/x/docs-src/zel/a/f.h:3: warning: Member F(int x) (function) of namespace zel is not documented.'
UNDOC_C = '/x/docs-src/zel/a/c.h:9: warning: Compound zel::TC is not documented.'
LISTED = 'zel/a/f.h: function F(int x) in namespace zel\nzel/a/c.h: class zel::TC\n'


class CheckDocsTest(unittest.TestCase):
    def run_check(self, log, listed):
        with tempfile.TemporaryDirectory() as d:
            log_path, list_path = os.path.join(d, 'log'), os.path.join(d, 'list')
            with open(log_path, 'w') as f:
                f.write(log)
            with open(list_path, 'w') as f:
                f.write(listed)
            proc = subprocess.run([sys.executable, CHECK, log_path, list_path], capture_output=True, text=True)
            return proc.returncode, proc.stdout

    def test_outcomes(self):
        cases = [
            # (log, listed names, exit status, text in the report)
            ('', '', 0, '0 public names still without a comment'),
            (UNDOC_F + '\n' + UNDOC_C + '\n', LISTED, 0, '2 public names still without a comment'),
            (UNDOC_F + '\n', '', 1, 'undocumented public name: zel/a/f.h: function F(int x)'),
            (UNDOC_F + '\n', LISTED, 1, 'documented now, remove from'),
            ('/x/a.h:1: warning: unexpected command endcode\n', '', 1, 'docs warning:'),
        ]
        for log, listed, status, text in cases:
            with self.subTest(log=log, listed=listed):
                code, out = self.run_check(log, listed)
                self.assertEqual(code, status, out)
                self.assertIn(text, out)


if __name__ == '__main__':
    unittest.main()
