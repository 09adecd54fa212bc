#pragma once

#include <QString>
#include <QStringList>

namespace orvell {

// The file name proposed for a panel never saved: its caption without the
// characters \ / ? * & @ ' " (blanks and the rest are kept).
QString defaultPanelFileName(const QString& caption);

// A panel loaded from a panel file keeps its stored tag unless another panel
// already carries it; then it takes the next tag. A stored tag above the
// counter raises the counter, so later panels stay unique.
struct LoadedTag {
    QString tag;
    int counter = 0;
    bool renumbered = false;  // the "not unique" message is due
};
LoadedTag checkLoadedTag(const QString& storedTag, int counter, const QStringList& otherTags);

}  // namespace orvell
