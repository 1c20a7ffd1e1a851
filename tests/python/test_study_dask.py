"""A study on a local Dask cluster of two workers, one of them killed mid-study."""

import csv
import logging
import os
import signal

import pytest

from meridolan import study as st
from conftest import EXAMPLES

distributed = pytest.importorskip("distributed")


def test_a_worker_killed_mid_study_loses_no_case(tmp_path):
    # 24 cases of the README's slab, one a task.
    text = f'''model = "{EXAMPLES / "interior_load.toml"}"
[factors]
"layers.1.thickness" = [6.0, 7.0, 8.0, 9.0, 10.0, 11.0]
"loads.1.x" = [[24.0, 36.0], [84.0, 96.0], [144.0, 156.0], [168.0, 180.0]]
[outputs]
values = ["max_deflection", "min_minor_stress_bottom_1", "status"]
'''
    study = st.study_from_toml(text)
    serial = tmp_path / "serial.csv"
    st.run_study(study, str(serial), workers=0, progress=None)
    killed: dict[str, list[str]] = {}
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  silence_logs=logging.ERROR) as cluster, distributed.Client(cluster) as client:
        pids = client.run(os.getpid)

        def kill_a_busy_worker(rows):
            if killed:
                return
            busy = {w: list(keys) for w, keys in client.processing().items() if keys}
            if busy:
                worker, keys = next(iter(busy.items()))
                os.kill(pids[worker], signal.SIGKILL)
                killed[worker] = keys

        table = tmp_path / "dask.csv"
        done = st.run_study(study, str(table), client=client, batch=1, progress=None, on_rows=kill_a_busy_worker)
    assert killed, "no worker was busy when the first rows came"
    assert (done.total, done.ran, done.failed) == (24, 24, 0)
    with open(table, newline="") as f:
        rows = sorted(csv.DictReader(f), key=lambda r: r["case"])
    with open(serial, newline="") as f:
        expected = sorted(csv.DictReader(f), key=lambda r: r["case"])
    # Every case once, the cases of the killed worker run again elsewhere: the table is
    # the one the same study gives in this process.
    assert [r["case"] for r in rows] == [r["case"] for r in expected]
    assert rows == expected
