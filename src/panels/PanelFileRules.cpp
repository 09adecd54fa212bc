#include "panels/PanelFileRules.h"

#include "core/Numeric.h"

#include <climits>

namespace orvell {

QString defaultPanelFileName(const QString& caption)
{
    QString name = caption;
    name.removeIf([](QChar c) { return QStringView(u"\\/?*&@'\"").contains(c); });
    return name;
}

LoadedTag checkLoadedTag(const QString& storedTag, int counter, const QStringList& otherTags)
{
    LoadedTag result{storedTag, counter, false};
    if (const auto number = parseInteger(storedTag); number && *number > counter)
        result.counter = static_cast<int>(*number);
    if (otherTags.contains(storedTag)) {
        result.counter = result.counter < INT_MAX ? result.counter + 1 : result.counter;
        result.tag = QString::number(result.counter);
        result.renumbered = true;
    }
    return result;
}

}  // namespace orvell
