// MeshBuilder: makes the only meshes the system draws, a flat grid and a dome.
//
// Holds no state (its operations are static). Each builder returns a newly
// allocated Mesh with one group and no key frames, every vertex, corner and
// triangle written; the caller owns it and deletes it. Returns null when the
// mesh or one of its arrays cannot be allocated. Nothing here runs per frame.
//
// Sizes of at least 1 are the builders' precondition; a 0 size returns null
// (the dome's angle steps would divide by zero).
#pragma once

#include "Types.h"

class Mesh;

class MeshBuilder
{
  public:
    // nColumns x nRows vertices at (column, row, 0) with normal +z, one corner
    // per vertex, two triangles per quad (counter-clockwise seen from +z with
    // x to the right and y up).
    static Mesh* BuildGrid(UInt32 nColumns, UInt32 nRows);
    // A hemisphere of nRings rings of nSlices vertices around the z axis, rim
    // in the plane z = 0, climbing towards -z, plus the pole at (0, 0, -radius).
    // Each ring has one extra closing corner with s = 255 for the texture seam.
    static Mesh* BuildDome(UInt32 nSlices, UInt32 nRings, float fRadius);
};
