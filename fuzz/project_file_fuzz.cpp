// Reads arbitrary bytes as a project file. Whatever the bytes, the reader must
// neither crash nor leave a half-read document; and a document it accepts must
// come back unchanged through the writer and the reader.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/document.h"
#include "core/project_file.h"
#include "core/value_line.h"

namespace {

// The texts as the writer stores them.
Document Storable(Document doc) {
    doc.basicData.ProjectName = StorableText(doc.basicData.ProjectName);
    doc.basicData.ShortName = StorableText(doc.basicData.ShortName);
    doc.basicData.Site = StorableText(doc.basicData.Site);
    for (LayerRecord& layer : doc.layers)
        layer.SoilName = StorableText(layer.SoilName);
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Document doc;
    doc.basicData.ProjectName = "before";
    Document before = doc;
    int result = ParseProjectFile(bytes, doc);
    if (result != kProjectFileOk) {
        if (!(doc == before))
            std::abort();  // a failed read changed the document
        return 0;
    }
    Document expected = Storable(doc);
    Document reread;
    if (ParseProjectFile(ProjectFileBytes(doc), reread) != kProjectFileOk)
        std::abort();  // the writer wrote what the reader refuses
    if (!(reread == expected))
        std::abort();  // the round trip changed the document
    return 0;
}
