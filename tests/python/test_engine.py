"""The engine module against the program on the command line."""

import subprocess
import threading
import time

import pytest

import meridolan as m

from conftest import EXAMPLES, bundled_decks, refused_deck


@pytest.mark.parametrize("path", bundled_decks(), ids=lambda p: p.name)
def test_module_and_program_give_the_same_report_and_contour_data(path, program, tmp_path):
    text = path.read_text()
    done = subprocess.run([program, "-", "-", "-c", str(tmp_path / "out.cnt")], input=text.encode(),
                          capture_output=True, check=False)
    out = m.run_deck(text)
    assert out.status == done.returncode
    assert out.report == done.stdout
    cnt = tmp_path / "out.cnt"
    assert out.contour == (cnt.read_text() if cnt.exists() else None)


def test_module_and_program_agree_on_a_refused_deck(program, tmp_path):
    text = refused_deck()
    done = subprocess.run([program, "-", "-", "-c", str(tmp_path / "c.cnt")], input=text.encode(),
                          capture_output=True, check=False)
    out = m.run_deck(text)
    assert out.status == done.returncode == 3
    assert out.report == done.stdout
    assert out.errors == done.stderr.decode()
    assert out.results["status"]["exit"] == 3


def test_unreadable_deck_gives_status_2_and_the_message():
    out = m.run_deck("1\nT\n    x\n")
    assert out.status == 2
    assert "unit 5 (READ): deck line 3, columns 1-5" in out.errors
    assert out.report == b""
    with pytest.raises(ValueError, match="deck line 3, columns 1-5"):
        m.read_deck("1\nT\n    x\n")


def test_the_interpreter_runs_on_while_the_engine_works():
    # The engine releases the interpreter lock: while a thread runs a deck, the main
    # thread keeps running Python; holding the lock would stop it for the whole run.
    # An elastic solid under the largest mesh that fits: its packed factorisation
    # takes a while.
    text = m.Model(title="SOLID", slabs_x=[72.0], slabs_y=[72.0], layers=[m.Layer(10.0, 4e6, 0.15)],
                   subgrade=m.Subgrade(kind="elastic-solid", modulus=15000.0, poisson=0.35),
                   loads=[m.Load(62.5, (0.0, 6.0), (0.0, 6.0))], symmetry="quarter").deck()
    outs = []
    worker = threading.Thread(target=lambda: outs.append(m.run_deck(text)))
    ticks = []
    t0 = time.perf_counter()
    worker.start()
    while worker.is_alive():
        ticks.append(time.perf_counter())
        time.sleep(0.001)
    run_time = time.perf_counter() - t0
    worker.join()
    assert outs[0].status == 0 and outs[0].report == m.run_deck(text).report
    gaps = [b - a for a, b in zip([t0] + ticks, ticks)]
    assert run_time > 0.05 and max(gaps) < 0.5 * run_time


def test_threads_give_the_reports_of_runs_one_after_the_other():
    texts = [p.read_text() for p in sorted(EXAMPLES.glob("*.dat"))]
    alone = [m.run_deck(t).report for t in texts]
    outs = [None] * len(texts)

    def work(i):
        outs[i] = m.run_deck(texts[i]).report

    threads = [threading.Thread(target=work, args=(i,)) for i in range(len(texts))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert outs == alone


def test_engine_sizes_follow_its_memory_report():
    text = (EXAMPLES / "jointed_pavement.dat").read_text()
    d = m.dimensions(text)
    assert d["nodes"] == 24 * 26 and d["equations"] == 3 * 24 * 26 and d["band"] == 3 * 26 + 6
    report = m.run_deck(text).report_text
    assert f"TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH={d['words']:6d}" in report
