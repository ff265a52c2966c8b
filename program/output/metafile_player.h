#pragma once

#include "canvas/play_target.h"

class QPainter;

// The font the pages name, and the font that draws it here (fixed pitch, a
// half-width character half as wide as a full-width one).
inline constexpr const char* kPageFontFace = "ＭＳ ゴシック";
inline constexpr const char* kPageFontStandIn = "IPAGothic";

// Registers the stand-in font for the page font; called at start-up and by the
// player itself, any number of times.
void RegisterPageFontSubstitution();

// Replays page canvases onto a QPainter (the figure pane, the preview's page
// box, a printer page or a QImage). Pens are at least one device pixel wide;
// text is drawn one code page 932 byte per column, each column as wide as the
// recorded font width, on a box filled with the painter's background colour.
class PainterTarget final : public PlayTarget {
  public:
    explicit PainterTarget(QPainter& painter) : painter_(painter) {}

    void PlayMetafile(std::span<const std::uint8_t> metafile, std::int32_t windowExtX,
                      std::int32_t windowExtY, std::int32_t viewportOrgX, std::int32_t viewportOrgY,
                      std::int32_t viewportExtX, std::int32_t viewportExtY) const override;

  private:
    QPainter& painter_;
};
