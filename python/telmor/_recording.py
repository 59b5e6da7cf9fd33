"""A recording as read from its file: samples with their rate and channels."""
import errno
import os

import numpy as np
from numpy.lib.mixins import NDArrayOperatorsMixin

from . import _core


class Recording(NDArrayOperatorsMixin):
    """A multi-lead recording: ``data`` (samples × leads, float32), ``fs`` (Hz),
    each lead's ``labels`` and ``units`` ("" where the file names none) and its
    ``source`` (the file it was read from, or "").

    It stands in for its array: ``numpy.asarray(recording)`` is ``data``,
    arithmetic and numpy functions act on ``data`` and give arrays, indexing
    and the array's own attributes (``dtype``, ``T``, ``astype``...) are
    ``data``'s. Sample i (from 0) lies at i * 1000 / fs ms, so the
    analysis's times (ms from the first sample at 1 ms) are one sample ahead of
    the array's index at 1 kHz: ``data[int(at_ms) - 1]``.
    """

    __slots__ = ("data", "fs", "labels", "units", "source")

    def __init__(self, data, fs, labels=None, units=None, source=""):
        data = np.ascontiguousarray(data, dtype=np.float32)
        if data.ndim != 2:
            raise ValueError(f"data must be 2-D (samples × leads), not {data.ndim}-D")
        fs = float(fs)
        if not fs > 0 or not np.isfinite(fs):
            raise ValueError(f"fs must be a positive number of Hz, not {fs}")
        leads = data.shape[1]
        self.data = data
        self.fs = fs
        self.labels = _per_lead(labels, leads, "labels")
        self.units = _per_lead(units, leads, "units")
        self.source = str(source)

    @property
    def shape(self):
        """(samples, leads)."""
        return self.data.shape

    @property
    def seconds(self):
        """The recording's length in seconds."""
        return self.data.shape[0] / self.fs

    def __array__(self, dtype=None, copy=None):
        return self.data if dtype is None else self.data.astype(dtype)

    def __array_ufunc__(self, ufunc, method, *inputs, **kwargs):
        inputs = tuple(x.data if isinstance(x, Recording) else x for x in inputs)
        return getattr(ufunc, method)(*inputs, **kwargs)

    def __getattr__(self, name):
        # What an array has and a recording does not (dtype, T, astype, copy,
        # mean...) is its data's: code written for the array keeps working.
        if name.startswith("__") or name in Recording.__slots__:
            raise AttributeError(name)
        return getattr(self.data, name)

    def __len__(self):
        return self.data.shape[0]

    def __getitem__(self, key):
        return self.data[key]

    def __setitem__(self, key, value):
        self.data[key] = value

    def __repr__(self):
        named = f", from {self.source!r}" if self.source else ""
        return (f"<telmor.Recording: {self.data.shape[1]} leads, {self.data.shape[0]} samples "
                f"at {self.fs:g} Hz{named}>")


def _per_lead(values, leads, name):
    if values is None:
        return [""] * leads
    values = [str(v) for v in values]
    if len(values) != leads:
        raise ValueError(f"{name} must name each of the {leads} leads, not {len(values)}")
    return values


def read_recording(path, leads=None, seconds=None, *, dataset=None, rate=None, orientation=None):
    """Reads a recording file as telmor-batch reads it: the text format (1 kHz
    unless ``rate``), CSV/TSV with a header row, EDF/EDF+/BDF/GDF, HDF5 and
    MATLAB v5/v7.3 (the format from the file's content, then its extension).

    ``leads`` and ``seconds`` state a text file's shape; of a file that states
    its own they take the first leads and seconds. ``dataset`` names the HDF5
    dataset or MATLAB variable where there are several, ``rate`` (Hz) gives the
    rate of a file that states none (and overrides one it states),
    ``orientation`` ("samples-by-leads" or "leads-by-samples") says which way a
    dataset lies when its shape cannot. Nothing is guessed: what a file cannot
    say raises ``RecordingError`` naming the keyword it needs.
    """
    path = os.fspath(path)
    if not os.path.exists(path):
        raise FileNotFoundError(errno.ENOENT, os.strerror(errno.ENOENT), path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    if not os.access(path, os.R_OK):
        raise PermissionError(errno.EACCES, os.strerror(errno.EACCES), path)
    data, fs, labels, units, _ = _core._read_recording(path, leads, seconds, dataset, rate, orientation)
    # The path as given, its bytes kept as os.fsdecode keeps them, so that
    # source opens the same file again.
    return Recording(data, fs, labels, units, os.fsdecode(path))
