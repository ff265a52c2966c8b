#pragma once

#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/print_system.h"

// A printer device that paints each page into an image of its printable area
// and keeps the images, with switches to make a step fail.
struct FakeDevice : PrinterDevice {
    std::int32_t dpi = 254;  // 10 pixels per millimetre
    std::int32_t horzRes = 1090, vertRes = 1030;
    std::int32_t offsetX = 30, offsetY = 20;
    std::int32_t physWidth = 1090 + 30 + 10, physHeight = 1030 + 20 + 40;
    int failStartPage = 0;  // the page number whose StartPage fails; 0 none
    bool failStartDoc = false;

    // What happened.
    std::vector<QImage> pages;
    std::vector<std::string> calls;
    std::string docName;

    std::int32_t LogPixelsX() const override { return dpi; }
    std::int32_t HorzRes() const override { return horzRes; }
    std::int32_t VertRes() const override { return vertRes; }
    std::int32_t PhysicalWidth() const override { return physWidth; }
    std::int32_t PhysicalHeight() const override { return physHeight; }
    std::int32_t PhysicalOffsetX() const override { return offsetX; }
    std::int32_t PhysicalOffsetY() const override { return offsetY; }

    std::int32_t StartDoc(const std::string& name, const std::string&) override {
        calls.push_back("StartDoc");
        docName = name;
        inDoc = !failStartDoc;
        return inDoc ? 1 : 0;
    }
    std::int32_t EndDoc() override {
        calls.push_back("EndDoc");
        EndPainting();
        inDoc = false;
        return 1;
    }
    std::int32_t AbortDoc() override {
        calls.push_back("AbortDoc");
        EndPainting();
        pages.clear();
        inDoc = false;
        return 1;
    }
    std::int32_t StartPage() override {
        calls.push_back("StartPage");
        if (!inDoc || static_cast<int>(pages.size()) + 1 == failStartPage)
            return 0;
        EndPainting();
        pages.emplace_back(horzRes, vertRes, QImage::Format_RGB32);
        pages.back().fill(Qt::white);
        painter = std::make_unique<QPainter>(&pages.back());
        return 1;
    }
    std::int32_t EndPage() override {
        calls.push_back("EndPage");
        EndPainting();
        return 1;
    }
    QPainter* Painter() override { return painter.get(); }
    std::string FontFace() const override { return "Courier"; }
    std::int32_t FontHeight() const override { return 50; }
    std::int32_t FontWeight() const override { return 400; }

    void EndPainting() {
        if (painter)
            painter->end();
        painter.reset();
    }

    bool inDoc = false;
    std::unique_ptr<QPainter> painter;
};

// A print system whose printers, default settings and dialog answers are set
// by the test. Devices it makes are FakeDevices configured by `device`.
struct FakePrintSystem : PrintSystem {
    std::vector<std::string> printers = {"Office Printer"};
    std::string defaultPrinter = "Office Printer";
    DeviceSettings defaults{"Office Printer", 9, 1, 1, false, {}};
    FakeDevice device;  // the template of every device made

    std::optional<PrintDialogResult> answer;  // nothing = cancelled
    std::vector<PrintDialogRequest> requests;
    FakeDevice* lastDevice = nullptr;

    std::vector<std::string> InstalledPrinters() const override { return printers; }
    std::string DefaultPrinter() const override { return defaultPrinter; }
    std::optional<DeviceSettings> DefaultSettings() override { return defaults; }
    std::unique_ptr<PrinterDevice> CreateDevice(const std::string&,
                                                const DeviceSettings&) override {
        return MakeDevice();
    }
    std::optional<PrintDialogResult> ShowPrintDialog(const PrintDialogRequest& request) override {
        requests.push_back(request);
        if (!answer)
            return std::nullopt;
        PrintDialogResult result;
        result.flags = answer->flags;
        result.fromPage = answer->fromPage;
        result.toPage = answer->toPage;
        result.copies = answer->copies;
        result.settings = answer->settings;
        result.device = MakeDevice();
        return result;
    }

    std::unique_ptr<FakeDevice> MakeDevice() {
        auto made = std::make_unique<FakeDevice>();
        made->dpi = device.dpi;
        made->horzRes = device.horzRes;
        made->vertRes = device.vertRes;
        made->offsetX = device.offsetX;
        made->offsetY = device.offsetY;
        made->physWidth = device.physWidth;
        made->physHeight = device.physHeight;
        made->failStartPage = device.failStartPage;
        made->failStartDoc = device.failStartDoc;
        lastDevice = made.get();
        return made;
    }
};
