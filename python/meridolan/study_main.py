"""`python -m meridolan.study_main`: the study command. Its code stays in
meridolan.study, so that the Dask workers find the functions of a task there."""

import sys

from .study import main

sys.exit(main())
