"""TELMOR's analysis of multi-lead electrophysiological recordings.

A recording is a ``telmor.Recording`` read from its file (``read_recording``)
or an array of samples × leads with its rate (``fs``, default 1000 Hz).
``analyse`` removes each lead's baseline, differentiates it with a local
least-squares cubic, finds the beats on one lead and the activation time (AT,
steepest fall) and recovery time (RT, highest derivative peak) of every beat
in every lead, exactly as the desktop program and telmor-batch do.
"""
from ._core import (Analysis, RecordingError, ResultsError, __version__, analyse, read_results,
                    write_results)
from ._recording import Recording, read_recording

__all__ = ["Analysis", "Recording", "RecordingError", "ResultsError", "__version__", "analyse",
           "read_recording", "read_results", "write_results"]
