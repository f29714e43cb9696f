#pragma once
// The names in the settings file "orx-view.ini" and in the design program's ORX.INI.
// Stored files and the design program rely on them: they never change.
namespace orx::key {

// Section "common": the display options, each written when it changes.
inline constexpr const char* kSection = "common";
inline constexpr const char* kAxes = "Achsenkreuz";
inline constexpr const char* kRoomEdges = "Raumkanten";
inline constexpr const char* kZeroPlane = "Nullkanten";
inline constexpr const char* kAutoRotate = "RotateTimeOn";
inline constexpr const char* kShading = "shading";
inline constexpr const char* kLightMode = "LightMode";
inline constexpr const char* kColourScheme = "Schattierungen";
inline constexpr const char* kBackRed = "ColR";
inline constexpr const char* kBackGreen = "ColG";
inline constexpr const char* kBackBlue = "ColB";
inline constexpr const char* kTexture = "TexturNr";
// The folder the open and texture dialogs were last used in.
inline constexpr const char* kDialogFolder = "LetzterOrdner";
// The folder and the file type ("jpg", "bmp", "png") a picture was last saved in, and
// the folder a model was last exported to.
inline constexpr const char* kPictureFolder = "BildOrdner";
inline constexpr const char* kPictureType = "BildTyp";
inline constexpr const char* kExportFolder = "ExportOrdner";

// Section "ORX-VIEW" of the same file: the window placement, written at the close.
inline constexpr const char* kPlacementSection = "ORX-VIEW";

// ORX.INI of the design program: the model it works on.
inline constexpr const char* kLiveSection = "LIFE";
inline constexpr const char* kLiveModel = "ACTUAL";

}  // namespace orx::key
