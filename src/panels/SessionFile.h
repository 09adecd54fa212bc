#pragma once

#include <QByteArray>

namespace orvell {

class AOrvell;

class Panel;

// The whole desktop as session-file bytes: the port sections, "[Panels]",
// then the main window and every panel in creation order, each as a header
// block and its data section.
QByteArray writeSession(AOrvell& window);

// One panel on its own: its header block and data section.
QByteArray writePanelFile(Panel& panel);

// Adds what the bytes describe to the desktop: a new panel per panel block,
// the main window's settings updated. Problems are reported through the
// window as they are met; a Cancel to one of them keeps what was loaded so far.
void readSession(AOrvell& window, const QByteArray& bytes);

// Adds the panels of a panel file. False after a reported error in the file;
// the panels read before it stay.
bool readPanelFile(AOrvell& window, const QByteArray& bytes);

}  // namespace orvell
