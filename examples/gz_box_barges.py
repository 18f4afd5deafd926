#!/usr/bin/env python3
"""GZ curves of a parametric series of box barges, beam 8 to 14 m.

Each barge is 30 m long and 3 m deep, floats at 1.5 m in sea water with its
centre of gravity 2 m above the keel. The hull is built from numpy arrays;
the curves come from the same engine as `brelund-calc stability`. With
matplotlib installed the curves are drawn into gz_box_barges.png (or the
file named on the command line); without it they are printed.
"""
import sys

import numpy as np

import brelund

LENGTH, DEPTH, DRAUGHT, KG = 30.0, 3.0, 1.5, 2.0


def box(length, beam, depth):
    """8 vertices and 6 quadrilaterals, normals outward."""
    b = beam / 2
    vertices = np.array([[0, -b, 0], [length, -b, 0], [length, b, 0], [0, b, 0],
                         [0, -b, depth], [length, -b, depth], [length, b, depth],
                         [0, b, depth]], dtype=np.float64)
    faces = np.array([[0, 3, 2, 1], [4, 5, 6, 7], [0, 1, 5, 4],
                      [1, 2, 6, 5], [2, 3, 7, 6], [3, 0, 4, 7]])
    return vertices, faces


def gz_curve(beam):
    ship = brelund.Ship()
    ship.add("hull", box(LENGTH, beam, DEPTH), name="barge")
    weight = 1.025 * LENGTH * beam * DRAUGHT
    return ship.stability(lightship=weight, lcg=LENGTH / 2, vcg=KG, heels="0:80:5")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "gz_box_barges.png"
    curves = {beam: gz_curve(beam) for beam in range(8, 15)}
    for beam, r in curves.items():
        s = r["summary"]
        passed = all(r["criteria"]["result"] == "pass")
        print(f"B = {beam:2d} m: GM0 {s['GM0_m']:.3f} m, GZmax {s['GZmax_m']:.3f} m "
              f"at {s['heel_GZmax_deg']:.1f} deg, criteria {'met' if passed else 'not met'}")
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib is not installed: no plot")
        return
    fig, ax = plt.subplots(figsize=(8, 5))
    for beam, r in curves.items():
        ax.plot(r["curve"]["heel_deg"], r["curve"]["GZ_m"], label=f"B = {beam} m")
    ax.set_xlabel("heel [deg]")
    ax.set_ylabel("GZ [m]")
    ax.set_title(f"Box barges {LENGTH:g} x B x {DEPTH:g} m, T {DRAUGHT:g} m, KG {KG:g} m")
    ax.grid(True)
    ax.legend()
    fig.savefig(out, dpi=100)
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
