#pragma once
// The file types of the texture dialog and the picture-save dialog.

namespace orx {

inline constexpr const char* kPictureFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";

}  // namespace orx
