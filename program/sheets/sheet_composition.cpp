#include "sheets/sheet_composition.h"

#include "sheets/header_footer.h"
#include "sheets/log_sheet_frame.h"
#include "sheets/log_sheet_panels.h"
#include "sheets/soil_const_table.h"

void DrawViews(SheetCanvases& canvases, const Document& doc, int view) {
    auto& meta = canvases.viewMeta;
    SheetLayout& layout = canvases.screenLayout;
    const PrintItemFlags none{};
    if (view == 0 || view == 1) {
        StartScreenCanvas(meta[1]);
        DrawLogSheetFrame(meta[1], layout, doc, none, 0);
        meta[1].PicEnd();
    }

    StartScreenCanvas(meta[2]);
    // The screen canvases share one geometry; lay it out here too, so that a
    // first redraw without the frame still has its columns and rows.
    LayOutLogSheet(meta[2].lMaxRow, none, false, layout);
    bool rangeChanged = DrawDepthScale(meta[2], layout, doc) == -1;
    meta[2].PicEnd();

    if (view == 0 || rangeChanged || view == 3) {
        StartScreenCanvas(meta[3]);
        DrawNValueGraph(meta[3], layout, doc, 0);
        meta[3].PicEnd();
    }
    if (view == 0 || rangeChanged || view == 4) {
        StartScreenCanvas(meta[4]);
        DrawSoilColumn(meta[4], layout, doc, 0);
        meta[4].PicEnd();
    }
    if (view == 0 || rangeChanged || view == 5) {
        StartScreenCanvas(meta[5]);
        DrawFlGraph(meta[5], layout, doc, 0);
        meta[5].PicEnd();
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
