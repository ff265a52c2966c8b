#pragma once

#include <cstdint>
#include <span>

// Where a recorded page is replayed: the figure pane, the preview's page box or
// the printer. The Qt layer implements it over a QPainter (PainterTarget in
// output/metafile_player.h); the canvas itself stays free of any window system.
class PlayTarget {
  public:
    virtual ~PlayTarget() = default;

    // Plays a standard Windows metafile (META_HEADER and records, no placeable
    // header) with the isotropic mapping: the window (0, 0)-(windowExtX,
    // windowExtY) in logical units onto the viewport of viewportExtX ×
    // viewportExtY device pixels at (viewportOrgX, viewportOrgY), one scale for
    // both axes, anchored at the viewport origin. The target's state is the same
    // afterwards as before.
    virtual void PlayMetafile(std::span<const std::uint8_t> metafile, std::int32_t windowExtX,
                              std::int32_t windowExtY, std::int32_t viewportOrgX,
                              std::int32_t viewportOrgY, std::int32_t viewportExtX,
                              std::int32_t viewportExtY) const = 0;
};
