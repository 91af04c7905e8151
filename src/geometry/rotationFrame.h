#pragma once
// Where a target pixel of a rotation looks in the source. For target row y and column x, with
// u = x − cx and v = y − cy, the source row is u·sine + v·cosine + cy − dy and the source column
// u·cosine − v·sine + cx − dx, each evaluated left to right.
namespace vellora {

struct RotationFrame {
    double sine, cosine;
    double cx, cy; // target centre
    double dx, dy; // offsets of the source inside the target
};

} // namespace vellora
