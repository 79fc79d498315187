"""Writing a generated file whole or not at all, shared by the data generators in tools/.

The generators import it after putting this folder on sys.path:

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
"""

import os
import tempfile


def write_whole(path, data):
    """Writes a file whole or leaves the old one: a half-written file is worse than none."""
    folder = os.path.dirname(path) or "."
    handle, temporary = tempfile.mkstemp(dir=folder, prefix="." + os.path.basename(path) + "-")
    try:
        with os.fdopen(handle, "wb") as stream:
            stream.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise
