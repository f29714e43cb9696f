#pragma once
// Thumbnails for file managers: the open model drawn into a square from a fixed
// three-quarter view, filling it, on a transparent background.
#include <cstdint>
#include <vector>

namespace orx {

class CViewerDlg;
struct ModelBounds;

struct ThumbnailView {
    double angles[3];    // rotation about x, y, z in degrees, as the viewer turns a model
    double origin[3];    // model position in front of the eye
    double fieldOfView;  // vertical and horizontal, in degrees
    double zNear, zFar;  // clipping planes enclosing the model
};

// The fixed view: turned 35 degrees about the upright axis and tilted 22 degrees
// towards the eye, so that front, one side and the top show.
inline constexpr double kThumbnailAngles[3] = {22.0, -35.0, 0.0};
inline constexpr double kThumbnailFieldOfView = 30.0;
// Share of the picture's side that the model's wider extent takes.
inline constexpr double kThumbnailFill = 0.94;

// The view in which a model of bounds `bounds` (as a build leaves them) fills a square
// picture, centred. False when the bounds hold nothing to show (no part read, or a
// model that the build cannot scale).
bool FitThumbnailView(const ModelBounds& bounds, ThumbnailView& view);

// Draws the model open in `dlg`, whose OpenGL context is current on a drawing surface of
// at least size * supersample pixels square, and reduces it to a size x size RGBA picture
// (top row first): each pixel's colour is the mean of the model's samples in it, its alpha
// the share of samples covered by the model. False when there is nothing to show.
bool RenderThumbnail(CViewerDlg& dlg, int size, int supersample, std::vector<uint8_t>& rgba);

}  // namespace orx
