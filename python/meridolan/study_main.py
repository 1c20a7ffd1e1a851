"""`python -m meridolan.study_main`: the study command. Its code stays in
meridolan.study, so that the Dask workers find the functions of a task there."""

import sys

from .study import main

# The local cluster's worker processes import this module again (as __mp_main__):
# only the command itself runs the study.
if __name__ == "__main__":
    sys.exit(main())
