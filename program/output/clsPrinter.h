#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "canvas/printer_geometry.h"
#include "core/message_sink.h"
#include "output/print_system.h"

// The program's printer: the chosen printer's settings, its device context,
// the print and print-setup dialogs, the page geometry and the document and
// page calls of a print job. Made at its first use and kept, so that a printer
// chosen in a dialog stays chosen. Without an installed printer it stays
// empty: the geometry reads 0 and the document calls give 0. That no printer
// is installed is the one thing it tells the user itself, through `messages`.
class clsPrinter : public PrinterGeometry {
  public:
    clsPrinter(PrintSystem& system, MessageSink& messages);
    ~clsPrinter() override;
    clsPrinter(const clsPrinter&) = delete;
    clsPrinter& operator=(const clsPrinter&) = delete;

    // The device context; nullptr when there is none.
    PrinterDevice* hDC() const { return device_.get(); }
    // Whether a printer is installed; says so when there is none, and takes up
    // a printer installed since this object was made.
    bool ExistPrinter();
    // 2 selection, 3 page range, 1 all pages.
    std::int32_t PrintMode() const;
    bool PrintCollect() const;

    void DocName(const std::string& sDocName) { docName_ = sDocName; }
    const std::string& DocName() const { return docName_; }
    std::int32_t StartPageNo() const { return startPage_; }
    void StartPageNo(std::int32_t lStartPage) { startPage_ = lStartPage; }
    std::int32_t EndPageNo() const { return endPage_; }
    // Kept in 16 bits: a value outside that range throws std::overflow_error.
    void EndPageNo(std::int32_t lEndPage);
    // −1 with a selection, the chosen page with a page range, else the first
    // (last) document page.
    std::int32_t FromPage() const;
    void FromPage(std::int32_t lFromPage);
    std::int32_t ToPage() const;
    void ToPage(std::int32_t lToPage);
    std::int32_t Copy() const { return copies_; }
    std::int32_t PaperSize() const { return paperSize_; }
    std::int32_t Orientation() const { return orientation_; }
    const std::string& DeviceName() const { return deviceName_; }

    double PixelPerMM() const override;
    std::int32_t StartDoc();
    std::int32_t EndDoc();
    // Ends the document without printing any of it.
    std::int32_t AbortDoc();
    std::int32_t StartPage();
    std::int32_t EndPage();
    // Mapping mode 1 to 8 for the printer's own drawing (SetFont, DrawText,
    // SelectPen); other values are ignored.
    void ScaleMode(std::int32_t lMode);
    std::int32_t Width() const override;
    std::int32_t Height() const override;
    void GetPrinterOffset(std::int32_t& lTop, std::int32_t& lBottom, std::int32_t& lLeft,
                          std::int32_t& lRight) const;
    std::int32_t PrinterOffsetTop() const override;
    std::int32_t PrinterOffsetBottom() const override;
    std::int32_t PrinterOffsetLeft() const override;
    std::int32_t PrinterOffsetRight() const override;

    const std::string& FontName() const { return fontFace_; }
    std::string FontSize() const { return std::to_string(fontSize_); }
    std::string FontWeight() const { return std::to_string(fontWeight_); }
    // Drawing straight onto the printer page (only inside a document).
    void SetFont(const std::string& sFontName, std::int32_t lFontSize, std::int32_t lFontWeight,
                 std::int32_t lFontEscapement, std::int32_t lFontColor);
    void DrawText(std::int32_t lX, std::int32_t lY, std::int32_t lAlign, const std::string& sText);
    void SelectPen(std::int32_t lStyle, std::int32_t lWidth, std::int32_t lColor);

    bool ShowPrintSetupDlg();
    bool ShowPrintDlg(std::int32_t lOption);

  private:
    // Nothing in the program draws a polyline straight onto the printer; the
    // tests reach it through this.
    friend struct clsPrinterTestAccess;

    void DrawPolyline(std::span<const double> x, std::span<const double> y, std::int32_t n);
    bool PrintersInstalled() const;
    std::string ResolveDeviceName(const std::string& name) const;
    static bool SamePrefix(const std::string& a, const std::string& b, std::size_t n);
    static std::string TrimAtNull(const std::string& text);
    void Construct();
    void ApplyMapping() const;

    PrintSystem& system_;
    MessageSink& messages_;
    std::optional<DeviceSettings> settings_;
    std::unique_ptr<PrinterDevice> device_;
    std::int32_t range_ = 0;
    std::int32_t startPage_ = 0;
    std::int32_t endPage_ = 0;
    std::int32_t fromPage_ = 0;
    std::int32_t toPage_ = 0;
    std::int32_t copies_ = 0;
    std::int32_t paperSize_ = 0;
    std::int32_t orientation_ = 0;
    std::string deviceName_;
    std::string docName_;
    std::string output_;
    std::int32_t mapMode_ = 1;
    std::string fontFace_;
    std::int32_t fontSize_ = 0;
    std::int32_t fontEscapement_ = 0;
    std::int32_t fontWeight_ = 0;
    std::int32_t fontColor_ = 0;
    bool fontMade_ = false;
    std::int32_t penStyle_ = 0;
    std::int32_t penWidth_ = 1;
    std::int32_t penColor_ = 0;
};
