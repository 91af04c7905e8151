#pragma once
// Edge detection: a direction operator in one direction, the stronger of its vertical and
// horizontal responses per pixel ("vert + horz"), or a non-direction mask, each through the
// convolution pass; negative responses clamp to black.
#include "core/session.h"

namespace vellora {

inline constexpr int kEdgeModeDirection = 0;
inline constexpr int kEdgeModeNonDirection = 1;
inline constexpr int kBothDirections = 3; // direction list index of "vert + horz"

// Per pixel of two 24 bpp pictures of the target's size: the vertical colour when its squared
// magnitude b² + g² + r² is larger, otherwise (ties included) the horizontal colour. Returns 0.
int strongerOfTwo(Session& session, DibImage& target, const DibImage& vertical,
                  const DibImage& horizontal);

// Reads the current intermediate file itself, writes the edge picture to nextPath and releases
// every block. 0, or 1 on failure (a setting outside its list included).
int detectEdges(Session& session, int mode, int direction, int edgeOperator, int nonDirection);

// The command: the operation frame around detectEdges with `edgeDetectMode` and the three
// values of `edgeDetectChoice`.
int edgeDetectHandler(Session& session);

} // namespace vellora
