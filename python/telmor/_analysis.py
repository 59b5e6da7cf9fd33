"""analyse() and the Analysis it gives: the inputs researchers hold (a
Recording, an array, an MNE Raw, a neo AnalogSignal) checked before the
core sees them, the results as NaN-for-empty arrays and DataFrames, and an
analysis that can be kept (save/load, pickle)."""
import hashlib
import numbers
import os
import threading

import numpy as np
import pandas as pd

from . import _core, _saved
from ._recording import Recording

# The orientations analyse() takes, and whether rows are samples.
_ORIENTATIONS = {
    "samples×leads": True, "samples-by-leads": True, "times×channels": True,
    "leads×samples": False, "leads-by-samples": False, "channels×times": False,
}


def _whole(name, value, *, allow_none=False):
    if value is None and allow_none:
        return None
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"{name} must be a whole number, not {type(value).__name__}")
    return int(value)


def _real(name, value, *, allow_none=False):
    if value is None and allow_none:
        return None
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a number, not {type(value).__name__}")
    return float(value)


def _text(name, value):
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a string, not {type(value).__name__}")
    return value


def _pair(name, value):
    if value is None:
        return None
    if isinstance(value, (str, bytes)) or not hasattr(value, "__len__") or len(value) != 2:
        raise TypeError(f"{name} must be two whole ms (FROM, TO) or None")
    return (_whole(name, value[0]), _whole(name, value[1]))


def _ranges(value):
    if isinstance(value, str):
        return value
    if not hasattr(value, "__len__"):
        raise TypeError(f'ranges must be four whole ms or "auto", not {type(value).__name__}')
    if len(value) != 4:
        raise ValueError('ranges must be four whole ms: AT from, AT to, RT from, RT to (or "auto")')
    return tuple(_whole("ranges", v) for v in value)


def _input(wave, fs, orientation):
    """The samples × leads array, its rate and labels of whatever was given."""
    labels = None
    if orientation is not None and orientation not in _ORIENTATIONS:
        raise ValueError(f"orientation must be one of {', '.join(map(repr, _ORIENTATIONS))}, not {orientation!r}")
    if isinstance(wave, Recording):
        if fs is not None and fs != wave.fs:
            raise ValueError(f"fs={fs} differs from the recording's own rate, {wave.fs} Hz: leave fs out")
        return wave.data, wave.fs, wave.labels, True
    if hasattr(wave, "get_data") and hasattr(wave, "info") and hasattr(wave, "ch_names"):
        # MNE's Raw and RawArray: channels × times at info["sfreq"].
        own = float(wave.info["sfreq"])
        if fs is not None and fs != own:
            raise ValueError(f"fs={fs} differs from the recording's own rate, {own} Hz: leave fs out")
        return np.asarray(wave.get_data()).T, own, [str(n) for n in wave.ch_names], True
    if hasattr(wave, "sampling_rate") and hasattr(wave, "magnitude"):
        # neo's AnalogSignal: times × channels, a rate with its unit.
        rate = wave.sampling_rate
        own = float(rate.rescale("Hz").magnitude) if hasattr(rate, "rescale") else float(rate)
        if fs is not None and fs != own:
            raise ValueError(f"fs={fs} differs from the signal's own rate, {own} Hz: leave fs out")
        names = getattr(wave, "array_annotations", {}).get("channel_names")
        labels = [str(n) for n in names] if names is not None else None
        return np.asarray(wave.magnitude), own, labels, True
    try:
        array = np.asarray(wave)
    except Exception as error:  # what numpy cannot take, said without the object
        raise TypeError(f"wave must be an array of samples × leads, not {type(wave).__name__}") from error
    if array.dtype.kind not in "fiu":
        raise TypeError(f"wave must hold real numbers, not {array.dtype}")
    if array.ndim != 2:
        raise ValueError(f"wave must be 2-D (samples × leads), not {array.ndim}-D")
    if orientation is not None:
        if not _ORIENTATIONS[orientation]:
            array = array.T
    elif array.shape[1] > array.shape[0]:
        raise ValueError(
            f"wave has more leads ({array.shape[1]}) than samples ({array.shape[0]}): it is probably "
            "leads × samples (as MNE gives channels × times). Pass wave.T, or say orientation=\"leads×samples\" "
            "(or \"samples×leads\" if it really is)")
    return array, (1000.0 if fs is None else _real("fs", fs)), labels, False


def _in_thread(work):
    """work() on a thread of its own, so that Ctrl+C reaches the caller within
    a tenth of a second; the work itself, once started, ends in the background."""
    outcome = {}

    def run():
        try:
            outcome["value"] = work()
        except BaseException as error:  # handed to the caller as it is
            outcome["error"] = error

    worker = threading.Thread(target=run, daemon=True)
    worker.start()
    while worker.is_alive():
        worker.join(0.1)
    if "error" in outcome:
        raise outcome["error"]
    return outcome["value"]


def analyse(wave, *, fs=None, orientation=None, smooth=7, ratio=0.1, ranges=(-80, 80, 100, 200),
            beat_lead=1, estimator="centred", rt_smooth=None, rt_margin=None, rt_window=None,
            blank_before=100, blank_after=200, derivative=False):
    """Analyses a recording as telmor-batch does: each lead's baseline removed,
    its derivative by a local least-squares cubic, the beats on ``beat_lead``,
    and the AT (steepest fall) and RT (highest derivative peak) of every beat
    in every lead.

    wave: a ``telmor.Recording`` (at its own rate, with its labels), an MNE
    ``Raw``/``RawArray`` (channels × times at ``info["sfreq"]``), a neo
    ``AnalogSignal`` (at its ``sampling_rate``), or an array of samples × leads
    at ``fs`` Hz (default 1000). An array with more leads than samples is
    refused unless ``orientation`` says which way it lies ("samples×leads" or
    "leads×samples"; "samples-by-leads", "leads-by-samples", "channels×times"
    and "times×channels" too).

    smooth (ms, 2-499), rt_smooth (ms, RT's own derivative, centred only;
    None: 35), ranges (four whole ms from a beat: AT from, AT to, RT from, RT
    to, or "auto"), ratio (0-1), beat_lead (from 1), estimator ("centred" or
    "legacy", the specified arithmetic at 1 kHz), rt_margin (ms), rt_window
    ((FROM, TO) ms after each lead's AT), blank_before and blank_after (ms of
    the beat search's blanking), derivative (keep the AT derivative).

    Times returned are ms from the recording's start, sample i (from 0) at
    (i + 1) × 1000 / fs ms: at 1 kHz the sample of a mark at t ms is
    ``data[int(t) - 1]``. Ctrl+C interrupts the call within about a second.
    """
    data, rate, labels, own_rate = _input(wave, fs, orientation)
    given = {
        "smooth": _whole("smooth", smooth), "ratio": _real("ratio", ratio), "ranges": _ranges(ranges),
        "beat_lead": _whole("beat_lead", beat_lead), "estimator": _text("estimator", estimator),
        "rt_smooth": _whole("rt_smooth", rt_smooth, allow_none=True),
        "rt_margin": _whole("rt_margin", rt_margin, allow_none=True), "rt_window": _pair("rt_window", rt_window),
        "blank_before": _whole("blank_before", blank_before), "blank_after": _whole("blank_after", blank_after),
    }
    if labels is not None and len(labels) != data.shape[1]:
        labels = None

    def work():  # the copy too on the worker, so that Ctrl+C is heard while a long recording is copied
        recording = Recording(_own(data), rate, labels)
        return recording, _core.analyse(recording, derivative=bool(derivative), **given)

    recording, core = _in_thread(work)
    return Analysis(core, recording, given)


def _own(data):
    """The samples as float32 in an array of the analysis's own, read-only:
    what the caller does to its array afterwards changes nothing kept."""
    own = np.ascontiguousarray(data, dtype=np.float32)
    if own is data or (isinstance(data, np.ndarray) and np.may_share_memory(own, data)):
        own = own.copy()
    own.flags.writeable = False
    return own


def _frame(columns, attrs):
    frame = pd.DataFrame(columns)
    frame.attrs.update(attrs)
    return frame


def _missing_where_empty(frame, names):
    for name in names:
        if name in frame:
            frame[name] = frame[name].replace("", pd.NA).astype("string")
    return frame


class Analysis:
    """The beats and marks of one recording, as ``telmor.analyse`` makes them.

    Arrays are float64 ms from the recording's start with NaN where there is
    no mark; tables are pandas DataFrames whose ``attrs`` carry the settings,
    the rate and the version that made them. An Analysis holds its own,
    read-only copy of the recording it was made from (float32), so that
    ``save``/``telmor.load`` and ``pickle`` bring back an equal one whatever
    becomes of the caller's array.
    """

    __slots__ = ("_core", "_samples", "_fs", "_labels", "_given")

    def __init__(self, core, recording, given):
        self._core = core
        self._samples = recording.data  # the analysis's own, read-only (_own)
        self._fs = recording.fs
        self._labels = list(recording.labels)
        self._given = dict(given)

    # What was analysed and how.
    @property
    def fs(self):
        """The recording's sampling rate, Hz."""
        return self._core.fs

    @property
    def shape(self):
        """The recording's (samples, leads)."""
        return self._samples.shape

    @property
    def labels(self):
        """Each lead's channel label ("" where the input names none)."""
        return list(self._core.labels)

    @property
    def settings(self):
        """The settings as given, the defaults filled in (rt_smooth and
        rt_margin as the estimator uses them)."""
        used = dict(self._core.settings)
        used.update({k: v for k, v in self._given.items() if v is not None})
        return used

    @property
    def recording(self):
        """The recording analysed (a telmor.Recording, float32, read-only)."""
        return Recording(self._samples.view(), self._fs, self._labels)

    # The marks.
    @property
    def beats(self):
        """The beats found on the beat lead, ms from the start (float64)."""
        return np.asarray(self._core.beats, dtype=np.float64)

    @property
    def at(self):
        """AT of every beat (rows) and lead (columns), ms from the start; NaN: no mark."""
        return self._core.at

    @property
    def rt(self):
        """RT of every beat (rows) and lead (columns), ms from the start; NaN: no mark."""
        return self._core.rt

    @property
    def marks(self):
        """The summary's columns (but recording) as a dict of equal-length
        arrays, beat 0 (marks before the first beat) included; NaN where the
        summary is empty, flags and T waves as text ("" for none)."""
        return self._core.marks

    @property
    def derivative(self):
        """The AT derivative (float32, samples × leads, amplitude per ms) when
        analyse(derivative=True) kept it; None otherwise."""
        return self._core.derivative

    @property
    def ranges(self):
        """The ranges searched (ms from a beat): given, or suggested with ranges="auto"."""
        return self._core.ranges

    @property
    def ranges_suggested(self):
        """Whether the ranges were suggested from the recording."""
        return self._core.ranges_suggested

    @property
    def dead_leads(self):
        """The leads (from 1) with no signal to mark, left out of the maps."""
        return self._core.dead_leads

    @property
    def range_warnings(self):
        """Leads whose marks of a kind crowd their windows' ends or are weak."""
        return self._core.range_warnings

    @property
    def fit_messages(self):
        """How many of each message the fits gave."""
        return self._core.fit_messages

    def _attrs(self):
        return {"settings": self.settings, "fs": self.fs, "telmor_version": _core.__version__,
                "labels": self.labels}

    def summary(self):
        """One row per lead and beat (beats from 1): the batch summary's
        columns but recording, float64 ms with NaN where empty, int32 counts,
        flags, T waves and labels as strings with <NA> where there are none.
        Marks before the first beat are in ``before_first()``."""
        frame = _frame(self.marks, self._attrs())
        frame = frame[frame["beat"] > 0].reset_index(drop=True)
        return _missing_where_empty(frame, ["at_flag", "rt_flag", "t_polarity", "label"])

    def before_first(self):
        """The marks before the first beat's range (beat 0 of the batch
        summary), one row per lead, in the summary's columns."""
        frame = _frame(self.marks, self._attrs())
        frame = frame[frame["beat"] == 0].reset_index(drop=True)
        return _missing_where_empty(frame, ["at_flag", "rt_flag", "t_polarity", "label"])

    def maps(self, layout, *, radius_mm=None):
        """Conduction velocity (both methods), restitution and dispersion of
        the marks, with the electrodes at layout: {lead: (x_mm, y_mm)} or an
        array of rows (x_mm, y_mm), row i for lead i + 1. A dict of
        DataFrames: cv (speed m/s, direction degrees), restitution (ms),
        restitution_slopes, dispersion (ms); and left_out, the marks the maps
        leave out. Ctrl+C interrupts the call within about a second."""
        if isinstance(layout, dict):
            for key in layout:
                if isinstance(key, bool) or not isinstance(key, numbers.Integral):
                    raise TypeError(f"a layout's keys are leads (whole numbers from 1), not {type(key).__name__}")
        radius = _real("radius_mm", radius_mm, allow_none=True)
        tables = _in_thread(lambda: self._core.maps(layout, radius_mm=radius))
        out = {}
        for name, table in tables.items():
            if isinstance(table, pd.DataFrame):
                table = table.copy()
                if "beat_ms" in table:
                    table["beat_ms"] = table["beat_ms"].astype(np.float64)
                if "flag" in table:
                    table = _missing_where_empty(table, ["flag"])
                table.attrs.update(self._attrs())
            out[name] = table
        return out

    # Keeping it.
    def save(self, path):
        """Saves the analysis in an open layout: a folder (or, for a path
        ending in .zip, a zip) of analysis.json (the settings, the version,
        the estimator, fs, the input's shape, labels and SHA-256, and the
        tables' SHA-256), summary.csv (every lead and beat, beat 0 included),
        beats.csv and recording.npy (the input, float32 samples × leads).

        Whole or not at all: every file goes to a temporary of its own beside
        its target, pushed to the disk, and is renamed into place only when
        all are written, so that any failure leaves the old save as it was. A
        link at the zip or at a member is replaced as a link (what it points
        at is left alone); a folder, FIFO or device there, a link at the
        folder, and a zip or folder holding anything but a saved analysis are
        refused with OSError, untouched."""
        _saved.save(path, self._description(), self._samples, self.marks, self.beats)

    def _description(self):
        settings = self.settings
        settings["ranges"] = list(settings["ranges"]) if not isinstance(settings["ranges"], str) else "auto"
        if settings.get("rt_window") is not None:
            settings["rt_window"] = list(settings["rt_window"])
        return {
            "format": _saved.FORMAT, "format_version": _saved.FORMAT_VERSION, "telmor_version": _core.__version__,
            "estimator": self.settings["estimator"], "fs": self.fs, "shape": list(self._samples.shape),
            "labels": self.labels, "sha256": hashlib.sha256(self._samples).hexdigest(),
            "given": {k: (list(v) if isinstance(v, tuple) else v) for k, v in self._given.items()},
            "settings": settings,
        }

    def __reduce__(self):
        return (_restore, (self._samples, self._fs, self._labels, self._given))

    def __eq__(self, other):
        if not isinstance(other, Analysis):
            return NotImplemented
        if self.settings != other.settings or self.fs != other.fs or self.shape != other.shape:
            return False
        if self.labels != other.labels or not np.array_equal(self.beats, other.beats):
            return False
        return all(np.array_equal(a, b, equal_nan=a.dtype.kind == "f")
                   for a, b in zip(self.marks.values(), other.marks.values()))

    __hash__ = None

    def __repr__(self):
        samples, leads = self.shape
        return f"<telmor.Analysis: {leads} leads, {samples} samples at {self.fs:g} Hz, {len(self.beats)} beats>"


# The settings analyse() takes, each checked as analyse checks it: those a
# saved analysis brings back, whatever its analysis.json holds.
_GIVEN = {
    "smooth": lambda v: _whole("smooth", v), "ratio": lambda v: _real("ratio", v), "ranges": _ranges,
    "beat_lead": lambda v: _whole("beat_lead", v), "estimator": lambda v: _text("estimator", v),
    "rt_smooth": lambda v: _whole("rt_smooth", v, allow_none=True),
    "rt_margin": lambda v: _whole("rt_margin", v, allow_none=True), "rt_window": lambda v: _pair("rt_window", v),
    "blank_before": lambda v: _whole("blank_before", v), "blank_after": lambda v: _whole("blank_after", v),
}


def _restore(data, fs, labels, given, owned=False):
    """The analysis of data at fs with labels and the settings given, as
    pickle and load bring it back (owned: data is an array nobody else holds,
    taken as it is); a setting analyse does not take, or of the wrong type,
    is a TypeError naming it."""
    if not isinstance(given, dict):
        raise TypeError(f"the settings must be a dict, not {type(given).__name__}")
    unknown = sorted(str(k) for k in given if k not in _GIVEN)
    if unknown:
        raise TypeError(f"analyse takes no setting {unknown[0]!r}")
    checked = {k: _GIVEN[k](v) for k, v in given.items()}
    if owned:
        data.flags.writeable = False
    recording = Recording(data if owned else _own(data), fs, labels)
    core = _core.analyse(recording, **checked)
    return Analysis(core, recording, checked)


def _restore_loaded(data, fs, labels, given):
    """The same for a recording load has just read into an array of its own."""
    return _restore(data, fs, labels, given, owned=True)


def load(path):
    """An analysis saved with ``Analysis.save``: the recording read back and
    checked against its SHA-256, analysed again with the saved settings, and
    checked against the saved tables (an analysis this version of TELMOR
    would make differently is refused, naming the version that saved it).

    Only a folder or a regular file is read, opened without waiting (a FIFO
    or device raises OSError at once); each member is read within the bound
    of what a saved analysis holds (the recording no more than its stated
    shape, at most 16 GiB of float32). A missing member, damage of any kind
    or a member beyond its bound raises ``telmor.SavedAnalysisError`` (a
    ValueError) naming the archive and the member."""
    return _saved.load(path, _restore_loaded)


def write_results(path, analysis):
    """Writes the analysis's results file as the desktop's s saves it (at most
    20 leads and 200 rows; times rounded to whole ms), replacing the file
    whole or not at all."""
    if not isinstance(analysis, Analysis):
        raise TypeError(f"analysis must be a telmor.Analysis, not {type(analysis).__name__}")
    _core.write_results(os.fspath(path), analysis._core)
