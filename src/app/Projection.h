#pragma once
// The frame's perspective, set by the frame drawing and undone by the picking ray:
// the vertical field of view in degrees and the eye distances of the near and far
// planes.
namespace orx {

inline constexpr double kFieldOfView = 45.0;
inline constexpr double kNearPlane = 1.0;
inline constexpr double kFarPlane = 10.0;

}  // namespace orx
