"""The engine's layers include only downwards:
engine start-up -> windows | controls -> core -> data -> imaging."""

import os
import re
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
SKIN = os.path.join(ROOT, 'skin')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/', re.MULTILINE)

# What each layer may include besides itself.
BELOW = {
    'imaging': set(),
    'data': {'imaging'},
    'core': {'data', 'imaging'},
    'windows': {'core', 'data', 'imaging', 'controls'},
    'controls': {'core', 'data', 'imaging'},
}


def upward_includes(layer):
    """(file, included layer) for every include above `layer`."""
    found = []
    folder = os.path.join(SKIN, layer)
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding='utf-8') as f:
            for target in INCLUDE.findall(f.read()):
                if target != layer and target not in BELOW[layer]:
                    found.append((name, target))
    return found


class Layers(unittest.TestCase):
    def test_every_layer_includes_only_below_itself(self):
        for layer in BELOW:
            with self.subTest(layer=layer):
                self.assertEqual(upward_includes(layer), [])

    def test_the_rule_sees_an_upward_include(self):
        # The pattern must match the form the sources use, or the rule
        # above would pass on any tree.
        self.assertEqual(INCLUDE.findall('#include "windows/MenuBar.h"\n#include <map>\n'), ['windows'])


if __name__ == '__main__':
    unittest.main()
