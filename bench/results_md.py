"""bench/results.md, one section at a time: each benchmark script replaces its own
"## Title" section (up to the next "## "), or adds it before "## Method"."""
import os
import re


def replace_section(path, lines):
    """Writes `lines` (the first is "## Title") as that section of the file at `path`."""
    text = open(path).read() if os.path.exists(path) else "# Benchmark results\n"
    block = "\n".join(lines)
    pattern = re.compile(r"^%s\n.*?(?=\n## |\Z)" % re.escape(lines[0]), re.S | re.M)
    if pattern.search(text):
        text = pattern.sub(lambda _: block, text, count=1)
    elif "\n## Method\n" in text:
        text = text.replace("\n## Method\n", "\n" + block + "\n## Method\n")
    else:
        text += "\n" + block
    with open(path, "w") as f:
        f.write(text)
    print("wrote %s" % path)
