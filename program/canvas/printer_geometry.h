#pragma once

#include <cstdint>

// The page geometry of the printer, all that the page composers read of it.
// clsPrinter (output/clsPrinter.h) implements it over the real printer; tests
// and the Qt-free layers can hand in a fake. Every value is 0 when there is no
// printer device.
class PrinterGeometry {
  public:
    virtual ~PrinterGeometry() = default;

    // Device pixels per millimetre, from the horizontal resolution; it serves
    // both directions.
    virtual double PixelPerMM() const = 0;
    // Printable width and height in device pixels.
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    // The unprintable margins of the paper in device pixels, side by side.
    virtual std::int32_t PrinterOffsetTop() const = 0;
    virtual std::int32_t PrinterOffsetBottom() const = 0;
    virtual std::int32_t PrinterOffsetLeft() const = 0;
    virtual std::int32_t PrinterOffsetRight() const = 0;
};
