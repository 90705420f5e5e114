#!/usr/bin/env python3
"""kuduunzip against archives written at test time by Python's zipfile and Info-ZIP zip:
every member extracts to the bytes Info-ZIP's unzip gives, names that would leave the target
folder are refused, and the exit status follows the members' results.

    kuduunzip_tool_test.py PATH_TO_KUDUUNZIP
"""
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


def sample(rng, size):
    words = [b'plug', b'in', b'editor', b'XHTML', b'\xe4\xf6\xfc', b'\r\n', b'    ', b'<p>', b'</p>']
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words) if rng.random() < 0.8 else bytes([rng.randrange(256)])
    return bytes(out[:size])


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix='kuduunzip-test-')

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def unzip_p(self, archive, name):
        return subprocess.run(['unzip', '-p', archive, name], capture_output=True, check=True).stdout

    def test_extracts_what_infozip_extracts(self):
        rng = random.Random(5)
        sizes = [0, 1, 100, 4095, 4096, 4097, 32768, 32769, 70000, 300000]
        src = os.path.join(self.dir, 'src')
        os.makedirs(os.path.join(src, 'sub', 'deeper'))
        names = []
        for i, size in enumerate(sizes):
            name = os.path.join('sub', 'deeper', 'f%d.bin' % i) if i % 3 == 0 else 'f%d.txt' % i
            with open(os.path.join(src, name), 'wb') as f:
                f.write(sample(rng, size) if i % 4 else os.urandom(size))
            names.append(name)
        archives = []
        for level in ('-0', '-1', '-6', '-9'):  # Info-ZIP zip: stored and deflated at several levels
            archive = os.path.join(self.dir, 'infozip%s.zip' % level)
            subprocess.run(['zip', '-q', '-r', level, archive, '.'], cwd=src, check=True)
            archives.append(archive)
        for level in (1, 9):  # Python's zipfile, through a pipe: data descriptors
            archive = os.path.join(self.dir, 'py%d.zip' % level)
            with open(archive, 'wb') as raw:
                class Stream:  # not seekable, so zipfile writes descriptors
                    def write(self, b): return raw.write(b)
                    def flush(self): raw.flush()
                with zipfile.ZipFile(Stream(), 'w', zipfile.ZIP_DEFLATED, compresslevel=level) as z:
                    for name in names:
                        with open(os.path.join(src, name), 'rb') as f:
                            z.writestr(name, f.read())
            archives.append(archive)
        for archive in archives:
            with self.subTest(archive=os.path.basename(archive)):
                out = os.path.join(self.dir, 'out-' + os.path.basename(archive))
                result = run('-d', out, archive)
                self.assertEqual(result.returncode, 0, result.stdout)
                lines = result.stdout.decode('latin-1').splitlines()
                members = zipfile.ZipFile(archive).namelist()
                self.assertEqual(len(lines), len(members))
                for line, member in zip(lines, members):
                    self.assertEqual(line, '0\t' + member.replace('/', '\\'))
                    if member.endswith('/'):
                        self.assertTrue(os.path.isdir(os.path.join(out, member)))
                        continue
                    with open(os.path.join(out, member), 'rb') as f:
                        self.assertEqual(f.read(), self.unzip_p(archive, member), member)

    def test_names_leaving_the_folder_are_refused(self):
        archive = os.path.join(self.dir, 'escape.zip')
        names = ['../evil.txt', '/abs.txt', 'C:/drive.txt', 'a/../../up.txt', '. ./x', 'ok/..x/fine.txt', 'fine.txt']
        with zipfile.ZipFile(archive, 'w') as z:
            for name in names:
                z.writestr(zipfile.ZipInfo(name), b'data')
        out = os.path.join(self.dir, 'inner', 'out')
        os.makedirs(out)
        result = run('-d', out, archive)
        self.assertEqual(result.returncode, 1)
        codes = [line.split('\t')[0] for line in result.stdout.decode().splitlines()]
        self.assertEqual(codes, ['-2', '-2', '-2', '-2', '-2', '0', '0'])
        self.assertEqual(sorted(os.listdir(out)), ['fine.txt', 'ok'])
        self.assertEqual(os.listdir(os.path.join(self.dir, 'inner')), ['out'])

    def test_list_test_and_usage(self):
        archive = os.path.join(self.dir, 'l.zip')
        with zipfile.ZipFile(archive, 'w') as z:
            z.writestr('a.txt', b'hello hello hello hello', compress_type=zipfile.ZIP_DEFLATED)
            z.writestr('b/', b'')
            info = zipfile.ZipInfo('bad.txt')
            z.writestr(info, b'abc')
        with open(archive, 'rb') as f:
            data = bytearray(f.read())
        data[data.index(b'abc')] ^= 1  # the stored member no longer matches its CRC
        with open(archive, 'wb') as f:
            f.write(data)
        listing = run('-l', archive)
        self.assertEqual(listing.returncode, 0)
        self.assertEqual(listing.stdout.decode().splitlines(),
                         ['8\t%d\t23\ta.txt' % zipfile.ZipFile(archive).getinfo('a.txt').compress_size,
                          '0\t0\t0\tb\\', '0\t3\t3\tbad.txt'])
        tested = run('-t', archive)
        self.assertEqual(tested.returncode, 1)
        self.assertEqual(tested.stdout.decode().splitlines(), ['0\ta.txt', '0\tb\\', '-1\tbad.txt'])
        self.assertEqual(run().returncode, 2)
        self.assertEqual(run('-x', archive).returncode, 2)
        self.assertEqual(run('-l', os.path.join(self.dir, 'missing.zip')).returncode, 1)


if __name__ == '__main__':
    TOOL = sys.argv.pop(1)
    unittest.main()
