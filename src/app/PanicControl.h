#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace orvell {

class AOrvell;

// Panic: stops the sequencers and every sweep, then sends All Notes Off, All
// Sound Off and Reset All Controllers on every channel of every open port.
// Reached from the toolbar, Ctrl+. and Esc pressed twice.
class PanicControl : public QObject {
    Q_OBJECT

public:
    // The longest pause between the two presses of Esc.
    static constexpr int DoubleEscMs = 600;

    explicit PanicControl(AOrvell& window);

    void Panic_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AOrvell& window_;
    QElapsedTimer lastEsc_;
};

}  // namespace orvell
