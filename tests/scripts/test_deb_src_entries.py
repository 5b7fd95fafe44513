"""deb-src entries derived from the machine's own apt sources."""

import os
import subprocess
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
SCRIPT = os.path.join(ROOT, 'tools', 'deb-src-entries.sh')


def stanzas(text):
    """The printed stanzas as dictionaries of their fields."""
    result = []
    for block in text.strip().split('\n\n'):
        if not block.strip():
            continue
        fields, last = {}, None
        for line in block.split('\n'):
            if line[:1] in (' ', '\t'):
                fields[last] += '\n' + line
            else:
                last, value = line.split(':', 1)
                fields[last] = value.strip()
        result.append(fields)
    return result


class DebSrcEntries(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def write(self, name, text):
        path = os.path.join(self.dir.name, name)
        with open(path, 'w') as f:
            f.write(text)
        return path

    def entries(self, suite, *paths):
        run = subprocess.run([SCRIPT, suite, *paths], capture_output=True, text=True, check=True)
        return stanzas(run.stdout)

    def test_deb822_stanzas_of_the_suite_are_mirrored_with_their_keys(self):
        path = self.write('mirror.sources', (
            'Types: deb\n'
            '# a comment inside the stanza\n'
            'URIs: http://mirror.example/archive\n'
            'Suites: vega vega-updates\n'
            'Components: main contrib\n'
            'Signed-By: /usr/share/keyrings/vega.gpg\n'
            '\n'
            'Types: deb\n'
            'URIs: http://security.example/archive-security\n'
            'Suites: vega-security\n'
            'Components: main\n'))
        self.assertEqual(self.entries('vega', path), [{
            'Types': 'deb-src', 'URIs': 'http://mirror.example/archive', 'Suites': 'vega',
            'Components': 'main contrib', 'Signed-By': '/usr/share/keyrings/vega.gpg'}])

    def test_disabled_stanzas_source_stanzas_and_other_suites_are_left_out(self):
        path = self.write('other.sources', (
            'Types: deb\nURIs: http://off.example/a\nSuites: vega\nComponents: main\nEnabled: no\n\n'
            'Types: deb-src\nURIs: http://src.example/a\nSuites: vega\nComponents: main\n\n'
            'Types: deb\nURIs: http://third.example/a\nSuites: nodistro\nComponents: main\n'))
        self.assertEqual(self.entries('vega', path), [])

    def test_embedded_keys_keep_their_continuation_lines(self):
        path = self.write('inline.sources', (
            'Types: deb deb-src\nURIs: http://mirror.example/a\nSuites: vega\nComponents: main\n'
            'Signed-By:\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n .\n abc\n'))
        [entry] = self.entries('vega', path)
        self.assertEqual(entry['Signed-By'], '\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n .\n abc')

    def test_one_line_entries_keep_uri_components_and_signing_key(self):
        path = self.write('sources.list', (
            '# deb http://commented.example/a vega main\n'
            'deb [arch=amd64 signed-by=/etc/keys/vega.gpg] http://mirror.example/a vega main non-free  \n'
            'deb-src http://mirror.example/a vega main\n'
            'deb http://mirror.example/a vega-updates main\n'
            '   deb http://second.example/b vega main # trailing comment\n'))
        self.assertEqual(self.entries('vega', path), [
            {'Types': 'deb-src', 'URIs': 'http://mirror.example/a', 'Suites': 'vega',
             'Components': 'main non-free', 'Signed-By': '/etc/keys/vega.gpg'},
            {'Types': 'deb-src', 'URIs': 'http://second.example/b', 'Suites': 'vega', 'Components': 'main'}])

    def test_entries_of_every_file_are_collected_and_a_stanza_ends_with_its_file(self):
        first = self.write('a.sources', 'Types: deb\nURIs: http://a.example/x\nSuites: vega\nComponents: main')
        second = self.write('b.sources', 'Types: deb\nURIs: http://b.example/y\nSuites: vega\nComponents: main\n')
        listed = self.write('c.list', 'deb http://c.example/z vega main\n')
        self.assertEqual([e['URIs'] for e in self.entries('vega', first, second, listed)],
                         ['http://a.example/x', 'http://b.example/y', 'http://c.example/z'])

    def test_missing_files_give_no_entries_and_no_error(self):
        self.assertEqual(self.entries('vega', os.path.join(self.dir.name, 'absent.list')), [])


if __name__ == '__main__':
    unittest.main()
