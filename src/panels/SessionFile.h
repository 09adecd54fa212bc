#pragma once

#include <QByteArray>

namespace orvell {

class AOrvell;

// The whole desktop as session-file bytes: "[Panels]", then the main window
// and every panel in creation order, each as a header block and its data
// section. Port sections are not written yet.
QByteArray writeSession(AOrvell& window);

// Adds what the bytes describe to the desktop: a new panel per panel block,
// the main window's settings updated. Problems are reported through the
// window as they are met; a Cancel to one of them keeps what was loaded so far.
void readSession(AOrvell& window, const QByteArray& bytes);

}  // namespace orvell
