"""TELMOR's analysis of multi-lead electrophysiological recordings.

A recording is a ``telmor.Recording`` read from its file (``read_recording``),
an array of samples × leads with its rate (``fs``, default 1000 Hz), an MNE
Raw or a neo AnalogSignal. ``analyse`` removes each lead's baseline,
differentiates it with a local least-squares cubic, finds the beats on one
lead and the activation time (AT, steepest fall) and recovery time (RT,
highest derivative peak) of every beat in every lead, exactly as the desktop
program and telmor-batch do. Times are ms from the recording's start, sample
i (from 0) at (i + 1) × 1000 / fs ms.
"""
from ._core import RecordingError, ResultsError, __version__, read_results
from ._recording import Recording, read_recording
from ._analysis import Analysis, analyse, load, write_results
from ._saved import SavedAnalysisError

__all__ = ["Analysis", "Recording", "RecordingError", "ResultsError", "SavedAnalysisError", "__version__", "analyse",
           "load", "read_recording", "read_results", "write_results"]

# The public names are telmor's, wherever they are defined.
for _public in (Analysis, Recording, SavedAnalysisError, analyse, load, read_recording, write_results):
    _public.__module__ = "telmor"
del _public
