#pragma once

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace orvell {

class Panel;
class SectionWriter;
class SessionHost;

// The class name of the main window's block.
extern const QString MainWindowClass;

// The whole desktop as session-file bytes: the port sections, "[Panels]",
// then the main window and every panel in creation order, each as a header
// block and its data section.
QByteArray writeSession(SessionHost& host);

// One panel on its own: its header block and data section.
QByteArray writePanelFile(Panel& panel);

// Adds what the bytes describe to the desktop: a new panel per panel block,
// the main window's settings updated. Problems are reported through the
// host as they are met; a Cancel to one of them keeps what was loaded so far.
// Returns a note for the status line when the session's port numbers were
// moved to follow its devices' names, else nothing.
QString readSession(SessionHost& host, const QByteArray& bytes);

// Adds the panels of a panel file. False after a reported error in the file;
// the panels read before it stay.
bool readPanelFile(SessionHost& host, const QByteArray& bytes);

// The header block every window starts with; size only for the main window.
void writeWindowHeader(SectionWriter& out, const QString& className, const QString& name, QPoint pos,
                       const QSize* size, quint32 colour, bool visible, const QString& tag, int state);
// WindowState= values: 0 normal, 1 minimised, 2 maximised.
int windowStateCode(Qt::WindowStates state);
void applyWindowStateCode(QWidget& window, int code);

}  // namespace orvell
