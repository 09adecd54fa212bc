#pragma once

#include <QString>

#include <optional>

namespace orvell {

// "Find - F3" in the help text: each search starts one character after the
// previous find and ignores case; past the last match it wraps to the first.
class TextSearch {
public:
    // Where `what` was found, or nullopt when the text holds none of it.
    std::optional<qsizetype> next(const QString& text, const QString& what);
    // A new text: the next search starts at its beginning.
    void reset() { last_.reset(); }

private:
    std::optional<qsizetype> last_;
};

}  // namespace orvell
