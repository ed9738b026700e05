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


def write_collada(path, parts):
    """A COLLADA file of one node per part: (name, rgb, faces, row-major 4x4 node matrix).

    Each part has its own material, so a reader sees one mesh per colour under moved nodes.
    """
    effects, materials, geometries, nodes = [], [], [], []
    for name, rgb, faces, matrix in parts:
        colour = " ".join("%g" % c for c in rgb) + " 1"
        effects.append('<effect id="%s-fx"><profile_COMMON><technique sid="t"><lambert>'
                       '<diffuse><color>%s</color></diffuse></lambert></technique>'
                       '</profile_COMMON></effect>' % (name, colour))
        materials.append('<material id="%s-mat"><instance_effect url="#%s-fx"/></material>'
                         % (name, name))
        points = " ".join("%g %g %g" % v for face in faces for v in face)
        count = len(faces) * 3
        indices = " ".join(str(i) for i in range(count))
        geometries.append(
            '<geometry id="%s-mesh"><mesh><source id="%s-pos"><float_array id="%s-arr" '
            'count="%d">%s</float_array><technique_common><accessor source="#%s-arr" count="%d" '
            'stride="3"><param name="X" type="float"/><param name="Y" type="float"/>'
            '<param name="Z" type="float"/></accessor></technique_common></source>'
            '<vertices id="%s-vtx"><input semantic="POSITION" source="#%s-pos"/></vertices>'
            '<triangles material="m" count="%d"><input semantic="VERTEX" source="#%s-vtx" '
            'offset="0"/><p>%s</p></triangles></mesh></geometry>'
            % (name, name, name, count * 3, points, name, count, name, name, len(faces), name,
               indices))
        nodes.append('<node id="%s"><matrix>%s</matrix><instance_geometry url="#%s-mesh">'
                     '<bind_material><technique_common><instance_material symbol="m" '
                     'target="#%s-mat"/></technique_common></bind_material></instance_geometry>'
                     '</node>' % (name, " ".join("%g" % x for row in matrix for x in row), name,
                                  name))
    with open(path, "w") as out:
        out.write('<?xml version="1.0"?>\n<COLLADA xmlns="http://www.collada.org/2005/11/'
                  'COLLADASchema" version="1.4.1">\n<asset><unit meter="1"/>'
                  '<up_axis>Z_UP</up_axis></asset>\n')
        for library, items in (("effects", effects), ("materials", materials),
                               ("geometries", geometries)):
            out.write("<library_%s>\n%s\n</library_%s>\n" % (library, "\n".join(items), library))
        out.write('<library_visual_scenes><visual_scene id="scene">\n%s\n</visual_scene>'
                  '</library_visual_scenes>\n<scene><instance_visual_scene url="#scene"/></scene>'
                  '\n</COLLADA>\n' % "\n".join(nodes))


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

    # The URDF sample's palm, in millimetres: a dark plate and an orange knuckle on a turned node.
    urdf_arm = os.path.join(root, "samples", "urdf-arm", "meshes")
    os.makedirs(urdf_arm, exist_ok=True)
    identity = ((1, 0, 0, 0), (0, 1, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1))
    knuckle = ((0, -1, 0, 20), (1, 0, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1))
    write_collada(os.path.join(urdf_arm, "palm.dae"), [
        ("plate", (0.2, 0.2, 0.22), box(0, -45, -12, 50, 45, 12), identity),
        ("knuckle", (0.95, 0.5, 0.1), cylinder(18, -20, 20), knuckle)])

if __name__ == "__main__":
    main()
