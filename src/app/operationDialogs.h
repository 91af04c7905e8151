#pragma once
// Puts every operation dialog into the dialog registry (app/dialogRegistry.h). Each family of
// dialogs registers its own in its registration file.
namespace vellora::app {

void registerOperationDialogs();

void registerTilingDialogs();   // tiling, the build sheet's setup
void registerColorDialogs();    // colour conversion, the hidden menu
void registerToneDialogs();     // gray scale, black and white, invert, posterization, histogram
void registerFilterDialogs();   // smoothing, sharpening, edge-preserving, edges, de noise, user filter
void registerGeometryDialogs(); // crop, resize, arbitrary rotation

} // namespace vellora::app
