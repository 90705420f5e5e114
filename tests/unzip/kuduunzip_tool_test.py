#!/usr/bin/env python3
"""kuduunzip on archives written at test time: members that Info-ZIP zip wrote extract to what
Info-ZIP's unzip gives (data descriptors are the fixtures' business), names that would leave
the target folder are refused, and the exit status follows the members' results.
Usage: kuduunzip_tool_test.py KUDUUNZIP"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

TOOL = None


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True)


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix='kuduunzip-test-')
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def test_extracts_what_infozip_extracts(self):
        rng = random.Random(5)
        words = [b'plug', b'in', b'editor', b'XHTML', b'\xe4\xf6\xfc', b'\r\n', b'    ', b'<p>', b'</p>']
        os.makedirs(self.path('src', 'sub', 'deeper'))
        for i, size in enumerate([0, 1, 100, 4095, 4096, 4097, 32768, 32769, 70000, 300000]):
            name = os.path.join('sub', 'deeper', 'f%d.bin' % i) if i % 3 == 0 else 'f%d.txt' % i
            text = b''.join(rng.choice(words) if rng.random() < 0.8 else bytes([rng.randrange(256)]) for _ in range(size))
            with open(self.path('src', name), 'wb') as f:
                f.write(text[:size] if i % 4 else os.urandom(size))
        for level in ('-0', '-1', '-6', '-9'):  # Info-ZIP zip: stored and deflated at several levels
            archive, out = self.path('infozip%s.zip' % level), self.path('out' + level)
            subprocess.run(['zip', '-q', '-r', level, archive, '.'], cwd=self.path('src'), check=True)
            with self.subTest(level=level):
                result = run('-d', out, archive)
                self.assertEqual(result.returncode, 0, result.stdout)
                members = zipfile.ZipFile(archive).namelist()
                self.assertEqual(result.stdout.decode('latin-1').splitlines(),
                                 ['0\t' + member.replace('/', '\\') for member in members])
                for member in members:
                    if member.endswith('/'):
                        self.assertTrue(os.path.isdir(os.path.join(out, member)))
                        continue
                    with open(os.path.join(out, member), 'rb') as f:
                        expected = subprocess.run(['unzip', '-p', archive, member], capture_output=True, check=True)
                        self.assertEqual(f.read(), expected.stdout, member)

    def test_list_test_extract_and_usage(self):
        archive = self.path('l.zip')
        with zipfile.ZipFile(archive, 'w') as z:
            z.writestr('a.txt', b'hello hello hello hello', compress_type=zipfile.ZIP_DEFLATED)
            z.writestr('b/', b'')
            for name in ['bad.txt', '../evil.txt', '/abs.txt', 'C:/drive.txt', 'a/../../up.txt', '. ./x', 'ok/..x/y']:
                z.writestr(name, b'abc')
        with open(archive, 'rb') as f:
            data = bytearray(f.read())
        data[data.index(b'abc')] ^= 1  # bad.txt no longer matches its CRC
        with open(archive, 'wb') as f:
            f.write(data)
        listing = run('-l', archive)
        self.assertEqual(listing.returncode, 0)
        self.assertEqual(listing.stdout.decode().splitlines()[:3],
                         ['8\t%d\t23\ta.txt' % zipfile.ZipFile(archive).getinfo('a.txt').compress_size,
                          '0\t0\t0\tb\\', '0\t3\t3\tbad.txt'])
        # Names that would leave the folder are not written: -2.
        expected = ['0\ta.txt', '0\tb\\', '-1\tbad.txt', '-2\t..\\evil.txt', '-2\t\\abs.txt', '-2\tC:\\drive.txt',
                    '-2\ta\\..\\..\\up.txt', '-2\t. .\\x', '0\tok\\..x\\y']
        os.makedirs(self.path('inner', 'out'))
        for result in run('-t', archive), run('-d', self.path('inner', 'out'), archive):
            self.assertEqual(result.returncode, 1)
            self.assertEqual(result.stdout.decode().splitlines(), expected)
        self.assertEqual(sorted(os.listdir(self.path('inner', 'out'))), ['a.txt', 'b', 'ok'])
        self.assertEqual(os.listdir(self.path('inner')), ['out'])
        self.assertEqual(run().returncode, 2)
        self.assertEqual(run('-x', archive).returncode, 2)
        self.assertEqual(run('-l', self.path('missing.zip')).returncode, 1)


if __name__ == '__main__':
    TOOL = sys.argv.pop(1)
    unittest.main()
