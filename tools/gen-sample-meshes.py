#!/usr/bin/env python3
"""Writes the STL meshes of the sample robots under samples/.

Boxes and cylinders only, with outward normals and counter-clockwise winding seen from outside.
Some meshes are written as binary STL so that the samples exercise both forms.

Usage: tools/gen-sample-meshes.py [REPOSITORY_ROOT]
"""

import math
import os
import struct
import sys

CYLINDER_SEGMENTS = 24


def subtract(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def normal_of(v0, v1, v2):
    n = cross(subtract(v1, v0), subtract(v2, v0))
    length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
    return (n[0] / length, n[1] / length, n[2] / length)


def quad(a, b, c, d):
    """Two triangles of the quad a-b-c-d, given counter-clockwise seen from outside."""
    return [(a, b, c), (a, c, d)]


def box(x0, y0, z0, x1, y1, z1):
    p = lambda x, y, z: (float(x), float(y), float(z))
    faces = []
    faces += quad(p(x0, y0, z0), p(x0, y1, z0), p(x1, y1, z0), p(x1, y0, z0))  # bottom, -Z
    faces += quad(p(x0, y0, z1), p(x1, y0, z1), p(x1, y1, z1), p(x0, y1, z1))  # top, +Z
    faces += quad(p(x0, y0, z0), p(x1, y0, z0), p(x1, y0, z1), p(x0, y0, z1))  # front, -Y
    faces += quad(p(x0, y1, z0), p(x0, y1, z1), p(x1, y1, z1), p(x1, y1, z0))  # back, +Y
    faces += quad(p(x0, y0, z0), p(x0, y0, z1), p(x0, y1, z1), p(x0, y1, z0))  # left, -X
    faces += quad(p(x1, y0, z0), p(x1, y1, z0), p(x1, y1, z1), p(x1, y0, z1))  # right, +X
    return faces


def cylinder(radius, z0, z1, segments=CYLINDER_SEGMENTS):
    """Cylinder about the Z axis from z0 to z1."""
    ring = []
    for i in range(segments):
        angle = 2.0 * math.pi * i / segments
        ring.append((radius * math.cos(angle), radius * math.sin(angle)))
    faces = []
    bottom_centre = (0.0, 0.0, float(z0))
    top_centre = (0.0, 0.0, float(z1))
    for i in range(segments):
        (xa, ya), (xb, yb) = ring[i], ring[(i + 1) % segments]
        a0, b0 = (xa, ya, float(z0)), (xb, yb, float(z0))
        a1, b1 = (xa, ya, float(z1)), (xb, yb, float(z1))
        faces.append((bottom_centre, b0, a0))
        faces.append((top_centre, a1, b1))
        faces += quad(a0, b0, b1, a1)
    return faces


def write_ascii(path, name, faces):
    with open(path, "w", newline="\n") as out:
        out.write("solid %s\n" % name)
        for v0, v1, v2 in faces:
            n = normal_of(v0, v1, v2)
            out.write("  facet normal %.6g %.6g %.6g\n" % n)
            out.write("    outer loop\n")
            for v in (v0, v1, v2):
                out.write("      vertex %.6g %.6g %.6g\n" % v)
            out.write("    endloop\n")
            out.write("  endfacet\n")
        out.write("endsolid %s\n" % name)


def write_binary(path, name, faces):
    header = ("binary STL %s" % name).encode("ascii").ljust(80, b" ")
    with open(path, "wb") as out:
        out.write(header)
        out.write(struct.pack("<I", len(faces)))
        for v0, v1, v2 in faces:
            out.write(struct.pack("<3f", *normal_of(v0, v1, v2)))
            for v in (v0, v1, v2):
                out.write(struct.pack("<3f", *v))
            out.write(struct.pack("<H", 0))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    arm2 = os.path.join(root, "samples", "two-link-arm")
    write_ascii(os.path.join(arm2, "base.stl"), "base", box(-50, -50, 0, 50, 50, 100))
    write_ascii(os.path.join(arm2, "arm.stl"), "arm", box(-15, -15, 0, 15, 15, 300))

    grip = os.path.join(root, "samples", "gripper-arm")
    write_ascii(os.path.join(grip, "base.stl"), "base", cylinder(240, 0, 160))
    write_ascii(os.path.join(grip, "link1.stl"), "link1", box(-60, -60, 0, 60, 60, 500))
    write_ascii(os.path.join(grip, "link2.stl"), "link2", box(-50, -50, 0, 50, 50, 400))
    write_binary(os.path.join(grip, "palm.stl"), "palm", box(-160, -40, 0, 160, 40, 60))
    write_binary(os.path.join(grip, "finger.stl"), "finger", box(-20, -30, 0, 20, 30, 120))

if __name__ == "__main__":
    main()
