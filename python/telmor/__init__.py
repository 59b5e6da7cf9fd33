"""TELMOR's analysis of multi-lead electrophysiological recordings.

A recording is an array of samples × leads at 1 kHz. ``analyse`` removes each
lead's baseline, differentiates it with a local least-squares cubic, finds
the beats on one lead and the activation time (AT, steepest fall) and
recovery time (RT, highest derivative peak) of every beat in every lead,
exactly as the desktop program and telmor-batch do.
"""
from ._core import (Analysis, RecordingError, ResultsError, __version__, analyse, read_recording,
                    read_results, write_results)

__all__ = ["Analysis", "RecordingError", "ResultsError", "__version__", "analyse",
           "read_recording", "read_results", "write_results"]
