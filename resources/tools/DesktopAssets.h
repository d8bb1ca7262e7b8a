#pragma once

#include <QString>

// The pictures of the help screen and the desktop: drawn, or rendered from our own SVG.
namespace DesktopAssets {
// help@2x.png: the help screen's picture, 320 points wide.
bool drawHelpPicture(const QString &outDir);
// org.orbo.Orbo-<size>.png for each icon size, rendered from the icon's SVG.
bool renderIcons(const QString &svgPath, const QString &outDir);
} // namespace DesktopAssets
