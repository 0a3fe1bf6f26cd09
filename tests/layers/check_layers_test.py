"""scripts/check-layers as CI runs it: its status and the lines it prints."""
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT, CHECKOUT = sys.argv[1], sys.argv[2]

# base <- mid <- top, and side beside mid on base.
LAYERS = """
tarvel_check_layer(base HEADERS base.h)
# a comment naming tarvel_check_layer(ghost) is no layer
tarvel_check_layer(mid
    USES base
    HEADERS mid.h
    PRIVATE OpenSSL::Crypto ${CMAKE_DL_LIBS})
tarvel_check_layer(side USES base)
tarvel_check_layer(top USES mid HEADERS top.h)
"""


def run(root):
    done = subprocess.run([SCRIPT, "--root", str(root)], capture_output=True, text=True)
    return done.returncode, done.stderr


def tree(root, files):
    for name, text in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)


CLEAN = {
    "checks/CMakeLists.txt": LAYERS,
    "checks/include/checks/base.h": "#include <vector>\n",
    "checks/include/checks/mid.h": "#include <checks/base.h>\n",
    "checks/include/checks/top.h": "#include <checks/mid.h>\n",
    "checks/include/checks/everything.h": "#include <checks/top.h>\n",
    "checks/src/base/a.cpp": '#include <memory>\n#include "base/a.h"\n#include <checks/base.h>\n',
    "checks/src/mid/b.cpp": '#include "base/a.h"\n#include <component/openssl_ptr.h>\n',
    "checks/src/side/c.cpp": '#include <checks/base.h>\n',
    "checks/src/top/d.cpp": '#include "base/a.h"\n#include "mid/b.h"\n#include <checks/mid.h>\n',
}

# (what is planted, files added to CLEAN, lines expected; none: passes)
CASES = [
    ("nothing", {}, []),
    ("a folder included upward", {"checks/src/base/e.cpp": '#include <string>\n#include "mid/b.h"\n'},
     ["checks/src/base/e.cpp:2: includes mid/b.h, a header of mid, but base builds only on nothing"]),
    ("a folder included sideways", {"checks/src/side/e.h": '#include "mid/b.h"\n'},
     ["checks/src/side/e.h:1: includes mid/b.h, a header of mid, but side builds only on base"]),
    ("a public header of a layer above", {"checks/src/mid/e.cpp": "#include <checks/top.h>\n"},
     ["checks/src/mid/e.cpp:1: includes checks/top.h, a header of top, but mid builds only on base"]),
    ("the executable's header", {"checks/src/top/e.cpp": '#include "checks/everything.h"\n'},
     ["checks/src/top/e.cpp:1: includes checks/everything.h, the executable's, but top builds only on base, mid"]),
    ("a public header including upward", {"checks/include/checks/mid.h": "#include <checks/top.h>\n"},
     ["checks/include/checks/mid.h:1: includes checks/top.h, a header of top"]),
    ("a folder no layer builds", {"checks/src/extra/e.cpp": ""},
     ["checks/src/extra: no tarvel_check_layer in checks/CMakeLists.txt builds it"]),
    ("a layer using one declared after it",
     {"checks/CMakeLists.txt": LAYERS.replace("tarvel_check_layer(side USES base)", "tarvel_check_layer(side USES top)")},
     ["checks/CMakeLists.txt: side uses top, which is not declared before it"]),
]


class CheckLayers(unittest.TestCase):
    def test_this_checkout_holds_its_layers(self):
        self.assertEqual(run(CHECKOUT), (0, ""))

    def test_planted_trees(self):
        for what, files, expected in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as scratch:
                root = Path(scratch)
                tree(root, {**CLEAN, **files})
                status, said = run(root)
                self.assertEqual(status, 1 if expected else 0, said)
                for line in expected:
                    self.assertIn(line, said)
                problems = [line for line in said.splitlines() if not line.startswith("check-layers:")]
                self.assertEqual(len(problems), len(expected), said)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
