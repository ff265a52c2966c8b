#pragma once

#include <unordered_map>

class QWidget;

// A control's place in twips (1/1440 inch), relative to its container.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The main window measures its controls in twips. This keeps every control's
// twips geometry as the layout set it (so that the layout arithmetic never
// loses a twip to pixel rounding) and places the widget at the nearest pixels.
class TwipsLayout {
  public:
    TwipsLayout(double twipsPerPixelX, double twipsPerPixelY)
        : tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {}

    double TwipsPerPixelX() const { return tppX_; }
    double TwipsPerPixelY() const { return tppY_; }

    // The geometry last set; for a control never set, its pixel geometry in
    // twips.
    TwipsRect Get(const QWidget* w) const;
    void Set(QWidget* w, const TwipsRect& r);

    int Left(const QWidget* w) const { return Get(w).left; }
    int Top(const QWidget* w) const { return Get(w).top; }
    int Width(const QWidget* w) const { return Get(w).width; }
    int Height(const QWidget* w) const { return Get(w).height; }
    int Bottom(const QWidget* w) const { return Get(w).top + Get(w).height; }
    void SetLeft(QWidget* w, int v);
    void SetTop(QWidget* w, int v);
    void SetWidth(QWidget* w, int v);
    void SetHeight(QWidget* w, int v);

    // Pixels to twips and back, the nearest whole number, halves to even.
    int ToTwipsX(double px) const;
    int ToTwipsY(double px) const;
    int ToPixelsX(double twips) const;
    int ToPixelsY(double twips) const;

  private:
    void Apply(QWidget* w, const TwipsRect& r) const;

    double tppX_;
    double tppY_;
    std::unordered_map<const QWidget*, TwipsRect> rects_;
};
