#include "sheets/sheet_composition.h"

#include "sheets/header_footer.h"
#include "sheets/log_sheet_frame.h"
#include "sheets/log_sheet_panels.h"
#include "sheets/soil_const_table.h"

void DrawViews(SheetCanvases& canvases, const Document& doc, int view) {
    auto& meta = canvases.viewMeta;
    SheetLayout& layout = canvases.screenLayout;
    const PrintItemFlags none{};
    if (view == kViewWhole || view == kViewFrame) {
        StartScreenCanvas(meta[kViewFrame]);
        DrawLogSheetFrame(meta[kViewFrame], layout, doc, none, 0);
        meta[kViewFrame].PicEnd();
    }

    StartScreenCanvas(meta[kViewDepthScale]);
    // The screen canvases share one geometry; lay it out here too, so that a
    // first redraw without the frame still has its columns and rows.
    LayOutLogSheet(meta[kViewDepthScale].lMaxRow, none, false, layout);
    bool rangeChanged = DrawDepthScale(meta[kViewDepthScale], layout, doc) == -1;
    meta[kViewDepthScale].PicEnd();

    if (view == kViewWhole || rangeChanged || view == kViewNValues) {
        StartScreenCanvas(meta[kViewNValues]);
        DrawNValueGraph(meta[kViewNValues], layout, doc, 0);
        meta[kViewNValues].PicEnd();
    }
    if (view == kViewWhole || rangeChanged || view == kViewSoilColumn) {
        StartScreenCanvas(meta[kViewSoilColumn]);
        DrawSoilColumn(meta[kViewSoilColumn], layout, doc, 0);
        meta[kViewSoilColumn].PicEnd();
    }
    if (view == kViewWhole || rangeChanged || view == kViewFlMarks) {
        StartScreenCanvas(meta[kViewFlMarks]);
        DrawFlGraph(meta[kViewFlMarks], layout, doc, 0);
        meta[kViewFlMarks].PicEnd();
    }
}

bool SaveLogSheetMetafile(const Document& doc, const std::string& path) {
    clsStrMeta canvas;
    SheetLayout layout;
    StartScreenCanvas(canvas);
    DrawLogSheetFrame(canvas, layout, doc, PrintItemFlags{}, 0);
    DrawDepthScale(canvas, layout, doc);
    DrawNValueGraph(canvas, layout, doc, 0);
    DrawSoilColumn(canvas, layout, doc, 0);
    DrawFlGraph(canvas, layout, doc, 0);
    canvas.PicEnd();
    return canvas.SaveTheMetafile(path);
}

PageStatus DrawLogSheetPage(SheetCanvases& canvases, const SheetInputs& in,
                            const PrintItemFlags& items) {
    clsStrMeta& page = canvases.pageMeta[1];
    PageStatus status = StartPrintedPage(page, in);
    if (status != PageStatus::kComposed)
        return status;
    int mono = in.settings.colorPrint == 0 ? 1 : 0;
    // The page lays out its own sheet; the screen figure's layout stays as it is.
    SheetLayout layout;
    DrawLogSheetFrame(page, layout, in.doc, items, 1);
    DrawDepthScale(page, layout, in.doc);
    DrawNValueGraph(page, layout, in.doc, mono);
    DrawSoilColumn(page, layout, in.doc, mono);
    DrawFlGraph(page, layout, in.doc, mono);
    DrawSoilConstTable(page, layout, in.doc, items);
    DrawHeaderFooter(page, in, 0);
    page.PicEnd();
    return PageStatus::kComposed;
}
