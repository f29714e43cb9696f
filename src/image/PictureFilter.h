#pragma once
// The file types of the texture dialog and the picture-save dialog.

namespace orx {

inline constexpr const char* kPictureFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";

// The picture-save dialog offers PNG too, which textures cannot be read from.
inline constexpr const char* kSaveFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|PNG (*.png)|*.png|"
    "All Files (*.*)|*.*||";

}  // namespace orx
