#include "params/PendingChanges.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"

QList<PendingChange> pendingFileChanges(const DeviceImage& image, int selection) {
    using namespace ParameterCatalogue;
    QList<PendingChange> changes;
    const std::pair<int, int> grids[] = {{0, LeftRows}, {1, RightRows}};
    for (const auto& [grid, rows] : grids) {
        for (int row = 1; row <= rows; ++row) {
            const ParamRef p = entry(grid, row);
            if (p.kind < 0 || !image.isActive(p.kind, p.index) ||
                !fromFile(p.kind, p.index, selection))
                continue;
            const quint32 unit = image.value(p.kind, 1, p.index);
            const quint32 file = image.value(p.kind, 2, p.index);
            if (unit == file) continue;
            const bool isSigned = p.kind == KindB && image.ParB_Sign[p.index];
            changes.append({p.kind, p.index, LangText(nameKey(grid, row)),
                            valueText(p.kind, unit, isSigned), valueText(p.kind, file, isSigned)});
        }
    }
    return changes;
}
