"""The README and the pages of docs/: every link and picture they name is there, every page
is linked from the README, and every file or folder of the tree they name in backticks
exists, so that a moved file cannot leave a page pointing at nothing.

    check_docs.py ROOT"""

import re
import sys
from pathlib import Path

# The tree's own folders; build/ and dist/ are made, not kept.
TREE_PATH = re.compile(r"`((?:saver|host|resources|offscreen|flow|x11|web|tools|tests|cmake|docs)/[^`\s*]*)`")
LINK = re.compile(r"\]\(([^)\s]+)\)")


def problems(root):
    readme = root / "README.md"
    pages = [readme, *sorted((root / "docs").glob("*.md"))]
    for page in pages:
        text = page.read_text()
        for target in LINK.findall(text):
            if not re.match(r"\w+:", target) and not (page.parent / target.split("#")[0]).exists():
                yield f"{page.relative_to(root)}: the link {target} leads nowhere"
        for named in TREE_PATH.findall(text):
            if not (root / named).exists():
                yield f"{page.relative_to(root)}: `{named}` is not in the tree"
    linked = {(root / target).resolve() for target in LINK.findall(readme.read_text())}
    for page in pages[1:]:
        if page.resolve() not in linked:
            yield f"{page.relative_to(root)} is not linked from the README"


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    found = list(problems(Path(sys.argv[1])))
    print("\n".join(found) or "the README and docs/ name only what is there")
    sys.exit(1 if found else 0)
