#include "help/TextSearch.h"

namespace orvell {

std::optional<qsizetype> TextSearch::next(const QString& text, const QString& what)
{
    if (what.isEmpty())
        return std::nullopt;
    const qsizetype from = last_ ? *last_ + 1 : 0;
    qsizetype found = from <= text.size() ? text.indexOf(what, from, Qt::CaseInsensitive) : -1;
    if (found < 0 && last_) {
        last_.reset();
        found = text.indexOf(what, 0, Qt::CaseInsensitive);
    }
    if (found < 0)
        return std::nullopt;
    last_ = found;
    return found;
}

}  // namespace orvell
