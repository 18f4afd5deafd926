"""The Python module against closed forms and against brelund-calc itself.

Run by ctest (test python_module) with PYTHONPATH at the built module,
BRELUND_CALC at the built brelund-calc and BRELUND_SOURCE_DIR at the sources.
"""
import json
import math
import os
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import brelund

SOURCE = os.environ.get("BRELUND_SOURCE_DIR",
                        os.path.join(os.path.dirname(__file__), "..", ".."))
CALC = os.environ.get("BRELUND_CALC", "brelund-calc")
BARGE = os.path.join(SOURCE, "samples", "barge.nav")
WIGLEY = os.path.join(SOURCE, "samples", "wigley.nav")


def box(length, beam, depth):
    """A box from x 0..L, y -B/2..B/2, z 0..D: 8 vertices, 6 outward quads."""
    b = beam / 2
    v = np.array([[0, -b, 0], [length, -b, 0], [length, b, 0], [0, b, 0],
                  [0, -b, depth], [length, -b, depth], [length, b, depth], [0, b, depth]],
                 dtype=np.float64)
    f = np.array([[0, 3, 2, 1], [4, 5, 6, 7], [0, 1, 5, 4],
                  [1, 2, 6, 5], [2, 3, 7, 6], [3, 0, 4, 7]])
    return v, f


def calc(*args):
    """brelund-calc's JSON output and its stderr."""
    run = subprocess.run([CALC, *args, "--format", "json", "--digits", "17"],
                         capture_output=True, text=True, check=False)
    assert run.returncode == 0, run.stderr
    return json.loads(run.stdout)


def calc_refusal(*args):
    run = subprocess.run([CALC, *args], capture_output=True, text=True, check=False)
    assert run.returncode in (1, 2), run.stdout
    return run.stderr.strip().removeprefix("brelund-calc: ")


def assert_table_equals_json(table, records):
    """A table of the module (key -> array, 'units') equals the command
    line's records (a list of objects), value for value."""
    keys = [k for k in table if k != "units"]
    assert keys == list(records[0].keys())
    for key in keys:
        expected = [r[key] for r in records]
        got = table[key]
        assert len(got) == len(expected), key
        for g, e in zip(got, expected):
            if e is None:
                assert g is None or (isinstance(g, float) and math.isnan(g)), key
            else:
                assert g == e, (key, g, e)


def assert_row_equals_json(row, record):
    assert [k for k in row if k != "units"] == list(record.keys())
    for key, e in record.items():
        assert row[key] == e, (key, row[key], e)


def test_box_barge_closed_forms_through_arrays():
    ship = brelund.Ship()
    element = ship.add("hull", box(30.0, 8.0, 3.0), name="barge")
    assert element["faces"] == 12 and element["volume"] == pytest.approx(720, rel=1e-14)
    r = ship.hydrostatics([0.5, 1.5, 2.5])
    c = r["curves"]
    t = np.array([0.5, 1.5, 2.5])
    np.testing.assert_allclose(c["volume_m3"], 30 * 8 * t, rtol=1e-13)
    np.testing.assert_allclose(c["displacement_t"], 1.025 * 30 * 8 * t, rtol=1e-13)
    np.testing.assert_allclose(c["KB_m"], t / 2, rtol=1e-13)
    np.testing.assert_allclose(c["BMt_m"], 8 ** 2 / (12 * t), rtol=1e-12)
    np.testing.assert_allclose(c["BMl_m"], 30 ** 2 / (12 * t), rtol=1e-12)
    np.testing.assert_allclose(c["LCB_m"], 15, rtol=1e-13)
    np.testing.assert_allclose(c["Cb"], 1, rtol=1e-13)
    assert c["units"]["volume_m3"] == "m^3" and c["T_m"].dtype == np.float64
    assert r["datums"]["Lpp_m"] == 30


def test_bad_arrays_are_refused_with_their_fault():
    ship = brelund.Ship()
    v, f = box(30.0, 8.0, 3.0)
    bad_nan = v.copy()
    bad_nan[5, 2] = np.nan
    cases = [
        ((v[:, :2], f), "vertices: an array of N x 3 coordinates is needed"),
        ((v, f[:, :2]), "faces: an array of M x 3 (triangles) or M x 4"),
        ((bad_nan, f), "vertices: row 5 (30, -4, nan) holds a value that is not a finite number"),
        ((v, f + 1), "faces: row 1 refers to vertex 8, outside 0 to 7"),
        ((v, -f), "faces: row 0 refers to vertex -3, outside 0 to 7"),
        ((v, f.astype(float)), "faces: whole-number vertex indices are needed"),
        ((v, f[:0]), "faces: no face given"),
    ]
    for source, message in cases:
        with pytest.raises(brelund.BrelundError) as e:
            ship.add("hull", source)
        assert str(e.value).startswith(message), str(e.value)
    assert ship.elements == []  # nothing half added


def test_ship_round_trip_and_edits(tmp_path):
    ship = brelund.Ship.load(BARGE)
    path = tmp_path / "copy.nav"
    ship.add("tank", box(4.0, 2.0, 1.0), name="extra", density=0.85)
    ship.edit("extra", filling=0.5, rename="extra tank")
    ship.save(path)
    again = brelund.Ship.load(path)
    assert again.elements == ship.elements
    assert again.elements[-1]["name"] == "extra tank"
    assert again.elements[-1]["load_volume"] == pytest.approx(4.0, rel=1e-12)
    a, b = ship.hydrostatics([1, 2]), again.hydrostatics([1, 2])
    for key in a["curves"]:
        if key != "units":
            np.testing.assert_array_equal(a["curves"][key], b["curves"][key])
    # The file on disk and brelund-calc list agree with the module.
    listed = subprocess.run([CALC, "list", str(path)], capture_output=True, text=True,
                            check=True).stdout.splitlines()
    assert [line.split("\t")[1] for line in listed[1:]] == [e["name"] for e in again.elements]
    again.delete("extra tank")
    inverted = again.invert(again.elements[0]["name"])
    assert inverted["volume"] == pytest.approx(-ship.elements[0]["volume"])
    # Another program's save since this ship was read is not overwritten unasked.
    ship.edit("extra tank", enabled=False)
    again.save()
    with pytest.raises(brelund.BrelundError, match="changed by another program"):
        ship.save()
    ship.save(overwrite=True)
    assert brelund.Ship.load(str(path)).elements[-1]["enabled"] is False
    with pytest.raises(brelund.BrelundError, match="no element named 'nothing'"):
        ship.edit("nothing", enabled=True)
    with pytest.raises(brelund.BrelundError, match=r"--permeability applies"):
        ship.edit("extra tank", permeability=0.5)


def test_check_finds_an_open_surface():
    ship = brelund.Ship()
    v, f = box(10.0, 4.0, 2.0)
    with pytest.warns(brelund.BrelundWarning, match="'open' is open: 4 boundary edges"):
        ship.add("hull", (v, f[1:]), name="open")
    with pytest.warns(brelund.BrelundWarning):
        ship.add("hull", (v, f[:, ::-1].copy()), name="inward")
    checks = {c["name"]: c for c in ship.check()}
    assert not checks["open"]["closed"] and checks["open"]["boundary_edges"] == 4
    assert checks["inward"]["closed"] and not checks["inward"]["outward"]
    assert checks["inward"]["volume"] == pytest.approx(-80)


def test_hydrostatics_equals_the_command_line():
    ship = brelund.Ship.load(WIGLEY)
    for kwargs, args in [({"draughts": "2:8:1.5", "trim": 0.5, "heel": 3},
                          ["--draughts", "2:8:1.5", "--trim", "0.5", "--heel", "3"]),
                         ({"draughts": np.array([1.0, 6.25]), "ap": 2.0, "fp": 98.0,
                           "density": 1.0, "baseline": 0.5},
                          ["--draughts", "1,6.25", "--ap", "2", "--fp", "98",
                           "--density", "1", "--baseline", "0.5"]),
                         ({}, [])]:
        got = ship.hydrostatics(**kwargs)
        expected = calc("hydrostatics", WIGLEY, *args)
        assert_row_equals_json(got["datums"], expected["datums"])
        assert_table_equals_json(got["curves"], expected["curves"])


def test_stability_equals_the_command_line():
    barge = brelund.Ship.load(BARGE)
    wigley = brelund.Ship.load(WIGLEY)
    runs = [
        (barge, {"lightship": 350, "lcg": 15, "vcg": 2.5, "heels": "0:70:10",
                 "flooding_angle": 35},
         [BARGE, "--lightship", "350", "--lcg", "15", "--vcg", "2.5", "--heels", "0:70:10",
          "--flooding-angle", "35"]),
        (barge, {"condition": "Arrivo - criteri non soddisfatti", "weather": True},
         [BARGE, "--condition", "Arrivo - criteri non soddisfatti", "--weather"]),
        # The condition's windage items, and bilge keels given.
        (barge, {"condition": "Partenza - criteri soddisfatti", "weather": True,
                 "bilge_keel_area": 3.0},
         [BARGE, "--condition", "Partenza - criteri soddisfatti", "--weather",
          "--bilge-keel-area", "3"]),
        (wigley, {"condition": "Partenza - criteri soddisfatti", "vcg": 3.0},
         [WIGLEY, "--condition", "Partenza - criteri soddisfatti", "--vcg", "3"]),
    ]
    for ship, kwargs, args in runs:
        got = ship.stability(**kwargs)
        expected = calc("stability", *args)
        assert list(got.keys()) == list(expected.keys())
        for part, value in expected.items():
            if isinstance(value, list):
                assert_table_equals_json(got[part], value)
            else:
                assert_row_equals_json(got[part], value)


def test_refusals_carry_the_command_lines_messages():
    ship = brelund.Ship.load(BARGE)
    pairs = [
        (lambda: ship.hydrostatics([1.0], heel=90),
         ["hydrostatics", BARGE, "--draughts", "1", "--heel", "90"]),
        (lambda: ship.hydrostatics([-5.0]), ["hydrostatics", BARGE, "--draughts", "-5"]),
        (lambda: ship.hydrostatics(density=float("nan")),
         ["hydrostatics", BARGE, "--density", "nan"]),
        (lambda: ship.stability(lightship=1e6, lcg=15, vcg=2),
         ["stability", BARGE, "--lightship", "1e6", "--lcg", "15", "--vcg", "2"]),
        (lambda: ship.stability("nessuna"), ["stability", BARGE, "--condition", "nessuna"]),
        (lambda: ship.stability(lcg=15, vcg=2), ["stability", BARGE, "--lcg", "15", "--vcg", "2"]),
    ]
    for call, args in pairs:
        with pytest.raises(brelund.BrelundError) as e:
            call()
        assert str(e.value) == calc_refusal(*args)


def test_threads_give_the_serial_numbers():
    ship = brelund.Ship.load(WIGLEY)
    brelund.set_threads(1)
    assert brelund.threads() == 1
    serial = ship.stability("Partenza - criteri soddisfatti")["curve"]["GZ_m"]
    brelund.set_threads(0)
    results = [None] * 4

    def run(i):
        results[i] = ship.stability("Partenza - criteri soddisfatti")["curve"]["GZ_m"]

    threads = [threading.Thread(target=run, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        np.testing.assert_array_equal(r, serial)


def test_brelund_threads_is_read_as_the_command_line_reads_it():
    def run(value, *command):
        env = dict(os.environ, BRELUND_THREADS=value)
        return subprocess.run(command, env=env, capture_output=True, text=True)
    importing = [sys.executable, "-c", "import brelund; print(brelund.threads())"]
    assert run("1", *importing).stdout.strip() == "1"
    bad = run("x", *importing)
    said = run("x", CALC, "list", WIGLEY).stderr.strip().removeprefix("brelund-calc: ")
    assert bad.returncode != 0 and said and said in bad.stderr


def test_example_script_runs(tmp_path):
    script = os.path.join(SOURCE, "examples", "gz_box_barges.py")
    run = subprocess.run([sys.executable, script, str(tmp_path / "gz.png")],
                         capture_output=True, text=True, check=True, env=dict(os.environ, MPLBACKEND="Agg"))
    lines = [line for line in run.stdout.splitlines() if line.startswith("B = ")]
    assert len(lines) == 7 and "B =  8 m: GM0 2.306 m" in lines[0]


def calc_grid(*args):
    run = subprocess.run([CALC, *args], capture_output=True, text=True, check=True)
    return [line.split("\t") for line in run.stdout.splitlines()]


def c_format(fmt, value):
    return "-" if math.isnan(value) else (fmt % value).replace("-0", "0") if value == 0 else fmt % value


def test_tables_equal_the_command_lines_grids():
    barge = brelund.Ship.load(BARGE)
    wigley = brelund.Ship.load(WIGLEY)
    # upright: Z and Z rel %.4g, the rest %g, "-" for no value.
    for ship, path, kwargs, args in [(barge, BARGE, {"dz": 0.5}, ["--dz", "0.5"]),
                                     (wigley, WIGLEY, {"heel": 5, "rule": "exact"},
                                      ["--heel", "5", "--rule", "exact"])]:
        table = ship.upright(**kwargs)
        grid = calc_grid("upright", path, *args)
        keys = [k for k in table if k != "units"]
        assert len(keys) == len(grid[0]) == 14 and len(grid) - 1 == len(table["Z_m"])
        for r, row in enumerate(grid[1:]):
            assert [c_format("%.4g" if k < 2 else "%g", table[key][r])
                    for k, key in enumerate(keys)] == row
    # inclined: volumes down, heels across, levers %.4G.
    table = wigley.inclined("gz", vi=2000, vf=3000, dv=500, af=60)
    grid = calc_grid("inclined", WIGLEY, "--kind", "gz", "--vi", "2000", "--vf", "3000",
                     "--dv", "500", "--af", "60")
    assert grid[1][1] == "GZ [m]" and table["GZ_m"].shape == (3, 5)
    assert [float(h) for h in grid[0][2:]] == list(table["heel_deg"])
    for j, row in enumerate(grid[2:]):
        assert float(row[0]) == table["volume_m3"][j]
        assert row[2:] == [c_format("%.4G", v) for v in table["GZ_m"][j]]
    # bonjean: waterlines down, stations across, areas and moments %.5g.
    table = wigley.bonjean(zstart=1, zend=6, dz=2.5, station0=0, station20=100, extra=[2.5])
    for name, key in [("areas", "area_m2"), ("moments", "moment_m3")]:
        grid = calc_grid("bonjean", WIGLEY, "--zstart", "1", "--zend", "6", "--dz", "2.5",
                         "--station0", "0", "--station20", "100", "--extra", "2.5",
                         "--table", name)
        assert grid[0][1:] == [c_format("%.3g", s) if s % 1 else "%i" % s
                               for s in table["station"]]
        for k, row in enumerate(grid[1:]):
            assert row[1:] == [c_format("%.5g", v) for v in table[key][k]]
    # trim: heel and trim %.15g.
    sub = os.path.join(SOURCE, "samples", "submarine.nav")
    r = brelund.Ship.load(sub).trim(xg=0.5, yg=0, zg=-0.2, weight=100, tolerance=1e-4)
    grid = calc_grid("trim", sub, "--xg", "0.5", "--yg", "0", "--zg", "-0.2", "--weight", "100",
                     "--tolerance", "1e-4")
    assert grid == [["Teta x", "%.15g" % r["heel_deg"]], ["Teta y", "%.15g" % r["trim_deg"]]]


def test_tanks_equal_the_command_line():
    wigley = brelund.Ship.load(WIGLEY)
    tank = [e["name"] for e in wigley.elements if e["kind"] == "tank"][0]
    for kwargs, args in [({"tanks": [tank], "soundings": "0:3:0.5", "trims": [0, 1]},
                          [tank, "--soundings", "0:3:0.5", "--trims", "0,1"]),
                         ({"volumes": [5.0, 10.0], "heel": 2, "density": 0.85},
                          ["--volumes", "5,10", "--heel", "2", "--density", "0.85"])]:
        assert_table_equals_json(wigley.tanks(**kwargs), calc("tanks", WIGLEY, *args))


def test_add_from_a_drawing_as_the_command_line_adds_it(tmp_path):
    drawing = os.path.join(SOURCE, "samples", "barge-fore-peak.dxf")
    by_calc, by_module = tmp_path / "calc.nav", tmp_path / "module.nav"
    subprocess.run([CALC, "add", str(by_calc), "hull", os.path.join(SOURCE, "samples", "barge.dxf"),
                    "--name", "scafo"], check=True, capture_output=True)
    subprocess.run([CALC, "add", str(by_calc), "compartment", drawing], check=True,
                   capture_output=True)
    ship = brelund.Ship()
    ship.add("hull", os.path.join(SOURCE, "samples", "barge.dxf"), name="scafo")
    added = ship.add("compartment", drawing)
    assert added["name"] == os.path.abspath(drawing)
    ship.save(str(by_module))

    def listed(path):
        return subprocess.run([CALC, "list", str(path)], capture_output=True, text=True,
                              check=True).stdout

    assert listed(by_module) == listed(by_calc)
    with pytest.raises(brelund.BrelundError, match="no mesh found|cannot|not"):
        ship.add("tank", str(tmp_path / "missing.stl"))
    assert len(ship.elements) == 2


def test_damage_equals_the_command_line():
    barge = brelund.Ship.load(BARGE)
    condition = "Partenza - criteri soddisfatti"
    runs = [({"case": "all"}, ["--case", "all"]),
            ({"case": "Locale di dritta allagato", "criteria": "solas90"},
             ["--case", "Locale di dritta allagato", "--criteria", "solas90"]),
            ({"open": "gavone di prua", "bulkhead_deck": 3.0, "vcg": 2.2},
             ["--open", "gavone di prua", "--bulkhead-deck", "3", "--vcg", "2.2"])]
    for kwargs, args in runs:
        got = barge.damage(condition, **kwargs)
        expected = calc("damage", BARGE, "--condition", condition, *args)
        if isinstance(expected, dict):
            got, expected = [got], [expected]
        assert len(got) == len(expected)
        for g, e in zip(got, expected):
            assert list(g.keys()) == list(e.keys())
            for part, value in e.items():
                if isinstance(value, list):
                    if value:
                        assert_table_equals_json(g[part], value)
                    else:
                        assert all(len(g[part][k]) == 0 for k in g[part] if k != "units")
                else:
                    assert_row_equals_json(g[part], value)
    with pytest.raises(brelund.BrelundError) as e:
        barge.damage(condition, case="nessuno")
    assert str(e.value) == calc_refusal("damage", BARGE, "--condition", condition,
                                        "--case", "nessuno")


def test_ctrl_c_stops_a_calculation_and_leaves_the_ship_usable():
    """Ctrl-C half a second into a table of minutes raises KeyboardInterrupt
    at once, and the ship's lock is free again."""
    wigley = brelund.Ship.load(WIGLEY)
    timer = threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT))
    start = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        wigley.inclined("kz", vi=100, vf=4800, dv=0.5, af=90, da=1)
    timer.join()
    # Not a speed figure: the whole table takes minutes, a stop a cell or two.
    assert time.monotonic() - start < 60
    assert wigley.hydrostatics(draughts="3")["curves"]["T_m"][0] == 3
