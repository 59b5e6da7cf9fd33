"""The module's analysis against telmor-batch's files, byte for byte, and its
handling of arrays of any dtype, order and lead count."""
import csv
import math
import shutil
import subprocess
import threading

import numpy as np
import pytest

import telmor
from conftest import SAMPLE, program

# (recording: None for the sample, else (leads, seconds, seed)), keyword
# settings, and the same as telmor-batch options.
CASES = [
    (None, {}, []),
    (None, {"smooth": 2}, ["--smooth", "2"]),
    ((5, 7, 3), {"ranges": (-22, 28, 151, 401)}, ["--ranges", "-22", "28", "151", "401"]),
    ((20, 30, 4), {"ratio": 0.2}, ["--ratio", "0.2"]),
    ((3, 4, 9), {"beat_lead": 2}, ["--beat-lead", "2"]),
]


def recording_for(case, tmp_path, generate):
    if case is None:
        target = tmp_path / "sample.txt"
        shutil.copy(SAMPLE, target)
        return target
    return generate("rec.txt", *case)


def summary_rows(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


@pytest.mark.parametrize("case,settings,options", CASES)
def test_results_file_and_marks_are_the_batchs(case, settings, options, tmp_path, generate, batch):
    recording = recording_for(case, tmp_path, generate)
    out = tmp_path / "out"
    done = batch("--out", out, *options, recording)
    assert done.returncode == 0, done.stderr

    analysis = telmor.analyse(telmor.read_recording(recording), **settings)
    mine = tmp_path / "mine.csv"
    telmor.write_results(mine, analysis)
    name = recording.stem
    assert mine.read_bytes() == (out / f"{name}ari.csv").read_bytes()

    rows = summary_rows(out / "summary.csv")
    marks = analysis.marks
    assert len(rows) == len(marks["lead"])
    for i, row in enumerate(rows):
        for column, array in marks.items():
            text = row[column]
            value = array[i]
            if array.dtype.kind == "U":  # flags and T waves: the summary's text
                assert value == text, (column, i)
            elif text == "":
                assert math.isnan(value), (column, i)
            else:
                decimals = {"at_fine_ms": 2, "rt_fine_ms": 2, "at_quality": 1, "rt_quality": 1}.get(column, 0)
                assert abs(value - float(text)) <= 0.5 * 10 ** -decimals + 1e-9, (column, i, value, text)


def test_a_recording_without_beats_is_a_failure_of_the_batch(tmp_path, batch):
    """Smoothed over half a second, the sample's downstrokes stay under the
    ratio: no beat. The module gives an analysis of no beats; the batch
    names the recording as failed and writes no results file for it."""
    recording = recording_for(None, tmp_path, None)
    analysis = telmor.analyse(telmor.read_recording(recording), smooth=499, ratio=0.3)
    assert len(analysis.beats) == 0
    out = tmp_path / "out"
    done = batch("--out", out, "--smooth", "499", "--ratio", "0.3", recording)
    assert done.returncode == 1
    assert "拍が見つかりません" in done.stderr
    assert not (out / "sampleari.csv").exists()
    assert summary_rows(out / "summary.csv") == []
    notes = summary_rows(out / "summary-notes.csv")
    assert [(n["recording"], n["kind"]) for n in notes] == [("sample", "failed")]


def test_each_lead_is_analysed_on_its_own(generate):
    """A 60-lead recording gives the per-lead marks of three 20-lead ones that
    share its beat lead."""
    parts = [telmor.read_recording(generate(f"p{k}.txt", 20, 6, 30 + k)) for k in range(3)]
    for part in parts[1:]:
        part[:, 0] = parts[0][:, 0]
    whole = telmor.analyse(np.hstack(parts)).marks
    for k, part in enumerate(parts):
        own = telmor.analyse(part).marks
        for column, values in own.items():
            lead_part = own["lead"]
            for lead in range(1, 21):
                mine = values[lead_part == lead]
                theirs = whole[column][whole["lead"] == lead + 20 * k]
                if column == "lead":
                    theirs = theirs - 20 * k
                np.testing.assert_array_equal(mine, theirs, err_msg=f"{column}, lead {lead} of part {k}")


@pytest.mark.parametrize("convert", [
    lambda w: w.astype(np.float64),
    lambda w: np.asfortranarray(w),
    lambda w: np.asfortranarray(w.astype(np.float64)),
    lambda w: np.repeat(w, 2, axis=1)[:, ::2],     # not contiguous
    lambda w: w.tolist(),
])
def test_any_dtype_and_order_of_the_same_values_gives_the_same_analysis(convert):
    wave = telmor.read_recording(SAMPLE)
    expected = telmor.analyse(wave)
    got = telmor.analyse(convert(wave))
    np.testing.assert_array_equal(got.at, expected.at)
    np.testing.assert_array_equal(got.rt, expected.rt)
    np.testing.assert_array_equal(got.beats, expected.beats)


def test_integers_are_rounded_to_32_bit_reals():
    wave = np.rint(telmor.read_recording(SAMPLE) * 1000).astype(np.int32)
    np.testing.assert_array_equal(telmor.analyse(wave).at, telmor.analyse(wave.astype(np.float32)).at)


def test_arrays_and_settings_come_back_as_asked():
    wave = telmor.read_recording(SAMPLE, leads=8, seconds=10)
    assert wave.dtype == np.float32 and wave.shape == (10000, 8)
    analysis = telmor.analyse(wave, smooth=5, derivative=True)
    assert analysis.beats.dtype == np.float64 and np.all(np.diff(analysis.beats) > 0)
    # One row per beat, one column per lead, NaN where a beat has no mark.
    assert analysis.at.dtype == np.float64 and analysis.at.shape == (len(analysis.beats), 8)
    assert analysis.rt.shape == analysis.at.shape
    assert not np.isnan(analysis.at).any()
    # A beat in the last 200 ms is not searched: its row is NaN.
    cut = telmor.analyse(wave[:9900])
    assert cut.beats[-1] > 9700 and np.isnan(cut.at[-1]).all() and np.isnan(cut.rt[-1]).all()
    assert not np.isnan(cut.at[:-1]).any()
    assert analysis.derivative.dtype == np.float32 and analysis.derivative.shape == wave.shape
    assert telmor.analyse(wave).derivative is None
    assert analysis.settings == {"smooth": 5, "ratio": pytest.approx(0.1), "ranges": (-80, 80, 100, 200),
                                 "beat_lead": 1, "estimator": "centred", "rt_smooth": 35,
                                 "rt_margin": 20, "rt_window": None, "blank_before": 100, "blank_after": 200}
    assert analysis.fs == 1000.0
    summary = analysis.summary()
    pandas = pytest.importorskip("pandas")
    assert isinstance(summary, pandas.DataFrame)
    assert list(summary.columns) == list(analysis.marks)


def test_results_file_reads_back_as_o_loads_it(tmp_path):
    analysis = telmor.analyse(telmor.read_recording(SAMPLE))
    path = tmp_path / "sampleari.csv"
    telmor.write_results(path, analysis)
    at, rt = telmor.read_results(path, 8)
    # The file's first row is empty, as c leaves it; then a row per beat, 0 for no mark.
    assert np.all(at[0] == 0.0) and np.all(rt[0] == 0.0)
    np.testing.assert_array_equal(at[1:], np.nan_to_num(np.floor(analysis.at + 0.5), nan=0.0))
    np.testing.assert_array_equal(rt[1:], np.nan_to_num(np.floor(analysis.rt + 0.5), nan=0.0))
    narrow_at, _ = telmor.read_results(str(path), 3)
    np.testing.assert_array_equal(narrow_at, at[:, :3])


def test_the_analysis_lets_other_threads_run():
    wave = np.tile(telmor.read_recording(SAMPLE), (3, 8))  # 24 leads × 30 s
    started = threading.Event()
    def work():
        started.set()
        telmor.analyse(wave, smooth=60)
    thread = threading.Thread(target=work)
    thread.start()
    started.wait()
    steps = 0
    while thread.is_alive():
        steps += 1
    thread.join()
    assert steps > 1000


def test_version_is_the_programs():
    done = subprocess.run([program("TELMOR_BATCH"), "--version"], capture_output=True, text=True)
    assert telmor.__version__ in done.stdout


def test_ranges_suggested_from_a_paced_sheet_hold_every_wave(generate):
    """On a sheet whose cycle shortens to 350 ms with activation spread over
    90 ms, ranges="auto" holds the waves the default ranges miss."""
    wave = telmor.read_recording(generate("sheet.txt", 12, 15, 4, "--sheet", "--noise", "0.5"))
    fixed = telmor.analyse(wave)
    assert "RT" in {w["kind"] for w in fixed.range_warnings}  # the late sites' ATs lie beyond 80 ms too
    assert all("probably misses the wave" in w["message"] for w in fixed.range_warnings)
    auto = telmor.analyse(wave, ranges="auto")
    assert auto.ranges_suggested and auto.settings["ranges"] == "auto"
    at_from, at_to, rt_from, rt_to = auto.ranges
    assert at_to >= 90 and rt_to > 400 and auto.range_warnings == []
    polarity = auto.marks["t_polarity"]
    assert set(polarity[auto.marks["rt_marks"] == 1]) == {"positive", "negative", "biphasic"}
    assert not (auto.rt - auto.at < 0).any()


def test_a_flat_lead_is_dead_and_left_out_of_the_maps(generate):
    wave = telmor.read_recording(generate("flat.txt", 10, 10, 5, "--sheet", "--flat-lead", "4"))
    analysis = telmor.analyse(wave, ranges="auto")
    assert list(analysis.dead_leads) == [4]
    assert np.isnan(analysis.at[:, 3]).all() and np.isnan(analysis.rt[:, 3]).all()
    lead_4 = analysis.marks["lead"] == 4
    assert set(analysis.marks["at_flag"][lead_4 & (analysis.marks["beat"] > 0)]) == {"dead_lead"}
    maps = analysis.maps({n + 1: (7.0 * (n % 5), 7.0 * (n // 5)) for n in range(10)})
    assert maps["left_out"]["dead_lead"] == 0  # no marks there to leave out
    cv = maps["cv"]
    assert 4 not in set(cv["lead"] if isinstance(cv, dict) else cv["lead"].tolist())


@pytest.mark.parametrize("options, message", [
    ({"ranges": "automatic"}, "ranges must be"),
    ({"rt_window": (300, 200)}, "RT window"),
    ({"rt_margin": 501}, "RT margin"),
    ({"blank_before": -1}, "blanking"),
    ({"estimator": "legacy", "rt_margin": 20}, "legacy"),
])
def test_search_options_outside_their_bounds_are_refused(options, message):
    wave = np.zeros((2000, 2), dtype=np.float32)
    with pytest.raises(ValueError, match=message):
        telmor.analyse(wave, **options)


def test_a_small_heart_needs_a_short_blanking(generate):
    wave = telmor.read_recording(generate("rodent.txt", 4, 10, 6, "--rodent"))
    specified = telmor.analyse(wave, ranges="auto")
    short = telmor.analyse(wave, ranges="auto", blank_before=40, blank_after=80)
    assert len(short.beats) >= 63 > len(specified.beats) + 10
    assert short.settings["blank_before"] == 40 and short.settings["blank_after"] == 80
