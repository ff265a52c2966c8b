#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPainter;

// The printing platform under clsPrinter: the installed printers, their
// device contexts and the print dialogs. The program uses QtPrintSystem
// (qt_print_system.h); tests replace it.

// Print-dialog flags, with the values the print dialog has always used.
inline constexpr std::int32_t PD_SELECTION = 0x1;
inline constexpr std::int32_t PD_PAGENUMS = 0x2;
inline constexpr std::int32_t PD_NOSELECTION = 0x4;
inline constexpr std::int32_t PD_NOPAGENUMS = 0x8;
inline constexpr std::int32_t PD_COLLATE = 0x10;
inline constexpr std::int32_t PD_PRINTSETUP = 0x40;
inline constexpr std::int32_t PD_RETURNDC = 0x100;
inline constexpr std::int32_t PD_RETURNDEFAULT = 0x400;
inline constexpr std::int32_t PD_USEDEVMODECOPIESANDCOLLATE = 0x40000;
inline constexpr std::int32_t PD_HIDEPRINTTOFILE = 0x100000;

// The device settings of a printer (what the device-mode record held).
struct DeviceSettings {
    std::string deviceName;        // the printer's name, cut to kDeviceNameBytes - 1 bytes
    std::int32_t paperSize = 0;    // paper-size code (9 = A4, 8 = A3, 1 = Letter, ...)
    std::int32_t orientation = 1;  // 1 portrait, 2 landscape
    std::int32_t copies = 1;
    bool collate = false;
    std::string outputFile;  // where a file printer (PDF) writes; empty for a real device

    static constexpr std::size_t kDeviceNameBytes = 32;
};

// One printer device context. Geometry in device pixels; the document calls
// give a result above 0 on success.
class PrinterDevice {
  public:
    virtual ~PrinterDevice() = default;

    virtual std::int32_t LogPixelsX() const = 0;
    virtual std::int32_t HorzRes() const = 0;  // printable width
    virtual std::int32_t VertRes() const = 0;  // printable height
    virtual std::int32_t PhysicalWidth() const = 0;
    virtual std::int32_t PhysicalHeight() const = 0;
    virtual std::int32_t PhysicalOffsetX() const = 0;
    virtual std::int32_t PhysicalOffsetY() const = 0;

    virtual std::int32_t StartDoc(const std::string& docName, const std::string& output) = 0;
    virtual std::int32_t EndDoc() = 0;
    // Ends the document so that nothing of it is printed.
    virtual std::int32_t AbortDoc() = 0;
    virtual std::int32_t StartPage() = 0;
    virtual std::int32_t EndPage() = 0;
    // The painter on the printable area, origin at its top-left corner, in
    // device pixels; nullptr outside a document.
    virtual QPainter* Painter() = 0;

    // The context's own font.
    virtual std::string FontFace() const = 0;
    virtual std::int32_t FontHeight() const = 0;
    virtual std::int32_t FontWeight() const = 0;
};

// What the print dialog is asked.
struct PrintDialogRequest {
    std::int32_t flags = 0;  // PD_ flags
    std::int32_t fromPage = 1;
    std::int32_t toPage = 1;
    std::int32_t minPage = 1;
    std::int32_t maxPage = 1;
    std::string deviceName;  // the full name of the printer in use
    DeviceSettings settings;
};

// What a confirmed print dialog gives back.
struct PrintDialogResult {
    std::int32_t flags = 0;  // PD_SELECTION, PD_PAGENUMS, PD_COLLATE as chosen
    std::int32_t fromPage = 0;
    std::int32_t toPage = 0;
    std::int32_t copies = 1;
    DeviceSettings settings;
    std::unique_ptr<PrinterDevice> device;  // for the chosen printer; may be null
};

class PrintSystem {
  public:
    virtual ~PrintSystem() = default;

    // Full names of the installed printers, in the system's order.
    virtual std::vector<std::string> InstalledPrinters() const = 0;
    // The full name of the system's default printer.
    virtual std::string DefaultPrinter() const = 0;
    // The default printer's settings, without showing a dialog.
    virtual std::optional<DeviceSettings> DefaultSettings() = 0;
    // A device context for the named printer with these settings; nullptr when
    // none can be made.
    virtual std::unique_ptr<PrinterDevice> CreateDevice(const std::string& printerName,
                                                        const DeviceSettings& settings) = 0;
    // Shows the print dialog (the printer setup with PD_PRINTSETUP); nothing
    // when it is cancelled.
    virtual std::optional<PrintDialogResult> ShowPrintDialog(const PrintDialogRequest& request) = 0;
};
