#pragma once

#include "core/StoredColor.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace orvell {

// A stored colour as the widgets draw it. Desktop-scheme colours
// (0x80000000 | index) take the nearest role of `palette`, so panels follow
// the running theme; an index with no counterpart gives the button colour.
QColor toQColor(StoredColor color, const QPalette& palette = QApplication::palette());

// Always a plain 0x00BBGGRR value; alpha is dropped, an invalid colour gives black.
StoredColor fromQColor(const QColor& color);

}  // namespace orvell
