#pragma once

#include "core/document.h"
#include "support/boring_builder.h"

// The deepest boring users keep, for the benchmarks: 300 m in 60 layers of
// 5 m and an N-value row every metre.
inline Document DeepBoring() {
    BoringBuilder b;
    for (int i = 0; i < 60; ++i)
        b.Layer(5, 18 + (i % 3), 5 + (i * 7) % 40, (i * 3) % 25, (i * 5) % 30);
    for (int z = 1; z <= 300; ++z)
        b.Row(z, 3 + (z * 11) % 40);
    b.Water(2);
    b.doc.calcConditions.calcDepth = 300;
    b.doc.calcConditions.excludeFinesPlastic = 1;
    b.doc.layerColumnUsed[3] = 1;
    b.doc.layerColumnUsed[4] = 1;
    return b.doc;
}
