#pragma once

#include <QString>

// The pictures of the full-screen player and of the all-songs list.
namespace PlayerDetailAssets {
// playerDetail_*@2x.png (the sliders' thumbs and tracks, the plates, the tag panel's
// handles, the close button) and listBackground@2x.png.
bool draw(const QString &outDir);
} // namespace PlayerDetailAssets
