// A vector in the flat local frame fixed at the start point: x north, y up, z east.
#pragma once

namespace kestro {

struct Vector3 {
    double x = 0.0;  // north
    double y = 0.0;  // up (the altitude, for a position)
    double z = 0.0;  // east
};

}  // namespace kestro
