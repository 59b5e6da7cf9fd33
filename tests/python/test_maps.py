"""Conduction velocity, restitution and dispersion from the module, on a
planar wave over a grid of electrodes."""
import math

import numpy as np
import pytest

import telmor

ROWS, COLUMNS, PITCH = 4, 5, 1.0
SPEED, DIRECTION = 0.5, 30.0  # m/s (mm/ms), degrees


def planar_wave(seconds=8, interval=1000.0):
    """Each lead's downstroke delayed by its distance along the direction
    over the speed, and a T wave 200 ms after it; no downstroke near a
    second's boundary, where the fit's abscissae jump from 1000 to 1."""
    t = np.arange(1, seconds * 1000 + 1, dtype=np.float64)
    leads = ROWS * COLUMNS
    wave = np.zeros((t.size, leads))
    d = np.array([math.cos(math.radians(DIRECTION)), math.sin(math.radians(DIRECTION))])
    for n in range(leads):
        x, y = (n % COLUMNS) * PITCH, (n // COLUMNS) * PITCH
        delay = (x * d[0] + y * d[1]) / SPEED
        for beat in np.arange(500.0, t[-1] - 400.0, interval):
            a = beat + delay
            wave[:, n] += -10.0 * np.tanh((t - a) / 3.0) * np.exp(-((t - a) / 60.0) ** 2)
            wave[:, n] += 2.0 * np.exp(-((t - a - 200.0) / 40.0) ** 2)
    return wave


def grid():
    return {n + 1: ((n % COLUMNS) * PITCH, (n // COLUMNS) * PITCH) for n in range(ROWS * COLUMNS)}


def column(table, name):
    return np.asarray(table[name])


def test_planar_wave_speed_and_direction_at_inner_electrodes():
    maps = telmor.analyse(planar_wave()).maps(grid())
    cv = maps["cv"]
    inner = [n + 1 for n in range(ROWS * COLUMNS)
             if 0 < n % COLUMNS < COLUMNS - 1 and 0 < n // COLUMNS < ROWS - 1]
    for method in ("surface", "triangle"):
        chosen = (column(cv, "method") == method) & np.isin(column(cv, "lead"), inner)
        assert chosen.sum() >= len(inner) * 5, method
        speeds = column(cv, "speed_m_s")[chosen]
        directions = column(cv, "direction_deg")[chosen]
        assert np.all(np.abs(speeds - SPEED) <= 0.05 * SPEED), (method, speeds)
        assert np.all(np.abs((directions - DIRECTION + 180.0) % 360.0 - 180.0) <= 5.0), (method, directions)


def test_restitution_and_dispersion_follow_the_beats():
    analysis = telmor.analyse(planar_wave())
    maps = analysis.maps(np.array([[(n % COLUMNS) * PITCH, (n // COLUMNS) * PITCH]
                                   for n in range(ROWS * COLUMNS)]))
    beats = analysis.beats
    restitution = maps["restitution"]
    lead_1 = column(restitution, "lead") == 1
    np.testing.assert_array_equal(column(restitution, "cl_ms")[lead_1], np.diff(beats))
    spread = maps["dispersion"]
    assert len(column(spread, "beat")) == len(beats)
    # The wave crosses the grid in the distance along the direction over the speed.
    far = (COLUMNS - 1) * PITCH * math.cos(math.radians(DIRECTION)) + (ROWS - 1) * PITCH * math.sin(
        math.radians(DIRECTION))
    np.testing.assert_allclose(column(spread, "total_activation_ms"), far / SPEED, atol=0.5)


@pytest.mark.parametrize("layout,message", [
    ({1: (0.0, 0.0), 2: (0.0, 0.0)}, "lead 2"),
    ({1: (0.0, float("inf"))}, "not finite"),
    ({0: (0.0, 0.0)}, "from 1"),
    (np.zeros((3, 3)), "rows \\(x_mm, y_mm\\)"),
])
def test_bad_layouts_are_refused(layout, message):
    analysis = telmor.analyse(planar_wave(seconds=2))
    with pytest.raises(ValueError, match=message):
        analysis.maps(layout)
